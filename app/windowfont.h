#pragma once

#include <QFont>

// The small sans-serif face of every window: 8 points, metric-compatible with
// the classic dialog font, so that the six tabs of the main window fit.
inline QFont windowFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
