#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/words/wordlist.h"

// How common a word is: a ranked list of common Slovene word forms (kept with
// the program as data), the most common first.
namespace words {

inline constexpr std::uint32_t kNotCommon = UINT32_MAX;

class CommonWords {
public:
    // The list as the program carries it: UTF-8, one word a line, the most
    // common first; blank lines and lines starting with '#' are skipped, and a
    // word met again keeps its first place. Words are taken into Windows-1250
    // small letters; those the drills cannot use are left out.
    static CommonWords parse(std::string_view utf8Text);

    std::size_t size() const { return m_words.size(); }
    bool empty() const { return m_words.empty(); }
    // The word of a rank (0: the most common), Windows-1250.
    const std::string& word(std::size_t rank) const { return m_words[rank]; }
    // The rank of a word in small letters, kNotCommon when it is not listed.
    std::uint32_t rankOf(std::string_view word) const;

    // Only the words that the sorted list holds, in their order.
    CommonWords presentIn(const WordList& sorted) const;

private:
    void add(std::string word);

    std::vector<std::string> m_words;
    std::unordered_map<std::string, std::uint32_t> m_ranks;
};

}  // namespace words
