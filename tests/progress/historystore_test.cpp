#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <limits>

#include "ui/progress/historystore.h"

namespace {

constexpr qint64 kNoon = 1'800'000'000'000;  // some day, in ms

// One answer with its letters' outcomes from the ordinary attribution.
struct Answer {
    std::string letters;
    std::vector<std::string> readings;
    std::string typed;
    qint64 at = kNoon;
    std::int32_t ms = 1000;
};

bool record(HistoryStore& store, const Answer& a) {
    AnswerRecord r;
    r.atMs = a.at;
    r.task = "Pari, \"\xE8rk\"";  // "Pari, "črk"": quoted in CSV
    r.letters = a.letters;
    for (const auto& reading : a.readings)
        r.expected += reading;
    r.typed = a.typed;
    r.correct = r.expected == r.typed;
    r.ms = a.ms;
    return store.record(r, progress::attributeAnswer(a.letters, a.readings, a.typed));
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(HistoryStoreTest, AnswersAreReadBackAfterReopeningAndExported) {
    QTemporaryDir dir;
    {
        HistoryStore store(dir.path());
        ASSERT_TRUE(store.open());
        EXPECT_TRUE(record(store, {"ba", {"b", "a"}, "ba", kNoon, 800}));
        EXPECT_TRUE(record(store, {"ba", {"b", "a"}, "da", kNoon + 1000, 1200}));
        EXPECT_TRUE(record(store, {"bo", {"b", "o"}, "do", kNoon - 86'400'000, 1000}));
    }
    HistoryStore store(dir.path());
    QSignalSpy notices(&store, &HistoryStore::notice);
    ASSERT_TRUE(store.open());
    EXPECT_EQ(store.answerCount(), 3);

    const auto letters = store.letterHistory();
    ASSERT_EQ(letters.size(), 3u);  // a, b, o
    const progress::LetterHistory& b = letters[1];
    EXPECT_EQ(b.letter, 'b');
    EXPECT_EQ(b.shown, 3);
    EXPECT_EQ(b.wrong, 2);
    EXPECT_DOUBLE_EQ(b.averageMs, 1000.0);
    EXPECT_EQ(b.lastSeen, (kNoon + 1000) / 1000);
    EXPECT_EQ(b.lastWrong, (kNoon + 1000) / 1000);
    EXPECT_EQ(letters[0].wrong, 0);

    const auto confusions = store.confusions(10);
    ASSERT_EQ(confusions.size(), 1u);
    EXPECT_EQ(confusions[0].letter, 'b');
    EXPECT_EQ(confusions[0].typed, "d");
    EXPECT_EQ(confusions[0].count, 2);

    const auto days = store.days(std::numeric_limits<qint64>::min());
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[1].julianDay, QDateTime::fromMSecsSinceEpoch(kNoon).date().toJulianDay());
    EXPECT_EQ(days[1].answers, 2);
    EXPECT_EQ(days[1].correct, 1);
    EXPECT_DOUBLE_EQ(days[1].averageMs, 1000.0);
    EXPECT_EQ(store.days(days[1].julianDay).size(), 1u);

    const QString csv = dir.filePath(QStringLiteral("out.csv"));
    QString error;
    ASSERT_TRUE(store.exportCsv(csv, &error)) << error.toStdString();
    // Spreadsheet programs know it for UTF-8 by its mark, and every column by its own name.
    const QByteArray bytes = readAll(csv);
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0],
              QStringLiteral("datum in ura,naloga,črke,pravilni odgovor,odgovor,pravilno,čas odgovora (ms)"));
    const QStringList names = lines[0].split(QLatin1Char(','));
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), names.size());
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(",\"Pari, \"\"črk\"\"\",bo,bo,do,ne,1000")))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[3].endsWith(QStringLiteral(",ba,ba,da,ne,1200")));
    EXPECT_EQ(notices.count(), 0);
}

TEST(HistoryStoreTest, RecordingOffRecordsNothingAndIsKept) {
    QTemporaryDir dir;
    {
        HistoryStore store(dir.path());
        store.setRecordingEnabled(false);
        EXPECT_FALSE(record(store, {"ba", {"b", "a"}, "ba"}));
    }
    HistoryStore store(dir.path());
    ASSERT_TRUE(store.open());
    EXPECT_FALSE(store.recordingEnabled());
    EXPECT_EQ(store.answerCount(), 0);
    store.setRecordingEnabled(true);
    EXPECT_TRUE(record(store, {"ba", {"b", "a"}, "ba"}));
    EXPECT_EQ(store.answerCount(), 1);
}

