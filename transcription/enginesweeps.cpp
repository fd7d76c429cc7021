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

// a when the bit is 1, else b, without a branch.
template <typename T>
inline T choose(unsigned bit, T a, T b) {
    return static_cast<T>(b ^ ((a ^ b) & (T{0} - static_cast<T>(bit))));
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
    std::uint8_t tilde;        // the form of a tilde after it (pass 10)
    std::uint32_t tildeCodes;  // and its font codes, packed
};

// Font codes packed like the folds: two codes, then their count.
inline std::uint32_t packedGlyph(Letter letter) {
    const alphabet::Glyph& glyph = alphabet::kGlyphs[letter];
    return static_cast<std::uint32_t>(static_cast<Letter>(glyph.codes[0])) |
           static_cast<std::uint32_t>(static_cast<Letter>(glyph.codes[1])) << 8 |
           static_cast<std::uint32_t>(glyph.size) << 16;
}
constexpr std::uint32_t kTwoCodes = 2U << 16;

// The tables that follow from one set of switches.
struct SweepTables {
    Switches flags{};
    std::string brezTilde;
    bool built = false;

    // Sweep 1: for a letter's pair-start row (kPairStarts times 256) and the
    // next letter, the packed letters of the pair rule when it is on, else 0.
    std::array<std::uint32_t, kPairStartCount * 256> pairs{};
    std::array<std::uint16_t, 256> pairRow{};
    const std::array<std::uint32_t, 256>* singles = &kPackedSingles;
    // Sweep 2.
    std::array<std::uint8_t, 256> classes{};
    // Sweep 3: per letter, and the font codes of each letter after pass 9
    // for each bearer column.
    std::array<FormInfo, 256> forms{};
    std::array<std::array<char, 8>, 256> marked{};
    std::array<std::array<std::uint32_t, 8>, 256> markedCodes{};

    bool fits(const TConvertData& settings) const {
        return built && flags == settings.Flags && brezTilde == settings.BrezTilde;
    }

    void build(const TConvertData& settings) {
        flags = settings.Flags;
        brezTilde = settings.BrezTilde;
        built = true;
        const Switches& on = settings.Flags;
        for (int c = 0; c < 256; ++c) {
            pairRow[static_cast<std::size_t>(c)] =
                static_cast<std::uint16_t>(kPairStarts[static_cast<std::size_t>(c)] * 256);
            for (int d = 0; d < 256; ++d) {
                const std::uint8_t rule =
                    kPairTable[kPairStarts[static_cast<std::size_t>(c)]][static_cast<std::size_t>(d)];
                const int flag = kPairRules[rule == 0 ? 0 : rule - 1].flag;
                const bool enabled = rule != 0 && (flag == kAlways || on[static_cast<std::size_t>(flag)]);
                pairs[kPairStarts[static_cast<std::size_t>(c)] * 256U + static_cast<unsigned>(d)] =
                    enabled ? kPackedPairs[rule] : 0;
            }
        }
        singles = on[flag::AccentedSToPlain] ? &kPackedSinglesPlainS : &kPackedSingles;

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
            const auto tilde = static_cast<Letter>(tildeForm(changed));
            forms[c] = {changed, kBearerColumns[c], kBearerColumns[changed], tilde, packedGlyph(tilde)};
            for (std::size_t column = 0; column < 8; ++column) {
                marked[c][column] = rows[c] != 0 ? kMarkForms[rows[c]][column] : static_cast<char>(c);
                markedCodes[c][column] = packedGlyph(static_cast<Letter>(marked[c][column]));
            }
        }
    }
};

