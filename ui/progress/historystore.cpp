#include "ui/progress/historystore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStandardPaths>
#include <QVariant>

#include "qtcore/qtext.h"

namespace {

// SQLite's primary result codes that mean the file itself is not sound.
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteNotADatabase = 26;
constexpr int kSqliteCannotOpen = 14;

int primaryCode(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xFF) : 0;
}

bool damaged(const QSqlError& error) {
    const int code = primaryCode(error);
    return code == kSqliteCorrupt || code == kSqliteNotADatabase;
}

// What went wrong, in the user's words for the usual cases; SQLite's own
// (English) text only for the rare ones.
QString reason(const QSqlError& error) {
    switch (primaryCode(error)) {
        case 3:  // SQLITE_PERM
        case 8:  // SQLITE_READONLY
        case 23: // SQLITE_AUTH
            return QStringLiteral("datoteke ni dovoljeno spreminjati");
        case 5:  // SQLITE_BUSY
        case 6:  // SQLITE_LOCKED
            return QStringLiteral("zgodovino ima zaklenjeno drug program");
        case 7:  // SQLITE_NOMEM
            return QStringLiteral("zmanjkalo je pomnilnika");
        case 10:  // SQLITE_IOERR
            return QStringLiteral("napaka pri branju ali pisanju diska");
        case kSqliteCorrupt:
        case kSqliteNotADatabase:
            return QStringLiteral("datoteka je po\u0161kodovana");
        case 13:  // SQLITE_FULL
            return QStringLiteral("disk je poln");
        case kSqliteCannotOpen:
            return QStringLiteral("datoteke ni mogo\u010De odpreti");
        default:
            break;
    }
    return error.text();
}

// Each step brings the tables from version i to i + 1.
const char* const kMigrations[][7] = {
    // 0 -> 1
    {"CREATE TABLE answers (id INTEGER PRIMARY KEY, at INTEGER NOT NULL, day INTEGER NOT NULL, "
     "task TEXT NOT NULL, letters TEXT NOT NULL, expected TEXT NOT NULL, typed TEXT NOT NULL, "
     "correct INTEGER NOT NULL, ms INTEGER NOT NULL)",
     "CREATE INDEX answers_by_day ON answers (day, correct, ms)",
     "CREATE TABLE letter_results (answer_id INTEGER NOT NULL REFERENCES answers (id) ON DELETE CASCADE, "
     "letter INTEGER NOT NULL, correct INTEGER NOT NULL, typed TEXT NOT NULL, ms INTEGER NOT NULL, "
     "at INTEGER NOT NULL)",
     // Per letter, kept up to date with every answer, so that the window does
     // not add up every letter ever shown.
     "CREATE TABLE letter_totals (letter INTEGER PRIMARY KEY, shown INTEGER NOT NULL, wrong INTEGER NOT "
     "NULL, "
     "total_ms INTEGER NOT NULL, last_seen INTEGER NOT NULL, last_wrong INTEGER)",
     "CREATE INDEX letter_results_misses ON letter_results (letter, typed) WHERE correct = 0",
     "CREATE TABLE settings (key TEXT PRIMARY KEY, value INTEGER NOT NULL)"},
};

// Answers to words are marked in a column of their own (for the reading
// speed). A file of an older program gets it when it is opened, with its
// answers of the word drills found by their names; the older program names
// the columns it writes and reads, so the column does not disturb it.
bool addWordsColumn(QSqlDatabase& db) {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM pragma_table_info('answers') WHERE name = 'words'")) ||
        !query.next())
        return false;
    // The days' figures are read from an index that holds the column too.
    const auto indexed = [&query] {
        return query.exec(QStringLiteral(
            "CREATE INDEX IF NOT EXISTS answers_by_day_words ON answers (day, correct, ms, words)"));
    };
    if (query.value(0).toInt() > 0) {
        query.finish();
        indexed();
        return true;
    }
    query.finish();
    if (!db.transaction())
        return false;
    const bool ok =
        query.exec(QStringLiteral("ALTER TABLE answers ADD COLUMN words INTEGER NOT NULL DEFAULT 0")) &&
        query.exec(QStringLiteral("UPDATE answers SET words = 1 WHERE task IN ('Besede iz slovarja', "
                                  "'Tečaj') OR task LIKE 'Moje besedilo: %'")) &&
        indexed();
    if (!ok || !db.commit()) {
        db.rollback();
        return false;
    }
    return true;
}

QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) && text.trimmed() == text)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace

HistoryStore::HistoryStore(const QString& folder, QObject* parent) : QObject(parent), m_folder(folder) {}

HistoryStore::~HistoryStore() {
    closeFile();
}

QString HistoryStore::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Tengwar Ostrel");
}

QString HistoryStore::filePath() const {
    return QDir(m_folder).filePath(fileName());
}

bool HistoryStore::isOpen() const {
    return m_open;
}

bool HistoryStore::open() {
    if (m_open)
        return true;
    if (!QDir().mkpath(m_folder)) {
        tellOnce(m_toldWriteFailure,
                 QStringLiteral("Mape „%1“ ni mogoče ustvariti, zato se odgovori ne shranjujejo v zgodovino. "
                                "Vaja teče naprej kot običajno.")
                     .arg(QDir::toNativeSeparators(m_folder)));
        return false;
    }
    return openFile();
}

bool HistoryStore::openFile() {
    QSqlError error;
    bool newer = false;
    if (connectAndMigrate(error, newer)) {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        QSqlQuery setting(db);
        if (setting.exec(QStringLiteral("SELECT value FROM settings WHERE key = 'recording'")) &&
            setting.next())
            m_recording = setting.value(0).toInt() != 0;
        // The course reads each letter's latest answers; an index of its own
        // keeps that quick with a long history (a file of an older program
        // gets it here; the older program does not mind it).
        QSqlQuery index(db);
        index.exec(QStringLiteral(
            "CREATE INDEX IF NOT EXISTS letter_results_recent ON letter_results (letter, answer_id)"));
        // A file that cannot be changed is still read, without speeds.
        m_wordsColumn = addWordsColumn(db);
        m_insertAnswer = std::make_unique<QSqlQuery>(db);
        m_insertAnswer->prepare(
            m_wordsColumn
                ? QStringLiteral("INSERT INTO answers (at, day, task, letters, expected, typed, correct, ms, words) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
                : QStringLiteral("INSERT INTO answers (at, day, task, letters, expected, typed, correct, ms) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        m_addToTotals = std::make_unique<QSqlQuery>(db);
        m_addToTotals->prepare(QStringLiteral(
            "INSERT INTO letter_totals (letter, shown, wrong, total_ms, last_seen, last_wrong) "
            "VALUES (?, 1, ?, ?, ?, ?) "
            "ON CONFLICT (letter) DO UPDATE SET shown = shown + 1, wrong = wrong + excluded.wrong, "
            "total_ms = total_ms + excluded.total_ms, last_seen = MAX(last_seen, excluded.last_seen), "
            "last_wrong = COALESCE(MAX(last_wrong, excluded.last_wrong), last_wrong, excluded.last_wrong)"));
        m_insertLetter = std::make_unique<QSqlQuery>(db);
        m_insertLetter->prepare(
            QStringLiteral("INSERT INTO letter_results (answer_id, letter, correct, typed, ms, at) VALUES "
                           "(?, ?, ?, ?, ?, ?)"));
        m_open = true;
        return true;
    }
    const bool fileThere = QFileInfo::exists(filePath());
    closeFile();
    if (newer)
        return false;
    if (fileThere && (damaged(error) || primaryCode(error) == kSqliteCannotOpen)) {
        // Damaged, or a file SQLite cannot open: keep it aside and start
        // afresh (the new file does not exist yet, so this ends).
        return setAside() && openFile();
    }
    tellOnce(m_toldWriteFailure,
             QStringLiteral("Zgodovine odgovorov „%1“ ni mogoče odpreti (%2). Odgovori se ne "
                            "shranjujejo, vaja pa teče naprej kot običajno.")
                 .arg(QDir::toNativeSeparators(filePath()), reason(error)));
    return false;
}

// Opens the connection and brings the tables to kSchemaVersion, one
// transaction per step. A file from a newer program is left as it is.
bool HistoryStore::connectAndMigrate(QSqlError& error, bool& newer) {
    // A fresh name for every connection: one given up after a fault may still
    // be referred to by a caller's handle.
    static int connections = 0;
    m_connection = QStringLiteral("ostrel-history-%1").arg(++connections);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(filePath());
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=50"));
    if (!db.open()) {
        error = db.lastError();
        return false;
    }
    QSqlQuery query(db);
    const auto run = [&](const QString& statement) {
        if (query.exec(statement))
            return true;
        error = query.lastError();
        return false;
    };
    // The version is read before anything is set: a newer program's file is
    // not touched at all, not even switched to the write-ahead log.
    if (!run(QStringLiteral("PRAGMA user_version")))
        return false;
    if (!query.next()) {
        error = query.lastError();
        return false;
    }
    const int version = query.value(0).toInt();
    query.finish();
    if (version > kSchemaVersion) {
        newer = true;
        tellOnce(m_toldNewer,
                 QStringLiteral("Zgodovino odgovorov „%1“ je zapisala novejša različica programa. "
                                "Ta različica je ne bere in vanjo ne piše.")
                     .arg(QDir::toNativeSeparators(filePath())));
        return false;
    }
    if (!run(QStringLiteral("PRAGMA journal_mode = WAL")) ||
        !run(QStringLiteral("PRAGMA synchronous = NORMAL")) ||
        !run(QStringLiteral("PRAGMA foreign_keys = ON")))
        return false;
    for (int step = version; step < kSchemaVersion; ++step) {
        if (!db.transaction()) {
            error = db.lastError();
            return false;
        }
        bool ok = true;
        for (const char* statement : kMigrations[step]) {
            if (statement != nullptr && ok)
                ok = run(QLatin1String(statement));
        }
        ok = ok && run(QStringLiteral("PRAGMA user_version = %1").arg(step + 1));
        if (!ok) {
            db.rollback();
            return false;
        }
        if (!db.commit()) {
            error = db.lastError();
            return false;
        }
    }
    return true;
}

void HistoryStore::closeFile() {
    m_insertAnswer.reset();
    m_insertLetter.reset();
    m_addToTotals.reset();
    m_open = false;
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

bool HistoryStore::setAside() {
    const QString path = filePath();
    QString aside = path + QStringLiteral(".bak");
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = path + QStringLiteral(".%1.bak").arg(n);
    // The journal goes with the file it belongs to: left behind, it would be
    // played into the new history.
    QFile::remove(path + QStringLiteral("-shm"));
    if (QFileInfo::exists(path + QStringLiteral("-wal")) &&
        !QFile::rename(path + QStringLiteral("-wal"), aside + QStringLiteral("-wal")))
        QFile::remove(path + QStringLiteral("-wal"));
    if (!QFile::rename(path, aside)) {
        tellOnce(
            m_toldWriteFailure,
            QStringLiteral("Zgodovina odgovorov „%1“ je poškodovana in je ni mogoče umakniti. Odgovori se "
                           "ne shranjujejo, vaja pa teče naprej kot običajno.")
                .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    // What was read from the old file is out of date now.
    ++m_revision;
    tellOnce(m_toldDamage, QStringLiteral("Zgodovina odgovorov je bila poškodovana. Shranjena je kot „%1“, "
                                          "nova zgodovina se začne prazna.")
                               .arg(QDir::toNativeSeparators(aside)));
    return true;
}

void HistoryStore::tellOnce(bool& told, const QString& text) {
    if (told)
        return;
    told = true;
    emit notice(text);
}

void HistoryStore::failed(const QSqlError& error) {
    if (damaged(error)) {
        closeFile();
        if (setAside())
            openFile();
        return;
    }
    tellOnce(m_toldWriteFailure,
             QStringLiteral("Odgovora ni bilo mogoče zapisati v zgodovino (%1). Vaja teče "
                            "naprej; odgovori, ki se ne zapišejo, se izgubijo.")
                 .arg(reason(error)));
}

void HistoryStore::setRecordingEnabled(bool on) {
    m_recording = on;
    storeSetting(QStringLiteral("recording"), on ? 1 : 0);
}

int HistoryStore::storedSetting(const QString& key, int fallback) {
    if (!open())
        return fallback;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("SELECT value FROM settings WHERE key = ?"));
    query.addBindValue(key);
    if (!query.exec()) {
        failed(query.lastError());
        return fallback;
    }
    return query.next() ? query.value(0).toInt() : fallback;
}

void HistoryStore::storeSetting(const QString& key, int value) {
    if (!open())
        return;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO settings (key, value) VALUES (?, ?)"));
    query.addBindValue(key);
    query.addBindValue(value);
    if (!query.exec())
        failed(query.lastError());
}

int HistoryStore::courseLetters() {
    return storedSetting(QStringLiteral("course_letters"), 0);
}

void HistoryStore::setCourseLetters(int count) {
    storeSetting(QStringLiteral("course_letters"), count);
    ++m_revision;
}

std::vector<course::RecentResult> HistoryStore::recentResults(unsigned char letter, int count) {
    std::vector<course::RecentResult> result;
    if (!open())
        return result;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    // A letter met twice in one answer counts once, right only when read
    // right both times.
    query.prepare(QStringLiteral(
        "SELECT MIN(r.correct), a.ms, MAX(1, LENGTH(a.letters)) FROM letter_results r "
        "JOIN answers a ON a.id = r.answer_id WHERE r.letter = ? GROUP BY r.answer_id "
        "ORDER BY r.answer_id DESC LIMIT ?"));
    query.addBindValue(static_cast<int>(letter));
    query.addBindValue(count);
    if (!query.exec()) {
        failed(query.lastError());
        return result;
    }
    while (query.next()) {
        result.push_back(course::RecentResult{query.value(0).toInt() != 0,
                                              static_cast<int>(query.value(1).toLongLong() /
                                                               std::max(1, query.value(2).toInt()))});
    }
    return result;
}

bool HistoryStore::record(const AnswerRecord& answer, const std::vector<progress::LetterOutcome>& outcomes) {
    if (!m_recording || !open())
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction()) {
        failed(db.lastError());
        return false;
    }
    const qint64 day = QDateTime::fromMSecsSinceEpoch(answer.atMs).date().toJulianDay();
    QSqlQuery& a = *m_insertAnswer;
    a.bindValue(0, static_cast<qint64>(answer.atMs));
    a.bindValue(1, day);
    a.bindValue(2, fromCp1250(answer.task));
    a.bindValue(3, fromCp1250(answer.letters));
    a.bindValue(4, fromCp1250(answer.expected));
    a.bindValue(5, fromCp1250(answer.typed));
    a.bindValue(6, answer.correct ? 1 : 0);
    a.bindValue(7, answer.ms);
    if (m_wordsColumn)
        a.bindValue(8, answer.words);
    bool ok = a.exec();
    QSqlError error = a.lastError();
    const QVariant id = a.lastInsertId();
    for (const progress::LetterOutcome& outcome : outcomes) {
        if (!ok)
            break;
        QSqlQuery& l = *m_insertLetter;
        l.bindValue(0, id);
        l.bindValue(1, static_cast<int>(outcome.letter));
        l.bindValue(2, outcome.right ? 1 : 0);
        l.bindValue(3, fromCp1250(outcome.typed));
        l.bindValue(4, answer.ms);
        l.bindValue(5, static_cast<qint64>(answer.atMs / 1000));
        ok = l.exec();
        if (!ok) {
            error = l.lastError();
            break;
        }
        QSqlQuery& t = *m_addToTotals;
        t.bindValue(0, static_cast<int>(outcome.letter));
        t.bindValue(1, outcome.right ? 0 : 1);
        t.bindValue(2, answer.ms);
        t.bindValue(3, static_cast<qint64>(answer.atMs / 1000));
        t.bindValue(4, outcome.right ? QVariant() : QVariant(static_cast<qint64>(answer.atMs / 1000)));
        ok = t.exec();
        if (!ok)
            error = t.lastError();
    }
    if (ok && !db.commit()) {
        ok = false;
        error = db.lastError();
    }
    if (!ok) {
        db.rollback();
        failed(error);
    }
    ++m_revision;
    return ok;
}

bool HistoryStore::record(const AnswerRecord& answer, const ReadBackRules& rules) {
    if (!m_recording)
        return false;
    return record(answer, progress::attributeAnswer(
                              answer.letters, progress::readingsOf(answer.letters, rules), answer.typed));
}

bool HistoryStore::clear() {
    if (!open())
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    if (!db.transaction()) {
        failed(db.lastError());
        return false;
    }
    if (!query.exec(QStringLiteral("DELETE FROM letter_results")) ||
        !query.exec(QStringLiteral("DELETE FROM answers")) ||
        !query.exec(QStringLiteral("DELETE FROM letter_totals"))) {
        const QSqlError error = query.lastError();
        db.rollback();
        failed(error);
        return false;
    }
    if (!db.commit()) {
        failed(db.lastError());
        return false;
    }
    ++m_revision;
    // Give the space back, so that the deleted answers are gone from the disk too.
    query.exec(QStringLiteral("VACUUM"));
    query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return true;
}

std::vector<progress::LetterHistory> HistoryStore::letterHistory() {
    std::vector<progress::LetterHistory> result;
    if (!open())
        return result;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral(
            "SELECT letter, shown, wrong, CAST(total_ms AS REAL) / shown, last_seen, last_wrong "
            "FROM letter_totals ORDER BY letter"))) {
        failed(query.lastError());
        return result;
    }
    while (query.next()) {
        progress::LetterHistory h;
        h.letter = static_cast<unsigned char>(query.value(0).toInt());
        h.shown = query.value(1).toInt();
        h.wrong = query.value(2).toInt();
        h.averageMs = query.value(3).toDouble();
        h.lastSeen = query.value(4).toLongLong();
        h.lastWrong = query.value(5).isNull() ? 0 : query.value(5).toLongLong();
        result.push_back(h);
    }
    return result;
}

std::vector<progress::Confusion> HistoryStore::confusions(int limit) {
    std::vector<progress::Confusion> result;
    if (!open())
        return result;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(
        QStringLiteral("SELECT letter, typed, COUNT(*) AS n FROM letter_results WHERE correct = 0 "
                       "GROUP BY letter, typed ORDER BY n DESC, letter, typed LIMIT ?"));
    query.addBindValue(limit);
    if (!query.exec()) {
        failed(query.lastError());
        return result;
    }
    while (query.next()) {
        result.push_back(progress::Confusion{static_cast<unsigned char>(query.value(0).toInt()),
                                             toCp1250(query.value(1).toString()), query.value(2).toInt()});
    }
    return result;
}

std::vector<progress::DayTotals> HistoryStore::days(qint64 fromDay) {
    std::vector<progress::DayTotals> result;
    if (!open())
        return result;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    // The reading speed: right answers to words and their time, breaks left out.
    const QString reading = m_wordsColumn ? QStringLiteral("words > 0 AND correct = 1 AND ms <= %1")
                                                .arg(progress::kLongestWordMs)
                                          : QStringLiteral("0");
    query.prepare(QStringLiteral("SELECT day, COUNT(*), SUM(correct), AVG(ms), "
                                 "SUM(CASE WHEN %1 THEN %2 ELSE 0 END), SUM(CASE WHEN %1 THEN ms ELSE 0 END) "
                                 "FROM answers WHERE day >= ? GROUP BY day ORDER BY day")
                      .arg(reading, m_wordsColumn ? QStringLiteral("words") : QStringLiteral("0")));
    query.addBindValue(fromDay);
    if (!query.exec()) {
        failed(query.lastError());
        return result;
    }
    while (query.next()) {
        progress::DayTotals day{query.value(0).toLongLong(), query.value(1).toInt(), query.value(2).toInt(),
                                query.value(3).toDouble()};
        day.reading = progress::ReadingTime{query.value(4).toLongLong(), query.value(5).toLongLong()};
        result.push_back(day);
    }
    return result;
}

progress::ReadingTime HistoryStore::recentReading(int answers) {
    progress::ReadingTime reading;
    if (!open() || !m_wordsColumn)
        return reading;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("SELECT COALESCE(SUM(words), 0), COALESCE(SUM(ms), 0) FROM (SELECT words, ms "
                                 "FROM answers WHERE words > 0 AND correct = 1 AND ms <= ? "
                                 "ORDER BY id DESC LIMIT ?)"));
    query.addBindValue(progress::kLongestWordMs);
    query.addBindValue(answers);
    if (!query.exec() || !query.next()) {
        failed(query.lastError());
        return reading;
    }
    reading.words = query.value(0).toLongLong();
    reading.ms = query.value(1).toLongLong();
    return reading;
}

qint64 HistoryStore::answerCount(qint64* correct) {
    if (correct != nullptr)
        *correct = 0;
    if (!open())
        return 0;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("SELECT COUNT(*), COALESCE(SUM(correct), 0) FROM answers")) ||
        !query.next()) {
        failed(query.lastError());
        return 0;
    }
    if (correct != nullptr)
        *correct = query.value(1).toLongLong();
    return query.value(0).toLongLong();
}

