#pragma once

#include <string>
#include <string_view>

#include "core/exercise/exerciseitem.h"
#include "core/transcription/convertdata.h"

// A word of a word drill as an exercise item, and how its answers are judged:
// by the script, not the spelling.
namespace words {

// The item of a word (Windows-1250, as written): its phonetic letters, its
// Tengwar under the switches, the word itself as the answer shown after a
// wrong one, and what each letter is spelt as in the word.
ExerciseItem makeWordItem(std::string_view word, const TConvertData& settings);

// Whether a typed answer writes the item's Tengwar under the switches, small
// and capital letters alike: every spelling that writes the same Tengwar is
// right.
bool answerMatches(const ExerciseItem& item, std::string_view typed, const TConvertData& settings);

// Whether an answer is complete without Enter: it writes the item's Tengwar,
// or it is at least as long as the word and no longer writes the beginning of
// the item's Tengwar (so that a longer spelling of the same Tengwar can still
// be typed to its end).
bool answerComplete(const ExerciseItem& item, std::string_view typed, const TConvertData& settings);

}  // namespace words
