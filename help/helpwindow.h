#pragma once

#include <QWidget>

class QTextBrowser;

// Where a window of `size` goes beside `anchor` (both outer frames) on the
// screen area `available`: to the right when it fits there, else to the left,
// else on the side with more room, kept on the screen. Its top follows the
// anchor's top as far as the screen allows.
QPoint placeBeside(const QRect& anchor, QSize size, const QRect& available);
class HelpTopics;

// The secondary help window "sec": a topic shown in a browser that stays open
// beside the program until it is closed or the program ends.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    void showText(int context, const QString& markdown);

    int context() const { return m_context; }
    QString plainText() const;
    QTextBrowser* browser() const { return m_browser; }

signals:
    // A link to another topic was followed ("[text](#1102)").
    void topicRequested(int context);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTextBrowser* m_browser;
    int m_context = 0;
};
