#include "core/transcription/alphabet.h"

#include "core/transcription/cp1250.h"

namespace alphabet {
namespace {

// One letter of the alphabet: its byte, its font codes, and its meaning text
// (UTF-8 here, converted to Windows-1250 on first use).
struct LetterEntry {
    unsigned char letter;
    const char* codes;
    const char* meaningUtf8;
};

// The alphabet in the order in which it is listed to the user.
constexpr LetterEntry kAlphabet[] = {
    {0x61, "%", "a"},                         // a
    {0xE1, "T", "dolgi a"},                   // á
    {0x41, "G", "samostojen a"},              // A
    {0x62, "w", "b"},                         // b
    {0x63, "1=", "c (t+s)"},                  // c
    {0x43, "2=", "dz (zveneči\rpar c-ja)"},   // C
    {0xE8, "a", "č"},                         // č
    {0x64, "2", "d"},                         // d
    {0xF0, "s", "dž, đ"},                     // đ
    {0x44, "4", "dh (these)"},                // D
    {0x65, "^", "e"},                         // e
    {0xE9, "Y", "dolgi e"},                   // é
    {0x45, "H", "samostojen e"},              // E
    {0xEC, "0", "nemi e"},                    // ě
    {0xCC, "p", "nemi e\r(enako kot ě)"},     // Ě
    {0xEA, "n", "polglasnik"},                // ę
    {0xEB, "", "polni e"},                    // ë
    {0xCB, "", "polni e\r(enako kot ë)"},     // Ë
    {0x66, "e", "f"},                         // f
    {0x67, "x", "g"},                         // g
    {0x47, "v", "gh"},                        // G
    {0x68, "9", "h"},                         // h
    {0x48, "", "h (tudi v\rkombinacijah)"},   // H
    {0x69, "&", "i"},                         // i
    {0xED, "U", "dolgi i"},                   // í
    {0x49, "J", "samostojen i"},              // I
    {0x6A, "h", "j"},                         // j
    {0x4A, "", "j (tudi v\rkombinacijah)"},   // J
    {0x6B, "z", "k"},                         // k
    {0x4B, "", "k\r(enako kot k)"},           // K
    {0x6C, "j", "l"},                         // l
    {0x4C, "m", "lh, lj, ld"},                // L
    {0x6D, "t", "m"},                         // m
    {0x4D, "g", "(ni v rabi)"},               // M
    {0x6E, "5", "n"},                         // n
    {0x4E, "b", "ng, nj"},                    // N
    {0xF1, "", "ng, nj\r(enako kot N)"},      // ń
    {0xD1, "", "ng, nj\r(enako kot N)"},      // Ń
    {0x6F, "(", "o"},                         // o
    {0xF3, "O", "dolgi o"},                   // ó
    {0x4F, "L", "samostojen o"},              // O
    {0x70, "q", "p"},                         // p
    {0x50, "", "p (tudi v\rkombinacijah)"},   // P
    {0xE7, "q=", "ps"},                       // ç
    {0x71, "c", "q"},                         // q
    {0x72, "7", "r (marec)"},                 // r
    {0xE0, "u", "rd"},                        // ŕ
    {0x52, "6", "rh (March)"},                // R
    {0x73, "*", "s (kot 6)"},                 // s
    {0x9C, "8", "s (kot 6,\rpred samogl.)"},  // ś
    {0x53, "I", "s (kot 9)"},                 // S
    {0x8C, "i", "s (kot 9,\rpred samogl.)"},  // Ś
    {0x9A, "d", "š"},                         // š
    {0x74, "1", "t"},                         // t
    {0x54, "3", "th (thin)"},                 // T
    {0x75, ")", "u"},                         // u
    {0xFA, "P", "dolgi u"},                   // ú
    {0x55, ":", "normalen u"},                // U
    {0xFC, "", "ü\r(enako kot Y)"},           // ü
    {0xF9, "o", "nezveneč w\r(vstaviti)"},    // ů
    {0x76, "r", "v"},                         // v
    {0x77, "y", "w"},                         // w
    {0x57, ".", "w"},                         // W
    {0x78, "z\\", "x (k+s)"},                 // x
    {0x79, "l", "y (j)"},                     // y
    {0x59, "[", "y (ü)"},                     // Y
    {0x7A, "K", "z (kot 6)"},                 // z
    {0x9F, "k", "z (kot 6,\rpred samogl.)"},  // ź
    {0x5A, "<", "z (kot 9)"},                 // Z
    {0x8F, ",", "z (kot 9,\rpred samogl.)"},  // Ź
    {0x9E, "f", "ž"},                         // ž
    {0x8E, "", "ž (tudi v\rkombinacijah)"},   // Ž
    {0x5F, "", "(loči par črk)"},             // _
    {0x20, " ", "(presledek)"},               // space
    {0x2E, "]", "okrasek\r(pika)"},           // .
    {0x3A, "[", "okrasek\r(dve piki)"},       // :
};
static_assert(std::size(kAlphabet) == 76);

// The letters that the transcription writes while it arranges the marks and
// that are not part of the alphabet: the "other bearer" column of the vowel
// marks, the long and short carriers, and the four tilde forms.
constexpr LetterEntry kInternal[] = {
    {0xC1, "B", ""},  // Á
    {0xC9, "N", ""},  // É
    {0xCD, "M", ""},  // Í
    {0xD3, ">", ""},  // Ó
    {0xDA, "?", ""},  // Ú
    {0xCE, "~", ""},  // Î, long carrier
    {0xEE, "`", ""},  // î, short carrier
    {0x8B, "X", ""},  // ‹
    {0x9B, "S", ""},  // ›
    {0xAB, "Z", ""},  // «
    {0xBB, "A", ""},  // »
};

constexpr void addGlyph(GlyphTable& table, const LetterEntry& entry) {
    Glyph& glyph = table[entry.letter];
    glyph = Glyph{};
    for (const char* code = entry.codes; *code != '\0' && glyph.size < 2; ++code) {
        glyph.codes[glyph.size++] = *code;
    }
}

constexpr GlyphTable makeGlyphTable() {
    GlyphTable table{};
    for (const auto& entry : kAlphabet) {
        addGlyph(table, entry);
    }
    for (const auto& entry : kInternal) {
        addGlyph(table, entry);
    }
    return table;
}

constexpr std::array<char, std::size(kAlphabet)> makeRuleLetters() {
    std::array<char, std::size(kAlphabet)> letters{};
    for (std::size_t i = 0; i < letters.size(); ++i) {
        letters[i] = static_cast<char>(kAlphabet[i].letter);
    }
    return letters;
}

constexpr auto kRuleLetters = makeRuleLetters();

}  // namespace

extern constexpr GlyphTable kGlyphs = makeGlyphTable();

std::string_view ruleLetters() {
    return {kRuleLetters.data(), kRuleLetters.size()};
}

const std::string& meaning(unsigned char letter) {
    static const auto meanings = [] {
        std::array<std::string, 256> texts;
        for (const auto& entry : kAlphabet) {
            texts[entry.letter] = cp1250::fromUtf8(entry.meaningUtf8);
        }
        return texts;
    }();
    return meanings[letter];
}

}  // namespace alphabet
