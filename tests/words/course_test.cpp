#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "core/exercise/random.h"
#include "core/progress/course.h"
#include "core/words/commonwords.h"
#include "core/words/courserun.h"
#include "core/words/wordindex.h"
#include "core/words/wordtext.h"
#include "tests/words/wordsupport.h"

namespace {

using course::Mastery;
using course::RecentResult;

std::vector<RecentResult> answers(int right, int wrong, int msPerLetter) {
    std::vector<RecentResult> recent(static_cast<std::size_t>(right), RecentResult{true, msPerLetter});
    recent.insert(recent.end(), static_cast<std::size_t>(wrong), RecentResult{false, msPerLetter});
    return recent;
}

TEST(CourseRule, MasteryNeedsTheWholeWindowEnoughRightAndQuickAnswers) {
    struct Case {
        std::vector<RecentResult> recent;
        bool mastered;
    };
    const int limit = course::kMedianMsPerLetter;
    std::vector<RecentResult> oldMisses = answers(20, 0, 900);
    const std::vector<RecentResult> misses = answers(0, 15, 900);
    oldMisses.insert(oldMisses.end(), misses.begin(), misses.end());  // older than the window
    const std::vector<Case> cases = {
        {answers(20, 0, 900), true},
        {answers(18, 2, limit), true},       // 90 % and the median at the limit
        {answers(17, 3, 900), false},        // 85 %
        {answers(19, 0, 900), false},        // not yet 20 answers
        {answers(20, 0, limit + 1), false},  // too slow
        {oldMisses, true},
        {{}, false},
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(course::assess(cases[i].recent).mastered, cases[i].mastered) << "case " << i;
    // The median of an even count is the mean of the two middle times.
    std::vector<RecentResult> mixed = answers(10, 0, 1000);
    const auto slow = answers(10, 0, 3000);
    mixed.insert(mixed.end(), slow.begin(), slow.end());
    EXPECT_EQ(course::assess(mixed).medianMs, 2000);
}

TEST(CourseRule, UnlocksOneLetterExactlyWhenEveryUnlockedLetterIsMastered) {
    const Mastery good = course::assess(answers(20, 0, 500));
    const Mastery weak = course::assess(answers(15, 5, 500));
    const std::uint64_t all = ~std::uint64_t{0};
    const int start = course::kStartLetters;
    const auto without = [all](std::initializer_list<int> places) {
        std::uint64_t mask = all;
        for (const int place : places)
            mask &= ~(std::uint64_t{1} << place);
        return mask;
    };
    std::vector<Mastery> letters(static_cast<std::size_t>(start), good);
    struct Case {
        int unlocked;
        std::uint64_t practicable;
        std::uint64_t openable;
        int after;
    };
    const std::vector<Case> allMastered = {
        {start, all, all, start + 1},
        // A letter without words does not hold the course back.
        {start, without({2}), all, start + 1},
        // The next letter has no words when unlocked: it is passed over, and
        // the one after it comes (one letter of words at a time).
        {start, all, without({start}), start + 2},
        {start, all, without({start, start + 1, start + 2}), start + 4},
        // No letter after them can be practised: nothing unlocks.
        {start, all, (std::uint64_t{1} << start) - 1, start},
        // Nothing unlocks while no unlocked letter can be practised.
        {start, 0, all, start},
    };
    for (std::size_t i = 0; i < allMastered.size(); ++i) {
        const Case& c = allMastered[i];
        EXPECT_EQ(course::unlockedAfter(c.unlocked, letters, c.practicable, c.openable), c.after) << "case " << i;
    }
    letters[2] = weak;
    EXPECT_EQ(course::unlockedAfter(start, letters, all, all), start);
    EXPECT_EQ(course::unlockedAfter(start, letters, without({2}), all), start + 1);
    // Never past the end, never below the start.
    const std::vector<Mastery> every(static_cast<std::size_t>(course::letterCount()), good);
    EXPECT_EQ(course::unlockedAfter(course::letterCount(), every, all, all), course::letterCount());
    EXPECT_EQ(course::unlockedAfter(0, every, all, all), start + 1);
    EXPECT_EQ(course::clampUnlocked(0), start);
    EXPECT_EQ(course::clampUnlocked(1000), course::letterCount());
    // The learner's letters: the unlocked ones with words.
    EXPECT_EQ(course::learnerLetters(start + 2, without({start})), (std::uint64_t{1} << (start + 2)) - 1 -
                                                                        (std::uint64_t{1} << start));
    EXPECT_EQ(course::learnerLetters(course::letterCount(), all) >> course::letterCount(), 0u);
    // The order holds each letter once.
    const std::string_view order = course::order();
    for (std::size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(course::position(static_cast<unsigned char>(order[i])), static_cast<int>(i));
}

// A made-up history: every answer of the course is recorded per letter.
class FakeHistory : public CourseHistory {
public:
    int unlockedLetters() override { return unlocked; }
    void setUnlockedLetters(int count) override { unlocked = count; }
    std::vector<RecentResult> recentResults(unsigned char letter, int count) override {
        const auto& all = results[letter];
        const auto n = std::min<std::size_t>(all.size(), static_cast<std::size_t>(count));
        return std::vector<RecentResult>(all.rbegin(), all.rbegin() + static_cast<std::ptrdiff_t>(n));
    }
    std::vector<progress::LetterHistory> letterHistory() override { return {}; }
    bool recording() override { return recordingOn; }
    std::int64_t now() override { return 1'800'000'000; }

    // Records an answer to a word: each distinct letter once.
    void record(const std::string& word, bool right, int msPerLetter) {
        const std::string letters = words::phoneticLetters(words::lowered(word), switches());
        std::map<unsigned char, bool> seen;
        for (const char c : letters)
            seen[static_cast<unsigned char>(c)] = true;
        for (const auto& [letter, _] : seen)
            results[letter].push_back({right, msPerLetter});
    }

    int unlocked = 0;
    bool recordingOn = true;
    std::map<unsigned char, std::vector<RecentResult>> results;
};

std::shared_ptr<const words::WordIndex> courseWords() {
    auto list = std::make_shared<words::WordList>();
    for (const char* w : {"ne", "in", "titan", "tat", "neto", "net", "ena", "tete", "nit", "tina", "oto",
                          "noto", "ona", "oni", "nona", "rana", "tir", "sir", "nos", "rosa", "mama", "tam", "kot", "lov", "pes"})
        list->add(cp(w));
    list->sortUnique();
    return std::make_shared<const words::WordIndex>(list, switches());
}

TEST(CourseRun, StartsWithFiveLettersAndUnlocksTheNextOnlyWhenAllAreMastered) {
    FakeHistory history;
    std::uint32_t seed = 11;
    CourseRun run(courseWords(), "", history, [&seed](int n) { return random_source::draw(seed, n); });
    EXPECT_EQ(history.unlocked, course::kStartLetters);
    EXPECT_EQ(run.takeNotice(), "");
    // ě (the silent e) has no word under the default switches: it does not hold
    // the course back.
    EXPECT_EQ(run.practicable() & (std::uint64_t{1} << course::position(0xEC)), 0u);

    // Answers right and quick until every one of t, n, a, e, i has 20: the
    // sixth letter comes with the answer that completes the last of them.
    int answered = 0;
    bool unlockedEarly = false;
    std::string notice;
    while (history.unlocked == course::kStartLetters && answered < 2000) {
        const std::string word = run.next();
        ASSERT_FALSE(word.empty());
        for (const char c : words::phoneticLetters(word, switches()))
            ASSERT_LT(course::position(static_cast<unsigned char>(c)), course::kStartLetters) << word;
        history.record(word, true, 800);
        run.answered(true);
        ++answered;
        notice = run.takeNotice();
        bool allMastered = true;
        for (const char c : std::string_view("tnaei"))
            allMastered = allMastered && history.results[static_cast<unsigned char>(c)].size() >= 20;
        if (history.unlocked != course::kStartLetters)
            unlockedEarly = !allMastered;
    }
    EXPECT_FALSE(unlockedEarly);
    // The silent e has no word: it is passed over, neither unlocked nor told
    // nor counted, and o comes as the learner's sixth letter.
    EXPECT_EQ(history.unlocked, course::kStartLetters + 2);
    EXPECT_EQ(notice, cp("Tečaj: nova črka „o“ (6. od ") + std::to_string(course::letterCount()) + ").");
    EXPECT_EQ(run.takeNewLetter(), 'o');
    EXPECT_EQ(run.takeNewLetter(), 0);

    // Misses of one unlocked letter hold the course while all others are
    // mastered; answering it right again brings the next letter.
    for (int i = 0; i < 5; ++i)
        history.results['t'].push_back({false, 800});
    for (int i = 0; i < 2000 && history.results['o'].size() < 25; ++i) {
        const std::string word = run.next();
        if (word.find('t') != std::string::npos)
            continue;
        history.record(word, true, 800);
        run.answered(true);
    }
    ASSERT_GE(history.results['o'].size(), 25u);
    EXPECT_EQ(history.unlocked, course::kStartLetters + 2);
    for (int i = 0; i < 2000 && history.unlocked == course::kStartLetters + 2; ++i) {
        const std::string word = run.next();
        if (word.find('t') == std::string::npos)
            continue;
        history.record(word, true, 800);
        run.answered(true);
    }
    EXPECT_EQ(history.unlocked, course::kStartLetters + 3);
    EXPECT_NE(run.takeNotice().find(cp("„r (marec)“ (7. od")), std::string::npos);
    EXPECT_EQ(run.takeNewLetter(), 'r');
}

TEST(CourseRun, ALetterPassedOverComesInItsPlaceWhenItHasWords) {
    FakeHistory history;
    history.unlocked = course::kStartLetters + 2;  // t n a e i, ě passed over, o
    std::uint32_t seed = 5;
    CourseRun run(courseWords(), "", history, [&seed](int n) { return random_source::draw(seed, n); });
    const std::uint64_t silentE = std::uint64_t{1} << course::position(0xEC);
    ASSERT_EQ(run.practicable() & silentE, 0u);
    run.next();
    EXPECT_EQ(run.takeNewLetter(), 0);
    // With a final e written as the silent e, "ne" and "tete" have it: it is
    // the learner's letter from the next word on, and told as new.
    setSettingsSource([](TConvertData& settings) { settings = switches({{flag::FinalSilentE, true}}); });
    run.next();
    setSettingsSource(nullptr);
    EXPECT_NE(run.practicable() & silentE, 0u);
    EXPECT_EQ(run.takeNewLetter(), 0xEC);
    EXPECT_NE(run.takeNotice().find(cp("„nemi e“ (7. od")), std::string::npos);
    EXPECT_EQ(history.unlocked, course::kStartLetters + 2);
}

TEST(CourseRun, TheFirstFiftyWordsOfAFreshCourseAreMostlyCommon) {
    const auto dictionary = debianDictionary();
    if (!dictionary)
        GTEST_SKIP() << "hunspell-sl is not installed";
    const auto common = std::make_shared<const words::CommonWords>(words::CommonWords::parse(commonWordsText()));
    FakeHistory history;
    std::uint32_t seed = 2026;
    CourseRun run(std::make_shared<const words::WordIndex>(dictionary, switches(), common), "", history,
                  [&seed](int n) { return random_source::draw(seed, n); });
    int fromList = 0;
    std::string shown;
    std::set<std::string> distinct;
    for (int i = 0; i < 50; ++i) {
        const std::string word = run.next();
        ASSERT_FALSE(word.empty());
        fromList += common->rankOf(word) != words::kNotCommon;
        distinct.insert(word);
        shown += cp1250::toUtf8(word) + " ";
        // A learner who reads every word right at a good pace.
        history.record(word, true, 800);
        run.answered(true);
    }
    std::cout << "Tečaj, 50 words (" << fromList << " common, " << distinct.size()
              << " different): " << shown << "\n";
    EXPECT_GE(fromList, 40) << shown;
}

TEST(CourseRun, ATextLackingALetterSharesTheWordsWithTheDictionary) {
    FakeHistory history;
    history.unlocked = course::kStartLetters + 2;  // ... ě, o
    auto text = std::make_shared<words::WordList>();
    text->add(cp("atentati"));
    std::uint32_t seed = 21;
    CourseRun run(std::make_shared<const words::WordIndex>(text, switches()), "atentati.txt", history,
                  [&seed](int n) { return random_source::draw(seed, n); }, courseWords());
    EXPECT_NE(run.practicable() & (std::uint64_t{1} << course::position('o')), 0u);
    int fromText = 0;
    int withO = 0;
    for (int i = 0; i < 20; ++i) {
        const std::string word = run.next();
        fromText += word == "atentati";
        withO += word.find('o') != std::string::npos;
        for (const char c : words::phoneticLetters(word, switches()))
            ASSERT_LT(course::position(static_cast<unsigned char>(c)), history.unlocked) << word;
    }
    EXPECT_EQ(fromText, 10);
    EXPECT_GT(withO, 0);
}

TEST(CourseRun, TellsWhenItCannotGoOn) {
    FakeHistory history;
    history.recordingOn = false;
    auto list = std::make_shared<words::WordList>();
    list->add(cp("riba"));
    CourseRun empty(std::make_shared<const words::WordIndex>(list, switches()), "zgodba.txt", history,
                    [](int) { return 0; });
    EXPECT_NE(empty.takeNotice(), "");  // the source is named
    EXPECT_EQ(empty.next(), "");
    EXPECT_EQ(empty.takeNotice(), cp("V besedilu „zgodba.txt“ ni besede samo iz odklenjenih črk tečaja."));

    CourseRun run(courseWords(), "", history, [](int) { return 0; });
    run.next();
    run.answered(true);
    EXPECT_NE(run.takeNotice().find(cp("izklopljeno")), std::string::npos);
}

}  // namespace
