#include "ui/help/helpengine.h"

#include <QApplication>
#include <QDebug>
#include <QGuiApplication>
#include <QScreen>

#include "ui/help/helppopup.h"
#include "ui/help/helpwindow.h"
#include "ui/widgets/windowframe.h"

namespace {

QPointer<HelpEngine>& engineInstance() {
    static QPointer<HelpEngine> engine;
    return engine;
}

}  // namespace

HelpEngine& HelpEngine::instance() {
    QPointer<HelpEngine>& engine = engineInstance();
    if (engine.isNull()) {
        // Owned by the application object, so that a new application in a test gets a new engine.
        engine = new HelpEngine(QCoreApplication::instance());
    }
    return *engine;
}

HelpEngine::HelpEngine(QObject* parent) : QObject(parent) {}

HelpEngine::~HelpEngine() {
    // Widgets may only be deleted while the application object still exists.
    if (QCoreApplication::instance() != nullptr) {
        quit();
    }
}

const HelpTopics& HelpEngine::topics() {
    if (!m_loaded) {
        m_loaded = true;
        m_topics.addFolder(QStringLiteral(":/help"), &m_errors);
        for (const QString& error : std::as_const(m_errors)) {
            qWarning().noquote() << "help topics:" << error;
        }
    }
    return m_topics;
}

QStringList HelpEngine::loadErrors() {
    topics();
    return m_errors;
}

QString HelpEngine::missingTopicText() {
    return QStringLiteral("Za to temo ni pomoči.");
}

QString HelpEngine::topicMarkdown(int context, bool titleAsHeading) {
    if (const HelpTopic* topic = topics().find(context)) {
        return HelpTopics::markdown(*topic, titleAsHeading);
    }
    return missingTopicText();
}

void HelpEngine::showPopup(int context, const QPoint& globalPos, QWidget* owner) {
    QWidget* parent = owner != nullptr ? owner->window() : nullptr;
    if (m_popup != nullptr && m_popup->parentWidget() != parent) {
        delete m_popup;
    }
    if (m_popup == nullptr) {
        m_popup = new HelpPopup(parent);
    }
    m_lastPopup = context;
    m_popup->showText(context, topicMarkdown(context, false), globalPos);
    emit popupShown(context);
}

void HelpEngine::jumpContext(int context, const QString& window, bool activate) {
    if (window != QLatin1String(kSecondaryHelpWindow)) {
        return;  // the program has only the one secondary window
    }
    if (m_window == nullptr) {
        m_window = new HelpWindow;
        connect(m_window, &HelpWindow::topicRequested, this, [this](int target) { jumpContext(target); });
    }
    m_lastWindow = context;
    m_window->showText(context, topicMarkdown(context, true));
    m_window->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    m_window->show();
    if (activate) {
        m_window->raise();
        m_window->activateWindow();
    }
    emit windowShown(context);
}

void HelpEngine::placeWindowBeside(const QRect& anchorFrame) {
    if (m_window == nullptr || !m_window->isVisible()) {
        return;
    }
    const QScreen* screen = QGuiApplication::screenAt(anchorFrame.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    m_window->move(placeBeside(anchorFrame, m_window->frameGeometry().size(), screen->availableGeometry()));
    // Larger than the screen allows (a small screen, a large scale): it shrinks to fit.
    keepOnScreen(m_window);
}

void HelpEngine::closeWindow(const QString& window) {
    if (window == QLatin1String(kSecondaryHelpWindow) && m_window != nullptr) {
        m_window->close();
    }
}

void HelpEngine::quit() {
    delete m_popup;
    delete m_window;
}

bool HelpEngine::isPopupVisible() const {
    return m_popup != nullptr && m_popup->isVisible();
}

bool HelpEngine::isWindowVisible() const {
    return m_window != nullptr && m_window->isVisible();
}
