#pragma once

#include <QColor>
#include <QImage>
#include <QMap>
#include <QSize>

class QPalette;

// The moving picture of a running conversion: a wheel with a turning cross,
// and the Latin alphabet running in from the right and vanishing at the
// middle while a line of Tengwar grows out of it to the left. Drawn off
// screen and reaching the screen in one copy.
class ConvertPicture {
public:
    static constexpr int kTickMs = 50;

    // Renders the two lines of text once and resets the motion.
    void prepare();
    void release();

    // One timer step for a paint area of the given width. Returns false when
    // the last pass has ended: the picture is then to be hidden and the
    // timer stopped.
    bool tick(int paintWidth);
    // The next pass is the last (a conversion has ended), or not.
    void setFinishing(bool finishing) { m_finishing = finishing; }
    bool finishing() const { return m_finishing; }

    // The whole picture for a paint area of this size and palette.
    QImage render(QSize size, const QPalette& palette) const;

    int angle() const { return m_angle; }
    int offset() const { return m_offset; }
    int latinWidth() const { return m_latinWidth; }

private:
    // The text picture with its black turned into the colour (and its white
    // into transparency), kept per colour.
    const QImage& tinted(QColor color) const;

    int m_angle = 45;
    int m_offset = 0;
    bool m_finishing = true;
    QImage m_text;
    int m_tengwarWidth = 0;
    int m_tengwarHeight = 0;
    int m_latinWidth = 0;
    int m_latinHeight = 0;
    mutable QMap<QRgb, QImage> m_tinted;
};
