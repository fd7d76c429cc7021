#include "ui/zoom/tzoomform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "core/transcription/convertdata.h"
#include "core/zoom/wincolor.h"
#include "qtcore/qtext.h"
#include "ui/help/contexthelp.h"
#include "ui/help/helpcontext.h"
#include "ui/widgets/errorguard.h"
#include "ui/zoom/zoombox.h"
#include "ui_tzoomform.h"

namespace {

constexpr int kSettingsBarHeight = 24;
constexpr int kDefaultSide = 220;

QColor toQColor(std::int32_t color) {
    return QColor(wincolor::red(color), wincolor::green(color), wincolor::blue(color));
}

std::int32_t fromQColor(const QColor& color) {
    return wincolor::fromRgb(color.red(), color.green(), color.blue());
}

bool drawsSlovenianLetters(const QString& family) {
    QFont font(family);
    font.setStyleStrategy(QFont::NoFontMerging);
    if (QFontInfo(font).family().compare(family, Qt::CaseInsensitive) != 0) {
        return false;
    }
    const QFontMetrics metrics(font);
    for (const char16_t letter : {u'č', u'š', u'ž', u'Č', u'Š', u'Ž'}) {
        if (!metrics.inFont(QChar(letter))) {
            return false;
        }
    }
    return true;
}

bool isListed(const QString& family) {
    const QStringList& families = TZoomForm::answerFamilies();
    return std::any_of(families.begin(), families.end(), [&](const QString& listed) {
        return listed.compare(family, Qt::CaseInsensitive) == 0;
    });
}

void setBackground(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QIcon textColorIcon(const QColor& text) {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QApplication::palette().color(QPalette::ButtonText));
    painter.drawText(QRect(0, 0, 16, 12), Qt::AlignCenter, QStringLiteral("A"));
    painter.fillRect(QRect(1, 12, 14, 4), text);
    return QIcon(picture);
}

QIcon backColorIcon(const QColor& back) {
    QPixmap picture(16, 16);
    picture.fill(back);
    QPainter painter(&picture);
    painter.setPen(QApplication::palette().color(QPalette::ButtonText));
    painter.drawRect(0, 0, 15, 15);
    return QIcon(picture);
}

}  // namespace

TZoomForm::TZoomForm(TOptions& options, QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint),
      m_options(options),
      ui(std::make_unique<Ui::TZoomForm>()) {
    ui->setupUi(this);
    // Shown from the exercise page, it leaves the keyboard with the answer.
    setAttribute(Qt::WA_ShowWithoutActivating);

    setHelpContext(this, 1401);
    setHelpContext(ui->FontCombo, 1402);
    setHelpContext(ui->BtnBold, 1403);
    setHelpContext(ui->BtnItalic, 1404);
    setHelpContext(ui->BtnTextCol, 1405);
    setHelpContext(ui->BtnBackCol, 1406);
    setHelpContext(ui->SettingsPanel, 1407);
    setHelpContext(ui->SplitPanel, 1410);
    // The window's own surface does not answer a right press; the splitter
    // answers every press but the left one, which drags it.
    setMouseHelp(this, false);
    installContextHelp(this);

    ui->FontCombo->installEventFilter(this);
    ui->FontCombo->lineEdit()->installEventFilter(this);
    ui->SplitPanel->installEventFilter(this);

    connect(ui->FontCombo, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!m_filling) {
            guarded(this, [&] { FontComboChange(text); });
        }
    });
    connect(ui->BtnBold, &QToolButton::clicked, this, guardedSlot(this, [this] { BtnBoldClick(); }));
    connect(ui->BtnItalic, &QToolButton::clicked, this, guardedSlot(this, [this] { BtnItalicClick(); }));
    connect(ui->BtnTextCol, &QToolButton::clicked, this, guardedSlot(this, [this] { BtnTextColClick(); }));
    connect(ui->BtnBackCol, &QToolButton::clicked, this, guardedSlot(this, [this] { BtnBackColClick(); }));
    connect(ui->PaintBox, &ZoomBox::leftClicked, this, &TZoomForm::focusExerciseRequested);
    connect(ui->PaintBox2, &ZoomBox::leftClicked, this, &TZoomForm::focusExerciseRequested);
    connect(ui->PaintBox, &ZoomBox::keyTyped, this, &TZoomForm::keyForAnswer);
    connect(ui->PaintBox2, &ZoomBox::keyTyped, this, &TZoomForm::keyForAnswer);
    ui->PaintBox->setAccessibleName(QStringLiteral("Primer v tengwarju"));
    ui->PaintBox2->setAccessibleName(QStringLiteral("Vaš odgovor"));
    ui->FontCombo->setAccessibleName(QStringLiteral("Pisava za odgovor"));
    ui->BtnBold->setAccessibleName(QStringLiteral("Krepka pisava"));
    ui->BtnItalic->setAccessibleName(QStringLiteral("Poševna pisava"));
    ui->BtnTextCol->setAccessibleName(QStringLiteral("Barva besedila"));
    ui->BtnBackCol->setAccessibleName(QStringLiteral("Barva ozadja"));
    // When the window becomes active the keyboard goes to a box, not to the
    // font box: the font box takes keys only when clicked into or tabbed to.
    ui->PaintBox->setFocus();

    guarded(this, [this] {
        FormCreate();
        restorePlace();
    });
    m_trackPlacement = true;
    if (owner != nullptr) {
        QCoreApplication::postEvent(owner, new QEvent(WM_ZOOMCREATED));
    }
}

