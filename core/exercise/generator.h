#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/exercise/taskdescriptions.h"

// The random source a draw uses: given n >= 1, a number in 0..n-1.
using RandomFunction = std::function<int(int)>;

// Draws the letters of one item of task taskNumber (1..task count): one letter
// per position from the groups the position allows, every condition met.
// Fails (nullopt) when no string at all satisfies the task.
//
// The draw goes position by position: the candidates of a position are the
// letters of its groups in group order (repeats weigh the draw), less what the
// conditions with earlier positions forbid; one is drawn uniformly; a letter
// after which the later positions cannot all be filled is taken out (that one
// occurrence) and the draw repeated. Which letters are dead ends is decided by
// a complete search over the remaining positions (generatorcompletion.h), so
// the result has the distribution of an exhaustive depth-first search and
// fails only when no string at all satisfies the task. When no letter ever
// turns out to be a dead end, the random numbers used are exactly those of
// the plain search.
std::optional<std::string> DrawTaskString(const TaskDescriptions& descriptions, int taskNumber);
std::optional<std::string> drawTaskString(const TaskDescriptions& descriptions, int taskNumber,
                                          const RandomFunction& random);
