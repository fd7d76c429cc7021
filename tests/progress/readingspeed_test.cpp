#include <gtest/gtest.h>

#include <QChartView>
#include <QDateTime>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <limits>

#include "core/progress/readingspeed.h"
#include "ui/progress/historystore.h"
#include "ui/progress/tprogressform.h"

namespace {

const QDateTime kToday(QDate(2026, 12, 7), QTime(15, 0));

AnswerRecord answer(const QDateTime& at, const char* task, bool right, int ms, int words) {
    return AnswerRecord{at.toMSecsSinceEpoch(), task, "ta", "ta", right ? "ta" : "to", right, ms, words};
}

TEST(ReadingSpeed, WordsPerMinuteOfRightAnswers) {
    struct Case {
        progress::ReadingTime reading;
        double perMinute;
    };
    const Case cases[] = {{{0, 0}, 0.0}, {{3, 0}, 0.0}, {{0, 5000}, 0.0}, {{1, 60'000}, 1.0}, {{3, 6000}, 30.0}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(progress::wordsPerMinute(c.reading), c.perMinute) << c.reading.words << "/" << c.reading.ms;
}

// Two days of the word drills beside a task: the speed of each day counts
// its right answers to words only, without the pause-long ones.
void recordTwoDays(HistoryStore& store) {
    const QDateTime yesterday = kToday.addDays(-1);
    const AnswerRecord answers[] = {
        answer(yesterday, "Tečaj", true, 1500, 1),
        answer(yesterday, "Besede iz slovarja", true, 2000, 1),
        answer(yesterday, "Moje besedilo: zgodba.txt", true, 2500, 1),
        answer(yesterday, "Tečaj", false, 1000, 1),                        // wrong
        answer(yesterday, "Tečaj", true, progress::kLongestWordMs + 1, 1),  // a break
        answer(yesterday, "Pari", true, 500, 0),                           // a task's letters
        answer(kToday, "Tečaj", true, 1000, 1),
        answer(kToday, "Tečaj", true, 1000, 1),
    };
    for (const AnswerRecord& a : answers)
        ASSERT_TRUE(store.record(a, std::vector<progress::LetterOutcome>{}));
}

TEST(ReadingSpeed, TheHistoryGivesTheSpeedPerDayAndOfTheLatestWords) {
    QTemporaryDir dir;
    HistoryStore store(dir.path());
    ASSERT_TRUE(store.open());
    recordTwoDays(store);
    const auto days = store.days(std::numeric_limits<qint64>::min());
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0].reading.words, 3);
    EXPECT_EQ(days[0].reading.ms, 6000);
    EXPECT_DOUBLE_EQ(progress::wordsPerMinute(days[0].reading), 30.0);
    EXPECT_DOUBLE_EQ(progress::wordsPerMinute(days[1].reading), 60.0);
    // Accuracy still counts every answer.
    EXPECT_EQ(days[0].answers, 6);
    const progress::ReadingTime latest = store.recentReading(2);
    EXPECT_EQ(latest.words, 2);
    EXPECT_EQ(latest.ms, 2000);
    EXPECT_DOUBLE_EQ(progress::wordsPerMinute(store.recentReading(50)), 5 * 60'000.0 / 8000);

    // "Napredek" charts it per day and the course's tab tells the latest.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Slovenian, QLocale::Slovenia));
    TProgressForm form(store);
    form.setClock([] { return kToday; });
    form.setRange(TProgressForm::Days30);
    form.refresh();
    const auto* series = static_cast<QLineSeries*>(form.speedChart()->chart()->series().front());
    ASSERT_EQ(series->count(), 2);
    EXPECT_DOUBLE_EQ(series->at(0).y(), 30.0);
    EXPECT_DOUBLE_EQ(series->at(1).y(), 60.0);
    EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(series->at(1).x())).date(), kToday.date());
    EXPECT_TRUE(form.courseSummary()->text().contains(QStringLiteral("): 37,5.")))
        << form.courseSummary()->text().toStdString();
    QLocale::setDefault(before);
}

// A history written before answers to words were marked: opening it marks
// them by their drills' names, leaves its version as it was, and the older
// program's own writing still works in it.
TEST(ReadingSpeed, AnOlderHistoryFileGainsTheSpeedAndStaysReadableForTheOlderProgram) {
    QTemporaryDir dir;
    const QString path = dir.filePath(HistoryStore::fileName());
    const qint64 day = kToday.date().toJulianDay();
    const auto olderProgramWrites = [&](const QString& task, int correct, int ms) {
        QSqlQuery insert(QSqlDatabase::database(QStringLiteral("older")));
        insert.prepare(QStringLiteral("INSERT INTO answers (at, day, task, letters, expected, typed, correct, ms) "
                                      "VALUES (?, ?, ?, 'ta', 'ta', 'ta', ?, ?)"));
        insert.addBindValue(kToday.toMSecsSinceEpoch());
        insert.addBindValue(day);
        insert.addBindValue(task);
        insert.addBindValue(correct);
        insert.addBindValue(ms);
        return insert.exec();
    };
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("older"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        for (const char* statement :
             {"CREATE TABLE answers (id INTEGER PRIMARY KEY, at INTEGER NOT NULL, day INTEGER NOT NULL, "
              "task TEXT NOT NULL, letters TEXT NOT NULL, expected TEXT NOT NULL, typed TEXT NOT NULL, "
              "correct INTEGER NOT NULL, ms INTEGER NOT NULL)",
              "CREATE TABLE letter_results (answer_id INTEGER NOT NULL, letter INTEGER NOT NULL, "
              "correct INTEGER NOT NULL, typed TEXT NOT NULL, ms INTEGER NOT NULL, at INTEGER NOT NULL)",
              "CREATE TABLE letter_totals (letter INTEGER PRIMARY KEY, shown INTEGER NOT NULL, wrong INTEGER "
              "NOT NULL, total_ms INTEGER NOT NULL, last_seen INTEGER NOT NULL, last_wrong INTEGER)",
              "CREATE TABLE settings (key TEXT PRIMARY KEY, value INTEGER NOT NULL)", "PRAGMA user_version = 1"})
            ASSERT_TRUE(query.exec(QLatin1String(statement))) << statement;
        ASSERT_TRUE(olderProgramWrites(QStringLiteral("Tečaj"), 1, 2000));
        ASSERT_TRUE(olderProgramWrites(QStringLiteral("Moje besedilo: zgodba.txt"), 1, 1000));
        ASSERT_TRUE(olderProgramWrites(QStringLiteral("Pari"), 1, 500));
        db.close();
    }
    {
        HistoryStore store(dir.path());
        ASSERT_TRUE(store.open());
        const auto days = store.days(day);
        ASSERT_EQ(days.size(), 1u);
        EXPECT_EQ(days[0].reading.words, 2);
        EXPECT_EQ(days[0].reading.ms, 3000);
        EXPECT_EQ(days[0].answers, 3);
        ASSERT_TRUE(store.record(answer(kToday, "Tečaj", true, 3000, 1), std::vector<progress::LetterOutcome>{}));
        EXPECT_EQ(store.days(day)[0].reading.words, 3);
    }
    {
        QSqlDatabase db = QSqlDatabase::database(QStringLiteral("older"));
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(QStringLiteral("PRAGMA user_version")) && query.next());
        EXPECT_EQ(query.value(0).toInt(), HistoryStore::kSchemaVersion);
        query.finish();
        EXPECT_TRUE(olderProgramWrites(QStringLiteral("Pari"), 0, 700));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("older"));
}

// A word read in exactly the longest time still counts; a millisecond more is
// a break. Both the day's figure and the latest words' follow the one limit.
TEST(ReadingSpeed, TheLongestWordTimeCountsAndOneMoreIsABreak) {
    const struct {
        std::int32_t ms;
        int words;
    } cases[] = {{progress::kLongestWordMs - 1, 1}, {progress::kLongestWordMs, 1}, {progress::kLongestWordMs + 1, 0}};
    for (const auto& c : cases) {
        QTemporaryDir dir;
        HistoryStore store(dir.path());
        ASSERT_TRUE(store.open());
        ASSERT_TRUE(store.record(answer(kToday, "Tečaj", true, c.ms, 1), std::vector<progress::LetterOutcome>{}));
        const auto days = store.days(std::numeric_limits<qint64>::min());
        ASSERT_EQ(days.size(), 1u) << c.ms;
        EXPECT_EQ(days[0].reading.words, c.words) << c.ms;
        EXPECT_EQ(store.recentReading(50).words, c.words) << c.ms;
    }
}

}  // namespace
