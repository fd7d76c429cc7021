#include "core/help/wavepath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

int rnd(double x) {
    return static_cast<int>(std::lround(x));
}

}  // namespace

WavePath::WavePath(int width, int height) : m_height(height), m_a(width / (3 * kPi)), m_b(0.4 * height / 2) {
    // The period's length, summed over equal steps of t.
    const auto pointAt = [this](double t, double& x, double& y) {
        x = m_a * t;
        y = m_height / 2.0 - m_b * std::sin(t);
    };
    std::vector<double> sums(kSteps + 1, 0.0);
    double px = 0;
    double py = 0;
    pointAt(0, px, py);
    for (int j = 1; j <= kSteps; ++j) {
        double x = 0;
        double y = 0;
        pointAt(j * 2 * kPi / kSteps, x, y);
        sums[j] = sums[j - 1] + std::hypot(x - px, y - py);
        px = x;
        py = y;
    }
    m_period = rnd(sums[kSteps]);

    // Every whole arc length above the previous rounded sum and up to the
    // current one gets the step's t.
    m_parameter.assign(m_period + 1, 0.0);
    int filled = 0;
    for (int j = 1; j <= kSteps && filled < m_period; ++j) {
        const int upTo = std::min(rnd(sums[j]), m_period);
        for (int k = filled + 1; k <= upTo; ++k) {
            m_parameter[k] = j * 2 * kPi / kSteps;
        }
        filled = std::max(filled, upTo);
    }
    m_parameter[m_period] = 2 * kPi;

    m_angle.resize(m_period + 1);
    for (int k = 0; k <= m_period; ++k) {
        const double slope = std::atan(m_b * std::cos(m_parameter[k]) / m_a);
        m_angle[k] = rnd(slope * kMaxAngleIndex * 2 / kPi);
    }
}

WavePath::Place WavePath::placeAt(int e) const {
    if (m_period <= 0) {
        return {0, m_height / 2.0, 0};
    }
    // floor division, so that positions left of 0 fall into earlier periods
    int n = e / m_period;
    int g = e % m_period;
    if (g < 0) {
        g += m_period;
        --n;
    }
    const double t = 2 * kPi * n + m_parameter[g];
    return {m_a * t, m_height / 2.0 - m_b * std::sin(t), m_angle[g]};
}

std::vector<int> WaveText::centres(const std::vector<int>& widths) {
    std::vector<int> result;
    result.reserve(widths.size());
    for (std::size_t i = 0; i < widths.size(); ++i) {
        if (i == 0) {
            result.push_back(widths[0] / 2);
        } else {
            result.push_back(result.back() + (widths[i - 1] + widths[i]) / 2);
        }
    }
    return result;
}

int WaveText::length(const std::vector<int>& widths) {
    if (widths.empty()) {
        return 0;
    }
    return centres(widths).back() + widths.back() / 2;
}

int WaveText::startOffset(int period) {
    return rnd((3 * kPi + kPi / 2) / (2 * kPi) * period);
}

int WaveText::endOffset(int period, int textLength) {
    return rnd(-textLength - period / 4.0);
}

int WaveText::nextOffset(int offset, int start, int end) {
    offset -= 5;
    return offset < end ? start : offset;
}
