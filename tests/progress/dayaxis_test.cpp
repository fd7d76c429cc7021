#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "core/progress/dayaxis.h"

namespace {

// The Julian day number of a date of the Gregorian calendar (Fliegel and
// Van Flandern), independent of the code under test.
std::int64_t julian(int year, int month, int day) {
    const int a = (month - 14) / 12;
    return day - 32075 + 1461 * (year + 4800 + a) / 4 + 367 * (month - 2 - 12 * a) / 12 -
           3 * ((year + 4900 + a) / 100) / 4;
}

std::vector<std::string> labels(const dayaxis::Axis& axis) {
    std::vector<std::string> out;
    for (const dayaxis::Period& p : axis.periods)
        out.push_back(p.label);
    return out;
}

// The period grows with the span and shrinks with the room for labels.
TEST(DayAxis, DaysThenWeeksThenMonthsThenYears) {
    const struct {
        std::int64_t first;
        std::int64_t last;
        int maxLabels;
        std::int64_t axisFirst;
        std::int64_t axisEnd;
        std::vector<std::string> labels;
    } cases[] = {
        // One day of answers: the week that ends with it, a label a day.
        {julian(2026, 12, 7), julian(2026, 12, 7), 12, julian(2026, 12, 1), julian(2026, 12, 8),
         {"1. 12.", "2. 12.", "3. 12.", "4. 12.", "5. 12.", "6. 12.", "7. 12."}},
        // Across the new year, day by day.
        {julian(2026, 12, 28), julian(2027, 1, 3), 7, julian(2026, 12, 28), julian(2027, 1, 4),
         {"28. 12.", "29. 12.", "30. 12.", "31. 12.", "1. 1.", "2. 1.", "3. 1."}},
        // Eight days where seven labels fit: weeks from Monday (30 November 2026).
        {julian(2026, 12, 1), julian(2026, 12, 8), 7, julian(2026, 11, 30), julian(2026, 12, 14),
         {"30. 11.", "7. 12."}},
        // Thirty days where ten labels fit: five weeks.
        {julian(2026, 11, 8), julian(2026, 12, 7), 10, julian(2026, 11, 2), julian(2026, 12, 14),
         {"2. 11.", "9. 11.", "16. 11.", "23. 11.", "30. 11.", "7. 12."}},
        // Thirty days where thirty fit: every day.
        {julian(2026, 11, 8), julian(2026, 12, 7), 30, julian(2026, 11, 8), julian(2026, 12, 8), {}},
        // Four months where three labels fit: months do not, two-month periods do.
        {julian(2026, 9, 15), julian(2026, 12, 7), 3, julian(2026, 9, 1), julian(2027, 1, 1),
         {"9. 2026", "11. 2026"}},
        // Fourteen months where ten labels fit: months do not, two-month periods do.
        {julian(2025, 10, 20), julian(2026, 12, 7), 10, julian(2025, 9, 1), julian(2027, 1, 1),
         {"9. 2025", "11. 2025", "1. 2026", "3. 2026", "5. 2026", "7. 2026", "9. 2026", "11. 2026"}},
        // Three years, five labels: years.
        {julian(2024, 2, 29), julian(2026, 12, 7), 5, julian(2024, 1, 1), julian(2027, 1, 1),
         {"2024", "2025", "2026"}},
        // Thirty years, five labels: ten years each.
        {julian(1997, 5, 1), julian(2026, 12, 7), 5, julian(1990, 1, 1), julian(2030, 1, 1),
         {"1990", "2000", "2010", "2020"}},
        // No room at all still gives one label.
        {julian(2026, 12, 1), julian(2026, 12, 7), 0, julian(2026, 12, 1), julian(2027, 1, 1), {"12. 2026"}},
        // One label for a week across the new year: two years.
        {julian(2026, 12, 29), julian(2027, 1, 4), 1, julian(2026, 1, 1), julian(2028, 1, 1), {"2026"}},
    };
    for (const auto& c : cases) {
        const dayaxis::Axis axis = dayaxis::make(c.first, c.last, c.maxLabels);
        SCOPED_TRACE(std::to_string(c.last - c.first + 1) + " days, " + std::to_string(c.maxLabels) + " labels");
        EXPECT_EQ(axis.first, c.axisFirst);
        EXPECT_EQ(axis.end, c.axisEnd);
        if (!c.labels.empty())
            EXPECT_EQ(labels(axis), c.labels);
        else
            EXPECT_EQ(axis.periods.size(), static_cast<std::size_t>(c.last - c.first + 1));
    }
}

// Whatever the span and the room: the periods tile the axis without a gap,
// the axis holds every day asked for and at least a week, there are never
// more labels than fit, and no label repeats.
TEST(DayAxis, PeriodsTileTheAxisAndNoLabelRepeats) {
    const std::int64_t last = julian(2026, 12, 7);
    for (std::int64_t span = 1; span <= 4000; span += span < 400 ? 1 : 37) {
        for (const int room : {1, 2, 3, 5, 7, 10, 14, 20, 31, 60, 200, 400}) {
            const dayaxis::Axis axis = dayaxis::make(last - span + 1, last, room);
            SCOPED_TRACE(std::to_string(span) + " days, " + std::to_string(room) + " labels");
            ASSERT_FALSE(axis.periods.empty());
            EXPECT_LE(axis.periods.size(), static_cast<std::size_t>(room));
            EXPECT_LE(axis.first, last - span + 1);
            EXPECT_GT(axis.end, last);
            EXPECT_GE(axis.end - axis.first, dayaxis::kShortestSpan);
            EXPECT_EQ(axis.periods.front().first, axis.first);
            EXPECT_EQ(axis.periods.back().end, axis.end);
            std::set<std::string> seen;
            for (std::size_t k = 0; k < axis.periods.size(); ++k) {
                EXPECT_LT(axis.periods[k].first, axis.periods[k].end);
                if (k > 0) {
                    EXPECT_EQ(axis.periods[k].first, axis.periods[k - 1].end);
                }
                EXPECT_TRUE(seen.insert(axis.periods[k].label).second) << axis.periods[k].label;
            }
            if (::testing::Test::HasFailure())
                return;
        }
    }
    // Dates no answer has (a clock far off) still give an axis.
    const dayaxis::Axis far = dayaxis::make(-5'000'000'000, 9'000'000'000, 10);
    EXPECT_FALSE(far.periods.empty());
    EXPECT_LE(far.periods.size(), 10u);
}

}  // namespace
