// Every cluster of font codes that the transcription writes (a letter with
// its marks, tilde, silent e and s-hook; a carrier with its marks), drawn as
// the program draws it at 20, 24 and 27 px and at four pen positions: no
// mark's ink touches another glyph's, and two clusters that differ in one
// mark or one letter that readers confuse differ by a clear number of pixels.
// The clusters are the test data made by tools/fontclusters.

#include <QFile>
#include <QGlyphRun>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/transcription/alphabet.h"
#include "core/transcription/lettersets.h"
#include "screenglyphs.h"
#include "tools/fontclusters.h"

namespace {

using namespace screenglyphs;

constexpr int kSizes[] = {20, 24, 27};
constexpr std::size_t kPlacings = std::size(kSizes) * std::size(kOffsets);

std::vector<std::string> clusters() {
    QFile file(QStringLiteral(OSTREL_FONT_SOURCE_DIR "/tests/resources/fontclusters.txt"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    return fontclusters::parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::string codeOf(char letter) {
    return std::string(alphabet::glyph(letter));
}

// A cluster drawn at one size and pen position: which of its pixels are dark
// (more than half covered), glyph over glyph as Qt blends them.
struct Picture {
    QRect rect;
    std::vector<bool> darkPixels;

    bool dark(int x, int y) const {
        return rect.contains(x, y) &&
               darkPixels[static_cast<std::size_t>((y - rect.top()) * rect.width() + x - rect.left())];
    }
};

Picture compose(const std::vector<Ink>& inks) {
    Picture picture;
    for (const Ink& ink : inks) {
        picture.rect |= ink.inked;
    }
    picture.darkPixels.resize(static_cast<std::size_t>(picture.rect.width() * picture.rect.height()));
    for (int y = picture.rect.top(); y <= picture.rect.bottom(); ++y) {
        for (int x = picture.rect.left(); x <= picture.rect.right(); ++x) {
            double light = 1.0;
            for (const Ink& ink : inks) {
                light *= 1.0 - ink.darkness(x, y) / 255.0;
            }
            picture.darkPixels[static_cast<std::size_t>((y - picture.rect.top()) * picture.rect.width() + x -
                                                        picture.rect.left())] = light < 0.5;
        }
    }
    return picture;
}

// Dark pixels in which `a` and `b` differ, with `b` moved the best of up to
// two pixels sideways: a cluster that is another one moved is still that one.
int difference(const Picture& a, const Picture& b) {
    const QRect area = (a.rect | b.rect).adjusted(-2, 0, 2, 0);
    int least = 1 << 30;
    for (int dx = -2; dx <= 2; ++dx) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                n += a.dark(x, y) != b.dark(x - dx, y) ? 1 : 0;
            }
        }
        least = std::min(least, n);
    }
    return least;
}

// Each cluster laid out as the program lays it out (its contextual forms
// applied) and drawn glyph by glyph at every size and pen position, once.
class ClusterPictures {
public:
    const std::vector<Ink>& inks(const std::string& cluster, std::size_t placing) {
        auto found = m_inks.find(cluster);
        if (found == m_inks.end()) {
            std::array<std::vector<Ink>, kPlacings> all;
            for (std::size_t s = 0; s < std::size(kSizes); ++s) {
                const QList<QGlyphRun> runs = GlyphPictures::layout(codesOf(cluster), kSizes[s]);
                for (std::size_t o = 0; o < std::size(kOffsets); ++o) {
                    all[s * std::size(kOffsets) + o] = m_glyphs.place(runs, kSizes[s], kOffsets[o]);
                }
            }
            found = m_inks.emplace(cluster, std::move(all)).first;
        }
        return found->second[placing];
    }

    const Picture& picture(const std::string& cluster, std::size_t placing) {
        const auto key = std::make_pair(cluster, placing);
        auto found = m_pictures.find(key);
        if (found == m_pictures.end()) {
            found = m_pictures.emplace(key, compose(inks(cluster, placing))).first;
        }
        return found->second;
    }

private:
    GlyphPictures m_glyphs;
    std::map<std::string, std::array<std::vector<Ink>, kPlacings>> m_inks;
    std::map<std::pair<std::string, std::size_t>, Picture> m_pictures;
};

class FontClusters : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(addFont()) << fontPath().toStdString();
    }
    void SetUp() override {
        m_clusters = clusters();
        ASSERT_GT(m_clusters.size(), 200U) << "tests/resources/fontclusters.txt";
    }

    std::vector<std::string> m_clusters;
    ClusterPictures m_pictures;
};

