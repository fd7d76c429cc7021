#include "transcription/engine.h"

#include <array>
#include <cstdint>

#include "transcription/alphabet.h"
#include "transcription/lettersets.h"
#include "transcription/settingssource.h"

// The transcription works on a working text W in the phonetic alphabet and
// rewrites it pass by pass. Passes that change W in place scan it from left to
// right and see the changes they have already made. Below, a position before
// the start or past the end of W reads as NUL, which belongs to no letter set.

namespace {

using letterset::contains;
using Letter = unsigned char;
using Switches = std::array<bool, TConvertData::kFlagCount>;

// Internal letters and the letters the passes write.
constexpr char kLongCarrier = '\xCE';   // Î
constexpr char kShortCarrier = '\xEE';  // î
constexpr char kTilde = '~';
constexpr char kSilentE = '\xEC';       // ě, silent e after the silent-e class
constexpr char kSilentEOther = '\xCC';  // Ě, silent e after any other letter

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

// For every first letter, the indices of its pair rules in order (-1 ends).
constexpr int kMaxRulesPerLetter = 5;
using RuleSlots = std::array<std::array<std::int8_t, kMaxRulesPerLetter + 1>, 256>;

constexpr RuleSlots makeRuleSlots() {
    RuleSlots slots{};
    for (auto& letter : slots) {
        letter.fill(-1);
    }
    for (std::size_t i = 0; i < std::size(kPairRules); ++i) {
        auto& letter = slots[kPairRules[i].first];
        std::size_t free = 0;
        while (letter[free] >= 0) {
            ++free;
        }
        letter[free] = static_cast<std::int8_t>(i);  // a letter with too many rules fails to compile
    }
    return slots;
}

constexpr RuleSlots kRuleSlots = makeRuleSlots();

// The output of the first pair rule that takes c d, or nullptr.
inline const char* pairRule(Letter c, Letter d, const Switches& on) {
    for (const std::int8_t index : kRuleSlots[c]) {
        if (index < 0) {
            return nullptr;
        }
        const PairRule& rule = kPairRules[index];
        if (rule.second == d && (rule.flag == kAlways || on[static_cast<std::size_t>(rule.flag)])) {
            return rule.output;
        }
    }
    return nullptr;
}

// What a single letter becomes when no pair rule takes it and its rule does
// not depend on a switch: up to two letters, nothing for dropped characters.
struct Folded {
    std::array<char, 2> letters{};
    std::uint8_t size = 0;
};

constexpr std::array<Folded, 256> makeSingleRules() {
    std::array<Folded, 256> table{};
    auto set = [&table](unsigned char c, char first, char second = '\0') {
        table[c] = Folded{{first, second}, static_cast<std::uint8_t>(second == '\0' ? 1 : 2)};
    };
    for (int c = 1; c < 256; ++c) {
        if (contains(letterset::Kept, static_cast<Letter>(c))) {
            set(static_cast<Letter>(c), static_cast<char>(c));
        }
    }
    set(0xDF, 's', 'S');  // ß
    set(0xFC, 'Y');       // ü
    // Long vowels: the long carrier and the vowel; vowels standing alone: the
    // short carrier and the vowel.
    set(0xE1, kLongCarrier, 'a');  // á
    set(0xE9, kLongCarrier, 'e');  // é
    set(0xED, kLongCarrier, 'i');  // í
    set(0xF3, kLongCarrier, 'o');  // ó
    set(0xFA, kLongCarrier, 'u');  // ú
    set('A', kShortCarrier, 'a');
    set('E', kShortCarrier, 'e');
    set('I', kShortCarrier, 'i');
    set('O', kShortCarrier, 'o');
    set('U', kShortCarrier, 'u');
    set(0xF1, 'N');       // ń
    set(0xD1, 'N');       // Ń
    set(0xEB, 'e');       // ë
    set(0xCB, 'e');       // Ë
    set(0xCC, kSilentE);  // Ě
    set('H', 'h');
    set('J', 'j');
    set('K', 'k');
    set('P', 'p');
    set(0x8E, '\x9E');  // Ž -> ž
    return table;
}

constexpr std::array<Folded, 256> kSingleRules = makeSingleRules();

void fold(std::string_view source, const Switches& on, std::string& w) {
    w.clear();
    const std::size_t n = source.size();
    for (std::size_t i = 0; i < n;) {
        const auto c = static_cast<Letter>(source[i]);
        const Letter d = at(source, i + 1);
        if (const char* pair = pairRule(c, d, on)) {
            w += pair;
            i += 2;
            continue;
        }
        ++i;
        if (c == 'e' && on[flag::FinalSilentE] && (d == 0 || d == ' ')) {
            w += kSilentE;
            continue;
        }
        if (on[flag::AccentedSToPlain]) {
            // ś Ś ź Ź -> s S z Z
            switch (c) {
                case 0x9C:
                    w += 's';
                    continue;
                case 0x8C:
                    w += 'S';
                    continue;
                case 0x9F:
                    w += 'z';
                    continue;
                case 0x8F:
                    w += 'Z';
                    continue;
                default:
                    break;
            }
        }
        const Folded& single = kSingleRules[c];
        w.append(single.letters.data(), single.size);
    }
}

// ---------------------------------------------------------------------------
// Passes 2-10: arranging carriers, tildes and mark forms.

// Pass 2: the first of two equal vowels becomes the long carrier. Quenya
// scans from the end, Sindarin from the start, which decides runs of three.
void doubledVowels(std::string& w, bool quenya) {
    const std::size_t n = w.size();
    auto pairEndingAt = [&w](std::size_t k) {
        const auto first = static_cast<Letter>(w[k - 1]);
        if (contains(letterset::Vowel, first) && static_cast<Letter>(w[k]) == first &&
            (k == 1 || !isCarrier(static_cast<Letter>(w[k - 2])))) {
            w[k - 1] = kLongCarrier;
        }
    };
    if (quenya) {
        for (std::size_t k = n - 1; k >= 1; --k) {
            pairEndingAt(k);
        }
    } else {
        for (std::size_t k = 1; k < n; ++k) {
            pairEndingAt(k);
        }
    }
}

// Pass 3: a vowel without a letter to bear its mark gets the short carrier.
void insertCarriers(std::string_view w, bool quenya, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < w.size(); ++i) {
        const auto c = static_cast<Letter>(w[i]);
        if (contains(letterset::Vowel, c)) {
            const Letter previous = before(w, i);
            const bool borne = quenya ? contains(letterset::Bearer, previous)
                                      : contains(letterset::Consonant, at(w, i + 1)) || isCarrier(previous);
            if (!borne) {
                out += kShortCarrier;
            }
        }
        out += static_cast<char>(c);
    }
}

