#pragma once

// The scale of an axis that counts (answers a day): round steps of 1, 2 or 5
// times a power of ten, at most five of them, each tick a whole number.
namespace progress {

struct CountScale {
    int top = 0;   // the axis runs from 0 to top
    int step = 1;  // a tick every step
    int ticks() const { return top / step + 1; }
};

// The scale that shows counts up to `most`; with few or none, 0 to 5 by one.
CountScale countScale(int most);

}  // namespace progress
