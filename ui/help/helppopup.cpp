#include "ui/help/helppopup.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include <cmath>

namespace {

constexpr int kMargin = 8;  // between the frame and the text
constexpr int kMaxTextWidth = 320;
constexpr QPoint kPointerOffset{4, 12};  // so that the popup does not hide the pointer's tip

}  // namespace

HelpPopup::HelpPopup(QWidget* parent) : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("helpPopup"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    setAutoFillBackground(true);
    m_document.setDocumentMargin(0);
}

void HelpPopup::showText(int context, const QString& markdown, const QPoint& globalPos) {
    m_context = context;
    m_document.setDefaultFont(font());
    m_document.setMarkdown(markdown, QTextDocument::MarkdownNoHTML);
    m_document.setTextWidth(kMaxTextWidth);
    const int textWidth = std::min(kMaxTextWidth, static_cast<int>(std::ceil(m_document.idealWidth())));
    m_document.setTextWidth(textWidth);
    const QSize textSize(textWidth, static_cast<int>(std::ceil(m_document.size().height())));
    const int frame = frameWidth();
    const QSize size = textSize + QSize(2 * (kMargin + frame), 2 * (kMargin + frame));
    resize(size);

    QPoint pos = globalPos + kPointerOffset;
    QScreen* screen = QGuiApplication::screenAt(globalPos);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        if (pos.x() + size.width() > area.right() + 1) {
            pos.setX(area.right() + 1 - size.width());
        }
        if (pos.y() + size.height() > area.bottom() + 1) {
            pos.setY(globalPos.y() - size.height() - 4);  // above the pointer
        }
        pos.setX(std::max(pos.x(), area.left()));
        pos.setY(std::max(pos.y(), area.top()));
    }
    move(pos);
    show();
    raise();
    update();
}

void HelpPopup::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const int offset = frameWidth() + kMargin;
    painter.translate(offset, offset);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = palette();
    context.palette.setColor(QPalette::Text, palette().color(QPalette::ToolTipText));
    m_document.documentLayout()->draw(&painter, context);
}

void HelpPopup::mousePressEvent(QMouseEvent* event) {
    event->accept();
    close();
}

void HelpPopup::keyPressEvent(QKeyEvent* event) {
    event->accept();
    close();
}

void HelpPopup::hideEvent(QHideEvent* event) {
    QFrame::hideEvent(event);
    emit closed();
}
