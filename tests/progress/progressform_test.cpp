#include <gtest/gtest.h>

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChartView>
#include <QGuiApplication>
#include <QLineSeries>
#include <QLocale>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <algorithm>
#include <vector>

#include "core/progress/drillweights.h"
#include "core/transcription/alphabet.h"
#include "ui/progress/historystore.h"
#include "ui/progress/tprogressform.h"
#include "ui/widgets/messages.h"
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
    // Answers a day are bars: each rises from zero and falls back within its own day.
    const auto bars =
        static_cast<QAreaSeries*>(window.answersChart()->chart()->series()[0])->upperSeries()->points();
    ASSERT_EQ(bars.size(), 8);
    const double noonToday =
        static_cast<double>(now.date().startOfDay().addSecs(12 * 3600).toMSecsSinceEpoch());
    const double day = 24.0 * 3600 * 1000;
    const struct {
        int daysBefore;
        double count;
    } expected[] = {{2, 1.0}, {0, 4.0}};
    for (int bar = 0; bar < 2; ++bar) {
        const QPointF* p = &bars[4 * bar];
        const double noon = noonToday - day * expected[bar].daysBefore;
        EXPECT_DOUBLE_EQ(p[0].y(), 0.0);
        EXPECT_DOUBLE_EQ(p[1].y(), expected[bar].count);
        EXPECT_DOUBLE_EQ(p[2].y(), expected[bar].count);
        EXPECT_DOUBLE_EQ(p[3].y(), 0.0);
        EXPECT_GT(p[0].x(), noon - day / 2);
        EXPECT_LT(p[3].x(), noon + day / 2);
    }

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

// One day of answers under "Vse": the date axis shows the last week, a label
// per day, none repeated; the day's bar lies within its day. Narrower, the
// axis takes weeks, and still repeats nothing.
TEST(ProgressFormTest, OneDayOfAnswersReadsRightOnTheDateAxis) {
    QTemporaryDir dir;
    HistoryStore store(dir.path());
    const QDateTime now(QDate(2026, 12, 7), QTime(15, 0));
    for (int k = 0; k < 3; ++k) {
        ASSERT_TRUE(store.record(
            AnswerRecord{now.addSecs(-60 * k).toMSecsSinceEpoch(), "Pari", "b", "b", "b", true, 500},
            progress::attributeAnswer("b", {"b"}, "b")));
    }
    TProgressForm window(store);
    window.setClock([now] { return now; });
    window.resize(800, 540);
    window.setRange(TProgressForm::All);
    window.refresh();

    const qreal day = 24.0 * 3600 * 1000;
    const qreal weekStart = static_cast<qreal>(QDate(2026, 12, 1).startOfDay().toMSecsSinceEpoch());
    const qreal end = static_cast<qreal>(QDate(2026, 12, 8).startOfDay().toMSecsSinceEpoch());
    for (QChartView* view : {window.accuracyChart(), window.answersChart()}) {
        auto* axis = qobject_cast<QCategoryAxis*>(view->chart()->axes(Qt::Horizontal).front());
        ASSERT_NE(axis, nullptr);
        EXPECT_EQ(axis->categoriesLabels(),
                  (QStringList{QStringLiteral("1. 12."), QStringLiteral("2. 12."), QStringLiteral("3. 12."),
                               QStringLiteral("4. 12."), QStringLiteral("5. 12."), QStringLiteral("6. 12."),
                               QStringLiteral("7. 12.")}));
        EXPECT_DOUBLE_EQ(axis->min(), weekStart);
        EXPECT_DOUBLE_EQ(axis->max(), end);
        // The last label stands under the day of the answers.
        EXPECT_DOUBLE_EQ(axis->endValue(QStringLiteral("7. 12.")), end);
    }
    const auto bars =
        static_cast<QAreaSeries*>(window.answersChart()->chart()->series()[0])->upperSeries()->points();
    ASSERT_EQ(bars.size(), 4);
    EXPECT_GE(bars[0].x(), end - day);
    EXPECT_LE(bars[3].x(), end);
    EXPECT_DOUBLE_EQ(bars[1].y(), 3.0);

    window.resize(300, 540);
    window.refresh();
    for (QChartView* view : {window.accuracyChart(), window.answersChart()}) {
        auto* axis = static_cast<QCategoryAxis*>(view->chart()->axes(Qt::Horizontal).front());
        const QStringList labels = axis->categoriesLabels();
        EXPECT_GE(labels.size(), 1);
        EXPECT_LT(labels.size(), 7);
        EXPECT_EQ(QSet<QString>(labels.begin(), labels.end()).size(), labels.size());
        // A week's label marks where the week begins, the axis's start first.
        ASSERT_FALSE(labels.isEmpty());
        EXPECT_DOUBLE_EQ(axis->endValue(labels.front()), axis->min());
        EXPECT_LE(axis->min(), weekStart);
        EXPECT_GE(axis->max(), end);
    }
}

