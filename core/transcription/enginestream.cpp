#include "core/transcription/enginestream.h"

#include <algorithm>
#include <array>
#include <optional>

#include "core/transcription/alphabet.h"
#include "core/transcription/enginesweeps.h"
#include "core/transcription/enginetables.h"

using namespace engine;

namespace {

// Where the folded letters of a line may be cut into pieces that are
// transcribed one by one with the same result as the whole.
//
// A neutral letter is one that no rule of passes 2-10 changes or looks at
// differently from the end of the text: not a vowel, mark, silent e, carrier,
// tilde or Y, and none of s S z Z ś Ś ź Ź, whose forms depend on the letters
// around them. Between two neutral letters nothing reaches across: no carrier
// is added, no vowel mark or tilde is placed or shaped, and the Sindarin order
// moves a vowel only up to the letter before the cut (its three-letter move
// needs a tilde after the cut). Two equal letters that may take the doubling
// tilde are not a cut: which of a long run gets the tilde depends on where
// the run began. In Quenya a vowel may also end a piece before a neutral
// letter, as Quenya carriers look only at the letter before the vowel.
struct CutRules {
    std::array<bool, 256> neutral{};
    std::array<bool, 256> repeatable{};  // neutral, and two in a row stay as they are
    std::array<bool, 256> endsQuenyaPiece{};

    explicit CutRules(const TConvertData& settings) {
        std::array<bool, 256> excluded{};
        for (const char c : settings.BrezTilde) {
            excluded[static_cast<Letter>(c)] = true;
        }
        constexpr auto kMoving =
            letterset::Vowel | letterset::VowelOrSilentE | letterset::Overlay | letterset::InnerOverlay;
        const std::string_view sLetters = "sSzZ\x9C\x8C\x9F\x8F";  // s S z Z ś Ś ź Ź
        for (int i = 1; i < 256; ++i) {
            const auto c = static_cast<Letter>(i);
            const auto bits = letterset::kMembership[c];
            neutral[c] = (bits & kMoving) == 0 && !isCarrier(c) && c != static_cast<Letter>(kTilde) &&
                         c != 'Y' && sLetters.find(static_cast<char>(c)) == std::string_view::npos;
            repeatable[c] = neutral[c] && ((bits & letterset::Doublable) == 0 || excluded[c]);
            endsQuenyaPiece[c] = settings.Flags[flag::VowelsQuenya] && (bits & letterset::Vowel) != 0;
        }
    }

    bool between(Letter a, Letter b) const {
        return neutral[b] && ((neutral[a] && (a != b || repeatable[a])) || endsQuenyaPiece[a]);
    }
};

// In the raw form only a mark after a two-glyph letter (c C ç x), and one
// inner mark after that, are bound to the letter before them.
bool rawCut(std::string_view w, std::size_t q) {
    auto twoGlyphs = [](char c) { return alphabet::kGlyphs[static_cast<Letter>(c)].size == 2; };
    auto in = [](letterset::Set set, char c) { return contains(set, static_cast<Letter>(c)); };
    if (twoGlyphs(w[q - 1]) && in(letterset::Overlay, w[q])) {
        return false;
    }
    return !(q >= 2 && twoGlyphs(w[q - 2]) && in(letterset::Overlay, w[q - 1]) &&
             in(letterset::InnerOverlay, w[q]));
}

// A stretch of letters that repeats a unit of a few letters over and
// over, counted rather than kept.
struct Repetition {
    std::string unit;
    std::size_t units = 0;    // whole units
    std::size_t partial = 0;  // letters of the next unit already seen
    std::string after;        // the letters after the stretch
};

// The longest unit looked for, and how many letters after a stretch are
// gathered before it is written out.
constexpr std::size_t kLongestUnit = 8;
constexpr std::size_t kLettersAfter = 64;

}  // namespace

struct LineTranscriber::State {
    State(const TConvertData& settingsIn, bool rawIn, Sink sinkIn, std::size_t pieceLettersIn)
        : settings(settingsIn),
          raw(rawIn),
          sink(std::move(sinkIn)),
          pieceLetters(pieceLettersIn),
          cuts(settingsIn) {
        const Switches& on = settings.Flags;
        for (std::size_t i = 0; i < kPairRuleCount; ++i) {
            const int flag = kPairRules[i].flag;
            pairOn[i + 1] = flag == kAlways || on[static_cast<std::size_t>(flag)];
        }
        singles = on[flag::AccentedSToPlain] ? &kSingleRulesPlainS : &kSingleRules;
        finalSilentE = on[flag::FinalSilentE];
    }

