#include <gtest/gtest.h>

#include <QChartView>
#include <QLineSeries>
#include <QLocale>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "progress/drillweights.h"
#include "progress/historystore.h"
#include "progress/tprogressform.h"
#include "transcription/alphabet.h"
#include "ui_tprogressform.h"

namespace {

QTableWidgetItem* cellOf(Ui::TProgressForm& form, char letter) {
    const auto k = static_cast<int>(alphabet::ruleLetters().find(letter));
    return form.MrezaCrk->item(k / TProgressForm::kColumns, k % TProgressForm::kColumns);
}

// A learner who read b always right, misread a as o three times out of four
// and never met z; then asks for the drill.
TEST(ProgressFormTest, ShowsTheLettersConfusionsAndDaysOfAKnownHistory) {
    // Figures use the user's decimal separator: a Slovenian user here.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Slovenian, QLocale::Slovenia));
    QTemporaryDir dir;
    HistoryStore store(dir.path());
    const QDateTime now(QDate(2026, 12, 7), QTime(15, 0));
    struct Row {
        const char* typed;
        int ms;
    };
    const Row rows[] = {{"bo", 1000}, {"bo", 2000}, {"bo", 3000}, {"ba", 2000}};
    int minute = 0;
    for (const Row& row : rows) {
        AnswerRecord r{now.addSecs(-60 * ++minute).toMSecsSinceEpoch(),
                       "Pari",
                       "ba",
                       "ba",
                       row.typed,
                       std::string(row.typed) == "ba",
                       row.ms};
        ASSERT_TRUE(store.record(r, progress::attributeAnswer("ba", {"b", "a"}, row.typed)));
    }
    // One answer two days before, all right.
    ASSERT_TRUE(
        store.record(AnswerRecord{now.addDays(-2).toMSecsSinceEpoch(), "Pari", "b", "b", "b", true, 500},
                     progress::attributeAnswer("b", {"b"}, "b")));

    TProgressForm window(store);
    window.setClock([now] { return now; });
    window.refresh();
    Ui::TProgressForm& ui = window.form();

    EXPECT_EQ(cellOf(ui, 'b')->background().color(), TProgressForm::letterColour(5, 0));
    EXPECT_EQ(cellOf(ui, 'b')->background().color().hue(), 120);       // green
    EXPECT_EQ(cellOf(ui, 'a')->background().color().hue(), 0);         // red
    EXPECT_EQ(cellOf(ui, 'z')->background().color().saturation(), 0);  // grey
    EXPECT_TRUE(cellOf(ui, 'a')->toolTip().contains(QStringLiteral("Odgovorov: 4<br>Pravilnih: 1 (25,0 %)")))
        << cellOf(ui, 'a')->toolTip().toStdString();
    EXPECT_TRUE(cellOf(ui, 'a')->toolTip().contains(QStringLiteral("2,00 s")));
    EXPECT_TRUE(cellOf(ui, 'z')->toolTip().contains(QStringLiteral("Še ni bila na vrsti.")));
    EXPECT_TRUE(
        ui.LbPovzetek->text().startsWith(QStringLiteral("Odgovorov v zgodovini: 5, pravilnih: 2 (40,0 %).")));

    ASSERT_EQ(ui.TabelaZamenjav->rowCount(), 1);
    EXPECT_EQ(ui.TabelaZamenjav->item(0, 1)->text(), QStringLiteral("a"));
    EXPECT_EQ(ui.TabelaZamenjav->item(0, 2)->text(), QStringLiteral("o"));
    EXPECT_EQ(ui.TabelaZamenjav->item(0, 3)->text(), QStringLiteral("3"));

    // Two days with answers in the last 30; every one of the 30 days has a bar.
    const auto accuracy = static_cast<QLineSeries*>(window.accuracyChart()->chart()->series()[0])->points();
    ASSERT_EQ(accuracy.size(), 2);
    EXPECT_DOUBLE_EQ(accuracy[0].y(), 100.0);
    EXPECT_DOUBLE_EQ(accuracy[1].y(), 25.0);

    QSignalSpy drills(&window, &TProgressForm::drillRequested);
    QTest::mouseClick(ui.BtnVadi, Qt::LeftButton);
    ASSERT_EQ(drills.count(), 1);
    const auto drill = drills[0][0].value<TaskDescriptions>();
    ASSERT_EQ(drill.taskCount(), 1);
    EXPECT_EQ(drill.tasks[0].name, progress::drillTaskName());
    const std::string& letters = drill.groups[0].letters;
    EXPECT_GT(std::count(letters.begin(), letters.end(), 'a'),
              2 * std::count(letters.begin(), letters.end(), 'b'));

    // Recording off is kept in the history and shown.
    ui.CbBelezi->click();
    EXPECT_FALSE(store.recordingEnabled());
    EXPECT_TRUE(ui.LbPovzetek->text().contains(QStringLiteral("izklopljeno")));
    QLocale::setDefault(before);
}

}  // namespace

namespace {

// A history whose answers table is damaged while its letter totals are not:
// the damage shows only when the summary is read, after the letters were
// drawn. The history is set aside, and the window must not keep the old
// letters beside a count of 0.
TEST(ProgressFormTest, AHistorySetAsideWhileDrawnIsDrawnAgainFromTheNewOne) {
    QTemporaryDir dir;
    QString file;
    {
        HistoryStore store(dir.path());
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(store.record(AnswerRecord{1'800'000'000'000 + i, "Pari", "ba", "ba", "bo", false, 900},
                                     progress::attributeAnswer("ba", {"b", "a"}, "bo")));
        }
        file = store.filePath();
    }
    QList<qint64> pages;  // the answers table's and its indexes' root pages
    qint64 pageSize = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("inspect"));
        db.setDatabaseName(file);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE tbl_name = 'answers'")));
        while (query.next())
            pages << query.value(0).toLongLong();
        ASSERT_TRUE(query.exec(QStringLiteral("PRAGMA page_size")));
        ASSERT_TRUE(query.next());
        pageSize = query.value(0).toLongLong();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("inspect"));
    ASSERT_FALSE(pages.isEmpty());
    {
        QFile bytes(file);
        ASSERT_TRUE(bytes.open(QIODevice::ReadWrite));
        for (const qint64 page : pages) {
            ASSERT_TRUE(bytes.seek((page - 1) * pageSize));
            bytes.write(QByteArray(static_cast<int>(pageSize), '\x5A'));
        }
    }

    HistoryStore store(dir.path());
    TProgressForm window(store);
    window.refresh();
    Ui::TProgressForm& ui = window.form();
    EXPECT_TRUE(QFile::exists(file + QStringLiteral(".bak"))) << "the damage was found";
    EXPECT_TRUE(ui.LbPovzetek->text().startsWith(QStringLiteral("Odgovorov v zgodovini: 0")))
        << ui.LbPovzetek->text().toStdString();
    EXPECT_TRUE(cellOf(ui, 'a')->toolTip().contains(QStringLiteral("Še ni bila na vrsti.")))
        << cellOf(ui, 'a')->toolTip().toStdString();
}

}  // namespace
