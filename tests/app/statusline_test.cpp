// The status line beside "Napredek": said at once, and whole.
#include <QFontMetrics>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "shellfixture.h"
#include "ui/words/worddrills.h"

namespace {

using StatusLineTest = ShownMainFormTest;

// Without the dictionary the line says so as soon as the load has ended,
// before any menu is opened, and whole: what does not fit in its two lines
// ends in "…", and the tooltip holds all of it.
TEST_F(StatusLineTest, AMissingDictionaryIsSaidAtStartAndWhole) {
    QTemporaryDir dir;
    WordDrills* drills = form->wordDrills();
    QSignalSpy changed(drills, &WordDrills::entriesChanged);
    drills->loadDictionary(dir.filePath(QStringLiteral("ni/sl_SI.dic")));
    while (drills->dictionaryLoading())
        ASSERT_TRUE(changed.wait(10000));

    const QString said = form->statusText();
    EXPECT_TRUE(said.startsWith(QStringLiteral("Slovarja slovenskih besed ni"))) << said.toStdString();
    EXPECT_TRUE(said.endsWith(QStringLiteral("Namestite paket hunspell-sl."))) << said.toStdString();
    const auto* line = form->findChild<QLabel*>(QStringLiteral("LbSporocilo"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->toolTip(), said);
    const QString shown = form->shownStatusText();
    EXPECT_TRUE(shown == said || (shown.endsWith(QChar(0x2026)) && said.startsWith(shown.chopped(1))))
        << shown.toStdString();
    const QRect needed = QFontMetrics(line->font())
                             .boundingRect(QRect(0, 0, line->width(), 1000), Qt::TextWordWrap, shown);
    EXPECT_LE(needed.height(), line->height()) << shown.toStdString();
    EXPECT_LE(needed.width(), line->width()) << shown.toStdString();
}

// A text is cut only when it needs more lines than it has, at the end of the
// last one, which ends in "…".
TEST(StatusLineFit, CutsOnlyWhatDoesNotFitAndSaysSo) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    const QFontMetrics metrics(font);
    const QString word = QStringLiteral("beseda ");
    const int width = metrics.horizontalAdvance(word.repeated(5));
    const struct {
        int words;
        int lines;
        bool cut;
    } cases[] = {
        {1, 1, false}, {4, 1, false}, {9, 1, true}, {9, 2, false}, {10, 2, false}, {11, 2, true}, {40, 2, true},
    };
    for (const auto& c : cases) {
        const QString text = word.repeated(c.words).trimmed();
        const QString fitted = TMainForm::fitLines(text, font, width, c.lines);
        SCOPED_TRACE(std::to_string(c.words) + " words in " + std::to_string(c.lines) + " lines");
        if (!c.cut) {
            EXPECT_EQ(fitted, text);
            continue;
        }
        ASSERT_TRUE(fitted.endsWith(QChar(0x2026))) << fitted.toStdString();
        EXPECT_TRUE(text.startsWith(fitted.chopped(1))) << fitted.toStdString();
        const QString lines = QStringList(c.lines, QStringLiteral("x")).join(QLatin1Char('\n'));
        EXPECT_LE(metrics.boundingRect(QRect(0, 0, width, 1000), Qt::TextWordWrap, fitted).height(),
                  metrics.boundingRect(QRect(0, 0, width, 1000), 0, lines).height());
    }
}

}  // namespace
