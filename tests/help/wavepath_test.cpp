#include "core/help/wavepath.h"

#include <cmath>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include "core/help/accessphrase.h"

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

TEST(WavePath, TablesRunFromZeroToTwoPiMonotoneWithSlopesInRange) {
    const std::pair<int, int> sizes[] = {{427, 247}, {100, 40}, {1200, 300}, {30, 400}};
    for (const auto& [w, h] : sizes) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        const WavePath path(w, h);
        const int p = path.period();
        const auto& t = path.parameterByArc();
        const auto& angle = path.angleByArc();
        ASSERT_EQ(t.size(), std::size_t(p + 1));
        ASSERT_EQ(angle.size(), std::size_t(p + 1));
        EXPECT_EQ(t[0], 0.0);
        EXPECT_DOUBLE_EQ(t[p], kTwoPi);
        for (int k = 1; k <= p; ++k) {
            ASSERT_GE(t[k], t[k - 1]) << k;
            ASSERT_GE(angle[k], -36) << k;
            ASSERT_LE(angle[k], 36) << k;
        }
        // The period is at least the straight width of one period and at most
        // that plus four amplitudes.
        const double straight = path.horizontalScale() * kTwoPi;
        EXPECT_GE(p, std::floor(straight));
        EXPECT_LE(p, std::ceil(straight + 4 * path.amplitude()));
        // The slope at the start is the steepest upward one of the wave.
        EXPECT_EQ(angle[0], int(std::lround(std::atan(path.amplitude() / path.horizontalScale()) * 72 /
                                            std::numbers::pi)));
    }
}

TEST(WavePath, PlacesRepeatEveryPeriodAndFollowTheCurve) {
    const WavePath path(427, 247);
    const int p = path.period();
    for (const int e : {-3 * p - 7, -1, 0, 5, p / 3, p, 2 * p + 11}) {
        const WavePath::Place here = path.placeAt(e);
        const WavePath::Place next = path.placeAt(e + p);
        EXPECT_NEAR(next.x - here.x, path.horizontalScale() * kTwoPi, 1e-9) << e;
        EXPECT_NEAR(next.y, here.y, 1e-9) << e;
        EXPECT_EQ(next.angleIndex, here.angleIndex) << e;
        EXPECT_NEAR(here.y, 247 / 2.0 - path.amplitude() * std::sin(here.x / path.horizontalScale()), 1e-9);
    }
}

TEST(WaveText, CentresLengthAndTheGlideThatStartsAgain) {
    const std::vector<int> widths{10, 7, 20, 3};
    EXPECT_EQ(WaveText::centres(widths), (std::vector<int>{5, 13, 26, 37}));
    EXPECT_EQ(WaveText::length(widths), 38);
    EXPECT_EQ(WaveText::startOffset(400), 700);
    EXPECT_EQ(WaveText::endOffset(400, 38), -138);
    int offset = WaveText::startOffset(400);
    int steps = 0;
    do {
        offset = WaveText::nextOffset(offset, 700, -138);
        ++steps;
    } while (offset != 700 && steps < 1000);
    EXPECT_EQ(steps, (700 + 138) / 5 + 1);
}

TEST(AccessPhrase, AcceptedOnlyWhenEveryByteAndTheLengthMatch) {
    const std::string phrase = "Ostrel-bere-tengwar-in-jih-prepise-v-latinico!!";
    ASSERT_EQ(phrase.size(), std::size_t(kAccessPhraseLength));
    EXPECT_TRUE(isAccessPhrase(phrase));
    std::string oneOff = phrase;
    oneOff[20] ^= 1;
    const std::string refused[] = {"", phrase.substr(0, 46), phrase + "!", oneOff,
                                   "ostrel" + phrase.substr(6)};
    for (const std::string& text : refused) {
        EXPECT_FALSE(isAccessPhrase(text)) << text;
    }
}

}  // namespace
