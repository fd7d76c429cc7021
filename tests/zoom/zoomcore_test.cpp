// The zoom window's arithmetic: the split between its two boxes, the layout of
// its settings bar, how large a text is drawn, and the stored colour values.
#include <gtest/gtest.h>

#include <vector>

#include "zoom/textfit.h"
#include "zoom/wincolor.h"
#include "zoom/zoomsplit.h"

namespace {

struct DragCase {
    const char* what;
    int upper, lower, startY, y;
    zoomsplit::Shares expected;
};

TEST(ZoomSplit, DragGivesTheStoredShares) {
    const DragCase cases[] = {
        {"down a little", 100, 50, 300, 310, {110, 40}},
        {"up a little", 100, 50, 300, 270, {70, 80}},
        {"above the top: the item box gets nothing", 100, 50, 300, 150, {0, 150}},
        {"far above the top", 100, 50, 300, -5000, {0, 150}},
        {"below the bottom: the answer box gets nothing", 100, 50, 300, 500, {300, 0}},
    };
    for (const DragCase& c : cases) {
        zoomsplit::SplitDrag drag;
        drag.begin(c.startY, c.upper, c.lower);
        EXPECT_EQ(drag.moveTo(c.y), c.expected) << c.what;
        // Laid out again, the answer box is exactly as high as dragged.
        const zoomsplit::Shares s = drag.moveTo(c.y);
        if (s.a + s.b == c.upper + c.lower) {
            EXPECT_EQ(zoomsplit::layOut(c.upper + c.lower + 4, s.a, s.b).lowerHeight, s.b) << c.what;
        }
    }
}

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
        EXPECT_LE(fit.measurements, 1 + textfit::kMaxRefits) << c.what;
        if (!asked.empty()) {
            EXPECT_EQ(asked.back(), fit.cellHeight) << c.what;
            EXPECT_EQ(fit.width, c.perPixel * fit.cellHeight + c.extra) << c.what;
        }
    }
}

TEST(TextFit, CentresTheTextTwoPixelsRightAndDown) {
    EXPECT_EQ(textfit::origin(100, 50, 40, 21).x, 32);
    EXPECT_EQ(textfit::origin(100, 50, 40, 21).y, 16);
    // Overflowing text starts left of the box (halves round toward zero).
    EXPECT_EQ(textfit::origin(100, 50, 141, 21).x, -18);
}

TEST(WinColor, ColoursAreStoredWithRedInTheLowestByte) {
    EXPECT_EQ(wincolor::fromRgb(0x12, 0x34, 0x56), 0x563412);
    EXPECT_EQ(wincolor::red(0x808000), 0x00);
    EXPECT_EQ(wincolor::green(0x808000), 0x80);
    EXPECT_EQ(wincolor::blue(0x808000), 0x80);
}

TEST(WinColor, CustomColoursRoundTripAndUnreadableEntriesAreWhite) {
    wincolor::CustomColors colors;
    colors.fill(wincolor::kWhite);
    colors[0] = 0x563412;
    colors[15] = 0;
    const std::vector<std::string> entries = wincolor::formatCustomColors(colors);
    ASSERT_EQ(entries.size(), 16u);
    EXPECT_EQ(entries[0], "ColorA=563412");
    EXPECT_EQ(entries[1], "ColorB=FFFFFF");
    EXPECT_EQ(entries[15], "ColorP=000000");
    EXPECT_EQ(wincolor::parseCustomColors(entries), colors);

    const wincolor::CustomColors read =
        wincolor::parseCustomColors({"ColorC=0000ff", "ColorD=", "ColorE=12345G", "ColorF=1000000",
                                     "ColorQ=000000", "Colour=000000", "ColorA=000000"});
    EXPECT_EQ(read[2], 0x0000FF);
    EXPECT_EQ(read[0], 0);
    for (const int slot : {1, 3, 4, 5, 6}) {
        EXPECT_EQ(read[slot], wincolor::kWhite) << slot;
    }
}

}  // namespace