    // Pass 1 for the letter c, with d after it (NUL at the end of the line),
    // as the whole-line folding takes it.
    void fold(Letter c, Letter d) {
        if (pairBegun) {  // c was the second letter of a pair
            pairBegun = false;
            return;
        }
        const std::uint8_t pair = kPairTable[kPairStarts[c]][d];
        if (pairOn[pair]) {
            append(kPairOutputs[pair]);
            pairBegun = true;
            return;
        }
        constexpr Folded silentE = folded("\xEC");
        append(finalSilentE && c == 'e' && (d == 0 || d == ' ') ? silentE : (*singles)[c]);
    }

    void append(const Folded& letters) {
        if (!repetition) {
            w.append(letters.letters.data(), letters.size);
            return;
        }
        for (std::size_t i = 0; i < letters.size; ++i) {
            take(letters.letters[i]);
        }
    }

    // A letter during a repetition: one more of it, or one after it.
    void take(char letter) {
        Repetition& r = *repetition;
        if (r.after.empty() && letter == r.unit[r.partial]) {
            if (++r.partial == r.unit.size()) {
                r.partial = 0;
                ++r.units;
            }
            return;
        }
        if (r.after.empty()) {
            r.after.assign(r.unit, 0, r.partial);  // the unit it broke off
        }
        r.after += letter;
    }

    // The codes of letters.
    std::string transcribed(std::string_view letters) {
        std::string out;
        if (raw) {
            rawToFontCodes(letters, out);
        } else {
            transcribeFolded(letters, settings, out, buffers);
        }
        return out;
    }

    // Transcribes w[0, length) and drops it.
    void transcribe(std::size_t length) {
        if (length == 0) {
            return;
        }
        sink(transcribed(std::string_view(w.data(), length)));
        w.erase(0, length);
        searched = 0;
    }

    // Transcribes up to the last place where the letters may be cut.
    void transcribeSettled() {
        mostHeld = std::max(mostHeld, w.size());
        for (std::size_t q = w.size(); q-- > std::max<std::size_t>(searched, 1);) {
            const bool cut =
                raw ? rawCut(w, q) : cuts.between(static_cast<Letter>(w[q - 1]), static_cast<Letter>(w[q]));
            if (cut) {
                transcribe(q);
                repeatsTried = false;
                break;
            }
        }
        // Cuts before the last letter have all been looked for.
        searched = w.empty() ? 0 : w.size() - 1;
        if (!raw && !repeatsTried && w.size() >= 2 * pieceLetters) {
            repeatsTried = true;  // once for each stretch without a cut
            countRepetition();
        }
    }

    // When the letters without a cut end in a repetition, keeps only its unit.
    void countRepetition() {
        const std::size_t n = w.size();
        const std::size_t checked = pieceLetters / 2;
        for (std::size_t unit = 1; unit <= kLongestUnit; ++unit) {
            std::size_t start = n;  // the repetition is w[start, n)
            while (start > unit && w[start - 1] == w[start - 1 - unit]) {
                --start;
            }
            start -= std::min(start, unit);
            if (n - start < checked) {
                continue;
            }
            Repetition r;
            r.unit = w.substr(start, unit);
            r.units = (n - start) / unit;
            r.partial = (n - start) % unit;
            w.resize(start);
            repetition = std::move(r);
            return;
        }
    }

    // Letters [from, to) of the repetition, unit after unit.
    std::string repeated(std::size_t from, std::size_t to) const {
        const std::string& unit = repetition->unit;
        std::string text;
        text.reserve(to - from);
        for (std::size_t i = from; i < to; ++i) {
            text += unit[i % unit.size()];
        }
        return text;
    }

    // The codes of the letters before the repetition and its first count letters.
    std::string codesUpTo(std::size_t count) { return transcribed(w + repeated(0, count)); }

