// The font as the program's windows draw it: Qt's rasteriser with the
// program's font settings, at the sizes of its windows (20 to 27 px) and at
// several fractional pen positions. Letters that readers confuse differ by a
// clear number of pixels, no mark touches its bearer or a neighbour, and the
// hook of x stays open.

#include <QGlyphRun>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <string>
#include <vector>

#include "core/transcription/alphabet.h"
#include "core/transcription/lettersets.h"
#include "screenglyphs.h"

namespace {

using namespace screenglyphs;

constexpr int kSizes[] = {20, 27};

// Dark pixels in which `a` differs from `b` moved by (dx, dy).
int differingDarkPixels(const QImage& a, const QImage& b, int dx, int dy) {
    int n = 0;
    for (int y = -3; y < a.height() + 3; ++y) {
        for (int x = -2; x < a.width() + 2; ++x) {
            n += dark(a, x, y) != dark(b, x - dx, y - dy) ? 1 : 0;
        }
    }
    return n;
}

// The least number of dark pixels in which `a` and `b` differ, over the pen
// positions within a pixel and with `b` moved up to two pixels sideways and
// three up or down: a sign that is another one moved is still that sign.
int leastDifference(const QString& a, const QString& b, int pixels) {
    int least = 1 << 30;
    std::vector<std::pair<QImage, QImage>> done;  // a hinted pen snaps: offsets may draw alike
    for (const qreal offset : kOffsets) {
        const QImage first = draw(a, pixels, offset);
        const QImage second = draw(b, pixels, offset);
        if (std::find(done.begin(), done.end(), std::make_pair(first, second)) != done.end()) {
            continue;
        }
        done.emplace_back(first, second);
        for (int dx = -2; dx <= 2; ++dx) {
            for (int dy = -3; dy <= 3; ++dy) {
                least = std::min(least, differingDarkPixels(first, second, dx, dy));
            }
        }
    }
    return least;
}

class ScreenFont : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(addFont()) << fontPath().toStdString();
    }
};



QString withTilde(char letter) {
    return codesOf(std::string(alphabet::glyph(letter)) + std::string(alphabet::glyph(letterset::tildeForm(letter))));
}

// The pairs that readers of the drill confused: a letter and the same letter
// with the doubling tilde, the tilde and the silent-e dot, and letters told
// apart by one stroke. The least figures are about twice what a tilde of the
// size of an i-dot gives.
TEST_F(ScreenFont, LookAlikesDifferByAClearNumberOfPixels) {
    struct Pair {
        QString a;
        QString b;
        int least20;  // dark pixels at 20 px
        int least27;  // at 27 px
        const char* what;
    };
    const QString t = codesOf(alphabet::glyph('t'));
    const Pair pairs[] = {
        {t, withTilde('t'), 6, 12, "t / tt"},
        {codesOf(alphabet::glyph('r')), withTilde('r'), 6, 12, "r / rr"},
        {codesOf(alphabet::glyph('p')), withTilde('p'), 6, 12, "p / pp"},
        {codesOf(alphabet::glyph('k')), withTilde('k'), 6, 12, "k / kk"},
        {codesOf(alphabet::glyph('l')), withTilde('l'), 6, 12, "l / ll"},
        {withTilde('t'), t + codesOf(alphabet::glyph('\xEC')), 8, 15, "tilde / silent e"},  // ě
        {QStringLiteral("3"), QStringLiteral("e"), 5, 13, "thule / formen"},
        {QStringLiteral("d"), QStringLiteral("c"), 6, 16, "harma / hwesta"},
        {QStringLiteral("*"), QStringLiteral("K"), 5, 14, "s / z"},
        {QStringLiteral("I"), QStringLiteral("<"), 5, 14, "S / Z"},
        {QStringLiteral("6"), QStringLiteral("o"), 5, 14, "ore / hwesta sindarinwa"},
        {QStringLiteral("3"), QStringLiteral("9"), 5, 14, "thule / hyarmen"},
        {QStringLiteral("e"), QStringLiteral("9"), 5, 14, "formen / hyarmen"},
        {QStringLiteral("7"), QStringLiteral("a"), 5, 14, "romen / calma"},
        {QStringLiteral("7"), QStringLiteral("h"), 5, 14, "romen / anna"},
        {QStringLiteral("."), QStringLiteral("h"), 5, 14, "ure / anna"},
        {QStringLiteral("1"), QStringLiteral("q"), 5, 14, "tinco / parma"},
    };
    for (const auto& pair : pairs) {
        for (const int pixels : kSizes) {
            EXPECT_GE(leastDifference(pair.a, pair.b, pixels), pixels == 20 ? pair.least20 : pair.least27)
                << pair.what << " at " << pixels << " px";
        }
    }
}

// Where a glyph's ink stands across the line, in pixels: the middle of its
// ink weighted by how dark each pixel is.
qreal inkCentre(const Ink& ink) {
    qreal sum = 0;
    qreal weighted = 0;
    for (int y = 0; y < ink.image->height(); ++y) {
        const uchar* row = ink.image->constScanLine(y);
        for (int x = 0; x < ink.image->width(); ++x) {
            sum += 255 - row[x];
            weighted += (255 - row[x]) * (x + ink.at.x());
        }
    }
    return weighted / sum;
}