// With no answers yet the count axis reads 0 1 2 3 4 5, not repeated
// rounded fractions.
TEST(ProgressFormTest, AnEmptyHistoryHasRoundTicks) {
    QTemporaryDir dir;
    HistoryStore store(dir.path());
    TProgressForm window(store);
    window.refresh();
    auto* count = static_cast<QValueAxis*>(window.answersChart()->chart()->axes(Qt::Vertical).front());
    EXPECT_EQ(count->min(), 0.0);
    EXPECT_EQ(count->max(), 5.0);
    EXPECT_EQ(count->tickCount(), 6);
    EXPECT_TRUE(static_cast<QAreaSeries*>(window.answersChart()->chart()->series()[0])
                    ->upperSeries()
                    ->points()
                    .isEmpty());
}

// "Izbriši zgodovino" deletes what cannot be restored: Enter alone keeps the
// history, only an explicit "Da" deletes it.
TEST(ProgressFormTest, DeletingTheHistoryNeedsAnExplicitYes) {
    QTemporaryDir dir;
    HistoryStore store(dir.path());
    ASSERT_TRUE(
        store.record(AnswerRecord{QDateTime::currentMSecsSinceEpoch(), "Pari", "b", "b", "b", true, 500},
                     progress::attributeAnswer("b", {"b"}, "b")));
    TProgressForm window(store);
    std::vector<messages::Request> asked;
    int choice = -1;
    messages::setResponder([&](const messages::Request& request) {
        asked.push_back(request);
        return choice < 0 ? request.defaultButton : choice;
    });
    QTest::mouseClick(window.form().BtnIzbrisi, Qt::LeftButton);  // Enter: the default
    ASSERT_EQ(asked.size(), 1u);
    const messages::Request& question = asked[0];
    EXPECT_EQ(question.buttons.value(question.defaultButton), QStringLiteral("Ne"));
    EXPECT_EQ(question.buttons.value(question.escapeButton), QStringLiteral("Ne"));
    EXPECT_EQ(store.answerCount(), 1);
    choice = static_cast<int>(question.buttons.indexOf(QStringLiteral("Da")));
    QTest::mouseClick(window.form().BtnIzbrisi, Qt::LeftButton);
    EXPECT_EQ(store.answerCount(), 0);
    messages::setResponder({});
}

// On a screen smaller than its usual size the window opens wholly on it.
TEST(ProgressFormTest, OpensNoLargerThanTheScreen) {
    QTemporaryDir dir;
    HistoryStore store(dir.path());
    TProgressForm window(store);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    window.resize(available.width() + 300, available.height() + 300);
    window.move(available.topLeft() + QPoint(50, 50));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(QTest::qWaitFor([&] { return available.contains(window.frameGeometry()); }))
        << window.frameGeometry().x() << "," << window.frameGeometry().y() << " "
        << window.frameGeometry().width() << "x" << window.frameGeometry().height();
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
