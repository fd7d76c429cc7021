#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/transcription/convertdata.h"
#include "core/words/wordlist.h"

// The clusters of font codes that the transcription really writes: a letter
// with the marks drawn on it (vowel marks, the doubling tilde, the silent-e
// dot) and the s-hook that may end it, or a carrier with its marks. The font
// is judged on every distinct cluster, so the set is kept as test data
// (tests/resources/fontclusters.txt), made by `cmake --build <dir> --target fontclusters`.
namespace fontclusters {

// A set of transcription switches the clusters are collected under.
struct SwitchSet {
    std::string name;
    TConvertData settings;
};

// Whether a font code is a mark: it has no advance and stands on the code before it.
bool isMark(char code);

// The default switches, and a few sets that change where marks go and which
// letters are written: the final silent e, the marks of Sindarin, o and u as
// letters, and every pair of letters joined.
std::vector<SwitchSet> switchSets();

// Splits the font codes of a transcription into its clusters and counts each.
// A cluster begins at every code that takes room of its own, except the
// s-hook that ends a letter; a space only ends one.
void countClusters(std::string_view codes, std::map<std::string, long>& counts);

// The small-letter words of a text (UTF-8) that a word drill would take.
std::vector<std::string> wordsOfText(std::string_view utf8);

// The words of the help topic files (*.txt) in `dir`, file by file in name
// order; nothing of a file that cannot be read.
std::vector<std::string> wordsOfHelp(const std::string& dir);

// Every cluster of every word, and of the letters written with the s-hook
// doubled, under every switch set, with how often each is written.
std::map<std::string, long> collect(const words::WordList& dictionary, const std::vector<std::string>& textWords);

// The collected clusters as the test data file: comment lines, then one
// cluster a line with its count, the commonest first.
std::string format(const std::map<std::string, long>& counts);

// The clusters of a test data file, in its order.
std::vector<std::string> parse(std::string_view file);

}  // namespace fontclusters