// Sweep 1 = pass 1 (source -> w, which has room for two letters per byte).
// A pair rule takes a letter and the next unless the letter before began a
// pair; only that one bit runs from letter to letter.
template <bool FinalSilentE>
[[gnu::noinline]] std::size_t foldSweep(std::string_view source, const SweepTables& tables, char* w) {
    const auto* s = reinterpret_cast<const Letter*>(source.data());
    const std::size_t n = source.size();
    if (n == 0) {
        return 0;
    }
    const auto& singles = *tables.singles;
    const std::uint32_t* pairs = tables.pairs.data();
    const std::uint32_t silentE = packed(folded("\xEC"));
    char* out = w;
    bool pairBegun = false;  // the letter before began a pair rule
    auto step = [&](Letter c, Letter d) {
        const std::uint32_t pair = pairs[tables.pairRow[c] + d];
        std::uint32_t letters = singles[c];
        if constexpr (FinalSilentE) {
            const bool silent = (c == 'e') & ((d == 0) | (d == ' '));
            letters = silent ? silentE : letters;
        }
        letters = pair != 0 ? pair : letters;
        letters = pairBegun ? 0 : letters;  // the second letter of a pair
        out = putPacked(out, letters);
        pairBegun = (pair != 0) & !pairBegun;
    };
    for (std::size_t i = 0; i + 1 < n; ++i) {
        step(s[i], s[i + 1]);
    }
    step(s[n - 1], 0);
    return static_cast<std::size_t>(out - w);
}

