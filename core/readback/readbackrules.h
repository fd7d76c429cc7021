#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

// The read-back rules: for every phonetic letter (indexed by its Windows-1250
// byte) the Latin text a reader is expected to type for it. An empty entry
// means the letter is read as nothing.
using ReadBackRules = std::array<std::string, 256>;

namespace readback {

inline constexpr std::size_t kRuleCount = 256;

// The default table: 75 letters set, all others empty.
const ReadBackRules& defaultRules();

// The table as the stored list of 256 texts, entry 0 first.
std::vector<std::string> toList(const ReadBackRules& rules);

// The table from a stored list. Entries the list lacks read as empty; entries
// past the 256th are ignored.
ReadBackRules fromList(const std::vector<std::string>& list);

}  // namespace readback

// The expected answer of an item: the concatenated readings of its letters.
// The answer is kept whole, however long the readings make it.
std::string TengwarToLatin(std::string_view letters, const ReadBackRules& rules);
