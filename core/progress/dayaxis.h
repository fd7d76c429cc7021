#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The date axis of the charts of "Napredek": which days it spans and into
// which labelled periods (days, weeks, months or years) it is cut. Days are
// Julian day numbers, as QDate counts them.
namespace dayaxis {

// A span shorter than this is widened back from its last day, so that one
// day's bar is never the whole chart.
inline constexpr std::int64_t kShortestSpan = 7;

struct Period {
    std::int64_t first = 0;  // its first day
    std::int64_t end = 0;    // the day after its last
    std::string label;       // "7. 12." (a day, a week by its Monday), "12. 2026" (months), "2026" (years)
};

struct Axis {
    std::int64_t first = 0;
    std::int64_t end = 0;  // the day after the last shown
    std::vector<Period> periods;
};

// The axis for the days `firstDay` to `lastDay` with at most `maxLabels`
// labels (at least one): one period per day while they fit, else per week
// (from Monday), per 1, 2, 3 or 6 months, per 1, 2, 5, 10, ... years. The
// axis starts and ends on its periods' bounds, and no label repeats.
Axis make(std::int64_t firstDay, std::int64_t lastDay, int maxLabels);

}  // namespace dayaxis
