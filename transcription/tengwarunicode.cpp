#include "transcription/tengwarunicode.h"

#include <array>
#include <cstdint>

namespace tengwarunicode {
namespace {

// The registry's Tengwar block, as published in the ConScript Unicode
// Registry's table "Tengwar: U+E000 - U+E07F" by Michael Everson
// (https://www.evertype.com/standards/csur/tengwar.html).
enum Csur : char32_t {
    Tinco = 0xE000,
    Parma,
    Calma,
    Quesse,
    Ando,
    Umbar,
    Anga,
    Ungwe,
    Thuule,
    Formen,
    Harma,
    Hwesta,
    Anto,
    Ampa,
    Anca,
    Unque,
    Nuumen,
    Malta,
    Noldo,
    Nwalme,
    Oore,
    Vala,
    Anna,
    Vilya,
    Roomen,
    Arda,
    Lambe,
    Alda,
    Silme,
    SilmeNuquerna,
    Aare,
    AareNuquerna,
    Hyarmen,
    HwestaSindarinwa,
    Yanta,
    Uure,
    Halla,
    ShortCarrier,
    LongCarrier,
    AnnaSindarinwa,
    ExtendedThuule,
    ExtendedFormen,
    ExtendedHarma,
    ExtendedHwesta,
    StemlessOore = 0xE030,
    ThreeDotsAbove = 0xE040,
    ThreeDotsBelow,
    TwoDotsAbove,
    TwoDotsBelow,
    DotAbove,
    DotBelow,
    Acute,
    DoubleAcute,
    RightCurl,
    DoubleRightCurl,
    LeftCurl,
    DoubleLeftCurl,
    Nasalizer,
    Doubler,
    Tilde,
    Breve,
    Pusta = 0xE050,
    DoublePusta,
    ExclamationMark,
    QuestionMark,
    LeftFollowingSilme = 0xE05C,
    RightFollowingSilme,
};

// Font code 0x20 + i -> code point. The font's layout is resources/font/glyphs.py.
constexpr std::array<char32_t, 95> kCodePoints = {
    U' ',             // 0x20 space
    ExclamationMark,  // 0x21 !
    U'\u205D',        // 0x22 three dots in a column (no registry sign: tricolon)
    U'\u2E2C',        // 0x23 four dots in a square (no registry sign)
    StemlessOore,     // 0x24 the ring standing on the line
    ThreeDotsAbove,   // 0x25 a over a one-bow letter
    DotAbove,         // 0x26 i over a one-bow letter
    U'\u00B7',        // 0x27 a raised dot (no registry sign)
    RightCurl,        // 0x28 o over a one-bow letter
    LeftCurl,         // 0x29 u over a one-bow letter
    Silme,            // 0x2A narrow silme before no vowel
    U'\u2058',        // 0x2B four dots in a diamond (no registry sign)
    AareNuquerna,     // 0x2C
    U'\u2053',        // 0x2D the swung dash (no registry sign)
    Uure,             // 0x2E
    U'/',             // 0x2F
    DotBelow,         // 0x30 silent e
    Tinco,
    Ando,
    Thuule,
    Anto,
    Nuumen,
    Oore,                 // 0x31-0x36
    Roomen,               // 0x37
    Silme,                // 0x38
    Hyarmen,              // 0x39
    LeftCurl,             // 0x3A u over a wide letter
    U';',                 // 0x3B
    AareNuquerna,         // 0x3C narrow form before no vowel
    RightFollowingSilme,  // 0x3D the s-hook after a letter (the registry's nearest sign)
    RightCurl,            // 0x3E o over a carrier or other letter
    LeftCurl,             // 0x3F u over a carrier or other letter
    U'\u2299',            // 0x40 ring with a dot (no registry sign)
    Doubler,              // 0x41 the doubling tilde under a two-bow letter
    ThreeDotsAbove,       // 0x42 a over a carrier or other letter
    ExtendedThuule,
    ExtendedFormen,
    ExtendedHarma,
    ExtendedHwesta,       // 0x43-0x46 stems both ways
    ThreeDotsAbove,       // 0x47 a over a wide letter
    Acute,                // 0x48 e over a wide letter
    SilmeNuquerna,        // 0x49 narrow form before no vowel
    DotAbove,             // 0x4A i over a wide letter
    Aare,                 // 0x4B narrow form before no vowel
    RightCurl,            // 0x4C o over a wide letter
    DotAbove,             // 0x4D i over a carrier or other letter
    Acute,                // 0x4E e over a carrier or other letter
    RightCurl,            // 0x4F o over a letter with a raised stem
    LeftCurl,             // 0x50 u over a letter with a raised stem
    Halla,                // 0x51
    Roomen,               // 0x52 turned roomen (no registry sign of its own)
    Doubler,              // 0x53 the doubling tilde under a one-bow letter
    ThreeDotsAbove,       // 0x54 a over a letter with a raised stem
    DotAbove,             // 0x55 i over a letter with a raised stem
    Oore,                 // 0x56 turned oore (no registry sign of its own)
    TwoDotsBelow,         // 0x57
    Doubler,              // 0x58 the doubling tilde under a carrier or other letter
    Acute,                // 0x59 e over a letter with a raised stem
    Doubler,              // 0x5A the doubling tilde under a wide letter
    DoublePusta,          // 0x5B two dots
    RightFollowingSilme,  // 0x5C the s-hook after quesse
    Pusta,                // 0x5D one dot
    Acute,                // 0x5E e over a one-bow letter
    U'_',                 // 0x5F a low bar
    ShortCarrier,         // 0x60
    Calma,
    Nwalme,
    Hwesta,
    Harma,
    Formen,
    Anca,
    Noldo,
    Anna,              // 0x61-0x68
    SilmeNuquerna,     // 0x69
    Lambe,             // 0x6A
    Aare,              // 0x6B
    Yanta,             // 0x6C
    Alda,              // 0x6D
    Vilya,             // 0x6E
    HwestaSindarinwa,  // 0x6F
    DotBelow,          // 0x70 silent e
    Parma,
    Ampa,
    Anga,
    Malta,
    Arda,
    Unque,
    Umbar,
    Ungwe,
    Vala,
    Quesse,       // 0x71-0x7A
    U'{',         // 0x7B
    U'|',         // 0x7C a tall stem
    U'}',         // 0x7D
    LongCarrier,  // 0x7E
};

struct Utf8Form {
    std::array<char, 4> bytes{};
    std::uint8_t size = 0;
};

constexpr Utf8Form utf8Of(char32_t cp) {
    Utf8Form form;
    if (cp < 0x80) {
        form.bytes[0] = static_cast<char>(cp);
        form.size = 1;
    } else if (cp < 0x800) {
        form.bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
        form.bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
        form.size = 2;
    } else {
        form.bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
        form.bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        form.bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
        form.size = 3;
    }
    return form;
}

// The UTF-8 form of every byte, computed once at compile time.
constexpr std::array<Utf8Form, 256> kUtf8 = [] {
    std::array<Utf8Form, 256> table{};
    for (std::size_t b = 0; b < 256; ++b) {
        table[b] = utf8Of(b >= 0x20 && b <= 0x7E ? kCodePoints[b - 0x20] : U'\uFFFD');
    }
    return table;
}();

}  // namespace

char32_t codePoint(unsigned char fontCode) {
    return fontCode >= 0x20 && fontCode <= 0x7E ? kCodePoints[fontCode - 0x20] : U'\uFFFD';
}

void appendUtf8(std::string& out, std::string_view fontCodes) {
    const std::size_t start = out.size();
    out.resize(start + fontCodes.size() * 3);
    char* to = out.data() + start;
    for (const char code : fontCodes) {
        const Utf8Form& form = kUtf8[static_cast<unsigned char>(code)];
        to[0] = form.bytes[0];
        to[1] = form.bytes[1];
        to[2] = form.bytes[2];
        to += form.size;
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
}

}  // namespace tengwarunicode
