#pragma once

#include <QRect>
#include <functional>

class QWidget;

// Runs `then` once the window manager has given `window` its frame (its outer
// size is known only then), or after a short wait on platforms without frames.
void afterFrameKnown(QWidget* window, std::function<void()> then);

// Where an outer frame goes so that it lies inside `available`: moved as
// little as it can be, and narrowed or lowered only when it is wider or taller
// than the area, never below `minimum`. A frame that cannot shrink enough
// keeps its left and top edges (title bar) on the area.
QRect fitFrame(const QRect& frame, const QRect& available, QSize minimum);

// The available area (without panels) of the screen that holds most of
// `frame`, or of the primary screen when none does; empty without screens.
QRect availableAreaFor(const QRect& frame);

// Moves `window`, and shrinks it only when it must, until its outer frame
// lies inside the available area of its screen. Returns the new client
// geometry, or an empty rectangle when nothing had to change.
QRect keepOnScreen(QWidget* window);

#include <optional>

// Tells the user's moves from the program's own. A place the program chose
// because the stored one did not fit the screen is not stored, so the stored
// place comes back when the screen allows it again. Moves reported before the
// window has its frame, and until the window system reports the program's
// place back, are the window system's, not the user's.
class ProgramPlace {
public:
    // The program put the window at `place` instead of the stored one.
    void hold(const QRect& place) { m_place = place; }
    bool held() const { return m_place.has_value(); }
    // The window has its frame: once it is reported at the held place (or
    // `reach` says it is there), its moves may be the user's.
    void settle() { m_settled = true; }
    // The window system has finished placing the window, at `place`.
    void reach(const QRect& place);
    // A stored place that does not fit the screen now (another screen or
    // scale) stays stored; the window is shown at `shown` instead.
    void holdUnlessFits(const QRect& storedFrame, const QRect& shown);
    // Once the window has its frame: keeps it wholly on the screen, holds
    // where the program put it, and a second later takes where the window
    // system left it.
    void framed(QWidget* window);
    // Whether the window's place `current` is the user's, to be stored.
    bool isUsers(const QRect& current);

private:
    std::optional<QRect> m_place;
    bool m_settled = false;
    bool m_reached = false;
};
