#pragma once

#include <cstdint>

// Reading speed: words read per minute in the word drills and the text drill.
// Only right answers count, with the time the learner spent on them; the
// pause is not in that time, and an answer that took longer than
// kLongestWordMs is taken for a break and left out.
namespace progress {

inline constexpr std::int32_t kLongestWordMs = 60'000;

// Right answers to words and the time they took.
struct ReadingTime {
    std::int64_t words = 0;
    std::int64_t ms = 0;
};

// Words per minute; 0 without words or time.
double wordsPerMinute(const ReadingTime& reading);

}  // namespace progress