// Failed expectations of one kind, with the first few named.
struct Tally {
    int checked = 0;
    int failed = 0;
    std::string examples;

    void count(bool ok, const std::string& what) {
        ++checked;
        if (!ok && ++failed <= 20) {
            examples += "\n  " + what;
        }
    }
};

TEST_F(FontClusters, NoMarkTouchesAnotherGlyph) {
    Tally tally;
    for (const std::string& cluster : m_clusters) {
        for (std::size_t s = 0; s < std::size(kSizes); ++s) {
            std::string touching;
            for (std::size_t o = 0; o < std::size(kOffsets) && touching.empty(); ++o) {
                const std::vector<Ink>& inks = m_pictures.inks(cluster, s * std::size(kOffsets) + o);
                ASSERT_EQ(inks.size(), cluster.size()) << cluster;
                for (std::size_t i = 0; i < inks.size() && touching.empty(); ++i) {
                    for (std::size_t j = i + 1; j < inks.size(); ++j) {
                        if ((fontclusters::isMark(cluster[i]) || fontclusters::isMark(cluster[j])) &&
                            touch(inks[i], inks[j])) {
                            touching = std::string(1, cluster[i]) + " and " + cluster[j] + " touch at +" +
                                       std::to_string(kOffsets[o]).substr(0, 4);
                            break;
                        }
                    }
                }
            }
            tally.count(touching.empty(), cluster + " at " + std::to_string(kSizes[s]) + " px: " + touching);
        }
    }
    std::printf("touch: %d of %d expectations fail\n", tally.failed, tally.checked);
    EXPECT_EQ(tally.failed, 0) << tally.examples;
}

// A kind of minimal pair: two clusters that differ in one code, either
// swapped for another or added, and the dark pixels they must differ by.
struct Kind {
    const char* name;
    std::vector<std::pair<std::string, std::string>> swaps;  // codes that stand for each other
    std::string added;                                       // or codes added to the first cluster
    int need20;
    int need27;

    int need(int pixels) const {
        return need20 + (need27 - need20) * (pixels - 20) / 7;
    }
};

std::vector<std::pair<std::string, std::string>> markForms(std::string_view first, std::string_view second) {
    std::vector<std::pair<std::string, std::string>> swaps;
    for (std::size_t i = 0; i < first.size(); ++i) {
        swaps.emplace_back(codeOf(first[i]), codeOf(second[i]));
    }
    return swaps;
}

std::vector<Kind> kinds() {
    std::string tildes;
    for (const char form : {'\x8B', '\x9B', '\xAB', '\xBB'}) {  // ‹ › « »
        tildes += codeOf(form);
    }
    return {
        {"silent e", {}, codeOf('\xEC') + codeOf('\xCC'), 4, 6},  // ě Ě
        {"tilde", {}, tildes, 6, 12},
        // the four forms of each mark: a, á, A and Á (for the carriers)
        {"a / i", markForms("a\xE1" "A\xC1", "i\xED" "I\xCD"), "", 8, 12},
        {"o / u", markForms("o\xF3" "O\xD3", "u\xFA" "U\xDA"), "", 12, 20},
        {"thule / formen", {{codeOf('T'), codeOf('f')}}, "", 8, 12},
        {"harma / hwesta", {{codeOf('\x9A'), codeOf('q')}}, "", 8, 12},  // š q
        {"lambe / alda", {{codeOf('l'), codeOf('L')}}, "", 10, 14},
    };
}

// The pairs of collected clusters that differ as `kind` says.
std::vector<std::pair<std::string, std::string>> pairsOf(const Kind& kind, const std::vector<std::string>& clusters) {
    const std::set<std::string> known(clusters.begin(), clusters.end());
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const std::string& a : clusters) {
        for (std::size_t at = 0; at <= a.size(); ++at) {
            for (const char code : kind.added) {
                std::string b = a;
                b.insert(at, 1, code);
                if (known.count(b) != 0) {
                    pairs.emplace_back(a, b);
                }
            }
            for (const auto& [from, to] : kind.swaps) {
                if (at < a.size() && a.compare(at, from.size(), from) == 0) {
                    const std::string b = a.substr(0, at) + to + a.substr(at + from.size());
                    if (known.count(b) != 0) {
                        pairs.emplace_back(a, b);
                    }
                }
            }
        }
    }
    return pairs;
}

