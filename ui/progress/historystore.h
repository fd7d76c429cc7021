#pragma once

#include <QObject>
#include <QSqlQuery>
#include <QString>
#include <memory>
#include <vector>

#include "core/progress/answerrecord.h"
#include "core/progress/attribution.h"
#include "core/progress/course.h"
#include "core/progress/drillweights.h"

class QSqlError;

// The learner's answer history: an SQLite file in the user's data folder, one
// row per judged answer and one per letter of it. Written in one short
// transaction per answer; the window's figures are aggregated by SQL over
// indexes, so they stay quick with a long history.
//
// Faults never stop the exercise: a file that is damaged or cannot be opened
// is set aside (".bak") and a new one started; a write that fails loses that
// one answer. Each kind of fault is told once per run through notice().
class HistoryStore : public QObject {
    Q_OBJECT

public:
    static constexpr int kSchemaVersion = 1;

    // The history lives in folder (created when missing).
    explicit HistoryStore(const QString& folder, QObject* parent = nullptr);
    ~HistoryStore() override;

    // $XDG_DATA_HOME/Tengwar Ostrel (usually ~/.local/share/Tengwar Ostrel).
    static QString defaultFolder();
    static QString fileName() { return QStringLiteral("zgodovina.sqlite"); }
    QString filePath() const;

    // Opens the file, making or updating its tables. False when the history
    // cannot be used now; a later record() tries again.
    bool open();
    bool isOpen() const;

    // Whether answers are recorded (on unless the learner turned it off; the
    // choice is kept in the history file).
    bool recordingEnabled() const { return m_recording; }
    void setRecordingEnabled(bool on);

    // Records one answer with its letters' outcomes. False when it was not
    // recorded (recording off, or a fault, which is told once).
    bool record(const AnswerRecord& answer, const std::vector<progress::LetterOutcome>& outcomes);
    // The same, each letter judged against its reading under rules.
    bool record(const AnswerRecord& answer, const ReadBackRules& rules);

    // Counts every change of the history (records, deletion), so that a view
    // knows whether it is out of date.
    quint64 revision() const { return m_revision; }

    // Empties the history (the file stays, its space given back).
    bool clear();

    // Per letter seen: answers, misses, last times, average time.
    std::vector<progress::LetterHistory> letterHistory();
    // The most frequent mistakes, most frequent first.
    std::vector<progress::Confusion> confusions(int limit);
    // Answers per day from the Julian day fromDay on, oldest first.
    std::vector<progress::DayTotals> days(qint64 fromDay);
    // The latest right answers to words (up to `answers` of them, breaks
    // left out) and their time: the current reading speed.
    progress::ReadingTime recentReading(int answers);
    // All answers, and through correct how many of them were right.
    qint64 answerCount(qint64* correct = nullptr);

    // The letter's most recent answers, newest first: whether it was read
    // right, and the answer's time shared among the item's letters.
    std::vector<course::RecentResult> recentResults(unsigned char letter, int count);
    // The course's number of unlocked letters (kept in the history file, 0
    // before the first course).
    int courseLetters();
    void setCourseLetters(int count);

    // Writes every answer as CSV (UTF-8, a header line, oldest first). On
    // failure error says why.
    bool exportCsv(const QString& path, QString* error);

signals:
    // A fault the learner should hear of, in Slovenian.
    void notice(const QString& text);

private:
    bool openFile();
    bool connectAndMigrate(QSqlError& error, bool& newer);
    void closeFile();
    // Handles a failed statement: a damaged file is set aside and a new one
    // started; anything else is told once as a lost answer.
    void failed(const QSqlError& error);
    bool setAside();
    int storedSetting(const QString& key, int fallback);
    void storeSetting(const QString& key, int value);
    void tellOnce(bool& told, const QString& text);

    QString m_folder;
    QString m_connection;
    bool m_open = false;
    bool m_recording = true;
    // Whether the file marks the answers to words (a file that could not be
    // given the column does not).
    bool m_wordsColumn = false;
    bool m_toldWriteFailure = false;
    bool m_toldDamage = false;
    bool m_toldNewer = false;
    quint64 m_revision = 0;
    std::unique_ptr<QSqlQuery> m_insertAnswer;
    std::unique_ptr<QSqlQuery> m_insertLetter;
    std::unique_ptr<QSqlQuery> m_addToTotals;
};
