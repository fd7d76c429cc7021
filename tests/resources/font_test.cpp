// The font "Tengwar Quenya" against the code layout that the transcription
// writes: every code has a glyph, marks have no advance and stand over (or
// under) every letter that bears them without touching it, tildes keep clear
// of stems and dots, letters keep their distance, and the committed font is
// what its source builds. How the font shows on screen is tested in
// fontscreen_test.cpp.

#include <QByteArray>
#include <QFile>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QProcess>
#include <QRawFont>
#include <QTemporaryDir>
#include <QVector>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "core/transcription/alphabet.h"
#include "core/transcription/lettersets.h"

namespace {

QString sourceDir() {
    return QStringLiteral(OSTREL_FONT_SOURCE_DIR);
}

QString fontPath() {
    return sourceDir() + QStringLiteral("/resources/font/quenya.ttf");
}


// True when `a` comes closer than `margin` to `b`.
bool within(const QPainterPath& a, const QPainterPath& b, qreal margin) {
    QPainterPathStroker stroker;
    stroker.setWidth(2 * margin);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return a.intersects(b) || stroker.createStroke(a).intersects(b);
}


// The font at 1000 pixels per em, so that pixels are font units.
class FontTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_font = QRawFont(fontPath(), 1000, QFont::PreferNoHinting);
        ASSERT_TRUE(m_font.isValid()) << fontPath().toStdString();
    }

    quint32 index(char code) const {
        const QVector<quint32> ids = m_font.glyphIndexesForString(QString(QChar(static_cast<uchar>(code))));
        return ids.isEmpty() ? 0 : ids.first();
    }

    qreal advance(char code) const {
        const QVector<QPointF> adv =
            m_font.advancesForGlyphIndexes(QVector<quint32>{index(code)}, QRawFont::UseDesignMetrics);
        return adv.isEmpty() ? -1 : adv.first().x();
    }

    QPainterPath ink(char code, qreal dx = 0) const {
        return m_font.pathForGlyph(index(code)).translated(dx, 0);
    }

    // Checks that the mark drawn after the first glyph of `bearer` does not
    // touch it and stands over its ink (onInk) or at least within its advance.
    void expectMarkFits(char bearerLetter, char markLetter, bool onInk = true) const {
        const std::string_view bearer = alphabet::glyph(bearerLetter);
        const std::string_view mark = alphabet::glyph(markLetter);
        ASSERT_FALSE(bearer.empty());
        ASSERT_EQ(mark.size(), 1U);
        const QPainterPath body = ink(bearer[0]);
        const QPainterPath sign = ink(mark[0], advance(bearer[0]));
        const QRectF b = onInk ? body.boundingRect() : QRectF(0, 0, advance(bearer[0]), 1);
        const qreal centre = sign.boundingRect().center().x();
        const std::string what = "mark " + std::string(mark) + " after " + std::string(1, bearer[0]);
        EXPECT_GE(centre, b.left()) << what;
        EXPECT_LE(centre, b.right()) << what;
        EXPECT_FALSE(body.intersects(sign)) << what << " touches its bearer";
    }

    QRawFont m_font;
};

// The codes that the glyph table gives the overlay letters.
std::set<char> overlayCodes() {
    std::set<char> codes;
    for (const char letter : letterset::lettersOf(letterset::Overlay)) {
        for (const char code : alphabet::glyph(letter)) {
            codes.insert(code);
        }
    }
    return codes;
}

TEST_F(FontTest, NamesTheFaceAndStyle) {
    EXPECT_EQ(m_font.familyName(), QStringLiteral("Tengwar Quenya"));
    EXPECT_EQ(m_font.styleName(), QStringLiteral("Medium"));
    EXPECT_EQ(m_font.unitsPerEm(), 1000);
}

// ttfautohint's programs snap stems to whole pixels; gasp tells the rasteriser to use them.
TEST_F(FontTest, IsHintedForTextSizes) {
    for (const char* table : {"gasp", "fpgm", "prep", "cvt "}) {
        EXPECT_FALSE(m_font.fontTable(table).isEmpty()) << table;
    }
}

TEST_F(FontTest, EveryCodeHasAGlyphOfItsOwnWithInkExceptTheSpace) {
    std::set<quint32> seen;
    for (int code = 0x20; code <= 0x7E; ++code) {
        const char c = static_cast<char>(code);
        const quint32 id = index(c);
        EXPECT_NE(id, 0U) << "code " << std::hex << code << " falls to .notdef";
        EXPECT_TRUE(seen.insert(id).second) << "code " << std::hex << code << " shares a glyph";
        EXPECT_EQ(ink(c).isEmpty(), code == 0x20) << "code " << std::hex << code;
    }
}

TEST_F(FontTest, OverlayCodesHaveNoAdvanceAndInkBehindThePen) {
    const std::set<char> overlays = overlayCodes();
    ASSERT_EQ(overlays.size(), 26U);
    for (int code = 0x20; code <= 0x7E; ++code) {
        const char c = static_cast<char>(code);
        if (overlays.count(c) != 0) {
            EXPECT_EQ(advance(c), 0) << "overlay code " << std::hex << code;
            EXPECT_LE(ink(c).boundingRect().right(), 0) << "overlay code " << std::hex << code;
        } else {
            EXPECT_GT(advance(c), 0) << "spacing code " << std::hex << code;
        }
    }
}

// The four forms of each vowel mark, one per class of bearer.
struct MarkColumn {
    std::string_view bearers;
    std::string_view forms;  // the a, e, i, o and u forms of the column
};