TZoomForm::~TZoomForm() = default;

ZoomBox* TZoomForm::itemBox() const {
    return ui->PaintBox;
}

ZoomBox* TZoomForm::answerBox() const {
    return ui->PaintBox2;
}

const QStringList& TZoomForm::answerFamilies() {
    static const QStringList families = [] {
        QStringList found;
        for (const QString& family : QFontDatabase::families()) {
            if (!QFontDatabase::isPrivateFamily(family) && QFontDatabase::isSmoothlyScalable(family) &&
                drawsSlovenianLetters(family)) {
                found.append(family);
            }
        }
        std::sort(found.begin(), found.end(),
                  [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        return found;
    }();
    return families;
}

QRect TZoomForm::defaultPlace(QSize screen) {
    return {screen.width() / 10, screen.height() / 50, kDefaultSide, kDefaultSide};
}

void TZoomForm::FormCreate() {
    applyColors();
    ui->BtnBold->setChecked(m_options.GetFlag(flag::ZoomBold));
    ui->BtnItalic->setChecked(m_options.GetFlag(flag::ZoomItalic));
    QFont bold = ui->BtnBold->font();
    bold.setBold(true);
    ui->BtnBold->setFont(bold);
    QFont italic = ui->BtnItalic->font();
    italic.setItalic(true);
    ui->BtnItalic->setFont(italic);
    layOutSettingsBar();
    fillFontCombo();
}

void TZoomForm::fillFontCombo() {
    m_filling = true;
    ui->FontCombo->addItems(answerFamilies());
    ui->FontCombo->setEditText(fromCp1250(m_options.GetAnswerFont()));
    m_filling = false;
}

// Colours of the boxes and the display area; the settings bar and the split
// bar keep the window's own.
void TZoomForm::applyColors() {
    const QColor text = toQColor(m_options.GetTextColor());
    const QColor back = toQColor(m_options.GetBackColor());
    for (QWidget* area :
         {ui->BigBrother, static_cast<QWidget*>(ui->Panel1), static_cast<QWidget*>(ui->Panel2)}) {
        setBackground(area, back);
    }
    setBackground(ui->SplitPanel, QApplication::palette().color(QPalette::Button));
    ui->BtnTextCol->setIcon(textColorIcon(text));
    ui->BtnBackCol->setIcon(backColorIcon(back));

    ZoomBoxLook item;
    item.family = QStringLiteral("Tengwar Quenya");
    item.fontCodes = true;
    item.text = text;
    item.back = back;
    ui->PaintBox->setLook(item);
    updateAnswerLook();
}

void TZoomForm::updateAnswerLook() {
    ZoomBoxLook answer = ui->PaintBox->look();
    answer.family = fromCp1250(m_options.GetAnswerFont());
    answer.fontCodes = false;
    answer.bold = m_options.GetFlag(flag::ZoomBold);
    answer.italic = m_options.GetFlag(flag::ZoomItalic);
    ui->PaintBox2->setLook(answer);
}

void TZoomForm::showItem(const QString& tengwar) {
    ui->PaintBox->setText(tengwar);
}

void TZoomForm::showAnswer(const QString& answer) {
    ui->PaintBox2->setText(answer);
}

// A typed name takes effect only once it names a listed family; leaving the
// box or Enter takes it as it is.
void TZoomForm::FontComboChange(const QString& text) {
    if (isListed(text)) {
        m_options.SetAnswerFont(toCp1250(text));
        updateAnswerLook();
    }
}

void TZoomForm::FontComboExit() {
    m_options.SetAnswerFont(toCp1250(ui->FontCombo->currentText()));
    updateAnswerLook();
}

void TZoomForm::FontComboEscape() {
    m_filling = true;
    ui->FontCombo->setEditText(fromCp1250(m_options.GetAnswerFont()));
    m_filling = false;
}

void TZoomForm::BtnBoldClick() {
    m_options.SetFlag(flag::ZoomBold, ui->BtnBold->isChecked());
    updateAnswerLook();
}

void TZoomForm::BtnItalicClick() {
    m_options.SetFlag(flag::ZoomItalic, ui->BtnItalic->isChecked());
    updateAnswerLook();
}

void TZoomForm::BtnTextColClick() {
    const std::int32_t chosen = chooseColor(m_options.GetTextColor());
    if (chosen >= 0) {
        m_options.SetTextColor(chosen);
        applyColors();
    }
}

void TZoomForm::BtnBackColClick() {
    const std::int32_t chosen = chooseColor(m_options.GetBackColor());
    if (chosen >= 0) {
        m_options.SetBackColor(chosen);
        applyColors();
    }
}

std::int32_t TZoomForm::chooseColor(std::int32_t current) {
    StringList stored;
    m_options.LoadCustomColors(stored);
    wincolor::CustomColors custom = wincolor::parseCustomColors(stored);
    for (int slot = 0; slot < static_cast<int>(custom.size()); ++slot) {
        QColorDialog::setCustomColor(slot, toQColor(custom[slot]));
    }
    QColorDialog dialog(toQColor(current), this);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setWindowTitle(QStringLiteral("Barva"));
    // Qt's translation leaves the two buttons in English.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("V redu"));
        buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Prekliči"));
    }
    const bool accepted = dialog.exec() == QDialog::Accepted;
    for (int slot = 0; slot < static_cast<int>(custom.size()); ++slot) {
        custom[slot] = fromQColor(QColorDialog::customColor(slot));
    }
    m_options.SaveCustomColors(wincolor::formatCustomColors(custom));
    return accepted ? fromQColor(dialog.selectedColor()) : -1;
}

bool TZoomForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->SplitPanel) {
        bool handled = false;
        guarded(this, [&] { handled = SplitPanelMouse(event); });
        return handled;
    }
    if (watched == ui->FontCombo || watched == ui->FontCombo->lineEdit()) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                guarded(this, [this] { FontComboExit(); });
                return true;
            }
            if (key == Qt::Key_Escape) {
                guarded(this, [this] { FontComboEscape(); });
                return true;
            }
        } else if (event->type() == QEvent::FocusOut && watched == ui->FontCombo &&
                   static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
            guarded(this, [this] { FontComboExit(); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

// The left button drags the split bar; other buttons go on to context help.
bool TZoomForm::SplitPanelMouse(QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease) {
        return false;
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    const int y = static_cast<int>(mouse->globalPosition().y());
    if (type == QEvent::MouseButtonPress) {
        if (mouse->button() != Qt::LeftButton) {
            return false;
        }
        if (!m_drag.dragging()) {
            m_drag.begin(y, ui->Panel1->height(), ui->Panel2->height());
        }
        return true;
    }
    if (!m_drag.dragging()) {
        return false;
    }
    if (type == QEvent::MouseButtonRelease && mouse->button() != Qt::LeftButton) {
        return false;
    }
    const zoomsplit::Shares shares = m_drag.moveTo(y);
    if (type == QEvent::MouseButtonRelease) {
        m_drag.end();
    }
    m_options.SetZoomA(shares.a);
    m_options.SetZoomB(shares.b);
    if (shares.b != ui->Panel2->height()) {
        layOutDisplayArea();
    }
    return true;
}

void TZoomForm::layOutSettingsBar() {
    ui->SettingsPanel->setGeometry(0, 0, width(), kSettingsBarHeight);
    const zoomsplit::SettingsBar bar = zoomsplit::layOutSettingsBar(kSettingsBarHeight, width());
    const auto place = [](QWidget* control, const zoomsplit::Rect& rect) {
        control->setGeometry(rect.left, rect.top, std::max(rect.width, 0), rect.height);
    };
    place(ui->FontCombo, bar.fontBox);
    place(ui->BtnBold, bar.bold);
    place(ui->BtnItalic, bar.italic);
    place(ui->BtnTextCol, bar.textColor);
    place(ui->BtnBackCol, bar.backColor);
}

void TZoomForm::layOutDisplayArea() {
    const int areaHeight = std::max(height() - kSettingsBarHeight, 0);
    ui->BigBrother->setGeometry(0, kSettingsBarHeight, width(), areaHeight);
    const zoomsplit::Boxes boxes = zoomsplit::layOut(areaHeight, m_options.GetZoomA(), m_options.GetZoomB());
    ui->Panel1->setGeometry(0, boxes.upperTop, width(), boxes.upperHeight);
    ui->SplitPanel->setGeometry(0, boxes.barTop, width(), zoomsplit::kSplitBarHeight);
    ui->Panel2->setGeometry(0, boxes.lowerTop, width(), boxes.lowerHeight);
    // The boxes fill their panels inside the one-pixel border; a panel too
    // small for its border gets an empty box.
    for (QFrame* panel : {ui->Panel1, ui->Panel2}) {
        const QRect inside = panel->contentsRect();
        panel->findChild<ZoomBox*>()->setGeometry(inside.x(), inside.y(), std::max(inside.width(), 0),
                                                  std::max(inside.height(), 0));
    }
}

// The stored rectangle is the window's inside in screen coordinates, so that
// it comes back exactly whatever frame the window system draws around it. The
// default place is the outer frame's, so the title bar starts on the screen.
// A stored place that does not fit the screen now (another screen or scale)
// stays stored: the window is shown where it fits and gets it back later.
void TZoomForm::restorePlace() {
    const StoredRect stored = m_options.GetZoomRect();
    const QRect place(QPoint(stored.left, stored.top),
                      QSize(stored.right - stored.left, stored.bottom - stored.top));
    QSize screen(1024, 768);
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        screen = primary->geometry().size();
    }
    const QRect byDefault = defaultPlace(screen);
    if (place.isEmpty() || place == byDefault) {
        resize(byDefault.size());
        move(byDefault.topLeft());
        return;
    }
    setGeometry(place);
    m_programPlace.holdUnlessFits(place, place);
}

void TZoomForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    afterFrameKnown(this, [this] {
        guarded(this, [this] { m_programPlace.framed(this); });
    });
}

void TZoomForm::SaveWindowPlace() {
    if (!m_trackPlacement || !m_programPlace.isUsers(geometry())) {
        return;
    }
    const QRect inside = geometry();
    m_options.SetZoomRect(
        StoredRect{inside.x(), inside.y(), inside.x() + inside.width(), inside.y() + inside.height()});
}

void TZoomForm::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    // When the program ends, every window is closed after the owner has gone:
    // that is no choice of the user's, and the window comes back next time.
    if (parentWidget() == nullptr || parentWidget()->isVisible()) {
        emit closed();
    }
}

void TZoomForm::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    guarded(this, [this] { SaveWindowPlace(); });
}

void TZoomForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOutSettingsBar();
    guarded(this, [this] {
        layOutDisplayArea();
        SaveWindowPlace();
    });
}
