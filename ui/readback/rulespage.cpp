#include "ui/readback/rulespage.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <exception>

#include "core/exercise/trainersession.h"
#include "core/settings/options.h"
#include "core/transcription/alphabet.h"
#include "core/transcription/convertdata.h"
#include "core/transcription/engine.h"
#include "core/transcription/settingssource.h"
#include "qtcore/qtext.h"
#include "ui/help/contexthelp.h"
#include "ui/help/helpcontext.h"
#include "ui/widgets/codepageinput.h"
#include "ui/widgets/errorguard.h"
#include "ui/widgets/tengwarfont.h"
#include "ui/widgets/windowfont.h"
#include "ui_rulespage.h"

namespace {

// QLineEdit's own default: no limit.
constexpr int kNoLimit = 32767;


// Draws the pixels of an axis-parallel polyline from its first point through
// the second to the third, the last point left out (as a pen moved by
// line-to steps leaves it).
void polyline(QPainter& painter, const QColor& color, QPoint a, QPoint b, QPoint c) {
    auto segment = [&](QPoint from, QPoint to) {
        const int dx = (to.x() > from.x()) - (to.x() < from.x());
        const int dy = (to.y() > from.y()) - (to.y() < from.y());
        for (QPoint p = from; p != to; p += QPoint(dx, dy)) {
            painter.fillRect(QRect(p, QSize(1, 1)), color);
        }
    };
    segment(a, b);
    segment(b, c);
}

}  // namespace

RulesPage::RulesPage(TrainerSession& session, QWidget* parent)
    : QWidget(parent), m_session(session), ui(std::make_unique<Ui::RulesPage>()) {
    ui->setupUi(this);
    m_entries = {ui->EdTrans1, ui->EdTrans2, ui->EdTrans3, ui->EdTrans4, ui->EdTrans5, ui->EdTrans6};

    QFont bold = ui->LbNaslov->font();
    bold.setBold(true);
    ui->LbNaslov->setFont(bold);

    setHelpContext(this, 9704);
    setHelpContext(ui->PnlVhod, 1301);
    setHelpContext(ui->PnlTengwar, 1302);
    setHelpContext(ui->PnlPomen, 1303);
    setHelpContext(ui->PnlPrepis, 1304);
    setHelpContext(ui->DefaultTransBtn, 1305);
    setHelpContext(ui->ConfirmTransBtn, 1306);
    setHelpContext(ui->CancelTransBtn, 1307);
    setHelpContext(ui->TransScroll, 1308);
    setHelpContext(ui->CbAutoSavePrepis, 1310);
    // The entry boxes and the check box keep the right button for themselves;
    // the scroll bar's right press shows its topic, not its own menu.
    setMouseHelp(ui->CbAutoSavePrepis, false);
    setMouseHelp(ui->TransScroll, true);

    // Drawn, not text: a screen reader says what each row is.
    ui->TransVhodBox->setAccessibleName(QStringLiteral("Črke"));
    ui->TransTengwarBox->setAccessibleName(QStringLiteral("Črke v tengwarju"));
    ui->TransPomenBox->setAccessibleName(QStringLiteral("Pomen črk"));
    for (QWidget* box : {ui->TransVhodBox, ui->TransTengwarBox, ui->TransPomenBox}) {
        box->setAttribute(Qt::WA_OpaquePaintEvent);
        box->installEventFilter(this);
    }
    for (int k = 1; k <= kColumns; ++k) {
        entry(k)->installEventFilter(this);
        acceptCodePageOnly(entry(k));
        connect(entry(k), &QLineEdit::textChanged, this, [this, k] { EdTransChange(k); });
    }

    connect(ui->TransScroll, &QScrollBar::valueChanged, this, [this] { RefreshRulesPage(); });
    connect(ui->ConfirmTransBtn, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { ConfirmTransBtnClick(); }); });
    connect(ui->CancelTransBtn, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { CancelTransBtnClick(); }); });
    connect(ui->DefaultTransBtn, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { DefaultTransBtnClick(); }); });
    connect(ui->CbAutoSavePrepis, &QCheckBox::clicked, this,
            [this] { guarded(this, [this] { CbAutoSavePrepisClick(); }); });
}

RulesPage::~RulesPage() = default;

void RulesPage::setUpRules() {
    m_letters = std::string(alphabet::ruleLetters());
    const int last = std::max(1, static_cast<int>(m_letters.size()) - (kColumns - 1));
    {
        const QSignalBlocker quiet(ui->TransScroll);
        ui->TransScroll->setRange(1, last);
        ui->TransScroll->setSingleStep(1);
        ui->TransScroll->setPageStep(kColumns);
        ui->TransScroll->setValue(1);
    }
    RefreshRulesPage();
}

