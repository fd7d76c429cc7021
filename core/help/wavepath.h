#pragma once

#include <vector>

// The wave along which the hidden window's text glides: x = A·t,
// y = H/2 − B·sin t, with A = W / 3π (so t from 0 to 3π spans the width) and
// B = 0.4 · H/2. Positions along it are whole pixels of arc length.
class WavePath {
public:
    // The number of equal steps of t over which one period is measured.
    static constexpr int kSteps = 1000;
    // Slopes are indices of 2.5-degree steps, -36 ... 36.
    static constexpr int kMaxAngleIndex = 36;
    static constexpr double kAngleStep = 2.5;

    WavePath(int width, int height);

    double horizontalScale() const { return m_a; }
    double amplitude() const { return m_b; }
    // The arc length P of one period (t from 0 to 2π), rounded.
    int period() const { return m_period; }
    // For every whole arc length 0 ... P: the parameter t and the slope index.
    const std::vector<double>& parameterByArc() const { return m_parameter; }
    const std::vector<int>& angleByArc() const { return m_angle; }

    struct Place {
        double x;
        double y;
        int angleIndex;
    };
    // The point and slope at arc position e (any integer, negative too).
    Place placeAt(int e) const;

private:
    int m_height;
    double m_a;
    double m_b;
    int m_period = 0;
    std::vector<double> m_parameter;
    std::vector<int> m_angle;
};

// The line of text along the path: group centres from their widths, the
// text's length, and the offsets between which it glides.
struct WaveText {
    // Centres in arc length; the first at half its width, each next one half
    // the two widths further (rounded toward zero).
    static std::vector<int> centres(const std::vector<int>& widths);
    static int length(const std::vector<int>& widths);
    // Where the glide starts (the text beyond the right edge) and the offset
    // below which it starts again (the text gone past the left edge).
    static int startOffset(int period);
    static int endOffset(int period, int textLength);
    // One 50 ms step: 5 pixels to the left, back to the start past the end.
    static int nextOffset(int offset, int start, int end);
};
