// Keeping windows on the screen: where an outer frame goes, and which places
// are the user's to store.
#include <QRect>

#include <gtest/gtest.h>

#include "ui/widgets/windowframe.h"

namespace {

TEST(FitFrame, MovesAndShrinksOnlyAsFarAsItMust) {
    const QRect screen(0, 0, 640, 512);  // 1280 x 1024 at scale 2
    const struct {
        const char* what;
        QRect frame;
        QSize minimum;
        QRect fitted;
    } cases[] = {
        {"inside stays", {10, 20, 300, 200}, {0, 0}, {10, 20, 300, 200}},
        {"off the right edge", {600, 100, 533, 300}, {533, 300}, {107, 100, 533, 300}},
        {"title bar above the top", {102, -5, 222, 242}, {0, 0}, {102, 0, 222, 242}},
        {"off the left and bottom", {-50, 400, 200, 200}, {0, 0}, {0, 312, 200, 200}},
        {"taller than the screen shrinks", {30, 40, 620, 1080}, {100, 100}, {20, 0, 620, 512}},
        {"no smaller than its least", {30, 40, 700, 600}, {660, 550}, {0, 0, 660, 550}},
        {"far away", {-9000, -9000, 220, 242}, {0, 0}, {0, 0, 220, 242}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fitFrame(c.frame, screen, c.minimum), c.fitted) << c.what;
    }
    // A screen that does not start at the origin (a panel on the left or top).
    EXPECT_EQ(fitFrame({0, 0, 100, 100}, {40, 30, 600, 400}, {}), QRect(40, 30, 100, 100));
}

TEST(ProgramPlace, OnlyTheUsersMovesAreStored) {
    ProgramPlace nothingHeld;
    EXPECT_TRUE(nothingHeld.isUsers({1, 2, 3, 4}));

    ProgramPlace place;
    place.hold({600, 100, 400, 300});  // the stored place did not fit
    // Moves of the window system before the frame is there are not the user's.
    EXPECT_FALSE(place.isUsers({0, 0, 400, 300}));
    place.hold({200, 100, 400, 300});  // where the program put it
    place.settle();
    // Late reports of the way there, until the window is reported where the
    // program put it (give or take the window system's rounding).
    EXPECT_FALSE(place.isUsers({-72, 60, 400, 300}));
    EXPECT_FALSE(place.isUsers({201, 99, 400, 301}));
    EXPECT_FALSE(place.isUsers({200, 100, 400, 300}));
    // The user moves it: that is stored, and so is every later move.
    EXPECT_TRUE(place.isUsers({180, 90, 400, 300}));
    EXPECT_TRUE(place.isUsers({200, 100, 400, 300}));

    // A window system that leaves it elsewhere: once it has finished, the
    // user's moves from there are stored.
    ProgramPlace elsewhere;
    elsewhere.hold({200, 100, 400, 300});
    elsewhere.settle();
    EXPECT_FALSE(elsewhere.isUsers({210, 120, 400, 300}));
    elsewhere.reach({210, 120, 400, 300});
    EXPECT_FALSE(elsewhere.isUsers({210, 120, 400, 300}));
    EXPECT_TRUE(elsewhere.isUsers({300, 120, 400, 300}));
}

}  // namespace
