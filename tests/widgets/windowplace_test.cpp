// A window put on the screen by the program: the window system's rounding of
// that place is not the user's move, and a frame shrunk to fit leaves the
// window's own part (without the frame) the size that fits.
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/shellfixture.h"
#include "ui/widgets/windowframe.h"
#include "ui/zoom/tzoomform.h"

namespace {

// A place the program held, reported back shifted by `by` on some edges.
TEST(WindowPlace, TheWindowSystemsRoundingIsNotTheUsersMove) {
    const QRect held(200, 100, 400, 300);
    const struct {
        const char* what;
        QMargins by;  // added to the held place's left, top, right and bottom edges
        bool users;
    } cases[] = {
        {"where it was put", {0, 0, 0, 0}, false},
        {"3 to the left", {-3, 0, -3, 0}, false},
        {"3 to the right", {3, 0, 3, 0}, false},
        {"3 up", {0, -3, 0, -3}, false},
        {"3 down", {0, 3, 0, 3}, false},
        {"3 wider", {0, 0, 3, 0}, false},
        {"3 lower at the bottom", {0, 0, 0, 3}, false},
        {"3 on every edge", {-3, -3, 3, 3}, false},
        {"4 to the left", {-4, 0, -4, 0}, true},
        {"4 down", {0, 4, 0, 4}, true},
        {"4 wider", {0, 0, 4, 0}, true},
        {"4 narrower on the left", {4, 0, 0, 0}, true},
        {"3 right and 4 down", {3, 4, 3, 4}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramPlace place;
        place.hold(held);
        place.settle();
        ASSERT_FALSE(place.isUsers(held));  // reported where it was put
        const QRect reported(QPoint(held.left() + c.by.left(), held.top() + c.by.top()),
                             QPoint(held.right() + c.by.right(), held.bottom() + c.by.bottom()));
        EXPECT_EQ(place.isUsers(reported), c.users);
    }
}

class WindowPlaceTest : public ShellTest {};

// A frame larger than the screen's free area is shrunk to it; the window's
// own part is then the frame's size less the frame, and the window returns
// where it lies. A frame that fits is left alone.
TEST_F(WindowPlaceTest, AFrameShrunkToFitLeavesTheWindowTheRest) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        const char* what;
        QRect asked;  // the window's own part
        QSize least;
        bool changes;
    } cases[] = {
        {"taller", {40, 30, 300, available.height() + 200}, {100, 100}, true},
        {"wider", {40, 30, available.width() + 50, 200}, {100, 100}, true},
        {"both", {10, 10, available.width() * 2, available.height() * 2}, {100, 100}, true},
        {"off the right edge", {available.right() - 50, 30, 300, 200}, {100, 100}, true},
        {"fits", {available.left() + 40, available.top() + 40, 300, 200}, {100, 100}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QWidget window;
        window.setMinimumSize(c.least);
        window.setGeometry(c.asked);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const QSize border = window.frameGeometry().size() - window.size();
        const QRect placed = keepOnScreen(&window);
        EXPECT_EQ(placed.isEmpty(), !c.changes);
        if (!c.changes) {
            EXPECT_EQ(window.geometry(), c.asked);
            continue;
        }
        EXPECT_EQ(placed, window.geometry());
        EXPECT_TRUE(available.contains(window.frameGeometry()))
            << window.frameGeometry().width() << "x" << window.frameGeometry().height();
        EXPECT_EQ(window.size(), c.asked.size().boundedTo(available.size() - border));
        EXPECT_EQ(window.frameGeometry().size() - window.size(), border);
    }
}

// The zoom window opened at a stored place that does not fit: the window
// system reports the place the program chose, off by its rounding. That is
// not stored; the stored place is kept for the screen it was made on.
TEST_F(WindowPlaceTest, TheRoundedFallbackPlaceIsNotStored) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const StoredRect stored{available.right() - 100, 40, available.right() + 200, 290};
    for (const QPoint rounding : {QPoint(-3, 0), QPoint(0, 3), QPoint(-3, -3)}) {
        SCOPED_TRACE(testing::Message() << rounding.x() << "," << rounding.y());
        options().SetZoomRect(stored);
        TZoomForm form(options());
        form.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return available.contains(form.frameGeometry()); }));
        const QPoint fitted = form.pos();
        // A second after the frame came, the window system has finished.
        QTest::qWait(1200);
        form.move(fitted + rounding);
        QTest::qWait(50);
        EXPECT_EQ(options().GetZoomRect(), stored);
        // A move beyond the rounding is the user's, and is stored.
        form.move(fitted + QPoint(-40, 20));
        EXPECT_TRUE(QTest::qWaitFor([&] { return options().GetZoomRect().top == form.geometry().top(); }));
    }
}

}  // namespace
