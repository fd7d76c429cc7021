#include "transcription/enginesweeps.h"

#include <cstring>

#include "transcription/alphabet.h"
#include "transcription/enginepasses.h"
#include "transcription/enginetables.h"

// Each sweep decides every letter from a few letters around it, without
// branches where prose makes them unpredictable, and without a chain of table
// lookups from one letter to the next.
namespace engine {
namespace {

// What the folding appends, packed: the two letters in bytes 0-1, the count
// in byte 2.
constexpr std::uint32_t packed(const Folded& letters) {
    return static_cast<std::uint32_t>(static_cast<Letter>(letters.letters[0])) |
           static_cast<std::uint32_t>(static_cast<Letter>(letters.letters[1])) << 8 |
           static_cast<std::uint32_t>(letters.size) << 16;
}

template <std::size_t N>
constexpr std::array<std::uint32_t, N> packedAll(const std::array<Folded, N>& table) {
    std::array<std::uint32_t, N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        out[i] = packed(table[i]);
    }
    return out;
}
constexpr auto kPackedPairs = packedAll(kPairOutputs);
constexpr auto kPackedSingles = packedAll(kSingleRules);
constexpr auto kPackedSinglesPlainS = packedAll(kSingleRulesPlainS);

// Writes a packed fold (two bytes, always) and returns the end of what counts.
inline char* putPacked(char* out, std::uint32_t letters) {
    const auto two = static_cast<std::uint16_t>(letters);
    std::memcpy(out, &two, 2);
    return out + (letters >> 16);
}

// Letter classes for the second sweep, one byte per letter.
enum : std::uint8_t {
    kIsVowel = 1,
    kIsBearer = 2,     // bears the mark after it (Quenya)
    kIsConsonant = 4,  // bears the mark before it (Sindarin)
    kIsCarrier = 8,
    kTakesTilde = 16,  // doubles with the tilde under the current settings
};

// A vowel mark or silent e takes a form after its bearer that depends only on
// the bearer's column. The forms themselves (and the plain vowels) all share
// one column, as they share one tilde class, so the column of a bearer can be
// read from the letter before the third sweep changes it.
constexpr bool markFormsShareTheirColumn() {
    constexpr auto kTildeClasses = letterset::TildeA | letterset::TildeB | letterset::TildeC;
    auto fits = [&](Letter f) {
        return kBearerColumns[f] == kBearerColumns['a'] && (letterset::kMembership[f] & kTildeClasses) == 0;
    };
    for (int c = 0; c < 256; ++c) {
        if ((kMarkRowsQuenya[c] != 0 || kMarkRowsBlackSpeech[c] != 0) && !fits(static_cast<Letter>(c))) {
            return false;
        }
    }
    for (std::size_t row = 1; row < kMarkForms.size(); ++row) {
        for (const char form : kMarkForms[row]) {
            if (!fits(static_cast<Letter>(form))) {
                return false;
            }
        }
    }
    return true;
}
static_assert(markFormsShareTheirColumn());

constexpr char tildeForm(Letter before) {
    const auto classes = letterset::kMembership[before];
    return (classes & letterset::TildeA)   ? '\xBB'   // »
           : (classes & letterset::TildeB) ? '\x9B'   // ›
           : (classes & letterset::TildeC) ? '\xAB'   // «
                                           : '\x8B';  // ‹
}

// What pass 8 makes of a letter before a tilde.
constexpr Letter beforeTildeForm(Letter c) {
    switch (c) {
        case 'S':
            return 0x8C;  // Ś
        case 'Z':
        case 0x8F:  // Ź
        case 0x9F:  // ź
            return 'z';
        default:
            return c;
    }
}

// Everything the third sweep needs of one letter, read with one lookup.
struct FormInfo {
    std::uint8_t beforeTilde;  // the letter when a tilde follows it (pass 8)
    std::uint8_t column;       // its column as a bearer
    std::uint8_t columnBeforeTilde;
    std::uint8_t tildeAfter;  // the form of a tilde after it
};

// The tables that follow from one set of switches.
struct SweepTables {
    Switches flags{};
    std::string brezTilde;
    bool built = false;

    std::array<std::uint8_t, kPairRuleCount + 1> enabledRule{};  // the rule if its switch is on, else 0
    const std::array<std::uint32_t, 256>* singles = &kPackedSingles;
    bool finalSilentE = false;
    std::array<std::uint8_t, 256> classes{};
    std::array<FormInfo, 256> forms{};
    // For each letter and bearer column, the letter after pass 9.
    std::array<std::array<char, 8>, 256> marked{};

    bool fits(const TConvertData& settings) const {
        return built && flags == settings.Flags && brezTilde == settings.BrezTilde;
    }

