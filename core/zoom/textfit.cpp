#include "core/zoom/textfit.h"

#include <cstdint>

namespace textfit {

Fit fit(int boxWidth, int boxHeight, const std::function<int(int)>& measure) {
    Fit result;
    const int room = boxWidth - 2 * kMargin;
    int height = boxHeight - 2 * kMargin;
    if (room <= 0 || height <= 0) {
        return result;
    }
    int width = measure(height);
    result.measurements = 1;
    for (int step = 0; step < kMaxRefits; ++step) {
        if (room >= width || width <= 0) {
            break;
        }
        // Rounded to the nearest pixel; the product may not fit 32 bits.
        const std::int64_t scaled = (std::int64_t{height} * room * 2 + width) / (std::int64_t{width} * 2);
        // A font needs a pixel at least; a smaller one would draw nothing.
        height = scaled < 1 ? 1 : static_cast<int>(scaled);
        width = measure(height);
        ++result.measurements;
    }
    result.cellHeight = height;
    result.width = width;
    return result;
}

Origin origin(int boxWidth, int boxHeight, int width, int height) {
    return {(boxWidth - width) / 2 + 2, (boxHeight - height) / 2 + 2};
}

}  // namespace textfit
