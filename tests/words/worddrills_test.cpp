#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/shellfixture.h"
#include "core/exercise/random.h"
#include "core/exercise/tickclock.h"
#include "core/progress/course.h"
#include "qtcore/qtext.h"
#include "ui/exercise/exercisepage.h"
#include "ui/progress/historystore.h"
#include "ui/progress/tprogressform.h"
#include "ui/words/newletterbanner.h"
#include "ui/words/worddrills.h"

namespace {

class WordDrillsTest : public ShownMainFormTest {
protected:
    void SetUp() override {
        ShownMainFormTest::SetUp();
        tickclock::setSource([] { return 1000u; });
        random_source::setSeed(4);
        options().SetFlag(flag::WaitForEnter, false);
        page = form->exercisePage();
        drills = form->wordDrills();
        answer = page->findChild<QLineEdit*>(QStringLiteral("EdOdgovor1"));
    }
    void TearDown() override {
        tickclock::setSource({});
        ShownMainFormTest::TearDown();
    }

    // A dictionary in Hunspell's form (Latin-2, as Debian's Slovene one).
    QString writeDictionary(const QStringList& words) {
        const QString path = dir.filePath(QStringLiteral("sl_SI.dic"));
        QFile dic(path);
        EXPECT_TRUE(dic.open(QIODevice::WriteOnly));
        dic.write(QByteArray::number(words.size()) + '\n');
        for (const QString& word : words)
            dic.write((word + QStringLiteral("/A\n")).toUtf8());
        dic.close();
        QFile aff(dir.filePath(QStringLiteral("sl_SI.aff")));
        EXPECT_TRUE(aff.open(QIODevice::WriteOnly));
        aff.write("SET UTF-8\n");
        return path;
    }

    void loadDictionary(const QString& path) {
        QSignalSpy changed(drills, &WordDrills::entriesChanged);
        drills->loadDictionary(path);
        while (drills->dictionaryLoading())
            ASSERT_TRUE(changed.wait(10000));
    }

    // The entries below the tasks, as the menu shows them when it opens.
    QList<QAction*> wordEntries() {
        emit page->nalogePopup()->aboutToShow();
        const QList<QAction*> all = page->nalogePopup()->actions();
        QList<QAction*> below;
        bool afterSeparator = false;
        for (QAction* action : all) {
            if (action->isSeparator())
                afterSeparator = true;
            else if (afterSeparator)
                below.append(action);
        }
        return below;
    }

    // Types as the keyboard would, letters with a caron too.
    void type(const QString& text) {
        for (const QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(answer, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, answer, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    QString shownWord() const { return fromCp1250(page->state().item.answer); }

    QTemporaryDir dir;
    ExercisePage* page = nullptr;
    WordDrills* drills = nullptr;
    QLineEdit* answer = nullptr;
};

// A learner picks "Besede iz slovarja": each word is shown in Tengwar and
// judged by the script, so capitals and a spelling that writes the same
// Tengwar count as right; a wrong one shows the word; the history keeps the
// source.
TEST_F(WordDrillsTest, DictionaryWordsAreReadLikeAnyTaskAndJudgedByTheScript) {
    HistoryStore store(dir.filePath(QStringLiteral("zgodovina")));
    form->setHistory(&store);
    loadDictionary(writeDictionary({QStringLiteral("konj"), QStringLiteral("Ljubljana"), QStringLiteral("hiša")}));

    const QList<QAction*> entries = wordEntries();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0]->text(), QStringLiteral("Besede iz slovarja"));
    EXPECT_EQ(entries[1]->text(), QStringLiteral("Moje besedilo …"));
    EXPECT_EQ(entries[2]->text(), QStringLiteral("Tečaj"));
    for (QAction* entry : entries)
        EXPECT_TRUE(entry->isEnabled()) << entry->text().toStdString();

    entries[0]->trigger();
    EXPECT_EQ(page->taskName(), QStringLiteral("Besede iz slovarja"));
    EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("NaslovVaje1"))->text(), QStringLiteral("Besede iz slovarja"));
    int right = 0;
    for (int i = 0; i < 6; ++i) {
        const QString word = shownWord();
        ASSERT_TRUE(word == QStringLiteral("konj") || word == QStringLiteral("hiša")) << word.toStdString();
        EXPECT_FALSE(form->findChild<QLabel*>(QStringLiteral("TengwarLabel1"))->text().isEmpty());
        // nj and ng write the same letter under the default switches.
        type(word == QStringLiteral("konj") ? QStringLiteral("KonG") : QStringLiteral("HIŠA"));
        EXPECT_EQ(page->state().correct, ++right);
    }
    EXPECT_TRUE(boxes.empty());
    const QString word = shownWord();
    type(QStringLiteral("xxxx"));
    EXPECT_EQ(page->state().answers, 7);
    EXPECT_EQ(page->state().correct, 6);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], QStringLiteral("Pravilni odgovor je: „%1“.").arg(word));

    // The history has every answer with the drill as its source, and the
    // misread word's letters as missed.
    EXPECT_EQ(store.answerCount(), 7);
    const QString csv = dir.filePath(QStringLiteral("izvoz.csv"));
    ASSERT_TRUE(store.exportCsv(csv, nullptr));
    QFile exported(csv);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(exported.readAll()).count(QStringLiteral(",Besede iz slovarja,")), 7);
    bool missed = false;
    for (const auto& letter : store.letterHistory())
        missed = missed || letter.wrong > 0;
    EXPECT_TRUE(missed);
    form.reset();
}

