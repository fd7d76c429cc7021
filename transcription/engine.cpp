#include "transcription/engine.h"

#include <algorithm>
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

// Pass 1 (Source -> W).
void fold(std::string_view source, const Switches& on, std::string& w) {
    const std::size_t n = source.size();
    w.resize(2 * n);  // no rule yields more than two letters per character
    char* out = w.data();

    std::array<bool, kPairRuleCount + 1> enabled{};
    for (std::size_t i = 0; i < kPairRuleCount; ++i) {
        const int flag = kPairRules[i].flag;
        enabled[i + 1] = flag == kAlways || on[static_cast<std::size_t>(flag)];
    }
    const auto& singles = on[flag::AccentedSToPlain] ? kSingleRulesPlainS : kSingleRules;
    const bool finalSilentE = on[flag::FinalSilentE];
    constexpr Folded silentE = folded("\xEC");

    for (std::size_t i = 0; i < n;) {
        const auto c = static_cast<Letter>(source[i]);
        const Letter d = at(source, i + 1);
        const std::uint8_t pair = kPairTable[kPairStarts[c]][d];
        if (enabled[pair]) {  // enabled[0], no rule, is false
            out = put(out, kPairOutputs[pair]);
            i += 2;
            continue;
        }
        // A final e (before a space or at the end) may become the silent e.
        const bool silent = finalSilentE & (c == 'e') & ((d == 0) | (d == ' '));
        out = put(out, silent ? silentE : singles[c]);
        ++i;
    }
    w.resize(static_cast<std::size_t>(out - w.data()));
}

// ---------------------------------------------------------------------------
// Passes 2-10: arranging carriers, tildes and mark forms.

