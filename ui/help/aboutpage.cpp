#include "ui/help/aboutpage.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <cmath>
#include <numbers>

#include "core/help/accessphrase.h"
#include "qtcore/qtext.h"
#include "ui/help/contexthelp.h"
#include "ui/help/helpcontext.h"
#include "ui/help/helpengine.h"
#include "ui/help/teastereggform.h"
#include "ui/widgets/programicon.h"
#include "ui/widgets/tengwarfont.h"
#include "ui_aboutpage.h"

namespace {

constexpr double kAngle = EmblemBox::kAngleDegrees * std::numbers::pi / 180;

int rnd(double x) {
    return static_cast<int>(std::lround(x));
}

}  // namespace

EmblemBox::EmblemBox(QWidget* parent) : QWidget(parent) {}

QPoint EmblemBox::origin(int areaWidth, int w, int h) {
    const int turnedWidth = rnd(std::sin(kAngle) * h + std::cos(kAngle) * w);
    return {rnd(std::sin(kAngle) * h) + (areaWidth - turnedWidth) / 2, 0};
}

void EmblemBox::paintEvent(QPaintEvent*) {
    QFont font = tengwarFont(32);
    font.setWeight(QFont::Normal);
    const QString text = fromFontCodes(kEmblemCodes);
    const QFontMetrics metrics(font);
    const QPoint at = origin(width(), metrics.horizontalAdvance(text), metrics.height());

    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    const auto drawAt = [&](QPoint place, const QColor& colour) {
        painter.save();
        painter.translate(place);
        painter.rotate(kAngleDegrees);  // clockwise on the screen: the text runs down to the right
        painter.setPen(colour);
        painter.drawText(0, metrics.ascent(), text);
        painter.restore();
    };
    drawAt(at + QPoint(4, 4), palette().color(QPalette::Dark));
    drawAt(at, palette().color(QPalette::WindowText));
}

AboutIcon::AboutIcon(QWidget* parent) : QLabel(parent) {
    // Presses come here first; those that are no trigger go to the help.
    setMouseHelp(this, false);
}

bool AboutIcon::isTrigger(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if ((modifiers & all) != all) {
        return false;
    }
    return (button == Qt::LeftButton && buttons.testFlag(Qt::RightButton)) ||
           (button == Qt::RightButton && buttons.testFlag(Qt::LeftButton));
}

void AboutIcon::mousePressEvent(QMouseEvent* event) {
    const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    const QPoint global = event->globalPosition().toPoint();
    if (isTrigger(event->button(), event->buttons(), event->modifiers())) {
        event->accept();
        emit triggered(global);
        return;
    }
    // With all three keys held any other press does nothing; without them the
    // press is an ordinary one.
    const bool allThree = (event->modifiers() & all) == all;
    if (allThree || ctlMouseDown(this, event->button(), event->position().toPoint(), global)) {
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

AboutPage::AboutPage(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::AboutPage>()) {
    ui->setupUi(this);
    ui->Emblem->setAccessibleName(QStringLiteral("Napis v tengwarju"));
    setHelpContext(this, 9705);

    // 21 pixels of cell height, as the title was laid out for: about 19 of em.
    QFont title(QStringLiteral("Liberation Serif"));
    title.setPixelSize(19);
    ui->Title->setFont(title);
    ui->Image->setPixmap(programIcon().pixmap(32, 32));
    ui->LbRazlicicaSt->setText(QStringLiteral(OSTREL_VERSION));
    // The number reads "Različica: 1.0", a space after the colon whatever
    // the font's widths.
    ui->LbRazlicicaSt->move(ui->LbRazlicica->x() + ui->LbRazlicica->fontMetrics().horizontalAdvance(
                                                       ui->LbRazlicica->text() + QLatin1Char(' ')),
                            ui->LbRazlicicaSt->y());
    connect(ui->Image, &AboutIcon::triggered, this, &AboutPage::ImageMouseDown);
}

AboutPage::~AboutPage() = default;

void AboutPage::setAnswerText(const QString& answer) {
    m_answer = toCp1250(answer);
}

void AboutPage::ImageMouseDown(const QPoint& globalPos) {
    QApplication::beep();
    if (isAccessPhrase(m_answer)) {
        TEasterEggForm egg(window());
        egg.exec();
        return;
    }
    const int topic = kWrongPhraseTopics[QRandomGenerator::global()->bounded(2)];
    HelpEngine::instance().showPopup(topic, globalPos, this);
}
