// The drills take words of two to twelve letters, from the dictionary file and
// from the learner's own text alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/words/textdocument.h"
#include "core/words/wordlist.h"
#include "tests/words/wordsupport.h"

namespace {

std::vector<std::string> listed(const words::WordList& list) {
    std::vector<std::string> all;
    for (std::size_t i = 0; i < list.size(); ++i)
        all.emplace_back(list[i]);
    return all;
}

const struct {
    const char* word;
    bool kept;
} kLengths[] = {
    {"a", false},              // 1
    {"v", false},              // 1
    {"ne", true},              // 2
    {"in", true},              // 2
    {"nit", true},             // 3
    {"dvanajstica", true},     // 11
    {"samostalniki", true},    // 12
    {"samostalnikih", false},  // 13
    {"podpredsednica", false}, // 14
};

TEST(WordLength, TheDictionaryFileKeepsWordsOfTwoToTwelveLetters) {
    const std::filesystem::path dir =
        std::filesystem::path(::testing::TempDir()) / ("ostrel-wordlength-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string dic = (dir / "sl.dic").string();
    std::string text = std::to_string(std::size(kLengths)) + "\n";
    std::vector<std::string> kept;
    for (const auto& c : kLengths) {
        text += std::string(c.word) + "/A\n";
        if (c.kept)
            kept.push_back(c.word);
    }
    std::ofstream(dic, std::ios::binary) << text;
    std::ofstream((dir / "sl.aff").string(), std::ios::binary) << "SET UTF-8\n";
    const auto list = words::readDictionary(dic);
    ASSERT_TRUE(list.has_value());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(listed(*list), kept);
    std::filesystem::remove_all(dir);
}

TEST(WordLength, AnOwnTextDrillsWordsOfTwoToTwelveLettersAndCountsThemAll) {
    words::TextDocument document;
    std::vector<std::string> kept;
    for (const auto& c : kLengths) {
        // Capitals and punctuation around each word, as a text has them.
        std::string word = c.word;
        word[0] = static_cast<char>(word[0] - 'a' + 'A');
        document.text += word + ", ";
        if (c.kept)
            kept.push_back(c.word);
    }
    words::indexDocument(document);
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(listed(document.drillWords), kept);
    EXPECT_EQ(document.words, std::size(kLengths));  // every word is read, short or long
}

}  // namespace
