#include "core/exercise/tickclock.h"

#include <chrono>

namespace {

tickclock::Source g_source;

}  // namespace

namespace tickclock {

void setSource(Source source) {
    g_source = std::move(source);
}

std::uint32_t now() {
    if (g_source)
        return g_source();
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace tickclock