void RulesPage::setAutoSave(bool on) {
    ui->CbAutoSavePrepis->setChecked(on);
}

int RulesPage::position() const {
    return ui->TransScroll->value();
}

char RulesPage::columnLetter(int k) const {
    const std::size_t index = static_cast<std::size_t>(position() + k - 2);
    return index < m_letters.size() ? m_letters[index] : '\0';
}

std::string RulesPage::cellText(Row row, int k) const {
    const char letter = columnLetter(k);
    if (letter == '\0') {
        return {};
    }
    switch (row) {
        case Row::Vhod:
            return std::string(1, letter);
        case Row::Tengwar: {
            // The current switches, read from the store, so that the row
            // follows what the "Pretvorba" page has set.
            TConvertData settings;
            return LatinToTengwar(std::string_view(&letter, 1), false, settings, false);
        }
        case Row::Pomen:
            return alphabet::meaning(letter);
    }
    return {};
}

void RulesPage::RefreshRulesPage() {
    ui->TransVhodBox->update();
    ui->TransPomenBox->update();
    ui->TransTengwarBox->update();
    const bool changed = m_session.rulesChanged();
    for (int k = 1; k <= kColumns; ++k) {
        const char letter = columnLetter(k);
        const std::string& reading = m_session.editRules()[static_cast<unsigned char>(letter)];
        QLineEdit* box = entry(k);
        const QString text = fromCp1250(reading);
        // A stored reading longer than the limit is shown whole: the limit is
        // lifted while the text is put in, so that nothing is cut.
        box->setMaxLength(kNoLimit);
        box->setText(text);
        box->setMaxLength(std::max<int>(kMaxReading, static_cast<int>(text.size())));
        box->setAccessibleName(QStringLiteral("Prepis črke „%1“").arg(fromCp1250(std::string(1, letter))));
    }
    m_session.setRulesChanged(changed);
}

void RulesPage::EdTransChange(int k) {
    const char letter = columnLetter(k);
    if (letter == '\0') {
        return;  // not set up yet
    }
    m_session.setRulesChanged(true);
    QLineEdit* box = entry(k);
    m_session.editRules()[static_cast<unsigned char>(letter)] = toCp1250(box->text());
    // A reading above the limit may be shortened, never lengthened again.
    box->setMaxLength(std::max<int>(kMaxReading, static_cast<int>(box->text().size())));
}

bool RulesPage::EdTransKeyDown(int k, const QKeyEvent* event) {
    const bool left = event->key() == Qt::Key_Left;
    const bool right = event->key() == Qt::Key_Right;
    QLineEdit* box = entry(k);
    if ((!left && !right) || event->modifiers().testFlag(Qt::ShiftModifier) || box->hasSelectedText()) {
        return false;
    }
    if (left && box->cursorPosition() == 0) {
        if (k == 1) {
            if (position() > ui->TransScroll->minimum()) {
                ui->TransScroll->setValue(position() - 1);
                box->setCursorPosition(static_cast<int>(box->text().size()));
            }
        } else {
            QLineEdit* previous = entry(k - 1);
            previous->setFocus(Qt::OtherFocusReason);
            previous->setCursorPosition(static_cast<int>(previous->text().size()));
        }
        return true;
    }
    if (right && box->cursorPosition() == box->text().size()) {
        if (k == kColumns) {
            if (position() < ui->TransScroll->maximum()) {
                ui->TransScroll->setValue(position() + 1);
                box->setCursorPosition(0);
            }
        } else {
            QLineEdit* next = entry(k + 1);
            next->setFocus(Qt::OtherFocusReason);
            next->setCursorPosition(0);
        }
        return true;
    }
    return false;
}

// The loads go into scratch tables first: when one of them fails, the edits,
// the boxes and RulesChanged stay together as they were.
void RulesPage::ConfirmTransBtnClick() {
    TOptions& options = Options();
    options.SaveReadBackRules(m_session.editRules());
    ReadBackRules active;
    options.LoadReadBackRules(active);
    m_session.activeRules() = std::move(active);
    m_session.setRulesChanged(false);
    emit activeRulesChanged();
}

// Both tables are loaded before either is replaced, so a failing store keeps the edits.
void RulesPage::reloadStoredRules() {
    TOptions& options = Options();
    ReadBackRules edit;
    ReadBackRules active;
    options.LoadReadBackRules(edit);
    options.LoadReadBackRules(active);
    m_session.editRules() = std::move(edit);
    m_session.activeRules() = std::move(active);
    m_session.setRulesChanged(false);
}

void RulesPage::CancelTransBtnClick() {
    reloadStoredRules();
    RefreshRulesPage();
}

void RulesPage::DefaultTransBtnClick() {
    Options().WriteDefaultReadBack();
    reloadStoredRules();
    emit activeRulesChanged();
    RefreshRulesPage();
}

