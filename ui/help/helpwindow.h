#pragma once

#include <QString>
#include <QWidget>
#include <vector>

#include "ui/widgets/windowframe.h"

class QTextBrowser;
class QToolButton;

// Where a window of `size` goes beside `anchor` (both outer frames) on the
// screen area `available`: to the right when it fits there, else to the left,
// else on the side with more room, kept on the screen. Its top follows the
// anchor's top as far as the screen allows.
QPoint placeBeside(const QRect& anchor, QSize size, const QRect& available);
class HelpTopics;

// The secondary help window "sec": a topic shown in a browser that stays open
// beside the program until it is closed or the program ends. Where the user
// leaves it, and its size, are kept in the settings store for the next start.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows a topic; the one shown before it can be gone back to.
    void showText(int context, const QString& markdown);
    // The topic before and after the shown one, as in every help viewer
    // (also Alt+Left, Alt+Right and the mouse's back and forward buttons).
    void back();
    void forward();
    bool canGoBack() const { return !m_back.empty(); }
    bool canGoForward() const { return !m_forward.empty(); }

    int context() const { return m_context; }
    QString plainText() const;
    QTextBrowser* browser() const { return m_browser; }

signals:
    // A link to another topic was followed ("[text](#1102)").
    void topicRequested(int context);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Visit {
        int context = 0;
        QString markdown;
        int scroll = 0;
    };
    Visit current() const;
    // One step back or forward: the page shown goes onto `to`.
    void travel(std::vector<Visit>& from, std::vector<Visit>& to);
    void display(const Visit& visit);
    void updateButtons();
    void restorePlace();
    void storePlace();

    QTextBrowser* m_browser;
    QToolButton* m_backButton;
    QToolButton* m_forwardButton;
    int m_context = 0;
    QString m_markdown;
    std::vector<Visit> m_back;
    std::vector<Visit> m_forward;
    // Off while the window is made: its first size is not the user's.
    bool m_trackPlacement = false;
    ProgramPlace m_programPlace;
};