// Pass 2: the first of two equal vowels becomes the long carrier. Quenya
// scans from the end, Sindarin from the start, which decides runs of three.
void doubledVowels(std::string& text, bool quenya) {
    const std::size_t n = text.size();
    char* w = text.data();
    auto pairEndingAt = [w](std::size_t k) {
        const auto first = static_cast<Letter>(w[k - 1]);
        if (static_cast<Letter>(w[k]) == first && contains(letterset::Vowel, first) &&
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

// Pass 3 (W -> new W): a vowel without a letter to bear its mark gets the
// short carrier. Quenya marks sit on the letter before, Sindarin marks on the
// letter after (or on a carrier before).
template <bool Quenya>
void insertCarriers(const std::string& w, std::string& out) {
    const std::size_t n = w.size();
    out.resize(2 * n);
    char* next = out.data();
    Letter previous = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<Letter>(w[i]);
        bool borne = false;
        if constexpr (Quenya) {
            borne = contains(letterset::Bearer, previous);
        } else {
            // w[n] is the string's terminating NUL.
            borne = contains(letterset::Consonant, static_cast<Letter>(w[i + 1])) || isCarrier(previous);
        }
        *next = kShortCarrier;
        next += static_cast<std::size_t>(contains(letterset::Vowel, c) && !borne);
        *next++ = static_cast<char>(c);
        previous = c;
    }
    out.resize(static_cast<std::size_t>(next - out.data()));
}

// Pass 4: the second of two equal consonants becomes the tilde, unless the
// letter is one that never takes it.
void doubledConsonants(std::string& text, const std::array<bool, 256>& excluded) {
    const std::size_t n = text.size();
    char* w = text.data();
    for (std::size_t k = 0; k + 1 < n; ++k) {
        const auto c = static_cast<Letter>(w[k]);
        if (static_cast<Letter>(w[k + 1]) == c && contains(letterset::Doublable, c) && !excluded[c]) {
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
    const auto silentE = static_cast<Letter>(kSilentE);
    for (std::size_t i = 0; i < n; ++i) {
        const char form = beforeVowelForm(static_cast<Letter>(w[i]));
        if (form == '\0') {
            continue;
        }
        const Letter next = at(w, i + 1);
        const bool change = quenya ? contains(letterset::VowelOrSilentE, next) ||
                                         (next == kTilde && contains(letterset::VowelOrSilentE, at(w, i + 2)))
                                   : contains(letterset::Vowel, before(w, i)) || next == silentE ||
                                         (next == kTilde && at(w, i + 2) == silentE);
        if (change) {
            w[i] = form;
        }
    }
}

// Pass 7 (W -> new W): a Y at the start of a word (or after another Y) gets the
// short carrier. Returns false, leaving out alone, when W holds no Y.
bool carriersForY(const std::string& w, std::string& out) {
    if (w.find('Y') == std::string::npos) {
        return false;
    }
    out.clear();
    Letter previous = 0;
    for (std::size_t i = 0; i < w.size(); ++i) {
        if (w[i] == 'Y' && (i == 0 || previous == ' ' || previous == 'Y')) {
            out += kShortCarrier;
        }
        out += w[i];
        previous = static_cast<Letter>(w[i]);
    }
    return true;
}

// Pass 8: S, Z, Ź and ź before a tilde.
void sBeforeTilde(std::string& w) {
    for (std::size_t i = w.find(kTilde, 1); i != std::string::npos; i = w.find(kTilde, i + 1)) {
        char& letter = w[i - 1];
        switch (static_cast<Letter>(letter)) {
            case 'S':
                letter = '\x8C';  // Ś
                break;
            case 'Z':
            case 0x8F:  // Ź
            case 0x9F:  // ź
                letter = 'z';
                break;
            default:
                break;
        }
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

// Pass 9: every vowel mark and silent e takes the form that fits its bearer,
// the letter before it (or before its tilde) as already changed.
void markForms(std::string& w, bool quenyaOu) {
    const auto& rows = quenyaOu ? kMarkRowsQuenya : kMarkRowsBlackSpeech;
    Letter previous = 0;
    Letter beforePrevious = 0;
    for (char& letter : w) {
        const auto c = static_cast<Letter>(letter);
        const Letter bearer = previous == kTilde ? beforePrevious : previous;
        const std::uint8_t row = rows[c];
        const auto form = row != 0 ? static_cast<Letter>(kMarkForms[row][kBearerColumns[bearer]]) : c;
        letter = static_cast<char>(form);
        beforePrevious = previous;
        previous = form;
    }
}

// Pass 10: every tilde takes the form that fits the letter it doubles.
void tildeForms(std::string& w) {
    for (std::size_t i = w.find(kTilde, 1); i != std::string::npos; i = w.find(kTilde, i + 1)) {
        const auto classes = letterset::kMembership[static_cast<Letter>(w[i - 1])];
        w[i] = (classes & letterset::TildeA)   ? '\xBB'   // »
               : (classes & letterset::TildeB) ? '\x9B'   // ›
               : (classes & letterset::TildeC) ? '\xAB'   // «
                                               : '\x8B';  // ‹
    }
}

// ---------------------------------------------------------------------------
// Pass 11: letters to font codes. A mark is a zero-width glyph drawn over the
// glyph before it, so it simply follows that glyph; only after a two-glyph
// letter (c C ç x) is the mark placed between the two glyphs, over the
// consonant, together with one inner mark that follows it.
void toFontCodes(std::string_view w, std::string& result) {
    const std::size_t n = w.size();
    result.resize(2 * n);  // no letter yields more than two codes
    char* out = result.data();
    for (std::size_t i = 0; i < n; ++i) {
        const alphabet::Glyph& letter = alphabet::kGlyphs[static_cast<Letter>(w[i])];
        out[0] = letter.codes[0];
        out[1] = letter.codes[1];
        out += letter.size;
        if (letter.size < 2) {
            continue;
        }
        const Letter mark = at(w, i + 1);
        if (!contains(letterset::Overlay, mark)) {
            continue;
        }
        // c + mark [+ inner mark] -> t, mark, [inner mark,] s
        --out;
        out[0] = alphabet::kGlyphs[mark].codes[0];
        ++out;
        ++i;
        const Letter inner = at(w, i + 1);
        if (contains(letterset::InnerOverlay, inner)) {
            const alphabet::Glyph& innerGlyph = alphabet::kGlyphs[inner];
            out[0] = innerGlyph.codes[0];
            out += innerGlyph.size;
            ++i;
        }
        *out++ = letter.codes[1];
    }
    result.resize(static_cast<std::size_t>(out - result.data()));
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
    if (quenya) {
        insertCarriers<true>(w, spare);
    } else {
        insertCarriers<false>(w, spare);
    }
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
    if (carriersForY(w, spare)) {
        w.swap(spare);
    }
    report(7, w);
    if (on[flag::SzBeforeTilde]) {
        sBeforeTilde(w);
        report(8, w);
    }
    markForms(w, on[flag::OuQuenya]);
    report(9, w);
    tildeForms(w);
    report(10, w);

    toFontCodes(w, result);
    report(11, result);
}

}  // namespace

void LatinToTengwar(std::string_view source, bool raw, TConvertData& settings, bool settingsReady,
                    std::string& result, const PassTrace& trace) {
    const std::less<const char*> less;
    if (!less(source.data(), result.data()) && less(source.data(), result.data() + result.capacity())) {
        // The source lies in the result's own buffer: work on a copy.
        const std::string copy(source);
        LatinToTengwar(copy, raw, settings, settingsReady, result, trace);
        return;
    }
    result.clear();
    if (source.empty()) {
        return;
    }
    if (raw) {
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
    // One huge line should not hold its memory for the rest of the thread.
    constexpr std::size_t kKeptCapacity = std::size_t{1} << 20;
    if (buffers.text.capacity() > kKeptCapacity || buffers.spare.capacity() > kKeptCapacity) {
        buffers = Buffers{};
    }
}

std::string LatinToTengwar(std::string_view source, bool raw, TConvertData& settings, bool settingsReady,
                           const PassTrace& trace) {
    std::string result;
    LatinToTengwar(source, raw, settings, settingsReady, result, trace);
    return result;
}