// Pass 2 on one run of equal vowels starting at k, in place; returns where the
// run ends. Quenya pairs them from the end, Sindarin from the start, and a
// carrier before the run keeps its first vowel.
template <bool Quenya>
[[gnu::cold, gnu::noinline]] std::size_t lengthenRun(char* w, std::size_t k, std::size_t n) {
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
[[gnu::noinline]] std::size_t carrierSweep(char* w, std::size_t n, const SweepTables& tables, char* out) {
    const auto& classes = tables.classes;
    char* const start = out;
    std::size_t runEnd = 0;
    unsigned previous = 0;  // the letter before, or 256 when it became a tilde
    unsigned previousClasses = 0;
    for (std::size_t k = 0; k < n; ++k) {
        unsigned c = static_cast<Letter>(w[k]);
        unsigned own = classes[c];
        // A vowel the same as the next letter (one comparison, one branch).
        if (((own & kIsVowel) << 8 | c) == (1U << 8 | static_cast<Letter>(w[k + 1]))) [[unlikely]] {
            if (k >= runEnd) {
                runEnd = lengthenRun<Quenya>(w, k, n);
                c = static_cast<Letter>(w[k]);
                own = classes[c];
            }
        }
        unsigned borne = 0;
        if constexpr (Quenya) {
            borne = previousClasses / kIsBearer;
        } else {
            borne = classes[static_cast<Letter>(w[k + 1])] / kIsConsonant | previousClasses / kIsCarrier;
        }
        *out = kShortCarrier;
        out += own & kIsVowel & ~borne;
        const unsigned tilde = own / kTakesTilde & static_cast<unsigned>(c == previous);
        *out++ = static_cast<char>(choose(tilde, static_cast<unsigned>(kTilde), c));
        previous = c | tilde << 8;
        previousClasses = own;
    }
    return static_cast<std::size_t>(out - start);
}

// Sweep 3 = passes 8, 9, 10 and 11 (w -> font codes at out, which has room
// for two codes per letter). Each letter's form follows from the letters as
// they were: pass 8 changes only a letter before a tilde, pass 9 only marks,
// whose bearer column it does not change (see above), pass 10 only tildes.
// w[n] must be readable.
class FormSweep {
public:
    FormSweep(const char* w, std::size_t n, const SweepTables& tables) : m_w(w), m_n(n), m_tables(tables) {}

    std::size_t run(char* out) const {
        char* const start = out;
        // What a mark and what a tilde here would take after the letters
        // before; at the start a tilde keeps its form, as passes 8 and 10
        // leave it.
        unsigned column = m_tables.forms[0].column;
        std::uint32_t tildeCodes = packedGlyph(static_cast<Letter>(kTilde));
        unsigned columnBeforeTilde = m_tables.forms[0].columnBeforeTilde;  // of the letter before
        for (std::size_t i = 0; i < m_n; ++i) {
            const unsigned c = letterAt(i);
            const FormInfo own = m_tables.forms[c];
            const unsigned letter = m_w[i + 1] == kTilde ? own.beforeTilde : c;
            std::uint32_t codes = m_tables.markedCodes[letter][column];
            const bool tilde = c == static_cast<Letter>(kTilde);
            codes = tilde ? tildeCodes : codes;
            out = putPacked(out, codes);
            column = tilde ? columnBeforeTilde : own.column;
            columnBeforeTilde = own.columnBeforeTilde;
            tildeCodes = own.tildeCodes;
            if ((codes & kTwoCodes) != 0) [[unlikely]] {
                const std::size_t taken = marksInside(codes, i, out);
                if (taken != 0) {
                    i += taken;
                    const FormInfo& last = m_tables.forms[letterAt(i)];
                    column = letterAt(i) == static_cast<Letter>(kTilde)
                                 ? m_tables.forms[letterAt(i - 1)].columnBeforeTilde
                                 : last.column;
                    columnBeforeTilde = last.columnBeforeTilde;
                    tildeCodes = last.tildeCodes;
                }
            }
        }
        return static_cast<std::size_t>(out - start);
    }

private:
    unsigned letterAt(std::size_t i) const { return static_cast<Letter>(m_w[i]); }

    // Before the first letter: a tilde there keeps its form, as passes 8 and
    // 10 leave it.
    FormInfo outsideInfo() const {
        FormInfo outside = m_tables.forms[0];
        outside.tilde = static_cast<std::uint8_t>(kTilde);
        outside.tildeCodes = packedGlyph(static_cast<Letter>(kTilde));
        return outside;
    }

    // The letter at i after passes 8-10, worked out on its own.
    Letter formAt(std::size_t i) const {
        const FormInfo outside = outsideInfo();
        const unsigned c = letterAt(i);
        const FormInfo& before = i > 0 ? m_tables.forms[letterAt(i - 1)] : outside;
        const FormInfo& beforeThat = i > 1 ? m_tables.forms[letterAt(i - 2)] : outside;
        if (c == static_cast<Letter>(kTilde)) {
            return before.tilde;
        }
        const unsigned column = i > 0 && letterAt(i - 1) == static_cast<Letter>(kTilde)
                                    ? beforeThat.columnBeforeTilde
                                    : before.column;
        const unsigned letter = m_w[i + 1] == kTilde ? m_tables.forms[c].beforeTilde : c;
        return static_cast<Letter>(m_tables.marked[letter][column]);
    }

    // Pass 11 for a two-glyph letter (c C ç x) at i: a mark after it, and one
    // inner mark after that, go between its two codes. Returns the letters
    // taken after it.
    std::size_t marksInside(std::uint32_t codes, std::size_t i, char*& out) const {
        const Letter mark = i + 1 < m_n ? formAt(i + 1) : 0;
        if (!contains(letterset::Overlay, mark)) {
            return 0;
        }
        // c + mark [+ inner mark] -> t, mark, [inner mark,] s
        out[-1] = alphabet::kGlyphs[mark].codes[0];
        std::size_t taken = 1;
        const Letter inner = i + 2 < m_n ? formAt(i + 2) : 0;
        if (contains(letterset::InnerOverlay, inner)) {
            const alphabet::Glyph& innerGlyph = alphabet::kGlyphs[inner];
            out[0] = innerGlyph.codes[0];
            out += innerGlyph.size;
            ++taken;
        }
        *out++ = static_cast<char>(codes >> 8);
        return taken;
    }

    const char* m_w;
    std::size_t m_n;
    const SweepTables& m_tables;
};

// One piece of source, appended to result.
void transcribePiece(std::string_view source, const TConvertData& settings, const SweepTables& tables,
                     std::string& result, SweepBuffers& buffers) {
    const Switches& on = settings.Flags;
    std::string& w = buffers.text;
    std::string& spare = buffers.spare;

    w.resize(2 * source.size());  // no rule yields more than two letters per character
    w.resize(on[flag::FinalSilentE] ? foldSweep<true>(source, tables, w.data())
                                    : foldSweep<false>(source, tables, w.data()));

    spare.resize(2 * w.size());  // a carrier at most before every letter
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

    const std::size_t start = result.size();
    result.resize(start + 2 * w.size());  // no letter yields more than two codes
    result.resize(start + FormSweep(w.data(), w.size(), tables).run(result.data() + start));
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
