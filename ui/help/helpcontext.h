#pragma once

#include <QVariant>
#include <QWidget>

// Every control carries the number of its help topic as a dynamic property,
// set where the layout is made and read by the context-help routing.
inline constexpr char kHelpContextProperty[] = "helpContext";

inline void setHelpContext(QWidget* widget, int context) {
    widget->setProperty(kHelpContextProperty, context);
}

// 0 when the widget has none.
inline int helpContext(const QWidget* widget) {
    return widget == nullptr ? 0 : widget->property(kHelpContextProperty).toInt();
}
