#include "ui/help/contexthelp.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHash>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QWhatsThis>
#include <QWidget>

#include "ui/help/helpcontext.h"
#include "ui/help/helpengine.h"

namespace {

constexpr char kMouseHelpProperty[] = "helpMouse";
constexpr char kFixedContextProperty[] = "helpFixedContext";
constexpr char kInstalledProperty[] = "helpInstalled";

bool isTextEntry(const QWidget* widget) {
    if (qobject_cast<const QLineEdit*>(widget) != nullptr ||
        qobject_cast<const QTextEdit*>(widget) != nullptr ||
        qobject_cast<const QPlainTextEdit*>(widget) != nullptr ||
        qobject_cast<const QAbstractSpinBox*>(widget) != nullptr) {
        return true;
    }
    const auto* combo = qobject_cast<const QComboBox*>(widget);
    return combo != nullptr && combo->isEditable();
}

// The viewport of a scroll area (the part of a text field that gets the presses)
// answers for the scroll area.
const QWidget* owningControl(const QWidget* widget) {
    if (const auto* area = qobject_cast<const QAbstractScrollArea*>(widget->parentWidget())) {
        if (area->viewport() == widget) {
            return area;
        }
    }
    return widget;
}

bool helpInstalled(const QWidget* widget) {
    return widget != nullptr && widget->window()->property(kInstalledProperty).toBool();
}

// Routes the help requests of every window that installed context help. One
// instance per application, installed as its event filter.
class ContextHelpRouter : public QObject {
public:
    explicit ContextHelpRouter(QObject* parent) : QObject(parent) {}

    static void ensure() {
        static QPointer<ContextHelpRouter> router;
        if (router.isNull() && QCoreApplication::instance() != nullptr) {
            router = new ContextHelpRouter(QCoreApplication::instance());
            QCoreApplication::instance()->installEventFilter(router);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType()) {
            return false;
        }
        auto* widget = static_cast<QWidget*>(watched);
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                return mousePress(widget, static_cast<QMouseEvent*>(event));
            case QEvent::MouseButtonRelease:
                m_lastPress = PressKey{};  // the next press is a new one, whatever its time stamp
                return false;
            case QEvent::ContextMenu:
                // The press has shown help already; no context menu after it.
                return static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Mouse &&
                       helpInstalled(widget) && forwardsMouseHelp(widget);
            case QEvent::KeyPress:
                return keyPress(widget, static_cast<QKeyEvent*>(event));
            case QEvent::WhatsThis:
                return whatsThis(widget, static_cast<QHelpEvent*>(event));
            case QEvent::QueryWhatsThis:
                if (!helpInstalled(widget)) {
                    return false;
                }
                event->setAccepted(controlHelpContext(widget) != 0);
                return true;
            default:
                return false;
        }
    }

private:
    bool mousePress(QWidget* widget, QMouseEvent* event) {
        if (event->button() != Qt::RightButton) {
            return false;
        }
        // A press that the first control under the pointer ignored travels on to its
        // parents; only the first control decides, so that a control which does not
        // forward (a text field, a check box left out) never shows its container's help.
        const PressKey key{event->timestamp(), event->globalPosition().toPoint()};
        if (key == m_lastPress) {
            return m_lastPressHandled;
        }
        m_lastPress = key;
        m_lastPressHandled = false;
        if (!helpInstalled(widget) || !forwardsMouseHelp(widget)) {
            return false;
        }
        ctlMouseDown(widget, event->button(), event->position().toPoint(), event->globalPosition().toPoint());
        m_lastPressHandled = true;
        return true;
    }

    static bool keyPress(QWidget* widget, QKeyEvent* event) {
        if (event->key() != Qt::Key_F1 || !helpInstalled(widget)) {
            return false;
        }
        const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
        if (modifiers == Qt::ShiftModifier) {
            QWhatsThis::enterWhatsThisMode();
            return true;
        }
        if (modifiers != Qt::NoModifier) {
            return false;
        }
        QWidget* focus = QApplication::focusWidget();
        QWidget* control = focus != nullptr && focus->window() == widget->window() ? focus : widget;
        showControlHelp(control, control->mapToGlobal(QPoint(control->width() / 2, control->height())));
        return true;
    }

    static bool whatsThis(QWidget* widget, QHelpEvent* event) {
        if (!helpInstalled(widget)) {
            return false;
        }
        QWhatsThis::leaveWhatsThisMode();
        showControlHelp(widget, event->globalPos());
        event->accept();
        return true;
    }

    struct PressKey {
        quint64 timestamp = ~quint64{0};
        QPoint globalPos{-1000000, -1000000};
        bool operator==(const PressKey&) const = default;
    };
    PressKey m_lastPress;
    bool m_lastPressHandled = false;
};

}  // namespace

void installContextHelp(QWidget* window, int fixedContext) {
    ContextHelpRouter::ensure();
    window->setProperty(kInstalledProperty, true);
    window->setProperty(kFixedContextProperty, fixedContext);
}

void setMouseHelp(QWidget* control, bool forwards) {
    control->setProperty(kMouseHelpProperty, forwards);
}

bool forwardsMouseHelp(const QWidget* control) {
    const QWidget* owner = owningControl(control);
    const QVariant explicitly = owner->property(kMouseHelpProperty);
    if (explicitly.isValid()) {
        return explicitly.toBool();
    }
    return !isTextEntry(owner);
}

int controlHelpContext(const QWidget* control) {
    if (control == nullptr) {
        return 0;
    }
    if (const int fixed = control->window()->property(kFixedContextProperty).toInt(); fixed != 0) {
        return fixed;
    }
    for (const QWidget* w = control; w != nullptr; w = w->parentWidget()) {
        if (const int context = helpContext(w); context != 0) {
            return context;
        }
        if (w->isWindow()) {
            break;
        }
    }
    return 0;
}

bool showControlHelp(QWidget* control, const QPoint& globalPos) {
    const int context = controlHelpContext(control);
    if (context == 0) {
        return false;
    }
    HelpEngine::instance().showPopup(context, globalPos, control);
    return true;
}

bool ctlMouseDown(QWidget* control, Qt::MouseButton button, const QPoint& pos, const QPoint& globalPos) {
    if (button != Qt::RightButton || control == nullptr) {
        return false;
    }
    for (QObject* object : control->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child == nullptr || child->isWindow() || !child->isVisible()) {
            continue;
        }
        const QRect r = child->geometry();
        if (r.left() < pos.x() && pos.x() < r.left() + r.width() && r.top() < pos.y() &&
            pos.y() < r.top() + r.height()) {
            return showControlHelp(child, globalPos);
        }
    }
    return showControlHelp(control, globalPos);
}
