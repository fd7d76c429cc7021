// The zoom window's arithmetic: the split between its two boxes, the layout of
// its settings bar, how large a text is drawn, and the stored colour values.
#include <gtest/gtest.h>

#include <vector>

#include "core/zoom/textfit.h"
#include "core/zoom/wincolor.h"
#include "core/zoom/zoomsplit.h"

namespace {

TEST(ZoomSplit, LayOutSharesTheAreaAndSurvivesDamagedShares) {
    struct Case {
        int area;
        int a, b;
        zoomsplit::Boxes expected;
    };
    const Case cases[] = {
        {104, 80, 20, {0, 80, 80, 84, 20}},   {104, 1, 2, {0, 34, 34, 38, 66}},  // 100 * 2 / 3 rounds down
        {104, 0, 0, {0, 100, 100, 104, 0}},  // no proportion: no division by zero
        {104, -5, 10, {0, 0, 0, 4, 100}},    // a damaged store never oversizes a box
        {104, 5, -10, {0, 100, 100, 104, 0}}, {2, 80, 20, {0, 0, 0, 4, 0}},  // smaller than the split bar
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zoomsplit::layOut(c.area, c.a, c.b), c.expected) << c.area << " " << c.a << ":" << c.b;
    }
}

TEST(ZoomSplit, SettingsBarKeepsTheButtonsSquareAndTheFontBoxWithinBounds) {
    using R = zoomsplit::Rect;
    struct Case {
        int width;
        int fontBoxWidth;
    };
    for (const Case c : {Case{220, 125}, Case{400, 200}, Case{95, 0}, Case{50, -2}}) {
        const zoomsplit::SettingsBar bar = zoomsplit::layOutSettingsBar(24, c.width);
        const int x = c.fontBoxWidth;
        EXPECT_EQ(bar.fontBox, (R{0, 1, x, 22})) << c.width;
        EXPECT_EQ(bar.bold, (R{x + 2, 1, 22, 22})) << c.width;
        EXPECT_EQ(bar.italic, (R{x + 25, 1, 22, 22})) << c.width;
        EXPECT_EQ(bar.textColor, (R{x + 49, 1, 22, 22})) << c.width;
        EXPECT_EQ(bar.backColor, (R{x + 72, 1, 22, 22})) << c.width;
    }
}

TEST(TextFit, ShrinksALongTextInAtMostFiveSteps) {
    struct Case {
        const char* what;
        int boxWidth, boxHeight;
        // width = perPixel * cellHeight + extra
        int perPixel, extra;
        int cellHeight, measurements;
    };
    const Case cases[] = {
        {"fits at once", 100, 50, 1, 0, 42, 1},
        {"one refit, rounded down", 100, 50, 10, 0, 9, 2},  // 42 * 92 / 420 = 9.2
        // 42 -> 38.64 -> 35.88 -> 33.12 -> 30.36 -> 27.6, each rounded to the nearest
        {"never fits: five refits, then drawn as it is", 100, 50, 0, 100, 28, 6},
        {"never fits, shrinking", 100, 50, 3, 80, 7, 6},
        {"an empty text is measured once", 100, 50, 0, 0, 42, 1},
        {"a box no larger than its margins draws nothing", 8, 50, 1, 0, 0, 0},
        {"a flat box draws nothing", 100, 8, 1, 0, 0, 0},
        {"far too long for a tiny box: never below a pixel", 10, 10, 1000, 5, 1, 6},
    };
    for (const Case& c : cases) {
        std::vector<int> asked;
        const textfit::Fit fit = textfit::fit(c.boxWidth, c.boxHeight, [&](int cell) {
            asked.push_back(cell);
            return c.perPixel * cell + c.extra;
        });
        EXPECT_EQ(fit.cellHeight, c.cellHeight) << c.what;
        EXPECT_EQ(fit.measurements, c.measurements) << c.what;
        EXPECT_EQ(static_cast<int>(asked.size()), c.measurements) << c.what;
        if (!asked.empty()) {
            EXPECT_EQ(asked.back(), fit.cellHeight) << c.what;
            EXPECT_EQ(fit.width, c.perPixel * fit.cellHeight + c.extra) << c.what;
        }
    }
}

// Round trips and the byte order go through the colour dialog in the window's
// test; here, what a damaged list gives.
TEST(WinColor, UnreadableCustomColoursAreWhite) {
    const wincolor::CustomColors read =
        wincolor::parseCustomColors({"ColorC=0000ff", "ColorD=", "ColorE=12345G", "ColorF=1000000",
                                     "ColorQ=000000", "ColorA=000000", "ColorG=0"});
    EXPECT_EQ(read[0], 0);
    EXPECT_EQ(read[6], 0);  // one digit is a value too
    EXPECT_EQ(read[2], 0x0000FF);
    for (const int slot : {1, 3, 4, 5}) {
        EXPECT_EQ(read[slot], wincolor::kWhite) << slot;
    }
}

}  // namespace
