#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/exercise/generator.h"
#include "core/exercise/random.h"
#include "core/progress/drillweights.h"

using progress::LetterHistory;

namespace {

constexpr std::int64_t kNow = 1'800'000'000;
constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 24 * kHour;

// Draws many items of the drill through the program's generator with a
// seeded random source and counts the letters.
std::map<char, int> drawMany(const TaskDescriptions& drill, std::uint32_t seed, int items) {
    std::map<char, int> counts;
    const RandomFunction random = [&seed](int n) { return random_source::draw(seed, n); };
    for (int i = 0; i < items; ++i) {
        const auto letters = drawTaskString(drill, 1, random);
        EXPECT_TRUE(letters.has_value());
        if (letters)
            for (char c : *letters)
                ++counts[c];
    }
    return counts;
}

TEST(DrillWeightsTest, WeakLettersComeMoreOftenAndEverySeenLetterCanCome) {
    const std::vector<LetterHistory> history = {
        {'a', 40, 20, kNow - kHour, kNow - kHour, 900},     // often and lately missed
        {'b', 60, 0, kNow - kHour, 0, 700},                 // always right, seen today
        {'c', 10, 0, kNow - 40 * kDay, 0, 800},             // right, but not seen for long
        {'d', 30, 3, kNow - kHour, kNow - 60 * kDay, 800},  // missed long ago
        {'e', 0, 0, 0, 0, 0},                               // never shown
    };
    const TaskDescriptions drill = progress::drillDescriptions(history, kNow);
    ASSERT_EQ(drill.taskCount(), 1);
    EXPECT_EQ(drill.tasks[0].name, progress::drillTaskName());
    EXPECT_EQ(drill.tasks[0].letterCount, 1);
    // A weight is at most 19, two tickets a unit: a wrong weight fails here,
    // before thousands of draws from a group grown without bound.
    ASSERT_EQ(drill.groups.size(), 1u);
    ASSERT_LE(drill.groups[0].letters.size(), 4u * 38u);

    const auto counts = drawMany(drill, 12345, 20000);
    EXPECT_GT(counts.at('a'), 3 * counts.at('b'));
    EXPECT_GT(counts.at('c'), counts.at('b'));
    EXPECT_GT(counts.at('d'), counts.at('b'));
    EXPECT_GT(counts.at('a'), counts.at('d'));
    EXPECT_GT(counts.at('b'), 0);
    EXPECT_EQ(counts.count('e'), 0u);

    // The same seed draws the same letters.
    EXPECT_EQ(drawMany(drill, 777, 500), drawMany(drill, 777, 500));
}

TEST(DrillWeightsTest, WeightsFollowTheHistory) {
    const LetterHistory fresh{'b', 100, 0, kNow, 0, 0};
    LetterHistory missed = fresh;
    missed.wrong = 1;
    missed.lastWrong = kNow;
    LetterHistory missedLongAgo = missed;
    missedLongAgo.lastWrong = kNow - 30 * kDay;
    EXPECT_GT(progress::drillWeight(missed, kNow), progress::drillWeight(missedLongAgo, kNow));
    EXPECT_GT(progress::drillWeight(missedLongAgo, kNow), progress::drillWeight(fresh, kNow));
    // One miss in a letter's only showing says less than sixteen in sixteen.
    const LetterHistory missedOnce{'c', 1, 1, kNow, kNow, 0};
    const LetterHistory missedAlways{'c', 16, 16, kNow, kNow, 0};
    EXPECT_LT(progress::drillWeight(missedOnce, kNow), progress::drillWeight(missedAlways, kNow));
    EXPECT_GE(progress::drillTickets(progress::drillWeight(fresh, kNow)), 1);
    EXPECT_TRUE(progress::drillLetters({}, kNow).empty());
    EXPECT_EQ(progress::drillDescriptions({{'a', 0, 0, 0, 0, 0}}, kNow).taskCount(), 0);
}

}  // namespace