TEST_F(FontClusters, MinimalPairsDifferByTheNeedOfTheirKind) {
    std::string report;
    int failedKinds = 0;
    for (const Kind& kind : kinds()) {
        const auto pairs = pairsOf(kind, m_clusters);
        EXPECT_FALSE(pairs.empty()) << kind.name;
        Tally tally;
        std::array<int, std::size(kSizes)> least{};
        least.fill(1 << 30);
        for (const auto& [a, b] : pairs) {
            for (std::size_t s = 0; s < std::size(kSizes); ++s) {
                int worst = 1 << 30;
                for (std::size_t o = 0; o < std::size(kOffsets); ++o) {
                    const std::size_t placing = s * std::size(kOffsets) + o;
                    worst = std::min(worst, difference(m_pictures.picture(a, placing), m_pictures.picture(b, placing)));
                }
                least[s] = std::min(least[s], worst);
                tally.count(worst >= kind.need(kSizes[s]), a + " / " + b + " at " + std::to_string(kSizes[s]) +
                                                               " px: " + std::to_string(worst) + " < " +
                                                               std::to_string(kind.need(kSizes[s])));
            }
        }
        char line[200];
        std::snprintf(line, sizeof line, "%s: %zu pairs, %d of %d expectations fail; least %d / %d / %d px\n",
                      kind.name, pairs.size(), tally.failed, tally.checked, least[0], least[1], least[2]);
        std::printf("%s", line);
        report += line + tally.examples + "\n";
        failedKinds += tally.failed > 0 ? 1 : 0;
    }
    EXPECT_EQ(failedKinds, 0) << report;
}

// Dark pixels of one glyph's picture, and how many groups they fall into
// (pixels that meet at a side or a corner are one group).
int darkGroups(const Ink& ink, int& largestSquare) {
    const QImage& image = *ink.image;
    const int w = image.width();
    const int h = image.height();
    std::vector<int> label(static_cast<std::size_t>(w * h), 0);
    int groups = 0;
    largestSquare = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (dark(image, x, y) && dark(image, x + 1, y) && dark(image, x, y + 1) && dark(image, x + 1, y + 1)) {
                largestSquare = 2;
            } else if (dark(image, x, y)) {
                largestSquare = std::max(largestSquare, 1);
            }
            if (!dark(image, x, y) || label[static_cast<std::size_t>(y * w + x)] != 0) {
                continue;
            }
            ++groups;
            std::vector<std::pair<int, int>> stack{{x, y}};
            while (!stack.empty()) {
                const auto [px, py] = stack.back();
                stack.pop_back();
                if (!dark(image, px, py) || label[static_cast<std::size_t>(py * w + px)] != 0) {
                    continue;
                }
                label[static_cast<std::size_t>(py * w + px)] = groups;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        stack.emplace_back(px + dx, py + dy);
                    }
                }
            }
        }
    }
    return groups;
}

// At 20 px, the smallest size the program draws, the silent-e dot is a dot
// of at least two by two dark pixels, and the a-mark three separate dots.
TEST_F(FontClusters, DotsStayDotsAtTwentyPixels) {
    const std::string silentE = codeOf('\xEC') + codeOf('\xCC');
    std::string aMarks;
    for (const char form : {'a', '\xE1', 'A', '\xC1'}) {
        aMarks += codeOf(form);
    }
    Tally dots;
    Tally threes;
    for (const std::string& cluster : m_clusters) {
        for (std::size_t i = 0; i < cluster.size(); ++i) {
            const bool isDot = silentE.find(cluster[i]) != std::string::npos;
            const bool isA = aMarks.find(cluster[i]) != std::string::npos;
            if (!isDot && !isA) {
                continue;
            }
            std::string fault;
            for (std::size_t o = 0; o < std::size(kOffsets) && fault.empty(); ++o) {
                int square = 0;
                const int groups = darkGroups(m_pictures.inks(cluster, o)[i], square);
                if (isDot && square < 2) {
                    fault = "the dot has no 2 x 2 dark pixels";
                } else if (isA && groups != 3) {
                    fault = "the a-mark shows " + std::to_string(groups) + " dots";
                }
                if (!fault.empty()) {
                    fault += " at +" + std::to_string(kOffsets[o]).substr(0, 4);
                }
            }
            (isDot ? dots : threes).count(fault.empty(), cluster + ": " + fault);
        }
    }
    std::printf("silent-e dot 2 x 2: %d of %d expectations fail\n", dots.failed, dots.checked);
    std::printf("a-mark three dots: %d of %d expectations fail\n", threes.failed, threes.checked);
    EXPECT_EQ(dots.failed, 0) << dots.examples;
    EXPECT_EQ(threes.failed, 0) << threes.examples;
}

}  // namespace
