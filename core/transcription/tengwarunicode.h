#pragma once

#include <string>
#include <string_view>

// Tengwar as Unicode text: the letters and marks of the ConScript Unicode
// Registry's Tengwar block (U+E000-U+E07F, private use), so that a transcription
// shows in any font that follows the registry, and not only in "Tengwar Quenya".
namespace tengwarunicode {

// The code point that stands for a font code 0x20-0x7E. Marks come after the
// letter that bears them, as the font codes do, so the order is kept. Font codes
// that are several forms of one sign (a vowel mark for four kinds of bearer, the
// narrow silme before no vowel) give the one code point of that sign; the few
// codes without a Tengwar sign in the registry give ordinary punctuation.
// Bytes outside 0x20-0x7E give U+FFFD.
char32_t codePoint(unsigned char fontCode);

// Appends the UTF-8 form of the font codes to out.
void appendUtf8(std::string& out, std::string_view fontCodes);

}  // namespace tengwarunicode