// Pass 4: the second of two equal consonants becomes the tilde, unless the
// letter is one that never takes it.
void doubledConsonants(std::string& w, const std::array<bool, 256>& excluded) {
    for (std::size_t k = 0; k + 1 < w.size(); ++k) {
        const auto c = static_cast<Letter>(w[k]);
        if (contains(letterset::Doublable, c) && static_cast<Letter>(w[k + 1]) == c && !excluded[c]) {
            w[k + 1] = kTilde;
        }
    }
}

// Pass 5 (Sindarin): a vowel moves behind the letter (and its tilde) after it.
void sindarinOrder(std::string& w) {
    const std::size_t n = w.size();
    std::size_t i = 0;
    while (i + 1 < n) {
        const char c = w[i];
        if (contains(letterset::Vowel, static_cast<Letter>(c)) && !isCarrier(before(w, i))) {
            if (i + 2 < n && w[i + 2] == kTilde) {
                w[i] = w[i + 1];
                w[i + 1] = kTilde;
                w[i + 2] = c;
                i += 3;
            } else {
                w[i] = w[i + 1];
                w[i + 1] = c;
                i += 2;
            }
        } else {
            ++i;
        }
    }
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

// Pass 6: s S z Z take their before-vowel forms.
void sBeforeVowels(std::string& w, bool quenya) {
    const std::size_t n = w.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char form = beforeVowelForm(static_cast<Letter>(w[i]));
        if (form == '\0') {
            continue;
        }
        const Letter next = at(w, i + 1);
        bool change = false;
        if (quenya) {
            change = contains(letterset::VowelOrSilentE, next) ||
                     (next == kTilde && contains(letterset::VowelOrSilentE, at(w, i + 2)));
        } else {
            const auto silentE = static_cast<Letter>(kSilentE);
            change = contains(letterset::Vowel, before(w, i)) || next == silentE ||
                     (next == kTilde && at(w, i + 2) == silentE);
        }
        if (change) {
            w[i] = form;
        }
    }
}

