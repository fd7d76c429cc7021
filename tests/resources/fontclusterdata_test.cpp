// The clusters of font codes that the font is tested on: how a transcription
// splits into clusters, which words of a text are taken, and whether the
// committed test data is what the transcription writes today.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "core/transcription/alphabet.h"
#include "core/transcription/cp1250.h"
#include "tools/fontclusters.h"

namespace {

std::string codes(std::initializer_list<char> letters) {
    std::string out;
    for (const char letter : letters) {
        out += alphabet::glyph(letter);
    }
    return out;
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(FontClusterData, ALetterKeepsItsMarksTildeSilentEAndSHook) {
    struct Row {
        std::string codes;
        std::vector<std::string> clusters;
    };
    const std::string t = codes({'t'});
    const std::string a = codes({'a'});
    const std::string tilde = codes({'\x9B'});   // ›
    const std::string silentE = codes({'\xEC'});  // ě
    const std::string hook = codes({'c'}).substr(1);
    const std::string carrier = codes({'\xEE'});  // î
    const Row rows[] = {
        {t, {t}},
        {t + a, {t + a}},
        {t + a + t, {t + a, t}},
        {t + tilde + a + hook + silentE, {t + tilde + a + hook + silentE}},  // the s-hook ends the letter
        {codes({'x'}) + t, {codes({'x'}), t}},
        {carrier + a + " " + t, {carrier + a, t}},  // a space only ends a cluster
        {"  ", {}},
        {a + t, {a, t}},  // a mark with nothing before it stands alone
    };
    for (const Row& row : rows) {
        std::map<std::string, long> counts;
        fontclusters::countClusters(row.codes, counts);
        std::map<std::string, long> expected;
        for (const std::string& cluster : row.clusters) {
            ++expected[cluster];
        }
        EXPECT_EQ(counts, expected) << row.codes;
    }
}

TEST(FontClusterData, TakesTheWordsADrillWould) {
    const std::vector<std::string> found =
        fontclusters::wordsOfText("== 1101 == **Šola** in x-žarki: nepredstavljivost, 3 ure");
    const std::vector<std::string> expected = {cp1250::fromUtf8("šola"), "in", cp1250::fromUtf8("žarki"), "ure"};
    EXPECT_EQ(found, expected);  // one letter and thirteen are too few and too many
}

TEST(FontClusterData, WriteAndReadAgain) {
    const std::map<std::string, long> counts = {{"1%", 3}, {"#", 7}, {"z\\", 3}};
    const std::vector<std::string> expected = {"#", "1%", "z\\"};
    EXPECT_EQ(fontclusters::parse(fontclusters::format(counts)), expected);
}

// A change of the transcription that writes a cluster the data does not hold
// shows here: the data is made again with `cmake --build build --target fontclusters`.
TEST(FontClusterData, IsWhatTheTranscriptionWritesToday) {
    const std::string dictionary = "/usr/share/hunspell/sl_SI.dic";
    const auto words = words::readDictionary(dictionary);
    if (!words) {
        GTEST_SKIP() << "no " << dictionary << " (Debian package hunspell-sl)";
    }
    const std::vector<std::string> textWords = fontclusters::wordsOfHelp(OSTREL_FONT_SOURCE_DIR "/resources/help");
    ASSERT_FALSE(textWords.empty());
    const std::string collected = fontclusters::format(fontclusters::collect(*words, textWords));
    EXPECT_TRUE(collected == readFile(OSTREL_FONT_SOURCE_DIR "/tests/resources/fontclusters.txt"))
        << "tests/resources/fontclusters.txt is out of date: cmake --build build --target fontclusters";
}

}  // namespace
