#pragma once

#include <QEvent>

// Posted by the zoom window to its owner while it is created, so that the main
// window wires itself to it once the event loop runs. It carries nothing.
inline constexpr QEvent::Type WM_ZOOMCREATED = static_cast<QEvent::Type>(1690);