// Without the dictionary its entry and the course's are greyed, and the
// status line says why when the menu opens; the own text still works.
TEST_F(WordDrillsTest, AMissingDictionaryLeavesItsEntriesDisabledWithAMessage) {
    HistoryStore store(dir.filePath(QStringLiteral("zgodovina")));
    form->setHistory(&store);
    loadDictionary(dir.filePath(QStringLiteral("ni/sl_SI.dic")));
    const QList<QAction*> entries = wordEntries();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_FALSE(entries[0]->isEnabled());
    EXPECT_TRUE(entries[1]->isEnabled());
    EXPECT_FALSE(entries[2]->isEnabled());
    EXPECT_TRUE(entries[0]->toolTip().contains(QStringLiteral("hunspell-sl")));
    EXPECT_TRUE(form->statusText().contains(QStringLiteral("Slovarja slovenskih besed ni")))
        << form->statusText().toStdString();
    entries[0]->trigger();
    EXPECT_FALSE(page->state().running());
    drills->startCourse();
    EXPECT_FALSE(page->state().running());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].contains(QStringLiteral("hunspell-sl")));
    form.reset();
}

// "Moje besedilo": a story is read word by word; after a restart it goes on
// at the first word not answered. A text that cannot be read starts nothing.
TEST_F(WordDrillsTest, AnOwnTextIsReadInOrderAndResumedAfterARestart) {
    const QString path = dir.filePath(QStringLiteral("zgodba.txt"));
    QFile story(path);
    ASSERT_TRUE(story.open(QIODevice::WriteOnly));
    story.write(QStringLiteral("Živel je kralj, ki je imel 3 hčere.\nNajmlajša je bila Špela.").toUtf8());
    story.close();

    // Reads a text in (off the main thread) and waits until it is there or
    // refused.
    const auto open = [this](const QString& file) {
        drills->openTextFile(file);
        QEventLoop loop;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        QObject::connect(drills, &WordDrills::runReady, &loop, &QEventLoop::quit);
        QObject::connect(drills, &WordDrills::problem, &loop, &QEventLoop::quit);
        if (drills->textLoading())
            loop.exec();
        ASSERT_FALSE(drills->textLoading());
    };
    open(path);
    EXPECT_EQ(page->taskName(), QStringLiteral("Moje besedilo: zgodba.txt"));
    const QStringList first = {QStringLiteral("Živel"), QStringLiteral("je"), QStringLiteral("kralj")};
    for (const QString& word : first) {
        EXPECT_EQ(shownWord(), word);
        type(word.toLower());
    }
    EXPECT_EQ(page->state().correct, 3);
    EXPECT_EQ(shownWord(), QStringLiteral("ki"));

    // The program ends and starts again over the same settings.
    form.reset();
    form = std::make_unique<TMainForm>();
    form->show();
    page = form->exercisePage();
    drills = form->wordDrills();
    answer = page->findChild<QLineEdit*>(QStringLiteral("EdOdgovor1"));
    EXPECT_EQ(drills->lastTextFile(), QFileInfo(path).absoluteFilePath());
    open(path);
    EXPECT_EQ(shownWord(), QStringLiteral("ki"));
    EXPECT_TRUE(form->statusText().startsWith(QStringLiteral("Nadaljujete"))) << form->statusText().toStdString();
    const QStringList rest = {QStringLiteral("ki"),  QStringLiteral("je"),         QStringLiteral("imel"),
                              QStringLiteral("hčere"), QStringLiteral("Najmlajša"), QStringLiteral("je"),
                              QStringLiteral("bila"), QStringLiteral("Špela")};
    for (const QString& word : rest) {
        ASSERT_EQ(shownWord(), word);
        type(word);
    }
    EXPECT_FALSE(page->state().running());
    EXPECT_EQ(form->statusText(), QStringLiteral("Besedilo „zgodba.txt“ je prebrano do konca."));

    // An empty file and a missing one: a message, no run.
    const QString empty = dir.filePath(QStringLiteral("prazno.txt"));
    QFile(empty).open(QIODevice::WriteOnly);
    open(empty);
    open(dir.filePath(QStringLiteral("ni.txt")));
    EXPECT_FALSE(page->state().running());
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], QStringLiteral("Datoteka „%1“ je prazna.").arg(QDir::toNativeSeparators(empty)));
    EXPECT_TRUE(boxes[1].startsWith(QStringLiteral("Datoteke „"))) << boxes[1].toStdString();
}

