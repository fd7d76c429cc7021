#pragma once

#include <cstdint>
#include <string>

#include "core/progress/readingspeed.h"

// One judged answer as the history keeps it. Text is Windows-1250.
struct AnswerRecord {
    std::int64_t atMs = 0;  // when it was judged, milliseconds since the epoch (UTC)
    std::string task;       // the task's name
    std::string letters;    // the item's phonetic letters
    std::string expected;   // the expected answer
    std::string typed;      // what the learner typed
    bool correct = false;
    std::int32_t ms = 0;  // time spent on the item
    std::int32_t words = 0;  // words read in it: 1 in the drills of real words, 0 in a task
};

namespace progress {

// What the history holds of one "read X as Y" mistake.
struct Confusion {
    unsigned char letter = 0;
    std::string typed;  // what was typed in the letter's place
    int count = 0;
};

// Answers of one day (a local calendar day, as a Julian day number).
struct DayTotals {
    std::int64_t julianDay = 0;
    int answers = 0;
    int correct = 0;
    double averageMs = 0;
    ReadingTime reading;  // the right answers to words
};

}  // namespace progress
