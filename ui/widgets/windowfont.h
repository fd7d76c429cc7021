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

#include <QGroupBox>

// A group box whose caption is bold while its contents keep the window font.
inline void setBoldCaption(QGroupBox* group) {
    QFont bold = group->font();
    bold.setBold(true);
    group->setFont(bold);
    for (QWidget* child : group->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        QFont normal = child->font();
        normal.setBold(false);
        child->setFont(normal);
    }
}
