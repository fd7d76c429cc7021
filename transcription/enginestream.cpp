#include "transcription/enginestream.h"

#include <array>

#include "transcription/alphabet.h"
#include "transcription/enginesweeps.h"
#include "transcription/enginetables.h"

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

}  // namespace

struct LineTranscriber::State {
    State(const TConvertData& settingsIn, bool rawIn, std::size_t pieceLettersIn)
        : settings(settingsIn), raw(rawIn), pieceLetters(pieceLettersIn), cuts(settingsIn) {
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

    void append(const Folded& letters) { w.append(letters.letters.data(), letters.size); }

    // Transcribes w[0, length) and drops it.
    void transcribe(std::size_t length, std::string& out) {
        if (length == 0) {
            return;
        }
        const std::string_view piece(w.data(), length);
        if (raw) {
            rawToFontCodes(piece, codes);
            out += codes;
        } else {
            transcribeFolded(piece, settings, out, buffers);
        }
        w.erase(0, length);
        searched = 0;
    }

    // Transcribes up to the last place where the letters may be cut.
    void transcribeSettled(std::string& out) {
        for (std::size_t q = w.size(); q-- > std::max<std::size_t>(searched, 1);) {
            const bool cut =
                raw ? rawCut(w, q) : cuts.between(static_cast<Letter>(w[q - 1]), static_cast<Letter>(w[q]));
            if (cut) {
                transcribe(q, out);
                break;
            }
        }
        // Cuts before the last letter have all been looked for.
        searched = w.empty() ? 0 : w.size() - 1;
    }

    TConvertData settings;
    bool raw;
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
    std::string codes;
    SweepBuffers buffers;
};

LineTranscriber::LineTranscriber(const TConvertData& settings, bool raw, std::size_t pieceLetters)
    : m_state(std::make_unique<State>(settings, raw, pieceLetters)) {}

LineTranscriber::~LineTranscriber() = default;

void LineTranscriber::add(std::string_view latin, std::string& out) {
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
    if (s.w.size() >= s.pieceLetters) {
        s.transcribeSettled(out);
    }
}

void LineTranscriber::finish(std::string& out) {
    State& s = *m_state;
    if (s.hasLast) {
        s.fold(s.last, 0);
    }
    s.transcribe(s.w.size(), out);
    s.hasLast = false;
    s.pairBegun = false;
    s.buffers.trim(std::size_t{1} << 20);
}

std::size_t LineTranscriber::heldBack() const {
    return m_state->w.size();
}