// "Tečaj": words only of the first letters; when every one is mastered the
// next letter unlocks, said in the status line, and "Napredek" shows it.
TEST_F(WordDrillsTest, TheCourseUnlocksALetterAndShowsItOnItsTab) {
    HistoryStore store(dir.filePath(QStringLiteral("zgodovina")));
    form->setHistory(&store);
    loadDictionary(writeDictionary({QStringLiteral("ne"), QStringLiteral("in"), QStringLiteral("tat"),
                                    QStringLiteral("titan"), QStringLiteral("tina"), QStringLiteral("nit"),
                                    QStringLiteral("tete"), QStringLiteral("neto"), QStringLiteral("oto"),
                                    QStringLiteral("riba")}));
    drills->startCourse();
    ASSERT_TRUE(page->state().running());
    EXPECT_EQ(page->taskName(), QStringLiteral("Tečaj"));
    EXPECT_EQ(store.courseLetters(), course::kStartLetters);

    int answers = 0;
    while (store.courseLetters() == course::kStartLetters && answers < 300) {
        const QString word = shownWord();
        ASSERT_FALSE(word.contains(QLatin1Char('o')) || word.contains(QLatin1Char('r'))) << word.toStdString();
        type(word);
        ++answers;
    }
    // The silent e has no word under these switches: it is passed over, and
    // o comes as the learner's sixth letter, shown large in the drill's area
    // while the answer field keeps the keyboard.
    ASSERT_EQ(store.courseLetters(), course::kStartLetters + 2);
    EXPECT_EQ(form->statusText(), QStringLiteral("Tečaj: nova črka „o“ (6. od %1).").arg(course::letterCount()));
    EXPECT_TRUE(boxes.empty());
    auto* banner = page->findChild<NewLetterBanner*>(QStringLiteral("NovaCrka"));
    ASSERT_NE(banner, nullptr);
    EXPECT_TRUE(banner->isVisible());
    EXPECT_EQ(banner->readingText(), QStringLiteral("o"));
    EXPECT_FALSE(banner->tengwarText().trimmed().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), answer);
    EXPECT_EQ(page->findChild<QLabel*>(QStringLiteral("VprasanjeLabel"))->text(),
              QStringLiteral("Katera beseda je na sliki?"));
    for (int i = 0; i < NewLetterBanner::kAnswersShown; ++i) {
        EXPECT_TRUE(banner->isVisible());
        type(shownWord());
    }
    EXPECT_FALSE(banner->isVisible());

    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("BtnNapredek")), Qt::LeftButton);
    TProgressForm* progress = form->progressForm();
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->courseSummary()->text().startsWith(
        QStringLiteral("Vaših črk: 6 od %1, obvladanih: 5. Naslednja: „b“.").arg(course::letterCount())))
        << progress->courseSummary()->text().toStdString();
    EXPECT_TRUE(progress->courseSummary()->text().contains(QStringLiteral("Hitrost branja (besed na minuto")));
    QTableWidget* table = progress->courseTable();
    const auto row = [](unsigned char letter) { return course::position(letter); };
    EXPECT_EQ(table->item(row('t'), 2)->text(), QStringLiteral("odklenjena"));
    EXPECT_EQ(table->item(row('t'), 5)->text(), QStringLiteral("obvladana"));
    EXPECT_EQ(table->item(row(0xEC), 2)->text(), QStringLiteral("preskočena"));
    EXPECT_EQ(table->item(row('o'), 2)->text(), QStringLiteral("odklenjena"));
    EXPECT_TRUE(table->item(row('o'), 5)->text().startsWith(QStringLiteral("še ")));
    // Only "riba" is left: r and the letters up to b come with b.
    EXPECT_EQ(table->item(row('r'), 2)->text(), QStringLiteral("bo preskočena"));
    EXPECT_EQ(table->item(row('b'), 2)->text(), QStringLiteral("naslednja"));
    EXPECT_EQ(table->item(row(0xE8), 2)->text(), QStringLiteral("zaklenjena"));
    progress->close();

    // The course ends: its line clears; a task asks for letters again.
    page->setFocus();
    QTest::mouseClick(page->findChild<QPushButton*>(QStringLiteral("KonecBtn")), Qt::LeftButton);
    EXPECT_EQ(form->statusText(), QString());
    page->StartTask(1);
    EXPECT_EQ(page->findChild<QLabel*>(QStringLiteral("VprasanjeLabel"))->text(),
              QStringLiteral("Katera črka oz. kombinacija črk je na sliki?"));
    form.reset();
}

}  // namespace
