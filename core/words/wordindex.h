#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "core/transcription/convertdata.h"
#include "core/words/commonwords.h"
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
    // Indexes the words by the phonetic letters they have under the switches;
    // common (may be null) tells which of them are common.
    WordIndex(std::shared_ptr<const WordList> words, const TConvertData& settings,
              std::shared_ptr<const CommonWords> common = nullptr);

    // Whether the index was made for these switches.
    bool madeFor(const TConvertData& settings) const { return settings.Flags == m_settings.Flags; }
    const std::shared_ptr<const WordList>& list() const { return m_words; }
    const std::shared_ptr<const CommonWords>& common() const { return m_common; }

    std::size_t size() const { return m_order.size(); }
    // The i-th word in the index's order: words of earlier letters first.
    std::string_view word(std::size_t i) const { return (*m_words)[m_order[i]]; }
    LetterMask letters(std::size_t i) const { return m_masks[i]; }

    // How many words (the first ones of the index) use only the first
    // `unlocked` letters of the order.
    std::size_t usable(int unlocked) const;
    // Every letter that at least one of those words has.
    LetterMask reach(int unlocked) const;
    // How many of those words are common; commonWord(j) for j below that
    // count is the place of such a word in the index.
    std::size_t commonUsable(int unlocked) const;
    std::size_t commonWord(std::size_t j) const { return m_commonPlaces[j]; }
    // The letters that have words as soon as they are unlocked: bit i when a
    // word uses the letter at place i and none after it.
    LetterMask openable() const { return m_openable; }

    std::size_t bytes() const;

private:
    std::shared_ptr<const WordList> m_words;
    std::shared_ptr<const CommonWords> m_common;
    TConvertData m_settings;
    std::vector<std::uint32_t> m_order;
    std::vector<LetterMask> m_masks;
    // Per count of unlocked letters (0 to the whole order).
    std::vector<std::uint32_t> m_usable;
    std::vector<LetterMask> m_reach;
    // The places of the common words, in the index's order, and how many of
    // them each count of unlocked letters allows.
    std::vector<std::uint32_t> m_commonPlaces;
    std::vector<std::uint32_t> m_commonUsable;
    LetterMask m_openable = 0;
};

// The index while it fits the switches, else its words indexed anew (the
// switches decide which letters a word is read as). Null stays null.
std::shared_ptr<const WordIndex> forSwitches(const std::shared_ptr<const WordIndex>& index,
                                             const TConvertData& settings);

// The letter set of a word's phonetic letters.
LetterMask lettersOf(std::string_view phonetic);

}  // namespace words
