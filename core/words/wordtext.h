#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/transcription/convertdata.h"

// Words as the drills of real words see them: Windows-1250 text, letters and
// their case, whether the transcription writes a word whole, and which
// phonetic letters a word is read as.
namespace words {

// Whether a byte is a letter of Windows-1250 (either case).
bool isLetter(unsigned char c);
// Whether a byte is a small letter of Windows-1250.
bool isLower(unsigned char c);
// The small form of a letter (other bytes unchanged).
unsigned char toLower(unsigned char c);
std::string lowered(std::string_view text);

// Whether the transcription writes every character of a word made of small
// letters: nothing of it is dropped, and it has at least one letter.
bool writable(std::string_view lowerWord);

// The word's phonetic letters under the switches: what the transcription's
// folding makes of it (nj may become one letter, a final e the silent e).
std::string phoneticLetters(std::string_view lowerWord, const TConvertData& settings);

// The same letters, each with the part of the word it stands for ("konj" with
// nj folded: k "k", o "o", N "nj"). A letter that another one's spelling
// already covers has an empty spelling.
struct SpelledLetters {
    std::string letters;
    std::vector<std::string> spellings;
};
SpelledLetters spelledLetters(std::string_view lowerWord, const TConvertData& settings);

}  // namespace words
