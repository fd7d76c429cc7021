#pragma once

// The font as the program's windows draw it, for the tests: Qt's rasteriser
// with the program's font settings (full hinting), glyph by glyph as Qt's
// glyph cache draws them, at fractional pen positions.

#include <QGlyphRun>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <map>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace screenglyphs {

QString fontPath();

// Adds the committed font to the application's fonts; false when it cannot.
bool addFont();

QString codesOf(std::string_view codes);

// Pen positions between pixels: glyphs in a line start anywhere within a pixel.
inline constexpr qreal kOffsets[] = {0.0, 0.25, 0.5, 0.75};

// A string as it shows at one size and pen position, in grey.
QImage draw(const QString& codes, int pixels, qreal offset);

// Pixels more than half covered; the picture's surroundings are blank.
inline bool dark(const QImage& image, int x, int y) {
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() && image.constScanLine(y)[x] < 128;
}

// One glyph's ink as Qt draws it with its pen at a fraction of a pixel,
// and the whole pixel of the line where that picture goes.
struct Ink {
    const QImage* image = nullptr;
    QPoint at;
    QRect inked;  // the pixels covered by more than a quarter lie within this, in the line

    // How dark the pixel (x, y) of the line is, 0 (white) to 255.
    int darkness(int x, int y) const {
        x -= at.x();
        y -= at.y();
        return x >= 0 && y >= 0 && x < image->width() && y < image->height() ? 255 - image->constScanLine(y)[x] : 0;
    }
};

// Glyph pictures are drawn once per size, glyph and pen fraction, as Qt's own
// glyph cache does, and placed at whole pixels along the line.
class GlyphPictures {
public:
    std::vector<Ink> line(const QString& codes, int pixels, qreal offset) {
        return place(layout(codes, pixels), pixels, offset);
    }

    // The glyphs of a line as the program lays it out, its contextual forms applied.
    static QList<QGlyphRun> layout(const QString& codes, int pixels);

    std::vector<Ink> place(const QList<QGlyphRun>& runs, int pixels, qreal offset);

private:
    const std::pair<QImage, QRect>& picture(const QGlyphRun& run, qsizetype i, int pixels, int sixtyFourths);

    std::map<std::tuple<int, quint32, int>, std::pair<QImage, QRect>> m_cache;
};

// Two inks touch when a pixel that one covers by more than a quarter is, or
// lies beside, a pixel that the other covers so: then no light pixel is left
// between them on screen.
bool touch(const Ink& a, const Ink& b);

}  // namespace screenglyphs