    void build(const TConvertData& settings) {
        flags = settings.Flags;
        brezTilde = settings.BrezTilde;
        built = true;
        const Switches& on = settings.Flags;
        for (std::size_t i = 0; i < kPairRuleCount; ++i) {
            const int flag = kPairRules[i].flag;
            const bool enabled = flag == kAlways || on[static_cast<std::size_t>(flag)];
            enabledRule[i + 1] = enabled ? static_cast<std::uint8_t>(i + 1) : 0;
        }
        singles = on[flag::AccentedSToPlain] ? &kPackedSinglesPlainS : &kPackedSingles;
        finalSilentE = on[flag::FinalSilentE];

        std::array<bool, 256> excluded{};
        for (const char c : settings.BrezTilde) {
            excluded[static_cast<Letter>(c)] = true;
        }
        const bool sBeforeTilde = on[flag::SzBeforeTilde];
        const auto& rows = on[flag::OuQuenya] ? kMarkRowsQuenya : kMarkRowsBlackSpeech;
        for (int i = 0; i < 256; ++i) {
            const auto c = static_cast<Letter>(i);
            const auto bits = letterset::kMembership[c];
            classes[c] = static_cast<std::uint8_t>(
                ((bits & letterset::Vowel) ? kIsVowel : 0) | ((bits & letterset::Bearer) ? kIsBearer : 0) |
                ((bits & letterset::Consonant) ? kIsConsonant : 0) | (isCarrier(c) ? kIsCarrier : 0) |
                ((bits & letterset::Doublable) && !excluded[c] ? kTakesTilde : 0));
            const Letter changed = sBeforeTilde ? beforeTildeForm(c) : c;
            forms[c] = {changed, kBearerColumns[c], kBearerColumns[changed],
                        static_cast<std::uint8_t>(tildeForm(changed))};
            for (std::size_t column = 0; column < 8; ++column) {
                marked[c][column] = rows[c] != 0 ? kMarkForms[rows[c]][column] : static_cast<char>(c);
            }
        }
    }
};

// Sweep 1 = pass 1 (source -> w, which has room for two letters per byte).
// A pair rule takes a letter and the next unless the letter before began a
// pair; only that one bit runs from letter to letter.
std::size_t foldSweep(std::string_view source, const SweepTables& tables, char* w) {
    const auto* s = reinterpret_cast<const Letter*>(source.data());
    const std::size_t n = source.size();
    const auto& singles = *tables.singles;
    const std::uint32_t silentE = packed(folded("\xEC"));
    char* out = w;
    bool pairBegun = false;  // the letter before began a pair rule
    for (std::size_t i = 0; i < n; ++i) {
        const Letter c = s[i];
        const Letter d = i + 1 < n ? s[i + 1] : 0;
        const std::uint8_t rule = tables.enabledRule[kPairTable[kPairStarts[c]][d]];
        const bool begins = (rule != 0) & !pairBegun;
        const bool silent = tables.finalSilentE & (c == 'e') & ((d == 0) | (d == ' '));
        std::uint32_t letters = silent ? silentE : singles[c];
        letters = begins ? kPackedPairs[rule] : letters;
        letters = pairBegun ? 0 : letters;  // the second letter of a pair
        out = putPacked(out, letters);
        pairBegun = begins;
    }
    return static_cast<std::size_t>(out - w);
}

// Pass 2 on one run of equal vowels starting at k, in place; returns where the
// run ends. Quenya pairs them from the end, Sindarin from the start, and a
// carrier before the run keeps its first vowel.
template <bool Quenya>
std::size_t lengthenRun(char* w, std::size_t k, std::size_t n) {
    const char vowel = w[k];
    std::size_t end = k + 1;
    while (end < n && w[end] == vowel) {
        ++end;
    }
    const std::size_t length = end - k;
    const bool carrierBefore = k > 0 && isCarrier(static_cast<Letter>(w[k - 1]));
    if constexpr (Quenya) {
        for (std::size_t j = length; j >= 2; j -= 2) {
            if (j - 2 > 0 || !carrierBefore) {
                w[k + j - 2] = kLongCarrier;
            }
        }
    } else {
        for (std::size_t j = carrierBefore ? 1 : 0; j + 1 < length; j += 2) {
            w[k + j] = kLongCarrier;
        }
    }
    return end;
}

// Sweep 2 = passes 2, 3 and 4 (w -> out, which has room for two letters per
// letter). w[n] must be readable (a NUL); pass 2 changes w in place.
template <bool Quenya>
std::size_t carrierSweep(char* w, std::size_t n, const SweepTables& tables, char* out) {
    const auto& classes = tables.classes;
    char* const start = out;
    std::size_t runEnd = 0;
    Letter previous = 0;
    std::uint8_t previousClasses = 0;
    bool previousTilde = false;
    for (std::size_t k = 0; k < n; ++k) {
        auto c = static_cast<Letter>(w[k]);
        if ((classes[c] & kIsVowel) && static_cast<Letter>(w[k + 1]) == c && k >= runEnd) [[unlikely]] {
            runEnd = lengthenRun<Quenya>(w, k, n);
            c = static_cast<Letter>(w[k]);
        }
        const std::uint8_t own = classes[c];
        bool borne = false;
        if constexpr (Quenya) {
            borne = previousClasses & kIsBearer;
        } else {
            borne = (classes[static_cast<Letter>(w[k + 1])] & kIsConsonant) || (previousClasses & kIsCarrier);
        }
        *out = kShortCarrier;
        out += static_cast<std::size_t>((own & kIsVowel) && !borne);
        const bool tilde = (own & kTakesTilde) && c == previous && !previousTilde;
        *out++ = tilde ? kTilde : static_cast<char>(c);
        previous = c;
        previousClasses = own;
        previousTilde = tilde;
    }
    return static_cast<std::size_t>(out - start);
}

// Sweep 3 = passes 8, 9 and 10 in place. Each letter's form follows from the
// letters as they were: pass 8 changes only a letter before a tilde, pass 9
// only marks, whose bearer column it does not change (see above), pass 10
// only tildes. w[n] must be readable.
void formSweep(char* w, std::size_t n, const SweepTables& tables) {
    Letter previous = 0;
    Letter beforePrevious = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<Letter>(w[i]);
        const bool tildeNext = w[i + 1] == kTilde;
        const FormInfo& before = tables.forms[previous];
        const std::uint8_t column = previous == static_cast<Letter>(kTilde)
                                        ? tables.forms[beforePrevious].columnBeforeTilde
                                        : before.column;
        const Letter letter = tildeNext ? tables.forms[c].beforeTilde : c;
        char form = tables.marked[letter][column];
        // Pass 10, like pass 8, leaves a tilde at the very start alone.
        form = c == static_cast<Letter>(kTilde) && i > 0 ? static_cast<char>(before.tildeAfter) : form;
        w[i] = form;
        beforePrevious = previous;
        previous = c;
    }
}

