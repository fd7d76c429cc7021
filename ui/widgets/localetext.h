#pragma once

#include <QLocale>
#include <QString>

#include "core/text/plural.h"

// A percentage as the user's locale writes numbers, one way in every window:
// "66,7 %" in Slovenian, "66.7 %" in the C locale.
inline QString percentText(double value, int decimals = 1) {
    return QLocale().toString(value, 'f', decimals) + QStringLiteral(" %");
}

// Of the four forms of a word after a number, the one for `count`:
// countWord(3, "odgovor", "odgovora", "odgovori", "odgovorov") is "odgovori".
inline QString countWord(qint64 count, const QString& one, const QString& two, const QString& few,
                         const QString& other) {
    switch (plural::slovenian(count)) {
        case plural::Form::One:
            return one;
        case plural::Form::Two:
            return two;
        case plural::Form::Few:
            return few;
        case plural::Form::Other:
            break;
    }
    return other;
}
