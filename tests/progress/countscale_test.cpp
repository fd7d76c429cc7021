#include <gtest/gtest.h>

#include "core/progress/countscale.h"

namespace {

// Every tick a whole, round number; the top just above the most counted.
TEST(CountScaleTest, RoundWholeTicks) {
    const struct {
        int most;
        int top;
        int step;
    } cases[] = {
        {0, 5, 1},
        {1, 5, 1},
        {5, 5, 1},
        {6, 6, 2},
        {7, 8, 2},
        {10, 10, 2},
        {11, 15, 5},
        {23, 25, 5},
        {26, 30, 10},
        {1234, 1500, 500},
        {99999, 100000, 20000},
    };
    for (const auto& c : cases) {
        const progress::CountScale scale = progress::countScale(c.most);
        EXPECT_EQ(scale.top, c.top) << c.most;
        EXPECT_EQ(scale.step, c.step) << c.most;
        EXPECT_EQ(scale.top % scale.step, 0) << c.most;
        EXPECT_LE(scale.ticks(), 6) << c.most;
    }
}

}  // namespace
