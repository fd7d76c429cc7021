#include "core/transcription/tengwarunicode.h"

#include <array>
#include <cstdint>

namespace tengwarunicode {
namespace {

// The registry's Tengwar block as published in the ConScript Unicode
// Registry's table "Tengwar: U+E000 - U+E07F" by Michael Everson
// (https://www.evertype.com/standards/csur/tengwar.html); the comments give
// the registry's names. Font code -> code point, one line per font code
// 0x20-0x7E in order; the font's layout is resources/font/glyphs.py. Codes
// that are several forms of one sign share its code point. tools/buildfont.py
// reads this table to give the font's glyphs the registry's code points too
// (the first font code of a code point stands for it).
struct CodePair {
    unsigned char fontCode;
    char32_t codePoint;
};
// clang-format off
constexpr CodePair kCodePairs[] = {
    {0x20, 0x0020},  // space
    {0x21, 0xE052},  // ! exclamation mark
    {0x22, 0x205D},  // " no registry sign: three dots in a column: tricolon
    {0x23, 0x2E2C},  // # no registry sign: four dots in a square
    {0x24, 0xE030},  // $ stemless oore: the ring standing on the line
    {0x25, 0xE040},  // % three dots above: a over a one-bow letter
    {0x26, 0xE044},  // & dot above: i over a one-bow letter
    {0x27, 0x00B7},  // ' no registry sign: a raised dot
    {0x28, 0xE048},  // ( right curl: o over a one-bow letter
    {0x29, 0xE04A},  // ) left curl: u over a one-bow letter
    {0x2A, 0xE01C},  // * silme: narrow, before no vowel
    {0x2B, 0x2058},  // + no registry sign: four dots in a diamond
    {0x2C, 0xE01F},  // , aare nuquerna
    {0x2D, 0x2053},  // - no registry sign: the swung dash
    {0x2E, 0xE023},  // . uure
    {0x2F, 0x002F},  // /
    {0x30, 0xE045},  // 0 dot below: silent e
    {0x31, 0xE000},  // 1 tinco
    {0x32, 0xE004},  // 2 ando
    {0x33, 0xE008},  // 3 thuule
    {0x34, 0xE00C},  // 4 anto
    {0x35, 0xE010},  // 5 nuumen
    {0x36, 0xE014},  // 6 oore
    {0x37, 0xE018},  // 7 roomen
    {0x38, 0xE01C},  // 8 silme
    {0x39, 0xE020},  // 9 hyarmen
    {0x3A, 0xE04A},  // : left curl: u over a wide letter
    {0x3B, 0x003B},  // ;
    {0x3C, 0xE01F},  // < aare nuquerna: narrow, before no vowel
    {0x3D, 0xE05D},  // = right following silme: the s-hook after a letter (the nearest registry sign)
    {0x3E, 0xE048},  // > right curl: o over a carrier or other letter
    {0x3F, 0xE04A},  // ? left curl: u over a carrier or other letter
    {0x40, 0x2299},  // @ no registry sign: a ring with a dot
    {0x41, 0xE04D},  // A doubler: the doubling tilde under a two-bow letter
    {0x42, 0xE040},  // B three dots above: a over a carrier or other letter
    {0x43, 0xE028},  // C extended thuule: tinco with its stem both ways
    {0x44, 0xE029},  // D extended formen: parma with its stem both ways
    {0x45, 0xE02A},  // E extended harma: calma with its stem both ways
    {0x46, 0xE02B},  // F extended hwesta: quesse with its stem both ways
    {0x47, 0xE040},  // G three dots above: a over a wide letter
    {0x48, 0xE046},  // H acute: e over a wide letter
    {0x49, 0xE01D},  // I silme nuquerna: narrow, before no vowel
    {0x4A, 0xE044},  // J dot above: i over a wide letter
    {0x4B, 0xE01E},  // K aare (esse): narrow, before no vowel
    {0x4C, 0xE048},  // L right curl: o over a wide letter
    {0x4D, 0xE044},  // M dot above: i over a carrier or other letter
    {0x4E, 0xE046},  // N acute: e over a carrier or other letter
    {0x4F, 0xE048},  // O right curl: o over a letter with a raised stem
    {0x50, 0xE04A},  // P left curl: u over a letter with a raised stem
    {0x51, 0xE024},  // Q halla
    {0x52, 0xE018},  // R roomen: turned roomen (no sign of its own)
    {0x53, 0xE04D},  // S doubler: the doubling tilde under a one-bow letter
    {0x54, 0xE040},  // T three dots above: a over a letter with a raised stem
    {0x55, 0xE044},  // U dot above: i over a letter with a raised stem
    {0x56, 0xE014},  // V oore: turned oore (no sign of its own)
    {0x57, 0xE043},  // W two dots below
    {0x58, 0xE04D},  // X doubler: the doubling tilde under a carrier or other letter
    {0x59, 0xE046},  // Y acute: e over a letter with a raised stem
    {0x5A, 0xE04D},  // Z doubler: the doubling tilde under a wide letter
    {0x5B, 0xE051},  // [ double pusta
    {0x5C, 0xE05D},  // \\ right following silme: the s-hook after quesse
    {0x5D, 0xE050},  // ] pusta
    {0x5E, 0xE046},  // ^ acute: e over a one-bow letter
    {0x5F, 0x005F},  // _ no registry sign: a low bar
    {0x60, 0xE025},  // ` short carrier
    {0x61, 0xE002},  // a calma
    {0x62, 0xE013},  // b nwalme
    {0x63, 0xE00B},  // c hwesta
    {0x64, 0xE00A},  // d harma
    {0x65, 0xE009},  // e formen
    {0x66, 0xE00E},  // f anca
    {0x67, 0xE012},  // g noldo
    {0x68, 0xE016},  // h anna
    {0x69, 0xE01D},  // i silme nuquerna
    {0x6A, 0xE01A},  // j lambe
    {0x6B, 0xE01E},  // k aare (esse)
    {0x6C, 0xE022},  // l yanta
    {0x6D, 0xE01B},  // m alda
    {0x6E, 0xE017},  // n vilya
    {0x6F, 0xE021},  // o hwesta sindarinwa
    {0x70, 0xE045},  // p dot below: silent e
    {0x71, 0xE001},  // q parma
    {0x72, 0xE00D},  // r ampa
    {0x73, 0xE006},  // s anga
    {0x74, 0xE011},  // t malta
    {0x75, 0xE019},  // u arda
    {0x76, 0xE00F},  // v unque
    {0x77, 0xE005},  // w umbar
    {0x78, 0xE007},  // x ungwe
    {0x79, 0xE015},  // y vala
    {0x7A, 0xE003},  // z quesse
    {0x7B, 0x007B},  // {
    {0x7C, 0x007C},  // | no registry sign: a tall stem
    {0x7D, 0x007D},  // }
    {0x7E, 0xE026},  // ~ long carrier
};
// clang-format on
static_assert(std::size(kCodePairs) == 95);

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
        table[b] = utf8Of(U'\uFFFD');
    }
    for (std::size_t i = 0; i < std::size(kCodePairs); ++i) {
        if (kCodePairs[i].fontCode != 0x20 + i) {
            throw "the table lists the font codes in order";
        }
        table[kCodePairs[i].fontCode] = utf8Of(kCodePairs[i].codePoint);
    }
    return table;
}();

}  // namespace

char32_t codePoint(unsigned char fontCode) {
    return fontCode >= 0x20 && fontCode <= 0x7E ? kCodePairs[fontCode - 0x20].codePoint : U'\uFFFD';
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