    // Writes out a repetition that has ended: the letters before it and all
    // but a few letters of it. The codes of a long repetition repeat with
    // every two units (no rule keeps more than a letter's parity along a
    // stretch), so they are found from three short spellings and checked to
    // grow by the same block each time. The cut before the last letters is
    // checked on short spellings too, at each place within two units until
    // one holds. Returns false when no check holds; the repetition is then
    // spelled out in full instead.
    bool writeRepetition() {
        const Repetition& r = *repetition;
        const std::size_t period = 2 * r.unit.size();
        const std::size_t total = r.units * r.unit.size();
        for (std::size_t kept = period; kept < 2 * period; ++kept) {
            if (total < kept + 8 * period) {
                return false;
            }
            const std::size_t written = total - kept;
            const std::size_t shortest = 4 * period + written % period;
            const std::string tail = repeated(written, total) + r.after;
            const std::string tailCodes = transcribed(tail);
            auto cutHolds = [&](std::size_t count) {
                return codesUpTo(count) + tailCodes == transcribed(w + repeated(0, count + kept) + r.after);
            };
            if (!cutHolds(shortest) || !cutHolds(shortest + period)) {
                continue;
            }
            const std::string a = codesUpTo(shortest);
            const std::string b = codesUpTo(shortest + period);
            const std::string c = codesUpTo(shortest + 2 * period);
            if (b.size() < a.size() || c.size() != 2 * b.size() - a.size()) {
                return false;
            }
            const std::size_t at = std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin();
            const std::string block = b.substr(at, b.size() - a.size());
            const std::string before = a.substr(0, at);
            const std::string after = a.substr(at);
            if (b != before + block + after || c != before + block + block + after) {
                return false;
            }
            sink(before);
            std::string blocks;
            for (std::size_t i = 0; i < (written - shortest) / period; ++i) {
                blocks += block;
                if (blocks.size() >= (std::size_t{1} << 20)) {
                    sink(blocks);
                    blocks.clear();
                }
            }
            sink(blocks + after);
            w = tail;
            return true;
        }
        return false;
    }

    void endRepetition() {
        Repetition& r = *repetition;
        if (r.after.empty()) {
            r.after.assign(r.unit, 0, r.partial);
        }
        if (writeRepetition()) {
            repeatsTried = false;
        } else {
            w += repeated(0, r.units * r.unit.size()) + r.after;
            mostHeld = std::max(mostHeld, w.size());
        }
        repetition.reset();
        searched = 0;
    }

    TConvertData settings;
    bool raw;
    Sink sink;
    std::size_t pieceLetters;  // transcribed once this many wait
    CutRules cuts;
    std::array<bool, kPairRuleCount + 1> pairOn{};  // [0], no rule, is false
    const std::array<Folded, 256>* singles = nullptr;
    bool finalSilentE = false;

    bool hasLast = false;  // a letter waits for the one after it to be folded
    Letter last = 0;
    bool pairBegun = false;
    std::string w;  // folded letters (raw: the letters) not yet transcribed
    std::size_t searched = 0;
    bool repeatsTried = false;
    std::size_t mostHeld = 0;
    std::optional<Repetition> repetition;  // counted after w
    SweepBuffers buffers;
};

LineTranscriber::LineTranscriber(const TConvertData& settings, bool raw, Sink sink, std::size_t pieceLetters)
    : m_state(std::make_unique<State>(settings, raw, std::move(sink), pieceLetters)) {}

LineTranscriber::~LineTranscriber() = default;

void LineTranscriber::add(std::string_view latin) {
    State& s = *m_state;
    if (latin.empty()) {
        return;
    }
    if (s.raw) {
        s.w += latin;
    } else {
        for (const char next : latin) {
            const auto d = static_cast<Letter>(next);
            if (s.hasLast) {
                s.fold(s.last, d);
            }
            s.last = d;
            s.hasLast = true;
        }
    }
    if (s.repetition && s.repetition->after.size() >= kLettersAfter) {
        s.endRepetition();
    }
    if (!s.repetition && s.w.size() >= s.pieceLetters) {
        s.transcribeSettled();
    }
}

void LineTranscriber::finish() {
    State& s = *m_state;
    if (s.hasLast) {
        s.fold(s.last, 0);
    }
    if (s.repetition) {
        s.endRepetition();
    }
    s.mostHeld = std::max(s.mostHeld, s.w.size());
    s.transcribe(s.w.size());
    s.hasLast = false;
    s.pairBegun = false;
    s.repeatsTried = false;
    s.buffers.trim(std::size_t{1} << 20);
}

std::size_t LineTranscriber::mostHeld() const {
    return m_state->mostHeld;
}
