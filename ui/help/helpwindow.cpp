#include "ui/help/helpwindow.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/settings/options.h"
#include "ui/widgets/errorguard.h"
#include "ui/widgets/windowframe.h"

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_browser(new QTextBrowser(this)),
      m_backButton(new QToolButton(this)),
      m_forwardButton(new QToolButton(this)) {
    setObjectName(QStringLiteral("sec"));
    setWindowTitle(QStringLiteral("Tengwar Ostrel – pomoč"));
    // The help window never keeps the program running once the main window is gone.
    setAttribute(Qt::WA_QuitOnClose, false);
    m_backButton->setObjectName(QStringLiteral("BtnNazaj"));
    m_backButton->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    m_backButton->setToolTip(QStringLiteral("Nazaj na prejšnjo temo (Alt+levo)"));
    m_backButton->setAccessibleName(QStringLiteral("Nazaj"));
    m_backButton->setAutoRaise(true);
    m_forwardButton->setObjectName(QStringLiteral("BtnNaprej"));
    m_forwardButton->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    m_forwardButton->setToolTip(QStringLiteral("Naprej na naslednjo temo (Alt+desno)"));
    m_forwardButton->setAccessibleName(QStringLiteral("Naprej"));
    m_forwardButton->setAutoRaise(true);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 2, 4, 0);
    bar->setSpacing(2);
    bar->addWidget(m_backButton);
    bar->addWidget(m_forwardButton);
    bar->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(bar);
    layout->addWidget(m_browser);
    connect(m_backButton, &QToolButton::clicked, this, &HelpWindow::back);
    connect(m_forwardButton, &QToolButton::clicked, this, &HelpWindow::forward);
    auto* backKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), this);
    connect(backKey, &QShortcut::activated, this, &HelpWindow::back);
    auto* forwardKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Right), this);
    connect(forwardKey, &QShortcut::activated, this, &HelpWindow::forward);
    // The mouse's side buttons, wherever the pointer is in the window.
    m_browser->viewport()->installEventFilter(this);
    installEventFilter(this);
    updateButtons();
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
    m_browser->setAccessibleName(QStringLiteral("Besedilo pomoči"));
    resize(460, 420);
    guarded(this, [this] { restorePlace(); });
    m_trackPlacement = true;
}

// The stored rectangle is the window's inside, so that it comes back exactly
// whatever frame the window system draws; a place that does not fit the
// screen now stays stored while the window is shown where it fits.
void HelpWindow::restorePlace() {
    if (!hasOptions())
        return;
    const std::optional<StoredRect> stored = Options().GetHelpRect();
    if (!stored)
        return;
    const QRect place(QPoint(stored->left, stored->top),
                      QSize(stored->right - stored->left, stored->bottom - stored->top));
    if (place.width() < 100 || place.height() < 100)
        return;
    setGeometry(place);
    m_programPlace.holdUnlessFits(place, place);
}

void HelpWindow::storePlace() {
    if (!m_trackPlacement || !isVisible() || !hasOptions() || !m_programPlace.isUsers(geometry()))
        return;
    const QRect inside = geometry();
    Options().SetHelpRect(
        StoredRect{inside.x(), inside.y(), inside.x() + inside.width(), inside.y() + inside.height()});
}

void HelpWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    guarded(this, [this] { storePlace(); });
}

void HelpWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    guarded(this, [this] { storePlace(); });
}

void HelpWindow::showText(int context, const QString& markdown) {
    if (m_context != 0 && (context != m_context || markdown != m_markdown)) {
        m_back.push_back(current());
        m_forward.clear();
    }
    display(Visit{context, markdown, 0});
}

void HelpWindow::back() {
    travel(m_back, m_forward);
}

void HelpWindow::forward() {
    travel(m_forward, m_back);
}

void HelpWindow::travel(std::vector<Visit>& from, std::vector<Visit>& to) {
    if (from.empty())
        return;
    to.push_back(current());
    const Visit visit = from.back();
    from.pop_back();
    display(visit);
}

HelpWindow::Visit HelpWindow::current() const {
    return {m_context, m_markdown, m_browser->verticalScrollBar()->value()};
}

void HelpWindow::display(const Visit& visit) {
    m_context = visit.context;
    m_markdown = visit.markdown;
    // A little larger than the windows' small dialog font: this is text to read.
    QFont text = font();
    if (text.pointSizeF() > 0) {
        text.setPointSizeF(text.pointSizeF() + 1);
    }
    m_browser->document()->setDefaultFont(text);
    m_browser->document()->setMarkdown(visit.markdown, QTextDocument::MarkdownNoHTML);
    // A new topic is read from its title down; one gone back to where it was left.
    m_browser->moveCursor(QTextCursor::Start);
    m_browser->verticalScrollBar()->setValue(visit.scroll);
    updateButtons();
}

void HelpWindow::updateButtons() {
    m_backButton->setEnabled(!m_back.empty());
    m_forwardButton->setEnabled(!m_forward.empty());
}

void HelpWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Wholly on the screen, its title bar included, whatever the scale.
    if (!event->spontaneous())
        afterFrameKnown(this, [this] { guarded(this, [this] { m_programPlace.framed(this); }); });
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        if (button == Qt::BackButton) {
            back();
            return true;
        }
        if (button == Qt::ForwardButton) {
            forward();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString HelpWindow::plainText() const {
    return m_browser->toPlainText();
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (event->key() == Qt::Key_Back) {
        back();
        return;
    }
    if (event->key() == Qt::Key_Forward) {
        forward();
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
