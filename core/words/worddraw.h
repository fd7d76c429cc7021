#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <vector>

#include "core/progress/drillweights.h"
#include "core/words/wordindex.h"

namespace words {

// A number in 0..n-1.
using RandomFunction = std::function<int(int)>;

// The weight of every letter of the teaching order (by its place) from the
// history: the weights of the drill of weak letters, where a letter never
// shown counts as not seen for long.
std::array<double, 64> courseWeights(const std::vector<progress::LetterHistory>& history, std::int64_t now);

// Draws one of the first `usable` words of the index, favouring words with
// weak letters: a handful of words is drawn evenly, and one of them is taken
// with a chance in proportion to the weight of its weakest letter. `avoid`
// (a word just shown) is not taken again when another can be. Returns the
// word's place in the index; usable must be at least 1.
std::size_t drawWeighted(const WordIndex& index, std::size_t usable, const std::array<double, 64>& weights,
                         const RandomFunction& random, std::size_t avoid);

}  // namespace words
