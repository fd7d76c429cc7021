#pragma once

#include <QWidget>

class QTextBrowser;
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
