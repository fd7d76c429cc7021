#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/words/wordlist.h"

// The learner's own text, read word by word.
namespace words {

// A text file's bytes as Windows-1250: UTF-8 (a byte-order mark dropped) when
// the bytes are UTF-8, with '?' for characters the code page lacks; else the
// bytes are taken as Windows-1250.
std::string decodeText(std::string_view bytes);

// A word of the text: the bytes [begin, end).
struct WordSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The first word at or after `from` that the transcription writes whole; a
// word that `from` falls into is passed over (its start was read). Words are
// runs of letters; others are skipped. lowerWord, when given, receives the
// word in small letters.
std::optional<WordSpan> nextWord(std::string_view text, std::size_t from, std::string* lowerWord = nullptr);

// The text once it is read in.
struct TextDocument {
    std::string text;   // Windows-1250
    std::string key;    // where its place is remembered (the file's path, or a mark of pasted text)
    std::string title;  // for the learner (Windows-1250): the file's name
    std::size_t words = 0;  // words the transcription writes
    WordList drillWords;    // its distinct words that suit the course, in small letters
};

// Fills words and drillWords from text.
void indexDocument(TextDocument& document);

// The mark under which a pasted text's place is remembered.
std::string pastedKey(std::string_view text);

}  // namespace words
