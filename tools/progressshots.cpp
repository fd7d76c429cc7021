// Renders the "Napredek" window over a small made-up history, one picture per
// part, so that its layout can be looked at without practising first.
//
//   progressshots [--font FILE] [--out FOLDER]
//
// Run it with QT_QPA_PLATFORM=offscreen where there is no display.

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <cstdio>

#include "core/readback/readbackrules.h"
#include "pictureoptions.h"
#include "ui/progress/historystore.h"
#include "ui/progress/tprogressform.h"
#include "ui/widgets/programlook.h"
#include "ui_tprogressform.h"

namespace {

bool save(QWidget& widget, const QString& path) {
    QCoreApplication::processEvents();
    const bool ok = widget.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// A learner who practised consonant-vowel pairs on some of the last twelve
// days, mixing up t with p, d with b and k with g now and then, and getting
// better.
void practise(HistoryStore& store, const QDateTime& now) {
    const ReadBackRules& rules = readback::defaultRules();
    const char* items[] = {"ta",
                           "pe",
                           "di",
                           "bo",
                           "ku",
                           "ga",
                           "me",
                           "no",
                           "la",
                           "ri",
                           "su",
                           "ve",
                           "\xE8"
                           "a",
                           "\x9A"
                           "o"};
    const char* mistakes[][2] = {{"ta", "pa"}, {"di", "bi"}, {"ku", "gu"}, {"bo", "do"}, {"pe", "te"}};
    int n = 0;
    for (int day = 11; day >= 0; --day) {
        if (day % 4 == 2)
            continue;  // days off
        const int answers = 12 + (11 - day) * 2;
        for (int i = 0; i < answers; ++i, ++n) {
            AnswerRecord r;
            r.atMs = now.addDays(-day).addSecs(-3600 + i * 20).toMSecsSinceEpoch();
            r.task = "Soglasnik + samoglasnik";
            r.letters = items[n % std::size(items)];
            r.expected = TengwarToLatin(r.letters, rules);
            r.typed = r.expected;
            // Fewer mistakes as the days go by.
            if ((n * 7) % 10 < (day > 6 ? 4 : 2)) {
                const auto& m = mistakes[n % std::size(mistakes)];
                r.letters = m[0];
                r.expected = m[0];
                r.typed = m[1];
            }
            r.correct = r.typed == r.expected;
            r.ms = 900 + (n * 37) % 1500 + day * 120;
            // Every third answer is a word of the course: the reading speed.
            if (i % 3 == 0) {
                r.task = "Te\xE8" "aj";
                r.words = 1;
            }
            store.record(r, rules);
        }
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const std::optional<QDir> outFolder = pictureOutput(app);
    if (!outFolder) {
        return 1;
    }
    QLocale::setDefault(QLocale(QLocale::Slovenian, QLocale::Slovenia));
    const QDir& out = *outFolder;
    applyProgramLook();

    QTemporaryDir folder;
    HistoryStore store(folder.path());
    const QDateTime now(QDate(2026, 12, 7), QTime(18, 0));
    practise(store, now);

    TProgressForm window(store);
    window.setClock([now] { return now; });
    // Tall enough for the three charts of "Skozi čas" without scrolling.
    window.resize(660, 820);
    window.show();
    const char* names[] = {"napredek-crke", "napredek-zamenjave", "napredek-skozi-cas", "napredek-tecaj"};
    bool ok = true;
    for (int page = 0; page < 4; ++page) {
        window.form().Strani->setCurrentIndex(page);
        ok = save(window, out.filePath(QStringLiteral("%1.png").arg(QLatin1String(names[page])))) && ok;
    }
    return ok ? 0 : 1;
}
