#include "help/helpwindow.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), m_browser(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("sec"));
    setWindowTitle(QStringLiteral("Tengwar Ostrel – pomoč"));
    // The help window never keeps the program running once the main window is gone.
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    m_browser->setOpenLinks(false);
    m_browser->document()->setDocumentMargin(10);
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        bool ok = false;
        const int target = url.fragment().toInt(&ok);
        if (ok && url.path().isEmpty()) {
            emit topicRequested(target);
        } else if (!url.isRelative()) {
            QDesktopServices::openUrl(url);
        }
    });
    resize(460, 420);
}

void HelpWindow::showText(int context, const QString& markdown) {
    m_context = context;
    // A little larger than the windows' small dialog font: this is text to read.
    QFont text = font();
    if (text.pointSizeF() > 0) {
        text.setPointSizeF(text.pointSizeF() + 1);
    }
    m_browser->document()->setDefaultFont(text);
    m_browser->document()->setMarkdown(markdown, QTextDocument::MarkdownNoHTML);
    // A new topic is read from its title down.
    m_browser->moveCursor(QTextCursor::Start);
    m_browser->verticalScrollBar()->setValue(0);
}

QString HelpWindow::plainText() const {
    return m_browser->toPlainText();
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

QPoint placeBeside(const QRect& anchor, QSize size, const QRect& available) {
    constexpr int gap = 8;
    const int rightRoom = available.right() - anchor.right() - gap;
    const int leftRoom = anchor.left() - available.left() - gap;
    int left = 0;
    if (rightRoom >= size.width()) {
        left = anchor.right() + 1 + gap;
    } else if (leftRoom >= size.width()) {
        left = anchor.left() - gap - size.width();
    } else {
        left = rightRoom >= leftRoom ? available.right() + 1 - size.width() : available.left();
    }
    left =
        std::clamp(left, available.left(), std::max(available.left(), available.right() + 1 - size.width()));
    const int top = std::clamp(anchor.top(), available.top(),
                               std::max(available.top(), available.bottom() + 1 - size.height()));
    return {left, top};
}
