#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "core/transcription/convertdata.h"
#include "core/words/wordlist.h"

// Words indexed by the course's letters, so that the words made only of the
// first k letters of the teaching order are found at once.
namespace words {

// A word's letters as a set: bit i for the letter at place i of the teaching
// order, and kOtherLetter for any letter outside it.
using LetterMask = std::uint64_t;
inline constexpr LetterMask kOtherLetter = LetterMask{1} << 63;

class WordIndex {
public:
    // Indexes the words by the phonetic letters they have under the switches.
    WordIndex(std::shared_ptr<const WordList> words, const TConvertData& settings);

    // Whether the index was made for these switches.
    bool madeFor(const TConvertData& settings) const { return settings.Flags == m_settings.Flags; }
    const std::shared_ptr<const WordList>& list() const { return m_words; }

    std::size_t size() const { return m_order.size(); }
    // The i-th word in the index's order: words of earlier letters first.
    std::string_view word(std::size_t i) const { return (*m_words)[m_order[i]]; }
    LetterMask letters(std::size_t i) const { return m_masks[i]; }

    // How many words (the first ones of the index) use only the first
    // `unlocked` letters of the order.
    std::size_t usable(int unlocked) const;
    // Every letter that at least one of those words has.
    LetterMask reach(int unlocked) const;

    std::size_t bytes() const;

private:
    std::shared_ptr<const WordList> m_words;
    TConvertData m_settings;
    std::vector<std::uint32_t> m_order;
    std::vector<LetterMask> m_masks;
    // Per count of unlocked letters (0 to the whole order).
    std::vector<std::uint32_t> m_usable;
    std::vector<LetterMask> m_reach;
};

// The index while it fits the switches, else its words indexed anew (the
// switches decide which letters a word is read as). Null stays null.
std::shared_ptr<const WordIndex> forSwitches(const std::shared_ptr<const WordIndex>& index,
                                             const TConvertData& settings);

// The letter set of a word's phonetic letters.
LetterMask lettersOf(std::string_view phonetic);

}  // namespace words
