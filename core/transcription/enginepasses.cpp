#include "core/transcription/enginepasses.h"

#include "core/transcription/alphabet.h"

// Passes that change W in place scan it from left to right and see the changes
// they have already made.
namespace engine {

using letterset::contains;

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
void sindarinOrder(std::span<char> text) {
    const std::string_view w(text.data(), text.size());
    char* changed = text.data();
    const std::size_t n = w.size();
    std::size_t i = 0;
    while (i + 1 < n) {
        const char c = w[i];
        if (contains(letterset::Vowel, static_cast<Letter>(c)) && !isCarrier(before(w, i))) {
            if (i + 2 < n && w[i + 2] == kTilde) {
                changed[i] = w[i + 1];
                changed[i + 1] = kTilde;
                changed[i + 2] = c;
                i += 3;
            } else {
                changed[i] = w[i + 1];
                changed[i + 1] = c;
                i += 2;
            }
        } else {
            ++i;
        }
    }
}

// Pass 6: s S z Z take their before-vowel forms.
void sBeforeVowels(std::span<char> text, bool quenya) {
    const std::string_view w(text.data(), text.size());
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
            text[i] = form;
        }
    }
}

// Pass 7 (W -> new W): a Y at the start of a word (or after another Y) gets the
// short carrier. Returns false, leaving out alone, when W holds no Y.
bool carriersForY(std::string_view w, std::string& out) {
    std::size_t y = w.find('Y');
    if (y == std::string_view::npos) {
        return false;
    }
    out.clear();
    std::size_t from = 0;  // the letters from here up to y are copied as they are
    for (; y != std::string_view::npos; y = w.find('Y', y + 1)) {
        const Letter previous = before(w, y);
        if (y == 0 || previous == ' ' || previous == 'Y') {
            out.append(w, from, y - from);
            out += kShortCarrier;
            from = y;
        }
    }
    out.append(w, from);
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
        w[i] = letterset::tildeForm(static_cast<Letter>(w[i - 1]));
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

template void insertCarriers<true>(const std::string& w, std::string& out);
template void insertCarriers<false>(const std::string& w, std::string& out);

void transcribeByPasses(std::string_view source, const TConvertData& settings, std::string& result,
                        const PassTrace& trace) {
    const Switches& on = settings.Flags;
    const bool quenya = on[flag::VowelsQuenya];
    std::string w;
    std::string spare;
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

}  // namespace engine
