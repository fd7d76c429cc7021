#include "screenglyphs.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "ui/widgets/tengwarfont.h"

namespace screenglyphs {

namespace {

// One application object for the whole run, as the rasteriser needs one.
class GuiApplication : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_font";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override {
        m_app.reset();
    }

private:
    std::unique_ptr<QGuiApplication> m_app;
};

[[maybe_unused]] const auto* const kApplication = ::testing::AddGlobalTestEnvironment(new GuiApplication);

// The bounds of the pixels of `image` covered by more than a quarter.
QRect inkedBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if (row[x] < 192) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

}  // namespace

QString fontPath() {
    return QStringLiteral(OSTREL_FONT_SOURCE_DIR "/resources/font/quenya.ttf");
}

bool addFont() {
    const int id = QFontDatabase::addApplicationFont(fontPath());
    return id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(QStringLiteral("Tengwar Quenya"));
}

QString codesOf(std::string_view codes) {
    return QString::fromLatin1(codes.data(), static_cast<qsizetype>(codes.size()));
}

QImage draw(const QString& codes, int pixels, qreal offset) {
    QImage image(pixels * (static_cast<int>(codes.size()) + 2), pixels * 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(tengwarFont(pixels));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(pixels / 2 + offset, pixels * 1.25), codes);
    painter.end();
    return image.convertToFormat(QImage::Format_Grayscale8);
}

QList<QGlyphRun> GlyphPictures::layout(const QString& codes, int pixels) {
    QTextLayout layout(codes, tengwarFont(pixels));
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    layout.endLayout();
    return textLine.glyphRuns();
}

std::vector<Ink> GlyphPictures::place(const QList<QGlyphRun>& runs, int pixels, qreal offset) {
    std::vector<Ink> inks;
    for (const QGlyphRun& run : runs) {
        for (qsizetype i = 0; i < run.glyphIndexes().size(); ++i) {
            const QPointF pen = run.positions()[i] + QPointF(offset, 0);
            const int whole = static_cast<int>(std::floor(pen.x()));
            const int sixtyFourths = static_cast<int>(std::lround((pen.x() - whole) * 64));
            const auto& [image, inked] = picture(run, i, pixels, sixtyFourths);
            const QPoint at(whole, qRound(pen.y()));
            inks.push_back({&image, at, inked.translated(at)});
        }
    }
    return inks;
}

const std::pair<QImage, QRect>& GlyphPictures::picture(const QGlyphRun& run, qsizetype i, int pixels,
                                                       int sixtyFourths) {
    const auto key = std::make_tuple(pixels, run.glyphIndexes()[i], sixtyFourths);
    auto found = m_cache.find(key);
    if (found == m_cache.end()) {
        // the pen at (2 em, 2 em) of a 5 by 4 em picture: marks reach back half an em
        QImage image(pixels * 5, pixels * 4, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QGlyphRun one = run;
        one.setGlyphIndexes({run.glyphIndexes()[i]});
        one.setPositions({QPointF(2 * pixels + sixtyFourths / 64.0, 2 * pixels)});
        QPainter painter(&image);
        painter.drawGlyphRun(QPointF(0, 0), one);
        painter.end();
        QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
        const QRect inked = inkedBounds(grey);
        found = m_cache.emplace(key, std::make_pair(std::move(grey), inked)).first;
    }
    return found->second;
}

bool touch(const Ink& a, const Ink& b) {
    const auto inked = [](const Ink& ink, int x, int y) { return ink.darkness(x, y) > 63; };
    const QRect area = a.inked.intersected(b.inked.adjusted(-1, -1, 1, 1));
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!inked(a, x, y)) {
                continue;
            }
            if (inked(b, x, y) || inked(b, x - 1, y) || inked(b, x + 1, y) || inked(b, x, y - 1) ||
                inked(b, x, y + 1)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace screenglyphs
