#include "core/transcription/enginesweeps.h"

#include <algorithm>
#include <cstring>

#include "core/transcription/alphabet.h"
#include "core/transcription/enginepasses.h"
#include "core/transcription/enginetables.h"

// Each sweep decides every letter from a few letters around it, by table
// lookups that do not wait on each other from letter to letter, and branches
// only on what prose seldom holds.
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

// Writes packed letters or codes (two bytes, always) and returns the end of
// what counts.
inline char* putPacked(char* out, std::uint32_t letters) {
    const auto two = static_cast<std::uint16_t>(letters);
    std::memcpy(out, &two, 2);
    return out + (letters >> 16);
}

// Marks a packed fold that takes the letter after it too.
constexpr std::uint32_t kBeginsPair = 1U << 24;

// Letter classes for the second sweep, one byte per letter, set so that the
// carrier rule is one AND of shifted bytes.
enum : std::uint8_t {
    kIsVowel = 1,
    kIsNoBearer = 2,     // does not bear the mark after it (Quenya)
    kIsNoConsonant = 4,  // does not bear the mark before it (Sindarin)
    kIsNoCarrier = 8,
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

    // Sweep 1: for a letter c and the letter d after it (NUL at the end),
    // at c + 256 d, the packed letters of the pair rule that takes them, with
    // kBeginsPair, or else what c becomes alone.
    std::unique_ptr<std::uint32_t[]> bigrams = std::make_unique<std::uint32_t[]>(std::size_t{256} * 256);
    // Sweep 2: classes; a vowel's own byte, else 256 (the same as no next
    // letter); a letter that doubles with the tilde its own byte, else 256.
    std::array<std::uint8_t, 256> classes{};
    std::array<std::uint16_t, 256> vowelKey{};
    std::array<std::uint16_t, 256> tildeKey{};
    // Sweep 3: what pass 8 makes of a letter before a tilde, the bearer
    // column of a letter as it is and before a tilde, the font codes of a
    // tilde after it, and the font codes of each letter after pass 9 for each
    // bearer column before it.
    std::array<std::uint8_t, 256> beforeTilde{};
    std::array<std::uint8_t, 256> tildeAfter{};
    std::array<std::uint8_t, 256> column{};
    std::array<std::uint8_t, 256> columnBeforeTilde{};
    std::array<std::uint32_t, 256> tildeCodes{};
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
        const auto& singles = on[flag::AccentedSToPlain] ? kPackedSinglesPlainS : kPackedSingles;
        for (std::size_t d = 0; d < 256; ++d) {
            std::copy(singles.begin(), singles.end(), &bigrams[256 * d]);
        }
        // A final e (before a space or at the end) may become the silent e.
        if (on[flag::FinalSilentE]) {
            bigrams['e'] = bigrams['e' + 256 * ' '] = packed(folded("\xEC"));
        }
        // No two rules share a pair; were there two, the first would win.
        for (std::size_t i = kPairRuleCount; i-- > 0;) {
            const PairRule& rule = kPairRules[i];
            if (rule.flag == kAlways || on[static_cast<std::size_t>(rule.flag)]) {
                bigrams[rule.first + 256U * rule.second] = kPackedPairs[i + 1] | kBeginsPair;
            }
        }

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
                ((bits & letterset::Vowel) ? kIsVowel : 0) | ((bits & letterset::Bearer) ? 0 : kIsNoBearer) |
                ((bits & letterset::Consonant) ? 0 : kIsNoConsonant) | (isCarrier(c) ? 0 : kIsNoCarrier));
            vowelKey[c] = (bits & letterset::Vowel) ? c : 256;
            tildeKey[c] = (bits & letterset::Doublable) && !excluded[c] ? c : 256;
            const Letter changed = sBeforeTilde ? beforeTildeForm(c) : c;
            const auto tilde = static_cast<Letter>(letterset::tildeForm(changed));
            beforeTilde[c] = changed;
            tildeAfter[c] = tilde;
            column[c] = kBearerColumns[c];
            columnBeforeTilde[c] = kBearerColumns[changed];
            tildeCodes[c] = packedGlyph(tilde);
            for (std::size_t bearer = 0; bearer < 8; ++bearer) {
                marked[c][bearer] = rows[c] != 0 ? kMarkForms[rows[c]][bearer] : static_cast<char>(c);
                markedCodes[c][bearer] = packedGlyph(static_cast<Letter>(marked[c][bearer]));
            }
        }
    }
};

