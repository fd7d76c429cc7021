#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <set>

#include "core/exercise/random.h"
#include "core/words/commonwords.h"
#include "core/words/dictionaryrun.h"
#include "core/words/recentwords.h"
#include "core/words/wordtext.h"
#include "tests/words/wordsupport.h"

namespace {

TEST(CommonWords, EveryEntryIsADictionaryWordTheDrillsUseAndNoneIsListedTwice) {
    const std::string& text = commonWordsText();
    ASSERT_FALSE(text.empty()) << OSTREL_COMMON_WORDS;
    const auto dictionary = debianDictionary();
    if (!dictionary)
        GTEST_SKIP() << "hunspell-sl is not installed";
    std::set<std::string> seen;
    std::vector<std::string> missing;
    std::vector<std::string> twice;
    int entries = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        ++entries;
        const std::string word = cp1250::fromUtf8(line);
        // Small letters, no blanks: the line is the word as the drills take it.
        if (words::lowered(word) != word || !words::suitsDrill(word) || !dictionary->contains(word))
            missing.push_back(line);
        if (!seen.insert(word).second)
            twice.push_back(line);
    }
    EXPECT_GE(entries, 2000);
    EXPECT_TRUE(missing.empty()) << missing.size() << " not in the dictionary, the first: " << missing.front();
    EXPECT_TRUE(twice.empty()) << twice.size() << " listed twice, the first: " << twice.front();
    // The program's reading of the list keeps every entry in its order.
    const words::CommonWords common = words::CommonWords::parse(text);
    ASSERT_EQ(common.size(), static_cast<std::size_t>(entries));
    EXPECT_EQ(common.word(0), "je");
    EXPECT_EQ(common.rankOf("je"), 0u);
    EXPECT_EQ(common.presentIn(*dictionary).size(), common.size());
}

TEST(CommonWords, ReadsTheListAsTheProgramCarriesIt) {
    const words::CommonWords common =
        words::CommonWords::parse("# a comment\r\nje\r\n\r\n  Hiša \nmož\nje\nx\nčez2\nmož\n");
    // Comments, blanks, repeats and what the drills cannot use are left out;
    // capitals become small.
    ASSERT_EQ(common.size(), 3u);
    EXPECT_EQ(common.word(1), cp("hiša"));
    EXPECT_EQ(common.rankOf(cp("mož")), 2u);
    EXPECT_EQ(common.rankOf("x"), words::kNotCommon);
    auto list = std::make_shared<words::WordList>();
    for (const char* w : {"je", "miza", "mož"})
        list->add(cp(w));
    list->sortUnique();
    const words::CommonWords present = common.presentIn(*list);
    ASSERT_EQ(present.size(), 2u);
    EXPECT_EQ(present.word(0), "je");
    EXPECT_EQ(present.word(1), cp("mož"));
}

TEST(RecentWords, RemembersTheLastWordsUpToItsWindow) {
    words::RecentWords recent;
    EXPECT_FALSE(recent.contains("a"));
    for (int i = 0; i < 25; ++i)
        recent.add("w" + std::to_string(i));
    EXPECT_TRUE(recent.contains("w24"));
    EXPECT_TRUE(recent.contains("w5"));   // the 20th from the end
    EXPECT_FALSE(recent.contains("w4"));  // the 21st
    EXPECT_TRUE(recent.contains("w22", 3));
    EXPECT_FALSE(recent.contains("w21", 3));
    EXPECT_FALSE(recent.contains("w24", 0));
}

// 200 common words (c000 most common ... c199) and 200 others.
struct DrawWords {
    std::shared_ptr<words::WordList> list = std::make_shared<words::WordList>();
    std::shared_ptr<const words::CommonWords> common;
    DrawWords() {
        std::string text;
        for (int i = 0; i < 200; ++i) {
            const std::string number = std::to_string(1000 + i).substr(1);
            std::string word = "c";
            for (const char digit : number)
                word += static_cast<char>('a' + (digit - '0'));
            text += word + "\n";
            list->add(word);
            list->add("r" + word.substr(1));
        }
        list->sortUnique();
        common = std::make_shared<const words::CommonWords>(words::CommonWords::parse(text));
    }
};

TEST(DictionarySource, TakesCommonWordsMostlyTheCommonerMoreOftenAndNoneAgainSoon) {
    const DrawWords sample;
    std::uint32_t seed = 7;
    DictionaryRun run(sample.list, sample.common, [&seed](int n) { return random_source::draw(seed, n); });
    std::vector<std::string> drawn;
    std::map<int, int> quarter;  // of the common list's ranks
    int rare = 0;
    const int draws = 4000;
    for (int i = 0; i < draws; ++i) {
        const std::string word = run.next();
        const auto window = drawn.end() - static_cast<std::ptrdiff_t>(
                                              std::min(drawn.size(), words::RecentWords::kKept));
        ASSERT_EQ(std::find(window, drawn.end(), word), drawn.end()) << word << " again within 20, draw " << i;
        drawn.push_back(word);
        const std::uint32_t rank = sample.common->rankOf(word);
        if (rank == words::kNotCommon)
            ++rare;
        else
            ++quarter[static_cast<int>(rank) / 50];
    }
    // One in ten from the whole list (half of which is common here).
    EXPECT_GT(rare, draws * 3 / 100);
    EXPECT_LT(rare, draws * 8 / 100);
    // The chance of a rank falls evenly: the first quarter of the list comes
    // about seven times as often as the last.
    EXPECT_GT(quarter[0], 4 * quarter[3]);
    EXPECT_GT(quarter[1], quarter[2]);
    EXPECT_GT(quarter[3], 0);
}

TEST(DictionarySource, TheFirstFiftyWordsOfAFreshRunAreMostlyCommon) {
    const auto dictionary = debianDictionary();
    if (!dictionary)
        GTEST_SKIP() << "hunspell-sl is not installed";
    const auto common = std::make_shared<const words::CommonWords>(
        words::CommonWords::parse(commonWordsText()).presentIn(*dictionary));
    std::uint32_t seed = 2026;
    DictionaryRun run(dictionary, common, [&seed](int n) { return random_source::draw(seed, n); });
    int fromList = 0;
    std::string shown;
    for (int i = 0; i < 50; ++i) {
        const std::string word = run.next();
        fromList += common->rankOf(word) != words::kNotCommon;
        shown += cp1250::toUtf8(word) + " ";
    }
    std::cout << "Besede iz slovarja, 50 words (" << fromList << " common): " << shown << "\n";
    EXPECT_GE(fromList, 40) << shown;
}

}  // namespace
