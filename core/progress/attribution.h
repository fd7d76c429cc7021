#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/readback/readbackrules.h"

// Which letters of an item the learner read wrongly. The expected answer is
// the letters' readings one after another; the typed answer is aligned
// against it character by character with the fewest edits (Levenshtein), and
// every typed character is given to the letter whose reading it stands in
// for. A letter is right when its whole reading was typed unchanged and
// nothing extra was typed in its place.
namespace progress {

struct LetterOutcome {
    unsigned char letter = 0;
    bool right = false;
    // What was typed in the letter's place (empty when it was left out).
    std::string typed;

    friend bool operator==(const LetterOutcome&, const LetterOutcome&) = default;
};

// The readings of the item's letters under rules, in letter order.
std::vector<std::string> readingsOf(std::string_view letters, const ReadBackRules& rules);

// One outcome per letter, in letter order; readings[i] belongs to letters[i].
// A character typed between two letters goes to a letter with an empty
// reading standing there, else to the letter before it (the first letter
// when it comes before all).
std::vector<LetterOutcome> attributeAnswer(std::string_view letters, const std::vector<std::string>& readings,
                                           std::string_view typed);

// The outcomes of a judged answer: every letter right, each with its reading,
// when the answer was judged right (a word drill accepts other spellings of
// the same Tengwar); else as attributeAnswer tells them.
std::vector<LetterOutcome> attributeJudged(std::string_view letters, const std::vector<std::string>& readings,
                                           std::string_view typed, bool right);

}  // namespace progress
