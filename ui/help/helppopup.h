#pragma once

#include <QFrame>
#include <QTextDocument>

// A help topic shown near the pointer in a small frameless window. It closes
// on the next mouse press (inside or outside it) or key press.
class HelpPopup : public QFrame {
    Q_OBJECT

public:
    explicit HelpPopup(QWidget* parent = nullptr);

    // Shows the CommonMark text with its top left corner near globalPos, kept on the screen.
    void showText(int context, const QString& markdown, const QPoint& globalPos);

    int context() const { return m_context; }
    QString plainText() const { return m_document.toPlainText(); }

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTextDocument m_document;
    int m_context = 0;
};
