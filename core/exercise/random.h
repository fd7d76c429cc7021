#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

// The program's one pseudo-random source: a linear congruential generator
// (seed <- seed * 134775813 + 1 modulo 2^32) whose draw in 0..n-1 is the upper
// half of the 64-bit product seed * n. It is seeded from the time of day in UTC.

// A number in 0..n-1 (n >= 1); advances the seed once.
int Random(int n);

// Reseeds from the time of day: milliseconds since midnight, UTC.
void Randomize();

namespace random_source {

using Clock = std::function<std::chrono::system_clock::time_point()>;

// The clock that Randomize reads; an empty function restores the system clock.
void setClock(Clock clock);

void setSeed(std::uint32_t seed);
std::uint32_t seed();

// ((hours * 60 + minutes) * 60 + seconds) * 1000 + milliseconds of the time in UTC.
std::uint32_t millisecondsSinceMidnight(std::chrono::system_clock::time_point time);

// One step of the generator on an explicit seed, for sources that keep their own.
inline int draw(std::uint32_t& seed, int n) {
    seed = seed * 134775813u + 1u;
    return static_cast<int>((static_cast<std::uint64_t>(seed) * static_cast<std::uint32_t>(n)) >> 32);
}

}  // namespace random_source
