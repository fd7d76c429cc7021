#include "core/words/wordtext.h"

#include <array>

#include "core/transcription/cp1250.h"
#include "core/transcription/enginepasses.h"

namespace words {

namespace {

// Windows-1250 letters: bit 0 a letter, bit 1 a small one; the capitals are
// those the code page lowers.
constexpr std::array<unsigned char, 256> kKind = [] {
    std::array<unsigned char, 256> kind{};
    for (int c = 0; c < 256; ++c) {
        const unsigned char lower = cp1250::kLowerCase[static_cast<std::size_t>(c)];
        if (lower != c) {
            kind[static_cast<std::size_t>(c)] = 1;
            kind[lower] = 3;
        }
    }
    kind[0xDF] = 3;  // ß has no capital here
    return kind;
}();

// A piece of the word, folded on its own. A dropped byte after it keeps the
// rule for a final e from seeing the piece's end as the word's end.
void foldPiece(std::string_view piece, bool last, const engine::Switches& on, std::string& out) {
    std::string source(piece);
    if (!last)
        source += '\x01';
    engine::fold(source, on, out);
}

}  // namespace

bool isLetter(unsigned char c) {
    return (kKind[c] & 1U) != 0;
}

bool isLower(unsigned char c) {
    return (kKind[c] & 2U) != 0;
}

unsigned char toLower(unsigned char c) {
    return cp1250::toLower(c);
}

std::string lowered(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(toLower(static_cast<unsigned char>(c)));
    return result;
}

bool writable(std::string_view lowerWord) {
    // Which small letters the folding keeps (in some form), worked out once
    // from the engine itself; no switch decides whether a letter is dropped.
    static const std::array<bool, 256> kept = [] {
        std::array<bool, 256> table{};
        engine::Switches on{};
        std::string out;
        for (int c = 0; c < 256; ++c) {
            if (!isLower(static_cast<unsigned char>(c)))
                continue;
            engine::fold(std::string(1, static_cast<char>(c)), on, out);
            table[static_cast<std::size_t>(c)] = !out.empty();
        }
        return table;
    }();
    if (lowerWord.empty())
        return false;
    for (const char c : lowerWord) {
        if (!kept[static_cast<unsigned char>(c)])
            return false;
    }
    return true;
}

std::string phoneticLetters(std::string_view lowerWord, const TConvertData& settings) {
    std::string letters;
    engine::fold(lowerWord, settings.Flags, letters);
    return letters;
}

SpelledLetters spelledLetters(std::string_view lowerWord, const TConvertData& settings) {
    SpelledLetters result;
    const engine::Switches& on = settings.Flags;
    std::string single;
    std::string second;
    std::string both;
    const std::size_t n = lowerWord.size();
    for (std::size_t i = 0; i < n;) {
        const bool lastOne = i + 1 == n;
        foldPiece(lowerWord.substr(i, 1), lastOne, on, single);
        std::size_t taken = 1;
        std::string_view letters = single;
        if (!lastOne) {
            // A pair rule joins two characters when folding the two together
            // gives other letters than folding them one by one.
            foldPiece(lowerWord.substr(i, 2), i + 2 == n, on, both);
            foldPiece(lowerWord.substr(i + 1, 1), i + 2 == n, on, second);
            if (both != single + second) {
                taken = 2;
                letters = both;
            }
        }
        for (std::size_t k = 0; k < letters.size(); ++k) {
            result.letters += letters[k];
            result.spellings.emplace_back(k == 0 ? lowerWord.substr(i, taken) : std::string_view{});
        }
        i += taken;
    }
    // The pieces must add up to the folding of the whole word; where they do
    // not (a rule that looks further than one letter), each letter is
    // spelt as itself.
    const std::string whole = phoneticLetters(lowerWord, settings);
    if (whole != result.letters) {
        result.letters = whole;
        result.spellings.clear();
        for (const char c : whole)
            result.spellings.emplace_back(1, c);
    }
    return result;
}

}  // namespace words
