#pragma once

#include <functional>

// How large a zoom box draws its text: the font's cell height starts at the
// box height less the margins and is cut in proportion while the text is
// wider than the box, at most five times; a text that still does not fit is
// drawn overflowing and clipped.
namespace textfit {

inline constexpr int kMargin = 4;
inline constexpr int kMaxRefits = 5;

struct Fit {
    int cellHeight = 0;    // 0: nothing is drawn, only the background
    int width = 0;         // the text's width at that height
    int measurements = 0;  // fonts made to get there (at most 1 + kMaxRefits)
};

// `measure` gives the text's width in pixels in a font of the given cell
// height. A box whose inside (less the margins) is empty draws nothing.
Fit fit(int boxWidth, int boxHeight, const std::function<int(int cellHeight)>& measure);

// The text's top-left corner in the box, for a text `width` wide and `height`
// high: centred, then 2 pixels right and down.
struct Origin {
    int x = 0;
    int y = 0;
};
Origin origin(int boxWidth, int boxHeight, int width, int height);

}  // namespace textfit
