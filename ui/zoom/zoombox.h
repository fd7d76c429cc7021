#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

// How a zoom box draws its text.
struct ZoomBoxLook {
    QString family;
    bool bold = false;
    bool italic = false;
    // The item box draws font codes: every code by the Tengwar font itself,
    // without kerning or a substitute face.
    bool fontCodes = false;
    QColor text = Qt::black;
    QColor back = Qt::white;
};

// One of the zoom window's two drawing areas: its text as large as the box
// allows (see textfit.h), drawn off screen and copied in one step. A left
// click is reported; other presses go on to the window (context help). A
// click gives it the focus, and the keys typed then are handed on.
class ZoomBox : public QWidget {
    Q_OBJECT

public:
    explicit ZoomBox(QWidget* parent = nullptr);

    void setText(const QString& text);
    const QString& text() const { return m_text; }
    void setLook(const ZoomBoxLook& look);
    const ZoomBoxLook& look() const { return m_look; }

    // The box's picture at `size` logical pixels, drawn at `pixelRatio`
    // device pixels each.
    QImage picture(QSize size, qreal pixelRatio) const;
    // The font that draws a text of `cellHeight` pixels from the top of its
    // highest letter to the bottom of its lowest.
    QFont fontForCell(int cellHeight) const;

signals:
    void leftClicked();
    // A key pressed while the box has the focus; a receiver that uses it
    // accepts it.
    void keyTyped(QKeyEvent* event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_text;
    ZoomBoxLook m_look;
    // Pixel size per pixel of cell height, for the current face.
    qreal m_pixelsPerCell = 1.0;
};