TEST(HistoryStoreTest, DeleteEmptiesTheHistory) {
    QTemporaryDir dir;
    HistoryStore store(dir.path());
    ASSERT_TRUE(record(store, {"ba", {"b", "a"}, "da"}));
    const quint64 before = store.revision();
    ASSERT_TRUE(store.clear());
    EXPECT_NE(store.revision(), before);
    EXPECT_EQ(store.answerCount(), 0);
    EXPECT_TRUE(store.letterHistory().empty());
    EXPECT_TRUE(store.confusions(10).empty());
    EXPECT_TRUE(record(store, {"ba", {"b", "a"}, "ba"}));
}

TEST(HistoryStoreTest, DamagedFileIsSetAsideAndANewOneStarted) {
    QTemporaryDir dir;
    const QByteArray garbage(8192, 'x');
    {
        HistoryStore store(dir.path());
        QFile file(store.filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(garbage);
    }
    HistoryStore store(dir.path());
    QSignalSpy notices(&store, &HistoryStore::notice);
    EXPECT_TRUE(store.open());
    ASSERT_EQ(notices.count(), 1);
    EXPECT_TRUE(notices[0][0].toString().contains(QStringLiteral("zgodovina.sqlite.bak")));
    EXPECT_EQ(readAll(store.filePath() + QStringLiteral(".bak")), garbage);
    EXPECT_TRUE(record(store, {"ba", {"b", "a"}, "ba"}));
    EXPECT_EQ(store.answerCount(), 1);
}

TEST(HistoryStoreTest, AHistoryFromANewerProgramIsLeftAlone) {
    QTemporaryDir dir;
    HistoryStore store(dir.path());
    {
        QSqlDatabase newer = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("newer"));
        newer.setDatabaseName(store.filePath());
        ASSERT_TRUE(newer.open());
        QSqlQuery query(newer);
        ASSERT_TRUE(
            query.exec(QStringLiteral("PRAGMA user_version = %1").arg(HistoryStore::kSchemaVersion + 1)));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("newer"));
    const QByteArray before = readAll(store.filePath());
    QSignalSpy notices(&store, &HistoryStore::notice);
    EXPECT_FALSE(record(store, {"ba", {"b", "a"}, "ba"}));
    EXPECT_FALSE(record(store, {"ba", {"b", "a"}, "ba"}));
    EXPECT_EQ(notices.count(), 1);
    EXPECT_EQ(readAll(store.filePath()), before);
    EXPECT_FALSE(QFile::exists(store.filePath() + QStringLiteral(".bak")));
}

TEST(HistoryStoreTest, AFolderThatCannotBeMadeLosesAnswersAndSaysSoOnce) {
    QTemporaryDir dir;
    // A plain file where the folder should be: nobody can make it, not even root.
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    HistoryStore store(dir.filePath(QStringLiteral("file/Tengwar Ostrel")));
    QSignalSpy notices(&store, &HistoryStore::notice);
    EXPECT_FALSE(record(store, {"ba", {"b", "a"}, "ba"}));
    EXPECT_FALSE(record(store, {"ba", {"b", "a"}, "ba"}));
    EXPECT_EQ(notices.count(), 1);
    EXPECT_TRUE(store.letterHistory().empty());
}

TEST(HistoryStoreTest, AFailedWriteLosesThatAnswerOnly) {
    QTemporaryDir dir;
    HistoryStore store(dir.path());
    QSignalSpy notices(&store, &HistoryStore::notice);
    ASSERT_TRUE(store.open());
    {
        // Another connection holds the file locked for writing.
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        other.setDatabaseName(store.filePath());
        ASSERT_TRUE(other.open());
        QSqlQuery lock(other);
        ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        EXPECT_FALSE(record(store, {"ba", {"b", "a"}, "ba"}));
        EXPECT_FALSE(record(store, {"ba", {"b", "a"}, "ba"}));
        EXPECT_TRUE(lock.exec(QStringLiteral("ROLLBACK")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    ASSERT_EQ(notices.count(), 1);
    // In the user's words, not SQLite's English "database is locked".
    const QString told = notices[0][0].toString();
    EXPECT_TRUE(told.contains(QStringLiteral("(zgodovino ima zaklenjeno drug program)"))) << told.toStdString();
    EXPECT_FALSE(told.contains(QStringLiteral("database"))) << told.toStdString();
    EXPECT_TRUE(record(store, {"ba", {"b", "a"}, "da"}));
    EXPECT_EQ(store.answerCount(), 1);
}

}  // namespace
