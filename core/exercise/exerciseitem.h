#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/exercise/taskdescriptions.h"
#include "core/readback/readbackrules.h"

// One item of an exercise: the drawn phonetic letters, their Tengwar (font
// codes) and the Latin reading the user is expected to type. All three are
// kept whole; a Tengwar text is usually longer than its letters, and cutting
// it would hide letters the user still has to read.
struct ExerciseItem {
    std::string letters;
    std::string tengwar;
    std::string answer;
    // For a word of a word drill: the part of the word each letter stands
    // for, by which its answers are told letter by letter. Empty for a
    // task's item, whose letters are read by the read-back rules.
    std::vector<std::string> spellings;

    bool empty() const { return letters.empty() && tengwar.empty() && answer.empty(); }
    friend bool operator==(const ExerciseItem&, const ExerciseItem&) = default;
};

// Called with the task's name when no item can be drawn for it; shows the
// failure to the user and returns when the user has closed it.
using DrawFailureHandler = std::function<void(const std::string& taskName)>;

// Prepares the next item of task taskNumber (0 = none: the empty item). Draws
// the letters with DrawTaskString, transcribes them with the stored switches
// (full transcription) and reads the expected answer from rules. When the draw
// fails, onFailure is told, taskNumber becomes 0 and the empty item is returned.
ExerciseItem PrepareItem(const TaskDescriptions& descriptions, int& taskNumber, const ReadBackRules& rules,
                         const DrawFailureHandler& onFailure);

// The failure message for a task, Windows-1250.
std::string drawFailureMessage(const std::string& taskName);
