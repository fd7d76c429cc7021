#pragma once

#include <cstdint>

// The arithmetic of the zoom window's two boxes: the item box above, the
// answer box below, and the 4-pixel split bar between them. The stored shares
// A ("Zoom A") and B ("Zoom B") give the answer box B / (A + B) of the height
// the two boxes share.
namespace zoomsplit {

inline constexpr int kSplitBarHeight = 4;

// The answer box's height out of `shared` pixels. Shares that cannot make a
// proportion (a sum of zero or less, as a damaged store may hold) give the
// answer box nothing; the result always lies in 0..shared.
int lowerHeight(int shared, std::int32_t a, std::int32_t b);

// The boxes of a display area `areaHeight` pixels high: the item box from the
// top, the split bar, the answer box at the bottom.
struct Boxes {
    int upperTop = 0;
    int upperHeight = 0;
    int barTop = 0;
    int lowerTop = 0;
    int lowerHeight = 0;
    friend bool operator==(const Boxes&, const Boxes&) = default;
};
Boxes layOut(int areaHeight, std::int32_t a, std::int32_t b);

// The shares after a drag of the split bar.
struct Shares {
    std::int32_t a = 0;
    std::int32_t b = 0;
    friend bool operator==(const Shares&, const Shares&) = default;
};

// One drag of the split bar with the left button: started with the pointer's
// screen y and the heights the two boxes had then; every move gives the
// shares to store. A drag past the top gives the item box nothing, one past
// the bottom gives the answer box nothing.
class SplitDrag {
public:
    void begin(int screenY, int upperHeight, int lowerHeight);
    void end() { m_dragging = false; }
    bool dragging() const { return m_dragging; }
    Shares moveTo(int screenY) const;

private:
    bool m_dragging = false;
    int m_startY = 0;
    int m_upper = 0;
    int m_lower = 0;
};

// The settings bar, `height` by `width` pixels: the font box, then the bold,
// italic, text colour and background colour buttons, all square.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};
struct SettingsBar {
    Rect fontBox;
    Rect bold;
    Rect italic;
    Rect textColor;
    Rect backColor;
};
SettingsBar layOutSettingsBar(int height, int width);

}  // namespace zoomsplit
