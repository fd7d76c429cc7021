#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The phonetic alphabet and the code layout of the "Tengwar Quenya" font.
//
// Every letter of the phonetic alphabet is one Windows-1250 byte standing for
// one sound. The glyph table maps every byte to zero, one or two font codes
// (0x20-0x7E); besides the letters of the alphabet it covers the internal
// letters that the transcription writes while it arranges the marks: the
// vowel-mark forms, the carriers and the tilde forms. All tables are constant
// data, fixed at compile time (the meaning texts on first use), and safe to
// read from any thread.
namespace alphabet {

// One entry of the glyph table: up to two font codes.
struct Glyph {
    std::array<char, 2> codes{};
    std::uint8_t size = 0;

    constexpr std::string_view view() const { return {codes.data(), size}; }
};

using GlyphTable = std::array<Glyph, 256>;

// The glyph table, indexed by letter byte. Defined in alphabet.cpp.
extern const GlyphTable kGlyphs;

// The font codes of a letter: empty for bytes without a glyph.
inline std::string_view glyph(unsigned char letter) {
    return kGlyphs[letter].view();
}
inline std::string_view glyph(char letter) {
    return glyph(static_cast<unsigned char>(letter));
}

// The 76 letters of the alphabet in the order in which they are listed to the
// user ("RuleLetters").
std::string_view ruleLetters();

// The text that explains a letter to the user, in Windows-1250; it may hold
// one carriage return where the display breaks it into two lines. Empty for
// bytes outside the alphabet (internal letters included).
const std::string& meaning(unsigned char letter);
inline const std::string& meaning(char letter) {
    return meaning(static_cast<unsigned char>(letter));
}

}  // namespace alphabet