// Pass 7: a Y at the start of a word (or after another Y) gets the short carrier.
void carriersForY(std::string_view w, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < w.size(); ++i) {
        const Letter previous = before(w, i);
        if (w[i] == 'Y' && (i == 0 || previous == ' ' || previous == 'Y')) {
            out += kShortCarrier;
        }
        out += w[i];
    }
}

// Pass 8: S, Z, Ź and ź before a tilde.
void sBeforeTilde(std::string& w) {
    for (std::size_t i = 0; i + 1 < w.size(); ++i) {
        if (w[i + 1] != kTilde) {
            continue;
        }
        switch (static_cast<Letter>(w[i])) {
            case 'S':
                w[i] = '\x8C';
                break;  // Ś
            case 'Z':
            case 0x8F:  // Ź
            case 0x9F:
                w[i] = 'z';
                break;  // ź
            default:
                break;
        }
    }
}

// The four forms of each vowel mark: after mark class A, B, C, and after any
// other bearer.
using MarkRow = std::array<char, 4>;
constexpr MarkRow kRowA = {'a', '\xE1', 'A', '\xC1'};
constexpr MarkRow kRowE = {'e', '\xE9', 'E', '\xC9'};
constexpr MarkRow kRowI = {'i', '\xED', 'I', '\xCD'};
constexpr MarkRow kRowO = {'o', '\xF3', 'O', '\xD3'};
constexpr MarkRow kRowU = {'u', '\xFA', 'U', '\xDA'};

// Pass 9: every vowel mark and silent e takes the form that fits its bearer.
void markForms(std::string& w, bool quenyaOu) {
    const MarkRow& rowO = quenyaOu ? kRowO : kRowU;
    const MarkRow& rowU = quenyaOu ? kRowU : kRowO;
    for (std::size_t i = 0; i < w.size(); ++i) {
        const auto c = static_cast<Letter>(w[i]);
        if (!contains(letterset::VowelOrSilentE, c)) {
            continue;
        }
        Letter bearer = before(w, i);
        if (bearer == kTilde) {
            bearer = i >= 2 ? static_cast<Letter>(w[i - 2]) : 0;
        }
        if (c == static_cast<Letter>(kSilentE)) {
            w[i] = contains(letterset::SilentE, bearer) ? kSilentE : kSilentEOther;
            continue;
        }
        const MarkRow* row = nullptr;
        switch (c) {
            case 'a':
                row = &kRowA;
                break;
            case 'e':
                row = &kRowE;
                break;
            case 'i':
                row = &kRowI;
                break;
            case 'o':
                row = &rowO;
                break;
            default:
                row = &rowU;
                break;
        }
        const auto classes = letterset::kMembership[bearer];
        const int column = (classes & letterset::MarkA)   ? 0
                           : (classes & letterset::MarkB) ? 1
                           : (classes & letterset::MarkC) ? 2
                                                          : 3;
        w[i] = (*row)[static_cast<std::size_t>(column)];
    }
}

