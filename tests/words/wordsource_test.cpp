#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>

#include "core/exercise/random.h"
#include "core/progress/course.h"
#include "core/words/dictionaryrun.h"
#include "core/words/textdocument.h"
#include "core/words/textplaces.h"
#include "core/words/textrun.h"
#include "core/words/worddraw.h"
#include "core/words/wordindex.h"
#include "core/words/wordlist.h"
#include "core/words/wordtext.h"
#include "tests/words/wordsupport.h"

namespace {

// Latin-2 bytes of a small dictionary in Hunspell's form.
std::string latin2(std::string_view utf8) {
    std::string out;
    for (const char c : cp(utf8)) {
        switch (static_cast<unsigned char>(c)) {
            case 0x9A: out += '\xB9'; break;  // š
            case 0x9E: out += '\xBE'; break;  // ž
            case 0x8A: out += '\xA9'; break;  // Š
            default: out += c;
        }
    }
    return out;
}

std::vector<std::string> listed(const words::WordList& list) {
    std::vector<std::string> all;
    for (std::size_t i = 0; i < list.size(); ++i)
        all.emplace_back(list[i]);
    return all;
}

TEST(Dictionary, KeepsSmallWordsOfTwoToTwelveLettersThatTheEngineWrites) {
    const std::string dic = latin2(
        "12\n"
        "šola/AB\n"        // a stem with flags
        "žaba\n"
        "Ljubljana/M\n"    // a name: left out
        "NATO\n"           // an abbreviation: left out
        "a\n"              // one letter: too short
        "prestolonaslednik/A\n"  // 17 letters: too long
        "dvanajstica\n"    // 11 letters
        "matić\n"          // ć is not written
        "3D\n"
        "rock'n'roll\n"
        "žaba/X\n"         // a repeat
        "ovca\tpo:samostalnik\n");
    const words::WordList list = words::parseDictionary(dic, words::DicCharset::Latin2);
    EXPECT_EQ(listed(list), (std::vector<std::string>{cp("dvanajstica"), cp("ovca"), cp("šola"), cp("žaba")}));

    // The same in UTF-8, and the character set named by the affix file.
    const std::string utf8 = "2\nšola/A\nžaba\n";
    EXPECT_EQ(words::charsetOfAffixes("# affixes\nSET UTF-8\nTRY abc\n"), words::DicCharset::Utf8);
    EXPECT_EQ(words::charsetOfAffixes("SET ISO8859-2\n"), words::DicCharset::Latin2);
    EXPECT_EQ(words::charsetOfAffixes("SET microsoft-cp1250\n"), words::DicCharset::Cp1250);
    EXPECT_EQ(words::charsetOfAffixes("PFX A Y 1\n"), words::DicCharset::Latin1);
    EXPECT_EQ(listed(words::parseDictionary(utf8, words::DicCharset::Utf8)),
              (std::vector<std::string>{cp("šola"), cp("žaba")}));
}

TEST(Dictionary, ReadsTheFileWithItsAffixesAndTellsAMissingOne) {
    const std::string dir = ::testing::TempDir();
    const std::string dic = dir + "/ostrel_words_sl.dic";
    std::ofstream(dic, std::ios::binary) << latin2("2\nšola/A\nmiš\n");
    std::ofstream(dir + "/ostrel_words_sl.aff", std::ios::binary) << "SET ISO8859-2\n";
    const auto list = words::readDictionary(dic);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(listed(*list), (std::vector<std::string>{cp("miš"), cp("šola")}));
    EXPECT_FALSE(words::readDictionary(dir + "/ostrel_no_such.dic").has_value());
    std::remove(dic.c_str());
    std::remove((dir + "/ostrel_words_sl.aff").c_str());
}

// Words over many letters of the course, some needing letters outside it.
std::shared_ptr<const words::WordList> sampleWords() {
    auto list = std::make_shared<words::WordList>();
    for (const char* w : {"ne", "in", "titan", "tat", "neto", "oreh", "rana", "sestra", "mesto", "kolo",
                          "volk", "pes", "dom", "ura", "jajce", "gora", "zob", "čebela", "šola", "ceh",
                          "hiša", "žaba", "konj", "ljubezen", "fant", "gozd", "xenon", "whisky", "riba",
                          "mati", "tete", "aaa", "nit", "ena", "tema", "enota", "kafé", "müsli"})
        list->add(cp(w));
    list->sortUnique();
    return list;
}

TEST(CourseWords, DrawsOnlyWordsOfTheUnlockedLetters) {
    const TConvertData settings = switches();
    const words::WordIndex index(sampleWords(), settings);
    std::uint32_t seed = 99;
    const words::RandomFunction random = [&seed](int n) { return random_source::draw(seed, n); };
    std::array<double, 64> weights{};
    weights.fill(1.0);
    for (const int unlocked : {course::kStartLetters, 7, 10, 16, 25, course::letterCount()}) {
        // The index agrees with a plain count of the words.
        std::size_t expected = 0;
        for (std::size_t i = 0; i < index.list()->size(); ++i) {
            const std::string letters = words::phoneticLetters((*index.list())[i], settings);
            expected += std::all_of(letters.begin(), letters.end(), [&](char c) {
                const int place = course::position(static_cast<unsigned char>(c));
                return place >= 0 && place < unlocked;
            });
        }
        const std::size_t usable = index.usable(unlocked);
        ASSERT_EQ(usable, expected) << unlocked;
        ASSERT_GT(usable, 1u) << unlocked;
        words::RecentWords recent;
        std::size_t last = static_cast<std::size_t>(-1);
        for (int draw = 0; draw < 2000; ++draw) {
            const std::size_t pick = words::drawWeighted(index, unlocked, weights, random, recent);
            ASSERT_LT(pick, usable);
            ASSERT_NE(pick, last) << "the same word twice in a row";
            last = pick;
            recent.add(index.word(pick));
            for (const char c : words::phoneticLetters(index.word(pick), settings)) {
                const int place = course::position(static_cast<unsigned char>(c));
                ASSERT_TRUE(place >= 0 && place < unlocked)
                    << "letter " << c << " of " << index.word(pick) << " with " << unlocked << " unlocked";
            }
        }
    }
    // Words with letters outside the order (é is a carrier and e, ü is Y) never come.
    EXPECT_EQ(index.usable(course::letterCount()), index.size() - 2);
}

TEST(CourseWords, AnIndexIsMadeAnewOnlyWhenTheSwitchesChange) {
    // The switches decide the letters a word is read as ("th" is one letter
    // or two), so an index made under others must not be used.
    const auto index = std::make_shared<const words::WordIndex>(sampleWords(), switches());
    EXPECT_EQ(words::forSwitches(index, switches()), index);
    const TConvertData changed = switches({{flag::Th, false}, {flag::FinalSilentE, false}});
    const auto anew = words::forSwitches(index, changed);
    ASSERT_NE(anew, index);
    EXPECT_TRUE(anew->madeFor(changed));
    EXPECT_EQ(anew->list(), index->list());
    EXPECT_EQ(words::forSwitches(nullptr, changed), nullptr);
}

TEST(CourseWords, WeakLettersComeMoreOften) {
    const TConvertData settings = switches();
    const words::WordIndex index(sampleWords(), settings);
    const int unlocked = 8;  // t n a e ě i o r
    std::array<double, 64> weights{};
    weights.fill(1.0);
    weights[static_cast<std::size_t>(course::position('r'))] = 12.0;
    std::uint32_t seed = 5;
    const words::RandomFunction random = [&seed](int n) { return random_source::draw(seed, n); };
    std::map<bool, int> withR;
    const std::size_t usable = index.usable(unlocked);
    int wordsWithR = 0;
    for (std::size_t i = 0; i < usable; ++i)
        wordsWithR += index.word(i).find('r') != std::string_view::npos;
    ASSERT_GT(wordsWithR, 0);
    for (int draw = 0; draw < 4000; ++draw)
        ++withR[index.word(words::drawWeighted(index, unlocked, weights, random, words::RecentWords{})).find('r') !=
                std::string_view::npos];
    const double share = static_cast<double>(withR[true]) / 4000;
    EXPECT_GT(share, 2.0 * wordsWithR / static_cast<double>(usable));
}

TEST(TextSource, DecodesUtf8OrWindows1250) {
    EXPECT_EQ(words::decodeText("\xEF\xBB\xBF" "Čaša"), cp("Čaša"));
    EXPECT_EQ(words::decodeText("\xC4\x8C" "a\xC5\xA1" "a"), cp("Čaša"));
    // Not UTF-8: the bytes are Windows-1250 already.
    EXPECT_EQ(words::decodeText(cp("Čaša")), cp("Čaša"));
    // A character the code page lacks splits no word into a wrong one: it is '?'.
    EXPECT_EQ(words::decodeText("a\xE2\x86\x92" "b"), "a?b");
}

TEST(TextSource, WalksTheWordsInReadingOrderAndResumesWhereItStopped) {
    auto document = std::make_shared<words::TextDocument>();
    document->text = cp("Bil je 1 mož, ki je imel Matića\r\nin psa-čuvaja.");
    document->key = "/tmp/zgodba.txt";
    document->title = "zgodba.txt";
    words::indexDocument(*document);
    EXPECT_EQ(document->words, 9u);  // numbers and Matića are passed over

    std::size_t kept = 0;
    auto run = std::make_unique<TextRun>(document, 0, [&kept](std::size_t offset) { kept = offset; });
    EXPECT_EQ(run->takeNotice(), "");
    std::vector<std::string> read;
    for (int i = 0; i < 4; ++i) {
        read.push_back(run->next());
        run->answered(i % 2 == 0);
    }
    EXPECT_EQ(read, (std::vector<std::string>{"Bil", "je", cp("mož"), "ki"}));
    // A word shown but not answered is shown again after a restart.
    EXPECT_EQ(run->next(), "je");

    run = std::make_unique<TextRun>(document, kept, [&kept](std::size_t offset) { kept = offset; });
    EXPECT_NE(run->takeNotice(), "");
    read.clear();
    for (std::string word = run->next(); !word.empty(); word = run->next()) {
        read.push_back(word);
        run->answered(true);
    }
    EXPECT_EQ(read, (std::vector<std::string>{"je", "imel", "in", "psa", cp("čuvaja")}));
    EXPECT_EQ(run->takeNotice(), cp("Besedilo „zgodba.txt“ je prebrano do konca."));
    EXPECT_EQ(kept, document->text.size());

    // Read to its end, it starts again from the beginning.
    run = std::make_unique<TextRun>(document, kept, nullptr);
    EXPECT_EQ(run->next(), "Bil");
    // A place inside a word (the file changed meanwhile) goes on after it.
    run = std::make_unique<TextRun>(document, 1, nullptr);
    EXPECT_EQ(run->next(), "je");
}

TEST(TextSource, PlacesAreKeptPerTextMostRecentFirst) {
    words::TextPlaces places;
    places.set("/a.txt", 10);
    places.set("/b.txt", 20);
    places.set("/a.txt", 30);
    const std::vector<std::string> list = places.toList();
    EXPECT_EQ(list, (std::vector<std::string>{"30\t/a.txt", "20\t/b.txt"}));

    std::vector<std::string> stored = list;
    stored.push_back("x\t/damaged.txt");
    stored.push_back("5");
    const words::TextPlaces back = words::TextPlaces::fromList(stored);
    EXPECT_EQ(back.placeOf("/a.txt"), 30u);
    EXPECT_EQ(back.placeOf("/b.txt"), 20u);
    EXPECT_EQ(back.placeOf("/damaged.txt"), 0u);
    EXPECT_EQ(back.lastKey(), "/a.txt");

    for (std::size_t i = 0; i < words::TextPlaces::kKept + 5; ++i)
        places.set("/t" + std::to_string(i), i);
    EXPECT_EQ(places.toList().size(), words::TextPlaces::kKept);
    EXPECT_EQ(places.placeOf("/a.txt"), 0u);
}

TEST(DictionarySource, DrawsEveryWordAndNeverTheSameTwiceInARow) {
    auto list = sampleWords();
    std::uint32_t seed = 3;
    DictionaryRun run(list, nullptr, [&seed](int n) { return random_source::draw(seed, n); });
    std::map<std::string, int> seen;
    std::string last;
    for (int i = 0; i < 3000; ++i) {
        const std::string word = run.next();
        ASSERT_NE(word, last);
        ++seen[word];
        last = word;
    }
    EXPECT_EQ(seen.size(), list->size());

    DictionaryRun empty(std::make_shared<words::WordList>(), nullptr, [](int) { return 0; });
    EXPECT_EQ(empty.next(), "");
    EXPECT_NE(empty.takeNotice(), "");
}

}  // namespace