bool HistoryStore::exportCsv(const QString& path, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error != nullptr)
            *error = why;
        return false;
    };
    if (!open())
        return fail(QStringLiteral("zgodovine ni mogoče odpreti"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return fail(file.errorString());
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral(
            "SELECT at, task, letters, expected, typed, correct, ms FROM answers ORDER BY at, id"))) {
        const QString why = reason(query.lastError());
        failed(query.lastError());
        return fail(why);
    }
    // UTF-8 with a byte-order mark, so spreadsheet programs read the letters
    // right, and one name for each column.
    file.write("\xEF\xBB\xBF");
    QString text =
        QStringLiteral("datum in ura,naloga,črke,pravilni odgovor,odgovor,pravilno,čas odgovora (ms)\n");
    while (query.next()) {
        const QDateTime at = QDateTime::fromMSecsSinceEpoch(query.value(0).toLongLong());
        text += at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QLatin1Char(',') +
                csvField(query.value(1).toString()) + QLatin1Char(',') + csvField(query.value(2).toString()) +
                QLatin1Char(',') + csvField(query.value(3).toString()) + QLatin1Char(',') +
                csvField(query.value(4).toString()) + QLatin1Char(',') +
                (query.value(5).toInt() != 0 ? QStringLiteral("da") : QStringLiteral("ne")) +
                QLatin1Char(',') + query.value(6).toString() + QLatin1Char('\n');
        if (text.size() > (1 << 16)) {
            file.write(text.toUtf8());
            text.clear();
        }
    }
    file.write(text.toUtf8());
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
