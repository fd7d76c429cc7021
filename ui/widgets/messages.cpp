#include "ui/widgets/messages.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <utility>
#include <vector>

namespace messages {

namespace {

Responder& responder() {
    static Responder instance;
    return instance;
}

HelpHandler& helpHandler() {
    static HelpHandler instance;
    return instance;
}

QString programTitle() {
    return QStringLiteral("Tengwar Ostrel");
}

QMessageBox::Icon toQtIcon(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Warning:
            return QMessageBox::Warning;
        case Icon::Error:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

int showBox(const Request& request) {
    QMessageBox box(request.parent);
    box.setWindowTitle(request.title.isEmpty() ? programTitle() : request.title);
    // Texts built from user data are shown literally.
    box.setTextFormat(Qt::PlainText);
    box.setText(request.text);
    box.setIcon(toQtIcon(request.icon));
    if (request.icon == Icon::None) {
        // Qt keeps the icon's column even without an icon; the text starts at the edge instead.
        if (auto* iconLabel = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label"))) {
            iconLabel->hide();
        }
    }

    std::vector<QPushButton*> buttons;
    const QStringList captions =
        request.buttons.isEmpty() ? QStringList{caption(Button::Ok)} : request.buttons;
    for (const QString& text : captions) {
        buttons.push_back(box.addButton(text, QMessageBox::AcceptRole));
    }
    const int count = static_cast<int>(buttons.size());
    if (request.defaultButton >= 0 && request.defaultButton < count) {
        box.setDefaultButton(buttons[static_cast<std::size_t>(request.defaultButton)]);
    }
    int escape = request.escapeButton;
    if (escape < 0 && count == 1) {
        escape = 0;
    }
    if (escape >= 0 && escape < count) {
        box.setEscapeButton(buttons[static_cast<std::size_t>(escape)]);
    }
    if (request.hasHelp) {
        QPushButton* help = box.addButton(QStringLiteral("Pomoč"), QMessageBox::HelpRole);
        // The help button asks for its topic and leaves the box open.
        QObject::disconnect(help, &QAbstractButton::clicked, nullptr, nullptr);
        const int context = request.helpContext;
        QObject::connect(help, &QAbstractButton::clicked, help, [context] { requestHelp(context); });
    }

    box.exec();
    for (int i = 0; i < count; ++i) {
        if (box.clickedButton() == buttons[static_cast<std::size_t>(i)]) {
            return i;
        }
    }
    return escape >= 0 ? escape : request.defaultButton;
}

int askOnThisThread(const Request& request) {
    if (responder()) {
        return responder()(request);
    }
    return showBox(request);
}

}  // namespace

QString caption(Button button) {
    switch (button) {
        case Button::Ok:
            return QStringLiteral("V redu");
        case Button::Cancel:
            return QStringLiteral("Prekliči");
        case Button::Yes:
            return QStringLiteral("Da");
        case Button::No:
            return QStringLiteral("Ne");
        case Button::Abort:
            return QStringLiteral("Prekini");
        case Button::Retry:
            return QStringLiteral("Poskusi znova");
        case Button::Ignore:
            return QStringLiteral("Prezri");
    }
    return {};
}

int ask(const Request& request) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        return askOnThisThread(request);
    }
    // A worker waits while the main thread shows its box.
    int answer = 0;
    QMetaObject::invokeMethod(
        app, [&answer, &request] { answer = askOnThisThread(request); }, Qt::BlockingQueuedConnection);
    return answer;
}

void setResponder(Responder handler) {
    responder() = std::move(handler);
}

void setHelpHandler(HelpHandler handler) {
    helpHandler() = std::move(handler);
}

void requestHelp(int context) {
    if (helpHandler()) {
        helpHandler()(context);
    }
}

namespace {

void single(QWidget* parent, const QString& text, const QString& title, Icon icon) {
    Request request;
    request.parent = parent;
    request.title = title;
    request.text = text;
    request.icon = icon;
    request.buttons = {caption(Button::Ok)};
    ask(request);
}

}  // namespace

void information(QWidget* parent, const QString& text, const QString& title) {
    single(parent, text, title, Icon::Information);
}

void warning(QWidget* parent, const QString& text, const QString& title) {
    single(parent, text, title, Icon::Warning);
}

void error(QWidget* parent, const QString& text, const QString& title) {
    single(parent, text, title, Icon::Error);
}

void plain(QWidget* parent, const QString& text, const QString& title) {
    single(parent, text, title, Icon::None);
}

bool question(QWidget* parent, const QString& text, const QString& title, Icon icon) {
    return askButtons(parent, text, title, icon, {Button::Yes, Button::No}, Button::Yes, Button::No) ==
           Button::Yes;
}

Button askButtons(QWidget* parent, const QString& text, const QString& title, Icon icon,
                  const QList<Button>& buttons, Button defaultButton, Button escapeButton) {
    Request request;
    request.parent = parent;
    request.title = title;
    request.text = text;
    request.icon = icon;
    for (Button b : buttons) {
        request.buttons.append(caption(b));
    }
    request.defaultButton = static_cast<int>(buttons.indexOf(defaultButton));
    request.escapeButton = static_cast<int>(buttons.indexOf(escapeButton));
    const int answer = ask(request);
    if (answer >= 0 && answer < buttons.size()) {
        return buttons[answer];
    }
    return escapeButton;
}

}  // namespace messages