// Pass 10: every tilde takes the form that fits the letter it doubles.
void tildeForms(std::string& w) {
    for (std::size_t i = 1; i < w.size(); ++i) {
        if (w[i] != kTilde) {
            continue;
        }
        const auto classes = letterset::kMembership[static_cast<Letter>(w[i - 1])];
        w[i] = (classes & letterset::TildeA)   ? '\xBB'   // »
               : (classes & letterset::TildeB) ? '\x9B'   // ›
               : (classes & letterset::TildeC) ? '\xAB'   // «
                                               : '\x8B';  // ‹
    }
}

// ---------------------------------------------------------------------------
// Pass 11: letters to font codes. A mark after a two-glyph letter (c C ç x) is
// placed between its two glyphs, over the consonant, together with one inner
// mark that follows it.
void toFontCodes(std::string_view w, std::string& out) {
    const std::size_t n = w.size();
    for (std::size_t i = 0; i < n;) {
        const alphabet::Glyph& letter = alphabet::kGlyphs[static_cast<Letter>(w[i])];
        const Letter next = at(w, i + 1);
        if (!contains(letterset::Overlay, next)) {
            out.append(letter.codes.data(), letter.size);
            ++i;
            continue;
        }
        if (letter.size == 2) {
            out += letter.codes[0];
            out += alphabet::glyph(next);
            const Letter inner = at(w, i + 2);
            if (contains(letterset::InnerOverlay, inner)) {
                out += alphabet::glyph(inner);
                ++i;
            }
            out += letter.codes[1];
        } else {
            out.append(letter.codes.data(), letter.size);
            out += alphabet::glyph(next);
        }
        i += 2;
    }
}

// Working buffers reused from call to call on each thread.
struct Buffers {
    std::string text;
    std::string spare;
};

void transcribe(std::string_view source, const TConvertData& settings, std::string& result, Buffers& buffers,
                const PassTrace& trace) {
    const Switches& on = settings.Flags;
    const bool quenya = on[flag::VowelsQuenya];
    std::string& w = buffers.text;
    std::string& spare = buffers.spare;
    auto report = [&trace](int pass, std::string_view text) {
        if (trace) {
            trace(pass, text);
        }
    };

    fold(source, on, w);
    report(1, w);
    if (w.size() >= 2) {
        doubledVowels(w, quenya);
        report(2, w);
    }
    insertCarriers(w, quenya, spare);
    w.swap(spare);
    report(3, w);

    std::array<bool, 256> excluded{};
    for (const char c : settings.BrezTilde) {
        excluded[static_cast<Letter>(c)] = true;
    }
    doubledConsonants(w, excluded);
    report(4, w);
    if (!quenya) {
        sindarinOrder(w);
        report(5, w);
    }
    if (on[flag::SBeforeVowel]) {
        sBeforeVowels(w, quenya);
        report(6, w);
    }
    carriersForY(w, spare);
    w.swap(spare);
    report(7, w);
    if (on[flag::SzBeforeTilde]) {
        sBeforeTilde(w);
        report(8, w);
    }
    markForms(w, on[flag::OuQuenya]);
    report(9, w);
    tildeForms(w);
    report(10, w);

    result.reserve(2 * w.size());
    toFontCodes(w, result);
    report(11, result);
}

}  // namespace

void LatinToTengwar(std::string_view source, bool raw, TConvertData& settings, bool settingsReady,
                    std::string& result, const PassTrace& trace) {
    result.clear();
    if (source.empty()) {
        return;
    }
    if (raw) {
        result.reserve(2 * source.size());
        toFontCodes(source, result);
        if (trace) {
            trace(11, result);
        }
        return;
    }
    if (!settingsReady) {
        loadSettings(settings);
    }
    if (trace) {
        // A trace may itself transcribe; it must not share this thread's buffers.
        Buffers own;
        transcribe(source, settings, result, own, trace);
        return;
    }
    thread_local Buffers buffers;
    transcribe(source, settings, result, buffers, trace);
}

std::string LatinToTengwar(std::string_view source, bool raw, TConvertData& settings, bool settingsReady,
                           const PassTrace& trace) {
    std::string result;
    LatinToTengwar(source, raw, settings, settingsReady, result, trace);
    return result;
}
