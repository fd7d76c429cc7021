#include "ui/zoom/zoombox.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "core/zoom/textfit.h"
#include "ui/widgets/tengwarfont.h"

namespace {

QFont baseFont(const ZoomBoxLook& look) {
    QFont font(look.family);
    font.setBold(look.bold);
    font.setItalic(look.italic);
    if (look.fontCodes) {
        setTengwarDrawing(font);
    }
    return font;
}

}  // namespace

ZoomBox::ZoomBox(QWidget* parent) : QWidget(parent) {
    // The whole box is drawn by paintEvent.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A click on the box takes the keyboard from the font box; Tab passes by.
    setFocusPolicy(Qt::ClickFocus);
    setLook(m_look);
}

void ZoomBox::setText(const QString& text) {
    if (text == m_text) {
        return;
    }
    m_text = text;
    update();
}

void ZoomBox::setLook(const ZoomBoxLook& look) {
    m_look = look;
    // The fit works in cell heights, Qt's fonts in pixel sizes (the em); the
    // ratio is a property of the face, measured once per face.
    QFont reference = baseFont(m_look);
    reference.setPixelSize(1000);
    const qreal cell = QFontMetricsF(reference).height();
    m_pixelsPerCell = cell > 0 ? 1000.0 / cell : 1.0;
    update();
}

QFont ZoomBox::fontForCell(int cellHeight) const {
    QFont font = baseFont(m_look);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(cellHeight * m_pixelsPerCell))));
    return font;
}

QImage ZoomBox::picture(QSize size, qreal pixelRatio) const {
    QImage image(size * pixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(m_look.back);
    if (m_text.isEmpty() || size.isEmpty()) {
        return image;
    }
    QFont font;
    const textfit::Fit fit = textfit::fit(size.width(), size.height(), [&](int cellHeight) {
        font = fontForCell(cellHeight);
        return QFontMetrics(font).horizontalAdvance(m_text);
    });
    if (fit.cellHeight <= 0) {
        return image;
    }
    const QFontMetrics metrics(font);
    const textfit::Origin at = textfit::origin(size.width(), size.height(), fit.width, metrics.height());
    QPainter painter(&image);
    painter.setClipRect(QRect(QPoint(0, 0), size));
    painter.setFont(font);
    painter.setPen(m_look.text);
    painter.drawText(QPoint(at.x, at.y + metrics.ascent()), m_text);
    return image;
}

void ZoomBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), picture(size(), devicePixelRatioF()));
}

void ZoomBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

// A click counts when the left button comes up inside the box: by then the
// window system has finished activating this window for the press, so the
// window that the click hands the keyboard to stays active.
void ZoomBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit leftClicked();
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void ZoomBox::keyPressEvent(QKeyEvent* event) {
    event->ignore();
    emit keyTyped(event);
    if (!event->isAccepted())
        QWidget::keyPressEvent(event);
}
