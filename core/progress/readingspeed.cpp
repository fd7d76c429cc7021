#include "core/progress/readingspeed.h"

namespace progress {

double wordsPerMinute(const ReadingTime& reading) {
    if (reading.words <= 0 || reading.ms <= 0)
        return 0.0;
    return static_cast<double>(reading.words) * 60'000.0 / static_cast<double>(reading.ms);
}

}  // namespace progress