void RulesPage::CbAutoSavePrepisClick() {
    Options().SetFlag(flag::AutoSaveRules, ui->CbAutoSavePrepis->isChecked());
}

bool RulesPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint) {
        if (watched == ui->TransVhodBox) {
            paintRow(ui->TransVhodBox, Row::Vhod);
            return true;
        }
        if (watched == ui->TransTengwarBox) {
            paintRow(ui->TransTengwarBox, Row::Tengwar);
            return true;
        }
        if (watched == ui->TransPomenBox) {
            paintRow(ui->TransPomenBox, Row::Pomen);
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        for (int k = 1; k <= kColumns; ++k) {
            if (watched == entry(k)) {
                return EdTransKeyDown(k, static_cast<QKeyEvent*>(event));
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

// One routine for the three rows: the row is drawn off screen and copied to
// the box in one step.
void RulesPage::paintRow(QWidget* box, Row row) {
    const QPalette& colors = palette();
    const qreal ratio = box->devicePixelRatioF();
    QPixmap picture(box->size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(colors.color(QPalette::Button));

    // The texts first: the Tengwar row reads the switches from the store, which
    // may fail; the row is then drawn with empty cells and the error shown once.
    std::array<QString, kColumns> texts;
    try {
        for (int k = 1; k <= kColumns; ++k) {
            const std::string text = cellText(row, k);
            texts[static_cast<std::size_t>(k - 1)] =
                row == Row::Tengwar ? fromFontCodes(text) : fromCp1250(text);
        }
        if (row == Row::Tengwar) {
            m_paintError.clear();
        }
    } catch (const std::exception& e) {
        texts = {};
        const QString message = errorguard::exceptionText(e.what());
        if (message != m_paintError) {
            m_paintError = message;
            // Not from inside the paint: the box would paint again beneath it.
            QTimer::singleShot(0, this, [this, message] { errorguard::showError(this, message); });
        }
    }

    QPainter painter(&picture);
    // The Tengwar row: 20 points at the 96 dots per inch on which the page's pixel layout is drawn.
    painter.setFont(row == Row::Tengwar ? tengwarFont(27) : windowFont());
    const int origin = entry(1)->x();
    const int height = box->height();
    for (int k = 1; k <= kColumns; ++k) {
        const QLineEdit* under = entry(k);
        const int l = under->x() - origin;
        const int r = under->x() + under->width() - origin;
        const int t = 0;
        const int b = height;
        polyline(painter, colors.color(QPalette::Dark), {r - 2, t}, {l, t}, {l, b - 1});
        polyline(painter, colors.color(QPalette::Light), {l, b - 1}, {r - 1, b - 1}, {r - 1, t - 1});
        polyline(painter, colors.color(QPalette::Shadow), {r - 3, t + 1}, {l + 1, t + 1}, {l + 1, b - 2});
        polyline(painter, colors.color(QPalette::Button), {l + 1, b - 2}, {r - 2, b - 2}, {r - 2, t});
        drawCell(painter, QRect(QPoint(l + 2, t + 2), QPoint(r - 3, b - 3)),
                 texts[static_cast<std::size_t>(k - 1)]);
    }
    painter.end();

    QPainter screen(box);
    screen.drawPixmap(0, 0, picture);
}

// A text centred in its cell on the window colour; a text with a carriage
// return as two lines, the first above the middle and the second below it.
void RulesPage::drawCell(QPainter& painter, const QRect& cell, const QString& text) const {
    const QPalette& colors = palette();
    const QFontMetrics metrics(painter.font());
    const int l = cell.left();
    const int t = cell.top();
    const int width = cell.width();
    const int height = cell.height();
    painter.save();
    painter.setClipRect(cell);
    painter.fillRect(cell, colors.color(QPalette::Base));
    painter.setPen(colors.color(QPalette::Text));
    const auto line = [&](const QString& s, int x, int y) {
        painter.drawText(QPoint(x, y + metrics.ascent()), s);
    };
    const qsizetype cr = text.indexOf(QLatin1Char('\r'));
    if (cr >= 0) {
        const QString first = text.left(cr);
        QString second = text.mid(cr + 1);
        if (second.startsWith(QLatin1Char('\n'))) {
            second.remove(0, 1);
        }
        const int h1 = metrics.height();
        line(first, l + (width - metrics.horizontalAdvance(first)) / 2, t + (height - 2 * h1) / 2);
        line(second, l + (width - metrics.horizontalAdvance(second)) / 2, t + height / 2);
    } else {
        line(text, l + (width - metrics.horizontalAdvance(text)) / 2, t + (height - metrics.height()) / 2);
    }
    painter.restore();
}
