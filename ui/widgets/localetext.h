#pragma once

#include <QLocale>
#include <QString>

// A percentage as the user's locale writes numbers, one way in every window:
// "66,7 %" in Slovenian, "66.7 %" in the C locale.
inline QString percentText(double value, int decimals = 1) {
    return QLocale().toString(value, 'f', decimals) + QStringLiteral(" %");
}
