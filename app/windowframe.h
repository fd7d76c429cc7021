#pragma once

#include <functional>

class QWidget;

// Runs `then` once the window manager has given `window` its frame (its outer
// size is known only then), or after a short wait on platforms without frames.
void afterFrameKnown(QWidget* window, std::function<void()> then);
