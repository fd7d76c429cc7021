#include "core/exercise/exercisestate.h"

#include <algorithm>
#include <limits>

namespace {

// Times and counts stay in 32 bits; a sum that would pass the top stays there.
std::int32_t addSaturated(std::int32_t a, std::int64_t b) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{a} + b,
                                                              std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

void ExerciseState::resetStatistics() {
    answers = correct = totalTime = fastest = slowest = 0;
}

void ExerciseState::startClock(std::uint32_t now) {
    if (clockRunning)
        return;
    startTick = now;
    clockRunning = true;
}

std::int32_t ExerciseState::stretch(std::uint32_t now) const {
    if (!clockRunning)
        return 0;
    const std::uint32_t elapsed = now - startTick;  // modulo 2^32
    return static_cast<std::int32_t>(
        std::min<std::uint32_t>(elapsed, std::numeric_limits<std::int32_t>::max()));
}

std::int32_t ExerciseState::stopClock(std::uint32_t now) {
    const std::int32_t elapsed = stretch(now);
    clockRunning = false;
    return elapsed;
}

void ExerciseState::holdClock(std::uint32_t now) {
    itemTime = addSaturated(itemTime, stopClock(now));
}

bool ExerciseState::judge(const std::string& answer, std::uint32_t now) {
    return count(answer == item.answer, now);
}

bool ExerciseState::count(bool right, std::uint32_t now) {
    holdClock(now);
    if (slowest < itemTime)
        slowest = itemTime;
    if (itemTime < fastest || answers == 0)
        fastest = itemTime;
    totalTime = addSaturated(totalTime, itemTime);
    answers = addSaturated(answers, 1);
    if (right)
        correct = addSaturated(correct, 1);
    return right;
}
