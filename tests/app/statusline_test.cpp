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

}  // namespace
