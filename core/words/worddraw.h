#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <vector>

#include "core/progress/drillweights.h"
#include "core/words/recentwords.h"
#include "core/words/wordindex.h"

namespace words {

// A number in 0..n-1.
using RandomFunction = std::function<int(int)>;

// The weight of every letter of the teaching order (by its place) from the
// history: the weights of the drill of weak letters, where a letter never
// shown counts as not seen for long.
std::array<double, 64> courseWeights(const std::vector<progress::LetterHistory>& history, std::int64_t now);

// Of every hundred words, how many the drills take from the common ones when
// there are any.
inline constexpr int kCommonPercent = 90;

// Draws one of the words that the first `unlocked` letters allow, favouring
// common words and words with weak letters: nine times in ten the words are
// the common ones (when there are any), else all of them; a handful of those
// is drawn evenly, leaving out the recent ones, and one of the handful is
// taken with a chance in proportion to the weight of its weakest letter.
// A word among the recent ones comes again only when the words drawn are
// few: the window is half their number. Returns the word's place in the
// index; at least one word must be usable.
std::size_t drawWeighted(const WordIndex& index, int unlocked, const std::array<double, 64>& weights,
                         const RandomFunction& random, const RecentWords& recent);

}  // namespace words