// Pass 11, appending to result.
void appendFontCodes(std::string_view w, std::string& result) {
    const std::size_t start = result.size();
    result.resize(start + 2 * w.size());  // no letter yields more than two codes
    char* out = result.data() + start;
    const std::size_t n = w.size();
    for (std::size_t i = 0; i < n; ++i) {
        const alphabet::Glyph& letter = alphabet::kGlyphs[static_cast<Letter>(w[i])];
        out[0] = letter.codes[0];
        out[1] = letter.codes[1];
        out += letter.size;
        if (letter.size < 2) [[likely]] {
            continue;
        }
        const Letter mark = at(w, i + 1);
        if (!contains(letterset::Overlay, mark)) {
            continue;
        }
        // c + mark [+ inner mark] -> t, mark, [inner mark,] s
        out[-1] = alphabet::kGlyphs[mark].codes[0];
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

// One piece of source, appended to result.
void transcribePiece(std::string_view source, const TConvertData& settings, const SweepTables& tables,
                     std::string& result, SweepBuffers& buffers) {
    const Switches& on = settings.Flags;
    std::string& w = buffers.text;
    std::string& spare = buffers.spare;

    w.resize(2 * source.size());  // no rule yields more than two letters per character
    w.resize(foldSweep(source, tables, w.data()));

    spare.resize(2 * w.size());
    const bool quenya = on[flag::VowelsQuenya];
    spare.resize(quenya ? carrierSweep<true>(w.data(), w.size(), tables, spare.data())
                        : carrierSweep<false>(w.data(), w.size(), tables, spare.data()));
    w.swap(spare);

    if (!quenya) {
        sindarinOrder(w);
    }
    if (on[flag::SBeforeVowel]) {
        sBeforeVowels(w, quenya);
    }
    if (carriersForY(w, spare)) {
        w.swap(spare);
    }
    formSweep(w.data(), w.size(), tables);
    appendFontCodes(w, result);
}

// Pieces of a long source end after a space at least this far from their start.
constexpr std::size_t kPieceLength = std::size_t{32} << 10;

}  // namespace

void transcribeBySweeps(std::string_view source, const TConvertData& settings, std::string& result,
                        SweepBuffers& buffers) {
    thread_local SweepTables tables;
    if (!tables.fits(settings)) {
        tables.build(settings);
    }
    if (source.size() > kPieceLength) {
        // Prose comes out about as long as it goes in; room for a quarter
        // more spares the result a copy to a doubled buffer.
        result.reserve(result.size() + source.size() + source.size() / 4 + 4 * kPieceLength);
    }
    while (!source.empty()) {
        std::size_t length = source.size();
        if (length > kPieceLength) {
            const std::size_t space = source.find(' ', kPieceLength - 1);
            length = space == std::string_view::npos ? source.size() : space + 1;
        }
        transcribePiece(source.substr(0, length), settings, tables, result, buffers);
        source.remove_prefix(length);
    }
}

}  // namespace engine