TEST_F(FontTest, VowelMarksStandOverEveryLetterOfTheirClass) {
    // Î î and the s and z written before no vowel take the column for other bearers.
    const MarkColumn columns[] = {
        {letterset::lettersOf(letterset::MarkA), "aeiou"},
        {letterset::lettersOf(letterset::MarkB), "\xE1\xE9\xED\xF3\xFA"},  // á é í ó ú
        {letterset::lettersOf(letterset::MarkC), "AEIOU"},
        {"\xCE\xEEsz", "\xC1\xC9\xCD\xD3\xDA"},  // Î î s z; Á É Í Ó Ú
    };
    for (const auto& column : columns) {
        for (const char bearer : column.bearers) {
            for (const char form : column.forms) {
                expectMarkFits(bearer, form);
            }
        }
    }
}

TEST_F(FontTest, SilentEAndTildeStandUnderEveryLetterOfTheirClass) {
    for (const char bearer : letterset::lettersOf(letterset::Bearer)) {
        const bool plain = letterset::contains(letterset::SilentE, static_cast<unsigned char>(bearer));
        // Ě also follows letters that bear a vowel mark, so it keeps to the right
        // of every letter rather than to the middle of each.
        expectMarkFits(bearer, plain ? '\xEC' : '\xCC', plain);  // ě or Ě
    }
    for (const char bearer : letterset::lettersOf(letterset::Doublable)) {
        expectMarkFits(bearer, letterset::tildeForm(bearer));
    }
}

// The tilde passes between the stems that reach below the line, and the
// silent-e dot hangs below the tilde, each with room to spare at text size.
TEST_F(FontTest, TildesKeepClearOfTheirBearersAndOfTheSilentEDot) {
    const qreal clearance = 30;
    for (const char bearer : letterset::lettersOf(letterset::Doublable)) {
        const char code = alphabet::glyph(bearer)[0];
        const char tilde = alphabet::glyph(letterset::tildeForm(bearer))[0];
        EXPECT_FALSE(within(ink(code), ink(tilde, advance(code)), clearance))
            << "tilde " << tilde << " under " << code;
    }
    for (const char tilde : {'X', 'S', 'Z', 'A'}) {
        for (const char dot : {'0', 'p'}) {
            EXPECT_FALSE(within(ink(tilde), ink(dot), clearance)) << "tilde " << tilde << " and dot " << dot;
        }
    }
}

// Every letter and ornament that the transcription writes first for a letter
// keeps its ink off both ends of its advance, so that neighbours never join.
TEST_F(FontTest, LettersKeepSideBearings) {
    const qreal minimum = 50;
    std::string codes = "][";  // the ornaments
    for (const char letter : letterset::lettersOf(letterset::Bearer)) {
        codes += alphabet::glyph(letter)[0];
    }
    for (const char code : codes) {
        const QRectF box = ink(code).boundingRect();
        EXPECT_GE(box.left(), minimum - 0.5) << "left of " << code;
        EXPECT_GE(advance(code) - box.right(), minimum - 0.5) << "right of " << code;
    }
}

TEST_F(FontTest, FourPlacementsOfEachMarkDiffer) {
    const std::string_view rows[] = {
        "a\xE1"
        "A\xC1",
        "e\xE9"
        "E\xC9",
        "i\xED"
        "I\xCD",
        "o\xF3"
        "O\xD3",
        "u\xFA"
        "U\xDA",
        "\xBB\x9B\xAB\x8B"};
    for (const auto row : rows) {
        std::set<int> centres;
        for (const char form : row) {
            const char code = alphabet::glyph(form)[0];
            centres.insert(qRound(ink(code).boundingRect().center().x()));
        }
        EXPECT_EQ(centres.size(), 4U) << "row " << std::string(row);
    }
}

// Runs a tool of ours with the Python that has fontTools; false when there is none.
bool runPython(const QStringList& args, QString& output, int& exitCode) {
    const QString python = QStringLiteral(OSTREL_FONT_PYTHON);
    if (python.isEmpty()) {
        return false;
    }
    QProcess process;
    process.setWorkingDirectory(sourceDir());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(python, args);
    if (!process.waitForStarted() || !process.waitForFinished(120000)) {
        output = QStringLiteral("%1 did not run: %2").arg(python, process.errorString());
        exitCode = -1;
        return true;
    }
    output = QString::fromUtf8(process.readAll());
    exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return true;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(FontSource, RebuildsToTheCommittedBytes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("quenya.ttf"));
    QString output;
    int exitCode = 0;
    if (!runPython({QStringLiteral("tools/buildfont.py"), QStringLiteral("--output"), out}, output,
                   exitCode)) {
        GTEST_SKIP() << "no python3 with fontTools and shapely, or no ttfautohint";
    }
    ASSERT_EQ(exitCode, 0) << output.toStdString();
    const QByteArray built = readAll(out);
    const QByteArray committed = readAll(fontPath());
    ASSERT_FALSE(committed.isEmpty());
    EXPECT_TRUE(built == committed) << "resources/font/quenya.ttf is not what its source builds; "
                                       "run tools/buildfont.py";
}

TEST(FontSource, OutlinesAreSimpleDisjointAndWoundByNesting) {
    QString output;
    int exitCode = 0;
    if (!runPython({QStringLiteral("tools/checkfont.py"), fontPath()}, output, exitCode)) {
        GTEST_SKIP() << "no python3 with fontTools and shapely, or no ttfautohint";
    }
    EXPECT_EQ(exitCode, 0) << output.toStdString();
}

}  // namespace
