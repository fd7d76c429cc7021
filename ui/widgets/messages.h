#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// The one message-box service of the program. Every window asks here, so a
// test can install a responder that answers instead of a modal box.
namespace messages {

enum class Icon { None, Information, Warning, Error, Question };

// The standard buttons with their Slovenian captions.
enum class Button { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

QString caption(Button button);

// One box: its buttons are captions in order; the answer is the index of the
// chosen one. The Esc key (and closing the box) chooses escapeButton; when that
// is -1, Esc does nothing unless there is only one button.
struct Request {
    QWidget* parent = nullptr;
    QString title;
    QString text;
    Icon icon = Icon::None;
    QStringList buttons;
    int defaultButton = 0;
    int escapeButton = -1;
    // When set, the box also carries a "Pomoč" button that asks for this help
    // context and leaves the box open.
    bool hasHelp = false;
    int helpContext = 0;
};

// Shows the box (or asks the responder) and returns the chosen button's index.
// May be called from any thread: a box asked for by a worker is shown on the
// main thread while the worker waits.
int ask(const Request& request);

// Tests install a responder that answers every box without showing it; an
// empty function restores the real boxes.
using Responder = std::function<int(const Request&)>;
void setResponder(Responder responder);

// The help engine installs how a "Pomoč" button asks for a context.
using HelpHandler = std::function<void(int context)>;
void setHelpHandler(HelpHandler handler);
void requestHelp(int context);

// The usual boxes. Titles default to the program's name.
void information(QWidget* parent, const QString& text, const QString& title = QString());
void warning(QWidget* parent, const QString& text, const QString& title = QString());
void error(QWidget* parent, const QString& text, const QString& title = QString());
// A box with one "V redu" button and no icon.
void plain(QWidget* parent, const QString& text, const QString& title = QString());
// "Da" / "Ne"; true for "Da". Esc and closing answer "Ne".
bool question(QWidget* parent, const QString& text, const QString& title = QString(),
              Icon icon = Icon::Question);
// Answers with one of the given standard buttons.
Button askButtons(QWidget* parent, const QString& text, const QString& title, Icon icon,
                  const QList<Button>& buttons, Button defaultButton, Button escapeButton);

}  // namespace messages
