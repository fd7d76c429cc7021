#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QStringList>

#include "ui/help/helptopics.h"

#include "ui/help/helppopup.h"
#include "ui/help/helpwindow.h"
class QWidget;

// Topic numbers asked for by fixed places of the program.
inline constexpr int kPageHelpTopic = 9801;        // "Pomoč": 9801 + position of the shown page
inline constexpr int kFirstStartHelpTopic = 9805;  // opened in "sec" on the first start
inline constexpr char kSecondaryHelpWindow[] = "sec";

// The program's help viewer. Topics come from the built-in topic files (":/help/*.txt")
// and are shown either as a popup near the pointer or in the secondary window "sec".
// A topic that does not exist shows a short note instead; nothing is ever reported as an error.
//
// One instance per application (instance()); it belongs to the application object.
class HelpEngine : public QObject {
    Q_OBJECT

public:
    static HelpEngine& instance();

    // The built-in topics, read on first use. Problems found while reading them are in loadErrors().
    const HelpTopics& topics();
    QStringList loadErrors();

    // Shows the topic as a popup near globalPos (a screen position). The owner is the
    // window the request comes from; it may be null.
    void showPopup(int context, const QPoint& globalPos, QWidget* owner = nullptr);
    // Opens the topic in the named secondary window ("sec") and brings that window up;
    // without `activate` it comes up without taking the keyboard from the program.
    void jumpContext(int context, const QString& window = QString::fromLatin1(kSecondaryHelpWindow),
                     bool activate = true);
    // Moves "sec", when it is open, beside the given outer frame of a program window.
    void placeWindowBeside(const QRect& anchorFrame);
    // Closes the named secondary window, if it is open.
    void closeWindow(const QString& window = QString::fromLatin1(kSecondaryHelpWindow));
    // The program needs no more help: closes and releases every help window.
    void quit();

    // What is on the screen now (for tests and for the routing).
    HelpPopup* popup() const { return m_popup; }
    HelpWindow* secondaryWindow() const { return m_window; }
    bool isPopupVisible() const;
    bool isWindowVisible() const;
    // The context of the last popup and of the last topic opened in "sec"; -1 when none yet.
    int lastPopupContext() const { return m_lastPopup; }
    int lastWindowContext() const { return m_lastWindow; }

    static QString missingTopicText();

signals:
    void popupShown(int context);
    void windowShown(int context);

private:
    explicit HelpEngine(QObject* parent);
    ~HelpEngine() override;

    QString topicMarkdown(int context, bool titleAsHeading);

    bool m_loaded = false;
    HelpTopics m_topics;
    QStringList m_errors;
    QPointer<HelpPopup> m_popup;
    QPointer<HelpWindow> m_window;
    int m_lastPopup = -1;
    int m_lastWindow = -1;
};
