#include "ui/help/teastereggform.h"

#include <QApplication>
#include <QBitmap>
#include <QFontMetrics>
#include <QPainter>
#include <QScreen>

#include "core/help/eastereggtext.h"
#include "qtcore/qtext.h"
#include "ui/widgets/programicon.h"
#include "ui/widgets/tengwarfont.h"

// The window's one paint area; it asks the window to draw.
class EasterEggPaintArea : public QWidget {
public:
    explicit EasterEggPaintArea(TEasterEggForm& form) : QWidget(&form), m_form(form) {
        setObjectName(QStringLiteral("PaintBox"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        m_form.paintArea(painter, rect());
    }

private:
    TEasterEggForm& m_form;
};

TEasterEggForm::TEasterEggForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      m_paintArea(new EasterEggPaintArea(*this)),
      m_path(kClientWidth, kClientHeight) {
    setWindowTitle(QStringLiteral("Easter Egg"));
    setWindowIcon(programIcon());
    setFixedSize(kClientWidth, kClientHeight);
    m_paintArea->setGeometry(0, 0, kClientWidth, kClientHeight);

    QFont tengwar = tengwarFont(32);
    QFont latin(QStringLiteral("Liberation Serif"));
    for (QFont* font : {&tengwar, &latin}) {
        font->setPointSize(32);
        font->setWeight(QFont::Normal);
    }
    m_fonts = {tengwar, latin};
    for (int i = 0; i < kAngleCount; ++i) {
        // A positive slope index turns the text up to the right, which on the
        // screen, whose y grows downwards, is a turn against the clock.
        m_rotations[i] = QTransform().rotate(-(i - WavePath::kMaxAngleIndex) * WavePath::kAngleStep);
    }

    layOutText();
    makeBackground();

    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &TEasterEggForm::TimerTimer);
    m_timer.start();
}

TEasterEggForm::~TEasterEggForm() = default;

void TEasterEggForm::layOutText() {
    std::vector<int> widths;
    m_groups.clear();
    for (const eastereggtext::Group& group : eastereggtext::kGroups) {
        const int face = static_cast<int>(group.face);
        const QString text = face == 0 ? fromFontCodes(group.text) : fromCp1250(group.text);
        const QFontMetrics metrics(m_fonts[face]);
        m_groups.push_back(
            {text, face, metrics.horizontalAdvance(text), metrics.height(), metrics.ascent(), 0});
        widths.push_back(m_groups.back().width);
    }
    const std::vector<int> centres = WaveText::centres(widths);
    for (std::size_t i = 0; i < m_groups.size(); ++i) {
        m_groups[i].centre = centres[i];
    }
    m_start = WaveText::startOffset(m_path.period());
    m_end = WaveText::endOffset(m_path.period(), WaveText::length(widths));
    m_offset = m_start;
}

void TEasterEggForm::makeBackground() {
    const int w = kClientWidth;
    const int h = kClientHeight;
    m_background = QPixmap(w, h);
    m_background.fill(palette().color(QPalette::Button));
    const QBitmap stamp = QBitmap::fromImage(QImage(QStringLiteral(":/BRINMOOR_")));
    if (stamp.isNull()) {
        return;
    }
    QPainter painter(&m_background);
    // A bitmap is drawn with its set (black) bits in the pen's colour only.
    painter.setPen(palette().color(QPalette::Dark));
    painter.setBackgroundMode(Qt::TransparentMode);
    const int bw = stamp.width();
    const int bh = stamp.height();
    for (int c = 0; c <= (w + 4 * bw) / (2 * bw); ++c) {
        for (int d = 0; d <= (h + 4 * bh) / (2 * bh); ++d) {
            painter.drawPixmap(2 * c * bw - bw / 2, 2 * d * bh - bh / 2, stamp);
            painter.drawPixmap((2 * c + 1) * bw - bw / 2, (2 * d + 1) * bh - bh / 2, stamp);
        }
    }
}

void TEasterEggForm::TimerTimer() {
    m_offset = WaveText::nextOffset(m_offset, m_start, m_end);
    m_paintArea->update();
}

void TEasterEggForm::paintArea(QPainter& painter, const QRect& area) {
    painter.drawPixmap(0, 0, m_background);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(palette().color(QPalette::ButtonText));
    int drawn = 0;
    for (const PlacedGroup& group : m_groups) {
        const WavePath::Place place = m_path.placeAt(group.centre + m_offset);
        const QTransform transform = m_rotations[place.angleIndex + WavePath::kMaxAngleIndex] *
                                     QTransform::fromTranslate(place.x, place.y);
        const QRectF box(-group.width / 2.0, -group.height / 2.0, group.width, group.height);
        if (!transform.mapRect(box).intersects(area)) {
            continue;
        }
        painter.setTransform(transform);
        painter.setFont(m_fonts[group.face]);
        painter.drawText(QPointF(box.left(), box.top() + group.ascent), group.text);
        ++drawn;
    }
    painter.resetTransform();
    m_groupsDrawn = drawn;
}

void TEasterEggForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        QApplication::beep();
        makeBackground();
        m_paintArea->update();
    }
    QDialog::changeEvent(event);
}

void TEasterEggForm::showEvent(QShowEvent* event) {
    // Centred on the screen, whatever the owner's place.
    if (const QScreen* screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
}
