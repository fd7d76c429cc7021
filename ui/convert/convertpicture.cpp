#include "ui/convert/convertpicture.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "qtcore/qtext.h"
#include "ui/widgets/tengwarfont.h"

namespace {

// A font whose cell (ascent plus descent) is at most this many pixels high.
QFont fontWithCell(const QString& family, int cellHeight) {
    QFont font(family);
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferQuality);
    for (int pixels = cellHeight; pixels > 1; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() <= cellHeight) {
            break;
        }
    }
    return font;
}

// A multiply-divide rounded to the nearest integer.
int mulDiv(int n, int numerator, int denominator) {
    if (denominator == 0) {
        return 0;
    }
    return static_cast<int>(std::lround(static_cast<double>(n) * numerator / denominator));
}

}  // namespace

void ConvertPicture::prepare() {
    m_angle = 45;
    m_offset = 0;
    m_finishing = true;
    QFont tengwar = fontWithCell(QStringLiteral("Tengwar Quenya"), 32);
    setTengwarDrawing(tengwar);
    const QFont latin = fontWithCell(QStringLiteral("Times New Roman"), 32);
    const QString tengwarLine = fromFontCodes("`Bw1=2`Nex9`Mhzjt5`>q7*d1`?rKf");
    const QString latinLine = fromCp1250(
        "abc\xE8"
        "defghijklmnoprs\x9Atuvz\x9E");
    const QFontMetrics tm(tengwar);
    const QFontMetrics lm(latin);
    m_tengwarWidth = tm.horizontalAdvance(tengwarLine);
    m_tengwarHeight = tm.height();
    m_latinWidth = lm.horizontalAdvance(latinLine);
    m_latinHeight = lm.height();

    m_text =
        QImage(std::max(m_tengwarWidth, m_latinWidth), m_tengwarHeight + m_latinHeight, QImage::Format_RGB32);
    m_text.fill(Qt::white);
    QPainter painter(&m_text);
    painter.setPen(Qt::black);
    painter.setFont(tengwar);
    painter.drawText(0, tm.ascent(), tengwarLine);
    painter.setFont(latin);
    painter.drawText(0, m_tengwarHeight + lm.ascent(), latinLine);
    m_tinted.clear();
}

void ConvertPicture::release() {
    m_text = QImage();
    m_tinted.clear();
}

bool ConvertPicture::tick(int paintWidth) {
    const int period = paintWidth + m_latinWidth + 20;
    m_angle = (m_angle + 5) % 360;
    m_offset += 3;
    if (m_offset > period) {
        if (m_finishing) {
            m_offset = 0;
            return false;
        }
        m_offset %= period;
    }
    return true;
}

const QImage& ConvertPicture::tinted(QColor color) const {
    const QRgb key = color.rgb();
    auto found = m_tinted.find(key);
    if (found != m_tinted.end()) {
        return *found;
    }
    QImage image(m_text.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < m_text.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(m_text.constScanLine(y));
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < m_text.width(); ++x) {
            // Black paints the colour, white leaves the background.
            const int alpha = 255 - qGray(source[x]);
            target[x] = qPremultiply(qRgba(color.red(), color.green(), color.blue(), alpha));
        }
    }
    return *m_tinted.insert(key, image);
}

QImage ConvertPicture::render(QSize size, const QPalette& palette) const {
    const int w = size.width();
    const int h = size.height();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(palette.color(QPalette::Window));
    if (m_text.isNull() || w <= 0 || h <= 0) {
        return image;
    }
    QPainter painter(&image);

    // Where the two lines are.
    const int half = w / 2;
    const int consumed = half - (w - m_offset);
    int latinX = 0, latinWidth = 0, latinSource = 0, tengwarWidth = 0;
    if (m_offset <= half) {
        latinX = w - m_offset;
        latinWidth = m_offset;
    } else if (m_offset <= half + m_latinWidth) {
        latinX = half;
        latinSource = consumed;
        latinWidth = std::min(m_latinWidth - consumed, half);
        tengwarWidth = mulDiv(consumed, m_tengwarWidth, m_latinWidth);
    } else {
        tengwarWidth = mulDiv(consumed, m_tengwarWidth, m_latinWidth);
    }
    const int tengwarX = half - tengwarWidth;
    const int latinY = (h - m_latinHeight) / 2;
    const int tengwarY = (h - m_tengwarHeight) / 2;

    const auto drawLines = [&](const QImage& ink, int bandFrom, int bandTo) {
        painter.setClipRect(QRect(bandFrom, 0, bandTo - bandFrom, h));
        if (latinWidth > 0 && latinX < bandTo && latinX + latinWidth > bandFrom) {
            painter.drawImage(QPoint(latinX, latinY), ink,
                              QRect(latinSource, m_tengwarHeight, latinWidth, m_latinHeight));
        }
        if (tengwarWidth > 0 && tengwarX < bandTo && tengwarX + tengwarWidth > bandFrom) {
            painter.drawImage(QPoint(tengwarX, tengwarY), ink, QRect(0, 0, tengwarWidth, m_tengwarHeight));
        }
    };
    drawLines(tinted(palette.color(QPalette::ButtonText)), 10, w - 10);
    const QImage& faded = tinted(palette.color(QPalette::Dark));
    drawLines(faded, 0, 10);
    drawLines(faded, w - 10, w);
    painter.setClipping(false);

    // The wheel.
    const QPoint centre(w / 2, h / 2);
    int outer = std::min(w, h) / 2;
    int inner = outer * 4 / 5;
    outer -= outer % 2 == 0 ? 1 : 0;
    inner -= inner % 2 == 0 ? 1 : 0;
    painter.setPen(QPen(palette.color(QPalette::ButtonText), 1));
    painter.setBrush(QColor(255, 0, 0));
    painter.drawEllipse(centre, outer, outer);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 255));
    painter.drawEllipse(centre, inner, inner);

    // The cross, clipped to the inner circle.
    QPainterPath clip;
    clip.addEllipse(QPointF(centre), inner, inner);
    painter.setClipPath(clip);
    painter.setBrush(QColor(255, 0, 0));
    for (const int degrees : {m_angle, m_angle + 90}) {
        const double a = degrees * std::numbers::pi / 180.0;
        const double l1 = outer * std::cos(a);
        const double l2 = outer * std::sin(a);
        const double h1 = (outer - inner) / 2.0 * std::sin(a);
        const double h2 = (outer - inner) / 2.0 * std::cos(a);
        const auto corner = [&](double dx, double dy) {
            return QPoint(static_cast<int>(std::lround(centre.x() + dx)),
                          static_cast<int>(std::lround(centre.y() + dy)));
        };
        const QPolygon bar({corner(-l1 - h1, l2 - h2), corner(l1 - h1, -l2 - h2), corner(l1 + h1, -l2 + h2),
                            corner(-l1 + h1, l2 + h2)});
        painter.drawPolygon(bar);
    }
    return image;
}