// ü written before i is the two-dot sign with the i-dot over it: the dot
// stands well aside from the column of the two (more than an eighth of an
// em, over two pixels at 20 px), so that the three do not read as a slanted
// three-dot sign.
TEST_F(ScreenFont, TheIDotOverTheTwoDotsStandsAsideFromTheirColumn) {
    GlyphPictures pictures;
    const QString yi = codesOf(std::string(alphabet::glyph('Y')) + std::string(alphabet::glyph('\xCD')));  // Í
    for (const int pixels : kSizes) {
        for (const qreal offset : kOffsets) {
            const std::vector<Ink> inks = pictures.line(yi, pixels, offset);
            ASSERT_EQ(inks.size(), 2U);
            EXPECT_GE(std::abs(inkCentre(inks[1]) - inkCentre(inks[0])), 0.12 * pixels)
                << pixels << " px, pen at +" << offset;
        }
    }
}

// The marks a letter bears: its five vowel marks, its tilde if it doubles, its silent e.
std::string marksOf(char letter) {
    const auto b = static_cast<unsigned char>(letter);
    std::string_view vowels = "\xC1\xC9\xCD\xD3\xDA";  // Á É Í Ó Ú for other bearers
    if (letterset::contains(letterset::MarkA, b)) {
        vowels = "aeiou";
    } else if (letterset::contains(letterset::MarkB, b)) {
        vowels = "\xE1\xE9\xED\xF3\xFA";  // á é í ó ú
    } else if (letterset::contains(letterset::MarkC, b)) {
        vowels = "AEIOU";
    }
    std::string marks;
    for (const char v : vowels) {
        marks += alphabet::glyph(v);
    }
    if (letterset::contains(letterset::Doublable, b)) {
        marks += alphabet::glyph(letterset::tildeForm(letter));
    }
    marks += alphabet::glyph(letterset::contains(letterset::SilentE, b) ? '\xEC' : '\xCC');  // ě Ě
    return marks;
}

// A mark must keep clear of the stems of the letters beside its bearer. Every
// letter of a series has its stem at the same place, so harma before the
// bearer stands for every stem at the end of a letter, above the bows or below
// the line, and anto after it for every stem at the start of one; hwesta
// sindarinwa after it brings its hook, which reaches back over the line.
constexpr std::string_view kNeighbours[] = {"d4", "do"};

TEST_F(ScreenFont, NoMarkTouchesItsBearerOrATallNeighbour) {
    std::set<std::string> seen;
    GlyphPictures pictures;
    for (const char letter : letterset::lettersOf(letterset::Bearer)) {
        const char bearer = alphabet::glyph(letter)[0];
        for (const char mark : marksOf(letter)) {
            for (const std::string_view around : kNeighbours) {
                const std::string codes{around[0], bearer, mark, around[1]};
                if (!seen.insert(codes).second) {
                    continue;
                }
                for (const int pixels : kSizes) {
                    const QList<QGlyphRun> runs = GlyphPictures::layout(codesOf(codes), pixels);
                    std::set<std::vector<std::tuple<const QImage*, int, int>>> placings;
                    for (const qreal offset : kOffsets) {
                        const std::vector<Ink> inks = pictures.place(runs, pixels, offset);
                        ASSERT_EQ(inks.size(), 4U);
                        std::vector<std::tuple<const QImage*, int, int>> placing;
                        for (const Ink& ink : inks) {
                            placing.emplace_back(ink.image, ink.at.x() - inks[0].at.x(), ink.at.y() - inks[0].at.y());
                        }
                        if (!placings.insert(placing).second) {
                            continue;  // the same pictures in the same places as at another offset
                        }
                        for (const std::size_t other : {0U, 1U, 3U}) {
                            EXPECT_FALSE(touch(inks[2], inks[other]))
                                << "mark " << mark << " in " << codes << " touches " << codes[other] << " at "
                                << pixels << " px, pen at +" << offset;
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(seen.size(), 500U);
}

// Light regions (pixels less than half covered) that no light path joins to
// the edge of the picture: the counters of the letters, and any loop that
// closes where it should not.
int enclosedRegions(const QImage& image) {
    const int w = image.width();
    const int h = image.height();
    std::vector<int> label(static_cast<std::size_t>(w * h), 0);
    const auto fill = [&](int x0, int y0, int mark) {
        std::vector<std::pair<int, int>> stack{{x0, y0}};
        while (!stack.empty()) {
            const auto [x, y] = stack.back();
            stack.pop_back();
            if (x < 0 || y < 0 || x >= w || y >= h || dark(image, x, y) || label[static_cast<std::size_t>(y * w + x)] != 0) {
                continue;
            }
            label[static_cast<std::size_t>(y * w + x)] = mark;
            stack.insert(stack.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
        }
    };
    fill(0, 0, -1);  // the picture's border is blank
    int regions = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!dark(image, x, y) && label[static_cast<std::size_t>(y * w + x)] == 0) {
                fill(x, y, ++regions);
            }
        }
    }
    return regions;
}

// x is quesse with the s-hook after it: the hook's tip keeps clear of the
// stem, so no counter closes beyond quesse's own.
TEST_F(ScreenFont, TheHookOfXStaysOpen) {
    const QString x = codesOf(alphabet::glyph('x'));
    const QString quesse = x.left(1);
    for (int pixels = 16; pixels <= 40; ++pixels) {
        std::vector<QImage> done;  // a hinted pen snaps: offsets may draw alike
        for (const qreal offset : kOffsets) {
            const QImage drawn = draw(x, pixels, offset);
            if (std::find(done.begin(), done.end(), drawn) != done.end()) {
                continue;
            }
            done.push_back(drawn);
            const int extra = enclosedRegions(drawn) - enclosedRegions(draw(quesse, pixels, offset));
            EXPECT_EQ(extra, 0) << "at " << pixels << " px, pen at +" << offset;
        }
    }
}

}  // namespace
