// The course judges a letter by its latest answers as the history file gives
// them back, and by the median of their times.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <string>
#include <vector>

#include "core/progress/attribution.h"
#include "core/progress/course.h"
#include "ui/progress/historystore.h"

namespace {

using course::RecentResult;

constexpr qint64 kMorning = 1'800'000'000'000;  // some day, in ms

// One answer: the item's letters (each read as itself), what was typed, the time.
struct Answer {
    std::string letters;
    std::string typed;
    std::int32_t ms = 1000;
};

void recordAll(HistoryStore& store, const std::vector<Answer>& answers) {
    qint64 at = kMorning;
    for (const Answer& a : answers) {
        std::vector<std::string> readings;
        for (const char c : a.letters)
            readings.emplace_back(1, c);
        AnswerRecord r;
        r.atMs = at;
        at += 5000;
        r.task = "Posamezne";
        r.letters = a.letters;
        r.expected = a.letters;
        r.typed = a.typed;
        r.correct = a.letters == a.typed;
        r.ms = a.ms;
        ASSERT_TRUE(store.record(r, progress::attributeAnswer(a.letters, readings, a.typed)));
    }
}

bool same(const std::vector<RecentResult>& a, const std::vector<RecentResult>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const RecentResult& x, const RecentResult& y) {
        return x.right == y.right && x.msPerLetter == y.msPerLetter;
    });
}

std::string describe(const std::vector<RecentResult>& results) {
    std::string text;
    for (const RecentResult& r : results)
        text += (r.right ? "right " : "wrong ") + std::to_string(r.msPerLetter) + "; ";
    return text;
}

TEST(CourseHistory, RecentResultsAreEachAnswerOnceNewestFirstWithTheTimePerLetter) {
    const struct {
        const char* what;
        std::vector<Answer> answers;  // oldest first
        unsigned char letter;
        int count;
        std::vector<RecentResult> recent;
    } cases[] = {
        {"met twice, misread once", {{"aa", "ab", 1000}}, 'a', 20, {{false, 500}}},
        {"met twice, misread the other time", {{"aa", "ba", 1000}}, 'a', 20, {{false, 500}}},
        {"met twice, read right twice", {{"aa", "aa", 1000}}, 'a', 20, {{true, 500}}},
        {"the other letter of the answer misread", {{"ta", "da", 900}}, 'a', 20, {{true, 450}}},
        {"the misread letter", {{"ta", "da", 900}}, 't', 20, {{false, 450}}},
        {"newest first",
         {{"a", "a", 3000}, {"a", "e", 2000}, {"ta", "ta", 1800}, {"n", "n", 100}},
         'a',
         20,
         {{true, 900}, {false, 2000}, {true, 3000}}},
        {"only the newest count", {{"a", "e", 3000}, {"a", "a", 2000}, {"a", "a", 1000}}, 'a', 2,
         {{true, 1000}, {true, 2000}}},
        {"a letter never met", {{"ta", "ta", 1000}}, 'e', 20, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        {
            HistoryStore store(dir.path());
            ASSERT_TRUE(store.open());
            recordAll(store, c.answers);
        }
        // Read back from the file by a store opened anew.
        HistoryStore store(dir.path());
        ASSERT_TRUE(store.open());
        const std::vector<RecentResult> recent = store.recentResults(c.letter, c.count);
        EXPECT_TRUE(same(recent, c.recent)) << describe(recent);
    }
}

// A learner who improved masters the letter by the latest answers; one who
// got worse does not, however well the older answers went.
TEST(CourseHistory, TheLatestTwentyAnswersDecideMastery) {
    const std::vector<Answer> wrong(20, Answer{"a", "e", 900});
    const std::vector<Answer> right(20, Answer{"a", "a", 900});
    const struct {
        const char* what;
        std::vector<std::vector<Answer>> periods;  // oldest first
        bool mastered;
    } cases[] = {
        {"improved", {wrong, right}, true},
        {"got worse", {right, wrong}, false},
        {"improved, then two misses", {wrong, right, {2, Answer{"a", "e", 900}}}, true},
        {"improved, then three misses", {wrong, right, {3, Answer{"a", "e", 900}}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        HistoryStore store(dir.path());
        ASSERT_TRUE(store.open());
        for (const auto& period : c.periods)
            recordAll(store, period);
        const course::Mastery m = course::assess(store.recentResults('a', course::kWindow));
        EXPECT_EQ(m.answers, course::kWindow);
        EXPECT_EQ(m.mastered, c.mastered) << m.right << " right";
    }
}

std::vector<RecentResult> timed(const std::vector<int>& msPerLetter) {
    std::vector<RecentResult> recent;
    for (const int ms : msPerLetter)
        recent.push_back({true, ms});
    return recent;
}

// The median of an even window is the mean of its two middle times, the
// highest of the lower half and the lowest of the upper half. The times come
// unsorted and differ, so that no other value of either half passes for a
// middle one.
TEST(CourseHistory, TheMedianTimeIsTheMeanOfTheTwoMiddleOnes) {
    const int limit = course::kMedianMsPerLetter;
    const struct {
        const char* what;
        std::vector<int> times;  // newest first
        int median;
    } cases[] = {
        {"twenty unsorted",
         {1700, 300, 2000, 100, 1200, 900, 1500, 400, 1100, 600, 1900, 200, 1300, 800, 1600, 500, 1800, 700,
          1400, 1000},
         1050},
        {"middles 1900 and 2100: at the limit",
         {2100, 500, 3000, 1900, 600, 2500, 700, 4000, 800, 2200, 900, 2300, 1000, 2400, 1100, 2600, 1200, 2700,
          1300, 2800},
         limit},
        {"middles 1901 and 2101: over the limit",
         {2101, 500, 3000, 1901, 600, 2500, 700, 4000, 800, 2200, 900, 2300, 1000, 2400, 1100, 2600, 1200, 2700,
          1300, 2800},
         limit + 1},
        {"four", {4000, 10, 3000, 20}, 1510},
        {"two", {2500, 1500}, 2000},
        {"odd: the middle one", {900, 100, 5000, 300, 700}, 700},
        {"one", {1234}, 1234},
        {"older than the window do not count",
         {2100, 500, 3000, 1900, 600, 2500, 700, 4000, 800, 2200, 900, 2300, 1000, 2400, 1100, 2600, 1200, 2700,
          1300, 2800, 9000, 9000, 9000},
         limit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const course::Mastery m = course::assess(timed(c.times));
        EXPECT_EQ(m.medianMs, c.median);
        EXPECT_EQ(m.mastered, m.answers == course::kWindow && c.median <= limit);
    }
}

}  // namespace