// Sweep 1 = pass 1 (source -> w, which has room for two letters per byte).
// A pair rule takes a letter and the next unless the letter before began a
// pair; only that one bit runs from letter to letter.
[[gnu::noinline]] std::size_t foldSweep(std::string_view source, const SweepTables& tables, char* w) {
    const auto* s = reinterpret_cast<const Letter*>(source.data());
    const std::size_t n = source.size();
    if (n == 0) {
        return 0;
    }
    const std::uint32_t* const bigrams = tables.bigrams.get();
    char* out = w;
    std::uint32_t pairBegun = 0;  // 1 when the letter before began a pair rule
    auto step = [&](unsigned c, unsigned d) {
        const std::uint32_t letters = bigrams[c | d << 8];
        // Nothing for the second letter of a pair.
        out = putPacked(out, letters & (pairBegun - 1) & ~kBeginsPair);
        pairBegun = (letters / kBeginsPair) & (pairBegun ^ 1U);
    };
    const Letter* const last = s + n - 1;
    for (const Letter* at = s; at != last; ++at) {
        step(at[0], at[1]);
    }
    step(*last, 0);
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
// letter and one more). w[n] must be readable (a NUL); pass 2 changes w in
// place.
template <bool Quenya>
[[gnu::noinline]] std::size_t carrierSweep(char* w, std::size_t n, const SweepTables& tables, char* out) {
    const auto& classes = tables.classes;
    char* const start = out;
    std::size_t runEnd = 0;
    unsigned previous = 0;       // the letter before
    unsigned previousTilde = 0;  // 1 when it became a tilde
    unsigned previousClasses = classes[0];
    auto* const letters = reinterpret_cast<Letter*>(w);
    const Letter* const end = letters + n;
    unsigned next = letters[0];
    for (Letter* at = letters; at != end; ++at) {
        unsigned c = next;
        next = at[1];
        if (tables.vowelKey[c] == next) [[unlikely]] {
            const auto k = static_cast<std::size_t>(at - letters);
            if (k >= runEnd) {
                runEnd = lengthenRun<Quenya>(w, k, n);
                c = at[0];
                next = at[1];
            }
        }
        const unsigned own = classes[c];
        unsigned unborne = own & previousClasses / kIsNoBearer;
        if constexpr (!Quenya) {
            unborne = own & classes[next] / kIsNoConsonant & previousClasses / kIsNoCarrier;
        }
        const unsigned carrier = unborne & kIsVowel;
        // The letter, or the tilde when it doubles the one before (unless
        // that one became a tilde itself: only this bit runs from letter to
        // letter). The letter goes either over the tilde or, when the tilde
        // stays, into the slot after it, where the next letter overwrites it.
        const unsigned doubled = static_cast<unsigned>(tables.tildeKey[c] == previous);
        const unsigned tilde = doubled & (previousTilde ^ 1U);
        out[0] = kShortCarrier;
        char* const letter = out + carrier;
        letter[0] = kTilde;
        letter[tilde] = static_cast<char>(c);
        out += carrier + 1;
        previous = c;
        previousTilde = tilde;
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
        const SweepTables& t = m_tables;
        // What a mark and what a tilde here would take after the letters
        // before; at the start a tilde keeps its form, as passes 8 and 10
        // leave it.
        unsigned column = t.column[0];
        std::uint32_t tildeCodes = packedGlyph(static_cast<Letter>(kTilde));
        unsigned columnBeforeTilde = t.columnBeforeTilde[0];  // of the letter before
        const auto* const w = reinterpret_cast<const Letter*>(m_w);
        const Letter* const end = w + m_n;
        unsigned next = w[0];
        for (const Letter* at = w; at != end; ++at) {
            const unsigned c = next;
            next = at[1];
            unsigned letter = c;
            if (next == static_cast<Letter>(kTilde)) [[unlikely]] {
                letter = t.beforeTilde[c];
            }
            std::uint32_t codes = t.markedCodes[letter][column];
            const bool tilde = c == static_cast<Letter>(kTilde);
            codes = tilde ? tildeCodes : codes;
            out = putPacked(out, codes);
            column = tilde ? columnBeforeTilde : t.column[c];
            columnBeforeTilde = t.columnBeforeTilde[c];
            tildeCodes = t.tildeCodes[c];
            if ((codes & kTwoCodes) != 0) [[unlikely]] {
                std::size_t i = static_cast<std::size_t>(at - w);
                const std::size_t taken = marksInside(codes, i, out);
                if (taken != 0) {
                    i += taken;
                    at = w + i;
                    next = at[1];
                    const unsigned last = letterAt(i);
                    column = last == static_cast<Letter>(kTilde) ? t.columnBeforeTilde[letterAt(i - 1)]
                                                                 : t.column[last];
                    columnBeforeTilde = t.columnBeforeTilde[last];
                    tildeCodes = t.tildeCodes[last];
                }
            }
        }
        return static_cast<std::size_t>(out - start);
    }

private:
    unsigned letterAt(std::size_t i) const { return static_cast<Letter>(m_w[i]); }

    // The letter at i after passes 8-10, worked out on its own.
    Letter formAt(std::size_t i) const {
        const SweepTables& t = m_tables;
        const unsigned c = letterAt(i);
        const unsigned before = i > 0 ? letterAt(i - 1) : 0;
        if (c == static_cast<Letter>(kTilde)) {
            // A tilde at the very start keeps its form.
            return i > 0 ? t.tildeAfter[before] : static_cast<Letter>(kTilde);
        }
        unsigned column = t.column[before];
        if (before == static_cast<Letter>(kTilde)) {
            column = i > 1 ? t.columnBeforeTilde[letterAt(i - 2)] : t.column[0];
        }
        const unsigned letter = m_w[i + 1] == kTilde ? t.beforeTilde[c] : c;
        return static_cast<Letter>(t.marked[letter][column]);
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

// Passes 2-11 on the folded letters w[0, folded), appended to result. The
// spare buffer has room for two letters per letter and one more.
void arrangeAndForm(char* w, std::size_t folded, const TConvertData& settings, const SweepTables& tables,
                    std::string& result, SweepBuffers& buffers) {
    const Switches& on = settings.Flags;
    w[folded] = '\0';
    char* const arranged = buffers.spare();
    const bool quenya = on[flag::VowelsQuenya];
    const std::size_t length = quenya ? carrierSweep<true>(w, folded, tables, arranged)
                                      : carrierSweep<false>(w, folded, tables, arranged);
    arranged[length] = '\0';
    std::string_view text(arranged, length);

    if (!quenya) {
        sindarinOrder({arranged, length});
    }
    if (on[flag::SBeforeVowel]) {
        sBeforeVowels({arranged, length}, quenya);
    }
    if (carriersForY(text, buffers.withY)) {
        text = buffers.withY;  // a std::string, so NUL-terminated too
    }

    const std::size_t start = result.size();
    result.resize(start + 2 * text.size());  // no letter yields more than two codes
    result.resize(start + FormSweep(text.data(), text.size(), tables).run(result.data() + start));
}

// One piece of source, appended to result.
void transcribePiece(std::string_view source, const TConvertData& settings, const SweepTables& tables,
                     std::string& result, SweepBuffers& buffers) {
    // No rule yields more than two letters per character, and no letter takes
    // more than one carrier; the sweeps also want room for a NUL after the
    // text, and the carrier sweep a slot after its last letter.
    buffers.reserve(4 * source.size() + 2);
    char* const w = buffers.text();
    arrangeAndForm(w, foldSweep(source, tables, w), settings, tables, result, buffers);
}

const SweepTables& tablesFor(const TConvertData& settings) {
    thread_local SweepTables tables;
    if (!tables.fits(settings)) {
        tables.build(settings);
    }
    return tables;
}

// Pieces of a long source end after a space at least this far from their start.
constexpr std::size_t kPieceLength = std::size_t{32} << 10;

}  // namespace

void rawToFontCodes(std::string_view w, std::string& result) {
    static const std::array<std::uint32_t, 256> kCodes = [] {
        std::array<std::uint32_t, 256> codes{};
        for (std::size_t c = 0; c < 256; ++c) {
            codes[c] = packedGlyph(static_cast<Letter>(c));
        }
        return codes;
    }();
    result.resize(2 * w.size());  // no letter yields more than two codes
    char* out = result.data();
    const auto* const letters = reinterpret_cast<const Letter*>(w.data());
    const std::size_t n = w.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t codes = kCodes[letters[i]];
        out = putPacked(out, codes);
        if ((codes & kTwoCodes) == 0) [[likely]] {
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
        *out++ = static_cast<char>(codes >> 8);
    }
    result.resize(static_cast<std::size_t>(out - result.data()));
}

void SweepBuffers::reserve(std::size_t size) {
    if (size > m_capacity) {
        m_capacity = std::max(size, 2 * m_capacity);
        m_text = std::make_unique_for_overwrite<char[]>(m_capacity);
        m_spare = std::make_unique_for_overwrite<char[]>(m_capacity);
    }
}

void SweepBuffers::trim(std::size_t limit) {
    if (m_capacity > limit) {
        *this = SweepBuffers();
    }
    if (withY.capacity() > limit) {
        std::string().swap(withY);
    }
}

void transcribeBySweeps(std::string_view source, const TConvertData& settings, std::string& result,
                        SweepBuffers& buffers) {
    const SweepTables& tables = tablesFor(settings);
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

void transcribeFolded(std::string_view w, const TConvertData& settings, std::string& result,
                      SweepBuffers& buffers) {
    if (w.empty()) {
        return;
    }
    buffers.reserve(2 * w.size() + 4);
    std::memcpy(buffers.text(), w.data(), w.size());
    arrangeAndForm(buffers.text(), w.size(), settings, tablesFor(settings), result, buffers);
}

}  // namespace engine
