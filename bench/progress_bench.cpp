// The answer history: recording one answer, and opening the "Napredek"
// window over a long history. Needs a Qt platform: run with
// QT_QPA_PLATFORM=offscreen where there is no display.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <vector>

#include "core/exercise/generator.h"
#include "core/exercise/random.h"
#include "core/progress/drillweights.h"
#include "ui/progress/historystore.h"
#include "ui/progress/tprogressform.h"

namespace {

using Clock = std::chrono::steady_clock;

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Fills the store's file with `answers` answers of two letters each over the
// last 400 days (about one answer in seven wrong), straight through SQL.
bool fillHistory(HistoryStore& store, int answers) {
    if (!store.open())
        return false;
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("filler"));
        db.setDatabaseName(store.filePath());
        ok = db.open();
        QSqlQuery q(db);
        const qint64 end = QDateTime::currentMSecsSinceEpoch();
        const qint64 step = 400LL * 86'400'000 / answers;
        const QString numbers =
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ")
                .arg(answers);
        ok = ok && q.exec(QStringLiteral("BEGIN")) &&
             q.exec(numbers +
                    QStringLiteral(
                        "INSERT INTO answers (id, at, day, task, letters, expected, typed, correct, ms) "
                        "SELECT i, %1 + i * %2, CAST(julianday((%1 + i * %2) / 1000, 'unixepoch', "
                        "'localtime') + 0.5 AS INTEGER), 'Pari črk', c || v, c || v, "
                        "CASE WHEN i % 7 = 0 THEN 'x' || v ELSE c || v END, i % 7 != 0, 500 + i % 2000 "
                        "FROM (SELECT i, substr('bcdfghjklmnprstvz', i % 17 + 1, 1) AS c, "
                        "substr('aeiou', i % 5 + 1, 1) AS v FROM n)")
                        .arg(end - 400LL * 86'400'000)
                        .arg(step)) &&
             q.exec(QStringLiteral(
                 "INSERT INTO letter_results (answer_id, letter, correct, typed, ms, at) "
                 "SELECT id, unicode(substr(letters, 1, 1)), correct, substr(typed, 1, 1), ms, "
                 "at / 1000 FROM answers")) &&
             q.exec(QStringLiteral("INSERT INTO letter_results (answer_id, letter, correct, typed, ms, at) "
                                   "SELECT id, unicode(substr(letters, 2, 1)), 1, substr(typed, 2, 1), ms, "
                                   "at / 1000 FROM answers")) &&
             q.exec(QStringLiteral(
                 "INSERT INTO letter_totals SELECT letter, COUNT(*), SUM(correct = 0), SUM(ms), "
                 "MAX(at), MAX(CASE WHEN correct = 0 THEN at END) FROM letter_results "
                 "GROUP BY letter")) &&
             q.exec(QStringLiteral("COMMIT")) && q.exec(QStringLiteral("ANALYZE"));
        if (!ok)
            std::fprintf(stderr, "filling failed: %s\n", qPrintable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("filler"));
    return ok;
}

// One judged answer, attributed and written in its own transaction. The
// counters give the median and the 99th percentile of single recordings.
void BM_RecordAnswer(benchmark::State& state) {
    QTemporaryDir dir;
    HistoryStore store(dir.path());
    store.open();
    const std::vector<std::string> readings = {"b", "aa"};
    std::vector<double> times;
    std::int64_t at = QDateTime::currentMSecsSinceEpoch();
    for (auto _ : state) {
        const auto start = Clock::now();
        AnswerRecord r{++at, "Pari \xE8rk", "b\xE1", "baa", "ba", false, 1234};
        if (!store.record(r, progress::attributeAnswer(r.letters, readings, r.typed)))
            state.SkipWithError("not recorded");
        times.push_back(milliseconds(Clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["p99_ms"] = times[times.size() * 99 / 100];
}
BENCHMARK(BM_RecordAnswer)->Iterations(2000)->Unit(benchmark::kMicrosecond);

// Opening "Napredek" over a history of state.range(0) answers: the window is
// made, filled from the history and drawn once.
void BM_OpenProgressWindow(benchmark::State& state) {
    QTemporaryDir dir;
    HistoryStore store(dir.path());
    if (!fillHistory(store, static_cast<int>(state.range(0)))) {
        state.SkipWithError("no history");
        return;
    }
    for (auto _ : state) {
        TProgressForm window(store);
        window.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.grab());
    }
    state.counters["answers"] = static_cast<double>(store.answerCount());
}
BENCHMARK(BM_OpenProgressWindow)->Arg(100000)->Iterations(10)->Unit(benchmark::kMillisecond);

// The window's queries alone over the same history: per letter, the
// confusions, and the days.
void BM_HistoryQueries(benchmark::State& state) {
    QTemporaryDir dir;
    HistoryStore store(dir.path());
    if (!fillHistory(store, static_cast<int>(state.range(0)))) {
        state.SkipWithError("no history");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.letterHistory());
        benchmark::DoNotOptimize(store.confusions(50));
        benchmark::DoNotOptimize(store.days(std::numeric_limits<qint64>::min()));
        benchmark::DoNotOptimize(store.answerCount());
    }
}
BENCHMARK(BM_HistoryQueries)->Arg(100000)->Iterations(10)->Unit(benchmark::kMillisecond);

// Building the drill from the history and drawing an item of it.
void BM_DrillDraw(benchmark::State& state) {
    std::vector<progress::LetterHistory> history;
    for (unsigned char c : std::string("aeioubcdfghjklmnprstvz"))
        history.push_back({c, 100, c % 7, 1'800'000'000, 1'799'000'000, 900});
    const TaskDescriptions drill = progress::drillDescriptions(history, 1'800'000'000);
    std::uint32_t seed = 1;
    const RandomFunction random = [&](int n) { return random_source::draw(seed, n); };
    for (auto _ : state)
        benchmark::DoNotOptimize(drawTaskString(drill, 1, random));
}
BENCHMARK(BM_DrillDraw);

}  // namespace

int main(int argc, char** argv) {
    // The offscreen platform's remark on every window shown is no result.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        if (!text.contains(QLatin1String("propagateSizeHints")))
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
