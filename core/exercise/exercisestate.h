#pragma once

#include <cstdint>
#include <string>

#include "core/exercise/exerciseitem.h"

// The state of the exercise run: the running task, its current item, the
// statistics of the run and the item clock.
struct ExerciseState {
    int taskNumber = 0;  // 0: no task runs
    ExerciseItem item;

    // Statistics of the run, in milliseconds where they are times.
    std::int32_t answers = 0;
    std::int32_t correct = 0;
    std::int32_t totalTime = 0;
    std::int32_t fastest = 0;
    std::int32_t slowest = 0;

    // Time already spent on the item, pauses and the clock's running stretch
    // not counted.
    std::int32_t itemTime = 0;
    bool clockRunning = false;
    std::uint32_t startTick = 0;
    bool paused = false;

    bool running() const { return taskNumber != 0; }

    void resetStatistics();
    // Starts the clock unless it runs.
    void startClock(std::uint32_t now);
    // Milliseconds since the start tick (0 when stopped); stops the clock.
    std::int32_t stopClock(std::uint32_t now);
    // Stops the clock and keeps its stretch in the item time (a pause).
    void holdClock(std::uint32_t now);
    // The clock's running stretch, 0 when stopped.
    std::int32_t stretch(std::uint32_t now) const;
    // Ends the item's timing and counts the answer; true when it equals the
    // expected answer byte for byte.
    bool judge(const std::string& answer, std::uint32_t now);
    // Ends the item's timing and counts an answer judged elsewhere (a word
    // drill judges by the script); returns right.
    bool count(bool right, std::uint32_t now);
};
