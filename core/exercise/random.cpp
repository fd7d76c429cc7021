#include "core/exercise/random.h"

namespace {

std::uint32_t g_seed = 0;
random_source::Clock g_clock;

}  // namespace

int Random(int n) {
    return random_source::draw(g_seed, n);
}

void Randomize() {
    const auto now = g_clock ? g_clock() : std::chrono::system_clock::now();
    g_seed = random_source::millisecondsSinceMidnight(now);
}

namespace random_source {

void setClock(Clock clock) {
    g_clock = std::move(clock);
}

void setSeed(std::uint32_t seed) {
    g_seed = seed;
}

std::uint32_t seed() {
    return g_seed;
}

std::uint32_t millisecondsSinceMidnight(std::chrono::system_clock::time_point time) {
    // The system clock counts Unix time, whose days are exactly 86 400 s long.
    constexpr std::int64_t kDay = 24LL * 60 * 60 * 1000;
    const std::int64_t ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    return static_cast<std::uint32_t>(((ms % kDay) + kDay) % kDay);
}

}  // namespace random_source
