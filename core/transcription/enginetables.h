#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "core/transcription/convertdata.h"
#include "core/transcription/lettersets.h"

// The rule tables of the transcription, shared by the pass-by-pass and the
// fused ways of running it. Below, a position before the start or past the end
// of the working text W reads as NUL, which belongs to no letter set.
namespace engine {

using letterset::contains;
using Letter = unsigned char;
using Switches = std::array<bool, TConvertData::kFlagCount>;

// Internal letters and the letters the passes write.
constexpr char kLongCarrier = '\xCE';   // Î
constexpr char kShortCarrier = '\xEE';  // î
constexpr char kTilde = '~';
constexpr char kSilentE = '\xEC';  // ě

constexpr bool isCarrier(Letter c) {
    return c == static_cast<Letter>(kLongCarrier) || c == static_cast<Letter>(kShortCarrier);
}

inline Letter at(std::string_view text, std::size_t i) {
    return i < text.size() ? static_cast<Letter>(text[i]) : 0;
}

inline Letter before(std::string_view text, std::size_t i) {
    return i > 0 ? static_cast<Letter>(text[i - 1]) : 0;
}

// ---------------------------------------------------------------------------
// Pass 1: folding the Latin text into the phonetic alphabet.

// The pair rules, in the order in which they are tried: two letters that
// become one when their switch is on, and the escapes, where a capital in the
// pair (or K, P in front of s) keeps the two letters apart.
struct PairRule {
    Letter first;
    Letter second;
    int flag;  // the switch that enables the rule, or kAlways
    const char* output;
};
constexpr int kAlways = -1;

// clang-format off
constexpr PairRule kPairRules[] = {
    {'s', 's', flag::Ss, "sS"},
    {'z', 'z', flag::Zz, "zZ"},
    {'t', 's', flag::Ts, "c"},
    {'k', 's', flag::Ks, "x"},
    {'n', 'j', flag::Nj, "N"},
    {'n', 'g', flag::Ng, "N"},
    {'n', 'k', flag::Nk, "N"},
    {'t', 'h', flag::Th, "T"},
    {'d', 'h', flag::Dh, "D"},
    {'r', 'd', flag::Rd, "\xE0"},           // ŕ
    {'r', 'h', flag::Rh, "R"},
    {'s', 'h', flag::Sh, "\x9A"},           // š
    {'z', 'h', flag::Zh, "\x9E"},           // ž
    {'p', 's', flag::Ps, "\xE7"},           // ç
    {'l', 'd', flag::Ld, "L"},
    {'l', 'h', flag::Lh, "L"},
    {'l', 'j', flag::Lj, "L"},
    {'d', 0x9E, flag::DzCaron, "\xF0"},     // dž -> đ
    {'d', 'z', flag::Dz, "C"},
    {'g', 'h', flag::Gh, "G"},
    {'K', 's', kAlways, "ks"},
    {'n', 'J', kAlways, "nj"},
    {'n', 'K', kAlways, "nk"},
    {'t', 'H', kAlways, "th"},
    {'d', 'H', kAlways, "dh"},
    {'r', 'H', kAlways, "rh"},
    {'s', 'H', kAlways, "sh"},
    {'z', 'H', kAlways, "zh"},
    {'P', 's', kAlways, "ps"},
    {'l', 'H', kAlways, "lh"},
    {'l', 'J', kAlways, "lj"},
    {'d', 0x8E, kAlways, "d\x9E"},          // d Ž -> d ž
    {'g', 'H', kAlways, "gh"},
};
// clang-format on

// Up to two letters: what a rule of the folding appends.
struct Folded {
    std::array<char, 2> letters{};
    std::uint8_t size = 0;
};

constexpr Folded folded(const char* text) {
    Folded out;
    for (; *text != '\0' && out.size < 2; ++text) {
        out.letters[out.size++] = *text;
    }
    return out;
}

constexpr std::size_t kPairRuleCount = std::size(kPairRules);

// The letters that begin a pair rule, numbered from 1 (0: none).
constexpr std::array<std::uint8_t, 256> makePairStarts() {
    std::array<std::uint8_t, 256> starts{};
    std::uint8_t count = 0;
    for (const auto& rule : kPairRules) {
        if (starts[rule.first] == 0) {
            starts[rule.first] = ++count;
        }
    }
    return starts;
}
constexpr auto kPairStarts = makePairStarts();
constexpr std::size_t kPairStartCount = 13;  // row 0 and the 12 letters
static_assert(*std::max_element(kPairStarts.begin(), kPairStarts.end()) + 1 == kPairStartCount);

// For a first letter (by its number) and any second letter, the pair rule
// that takes the two, numbered from 1 (0: none). No two rules share a pair,
// so their order never decides between them.
using PairTable = std::array<std::array<std::uint8_t, 256>, kPairStartCount>;
constexpr PairTable makePairTable() {
    PairTable table{};
    for (std::size_t i = 0; i < kPairRuleCount; ++i) {
        const PairRule& rule = kPairRules[i];
        auto& slot = table[kPairStarts[rule.first]][rule.second];
        if (slot == 0) {
            slot = static_cast<std::uint8_t>(i + 1);
        }
    }
    return table;
}
constexpr PairTable kPairTable = makePairTable();

constexpr std::array<Folded, kPairRuleCount + 1> makePairOutputs() {
    std::array<Folded, kPairRuleCount + 1> outputs{};
    for (std::size_t i = 0; i < kPairRuleCount; ++i) {
        outputs[i + 1] = folded(kPairRules[i].output);
    }
    return outputs;
}
constexpr auto kPairOutputs = makePairOutputs();

// What a single letter becomes when no pair rule takes it: the rules that
// depend on no switch, and, with plainS, also ś Ś ź Ź -> s S z Z. Dropped
// characters become nothing.
constexpr std::array<Folded, 256> makeSingleRules(bool plainS) {
    std::array<Folded, 256> table{};
    for (int c = 1; c < 256; ++c) {
        if (contains(letterset::Kept, static_cast<Letter>(c))) {
            table[static_cast<std::size_t>(c)] = Folded{{static_cast<char>(c), '\0'}, 1};
        }
    }
    auto set = [&table](unsigned char c, const char* text) { table[c] = folded(text); };
    set(0xDF, "sS");  // ß
    set(0xFC, "Y");   // ü
    // Long vowels: the long carrier and the vowel; vowels standing alone: the
    // short carrier and the vowel.
    set(0xE1,
        "\xCE"
        "a");  // á
    set(0xE9,
        "\xCE"
        "e");  // é
    set(0xED,
        "\xCE"
        "i");  // í
    set(0xF3,
        "\xCE"
        "o");  // ó
    set(0xFA,
        "\xCE"
        "u");  // ú
    set('A',
        "\xEE"
        "a");
    set('E',
        "\xEE"
        "e");
    set('I',
        "\xEE"
        "i");
    set('O',
        "\xEE"
        "o");
    set('U',
        "\xEE"
        "u");
    set(0xF1, "N");     // ń
    set(0xD1, "N");     // Ń
    set(0xEB, "e");     // ë
    set(0xCB, "e");     // Ë
    set(0xCC, "\xEC");  // Ě -> ě
    set('H', "h");
    set('J', "j");
    set('K', "k");
    set('P', "p");
    set(0x8E, "\x9E");  // Ž -> ž
    if (plainS) {
        set(0x9C, "s");  // ś
        set(0x8C, "S");  // Ś
        set(0x9F, "z");  // ź
        set(0x8F, "Z");  // Ź
    }
    return table;
}
constexpr auto kSingleRules = makeSingleRules(false);
constexpr auto kSingleRulesPlainS = makeSingleRules(true);

// Appends a folded letter or two at out, which has room for two more bytes.
inline char* put(char* out, const Folded& letters) {
    out[0] = letters.letters[0];
    out[1] = letters.letters[1];
    return out + letters.size;
}

// s S z Z -> ś Ś ź Ź, or NUL for other letters.
constexpr char beforeVowelForm(Letter c) {
    switch (c) {
        case 's':
            return '\x9C';
        case 'S':
            return '\x8C';
        case 'z':
            return '\x9F';
        case 'Z':
            return '\x8F';
        default:
            return '\0';
    }
}

// Pass 9 tables. The row of a letter: 1-5 the marks of a e i o u (o and u
// swapped for Black Speech), 6 the silent e, 0 anything else.
constexpr std::array<std::uint8_t, 256> makeMarkRows(bool quenyaOu) {
    std::array<std::uint8_t, 256> rows{};
    rows['a'] = 1;
    rows['e'] = 2;
    rows['i'] = 3;
    rows['o'] = quenyaOu ? 4 : 5;
    rows['u'] = quenyaOu ? 5 : 4;
    rows[0xEC] = 6;  // ě
    return rows;
}
constexpr auto kMarkRowsQuenya = makeMarkRows(true);
constexpr auto kMarkRowsBlackSpeech = makeMarkRows(false);

// The column of a bearer: 0-3 for mark class A, B, C and any other letter,
// plus 4 when a silent e after it takes the form Ě.
constexpr std::array<std::uint8_t, 256> makeBearerColumns() {
    std::array<std::uint8_t, 256> columns{};
    for (int b = 0; b < 256; ++b) {
        const auto letter = static_cast<Letter>(b);
        const int mark = contains(letterset::MarkA, letter)   ? 0
                         : contains(letterset::MarkB, letter) ? 1
                         : contains(letterset::MarkC, letter) ? 2
                                                              : 3;
        columns[letter] = static_cast<std::uint8_t>(mark + (contains(letterset::SilentE, letter) ? 0 : 4));
    }
    return columns;
}
constexpr auto kBearerColumns = makeBearerColumns();

// The form of each row in each column: a vowel's four mark forms (the same
// again for columns 4-7); the silent e ě in columns 0-3 and Ě in 4-7.
// clang-format off
constexpr std::array<std::array<char, 8>, 7> kMarkForms = {{
    {},
    {'a', '\xE1', 'A', '\xC1', 'a', '\xE1', 'A', '\xC1'},  // a á A Á
    {'e', '\xE9', 'E', '\xC9', 'e', '\xE9', 'E', '\xC9'},  // e é E É
    {'i', '\xED', 'I', '\xCD', 'i', '\xED', 'I', '\xCD'},  // i í I Í
    {'o', '\xF3', 'O', '\xD3', 'o', '\xF3', 'O', '\xD3'},  // o ó O Ó
    {'u', '\xFA', 'U', '\xDA', 'u', '\xFA', 'U', '\xDA'},  // u ú U Ú
    {'\xEC', '\xEC', '\xEC', '\xEC', '\xCC', '\xCC', '\xCC', '\xCC'},  // ě Ě
}};
// clang-format on

}  // namespace engine
