#pragma once

#include <functional>
#include <optional>
#include <string>

#include "exercise/taskdescriptions.h"

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
// a complete search over the remaining positions with remembered results, so
// the result is the one an exhaustive depth-first search would give, in
// far less time. When no letter ever turns out to be a dead end, the random
// numbers used are exactly those of the plain search.
//
// Deciding whether a task can be filled at all is a packing problem that no
// method solves quickly for every input, so the search has a budget of states
// per draw (about 25 ms of work); a draw that would need more fails like an
// impossible task. The hardest tasks met in testing needed under half of it.
constexpr long kDrawSearchBudget = 40000;

std::optional<std::string> DrawTaskString(const TaskDescriptions& descriptions, int taskNumber);
std::optional<std::string> drawTaskString(const TaskDescriptions& descriptions, int taskNumber,
                                          const RandomFunction& random,
                                          long searchBudget = kDrawSearchBudget);
