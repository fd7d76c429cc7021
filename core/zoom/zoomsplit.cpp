#include "core/zoom/zoomsplit.h"

#include <algorithm>

namespace zoomsplit {

int lowerHeight(int shared, std::int32_t a, std::int32_t b) {
    const std::int64_t sum = std::int64_t{a} + b;
    if (shared <= 0 || sum <= 0) {
        return 0;
    }
    const std::int64_t height = std::int64_t{shared} * b / sum;
    return static_cast<int>(std::clamp<std::int64_t>(height, 0, shared));
}

Boxes layOut(int areaHeight, std::int32_t a, std::int32_t b) {
    const int shared = std::max(areaHeight - kSplitBarHeight, 0);
    Boxes boxes;
    boxes.lowerHeight = lowerHeight(shared, a, b);
    boxes.upperHeight = shared - boxes.lowerHeight;
    boxes.barTop = boxes.upperHeight;
    boxes.lowerTop = boxes.barTop + kSplitBarHeight;
    return boxes;
}

void SplitDrag::begin(int screenY, int upperHeight, int lowerHeight) {
    m_dragging = true;
    m_startY = screenY;
    m_upper = upperHeight;
    m_lower = lowerHeight;
}

Shares SplitDrag::moveTo(int screenY) const {
    const std::int64_t shift = std::int64_t{screenY} - m_startY;
    std::int64_t a = m_upper + shift;
    std::int64_t b = m_lower - shift;
    if (a < 0) {
        b += a;
        a = 0;
    }
    if (b < 0) {
        b = 0;
    }
    return {static_cast<std::int32_t>(a), static_cast<std::int32_t>(b)};
}

SettingsBar layOutSettingsBar(int height, int width) {
    const int c = height - 2;
    int x = width - 4 * c - 7;
    if (x < 0) {
        x = -2;
    } else if (x > 200) {
        x = 200;
    }
    SettingsBar bar;
    bar.fontBox = {0, 1, x, c};
    bar.bold = {x + 2, 1, c, c};
    bar.italic = {x + c + 3, 1, c, c};
    bar.textColor = {x + 2 * c + 5, 1, c, c};
    bar.backColor = {x + 3 * c + 6, 1, c, c};
    return bar;
}

}  // namespace zoomsplit
