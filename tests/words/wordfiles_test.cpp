// Files the word drills are given that are no word list or no text: a named
// pipe, a binary file, a dictionary of garbage. Each is refused with a
// message in Slovenian, at once, and a sound file beside them still works.

#include <QEventLoop>
#include <QFile>
#include <QSignalSpy>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>

#include "app/shellfixture.h"
#include "core/words/wordlist.h"
#include "ui/words/worddrills.h"

namespace {

class WordFilesTest : public ShownMainFormTest {
protected:
    void SetUp() override {
        ShownMainFormTest::SetUp();
        drills = form->wordDrills();
    }

    // Opens a file as the learner's own text and waits (10 s at most) for the
    // run or the refusal; the refusal's text, empty when the text was taken.
    QString openText(const QString& path) {
        QString problem;
        bool ready = false;
        const auto refused = QObject::connect(drills, &WordDrills::problem, [&](const QString& text) { problem = text; });
        const auto taken = QObject::connect(drills, &WordDrills::runReady, [&] { ready = true; });
        drills->openTextFile(path);
        QEventLoop loop;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        QObject::connect(drills, &WordDrills::runReady, &loop, &QEventLoop::quit);
        QObject::connect(drills, &WordDrills::problem, &loop, &QEventLoop::quit);
        if (drills->textLoading())
            loop.exec();
        QObject::disconnect(refused);
        QObject::disconnect(taken);
        EXPECT_TRUE(ready || !problem.isEmpty()) << "no answer for " << path.toStdString();
        return problem;
    }

    void writeBytes(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QString loadDictionary(const QString& path) {
        QSignalSpy changed(drills, &WordDrills::entriesChanged);
        drills->loadDictionary(path);
        while (drills->dictionaryLoading())
            EXPECT_TRUE(changed.wait(10000));
        return drills->entries().dictionaryWhy;
    }

    QTemporaryDir dir;
    WordDrills* drills = nullptr;
};

TEST_F(WordFilesTest, OwnTextsThatAreNoTextFilesAreRefusedWithAMessage) {
    const QString pipe = dir.filePath(QStringLiteral("cev"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString problem = openText(pipe);
    if (drills->textLoading()) {
        // The reading waits in the pipe: a writer that comes and goes lets it end.
        const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
        ADD_FAILURE() << "the reading waited in the named pipe";
        QSignalSpy done(drills, &WordDrills::problem);
        done.wait(10000);
    }
    EXPECT_TRUE(problem.contains(QStringLiteral("cev ali naprava"))) << problem.toStdString();

    // A program (NUL bytes between words) is no text to read word by word.
    const QString binary = dir.filePath(QStringLiteral("program"));
    writeBytes(binary, QByteArray("\x7F" "ELF\x02\x01\x01\0\0\0hiša miza\0\0\x03\0kolo\n", 26));
    EXPECT_TRUE(openText(binary).contains(QStringLiteral("ni besedilo"))) << openText(binary).toStdString();

    // The same words as text are taken.
    const QString text = dir.filePath(QStringLiteral("besedilo.txt"));
    writeBytes(text, QStringLiteral("hiša miza kolo\n").toUtf8());
    EXPECT_EQ(openText(text), QString());
}

// Random bytes give a few "words" by chance; drilled, they are random glyphs.
// A file where hardly an entry gives a word is damaged, said as such.
TEST_F(WordFilesTest, ADictionaryOfGarbageIsDamagedNotDrilled) {
    std::mt19937 random(3);
    QByteArray garbage;
    for (int i = 0; i < 400000; ++i)
        garbage += static_cast<char>(random() % 256);
    QByteArray noNul = garbage;
    noNul.replace('\0', '\x01');
    const QString path = dir.filePath(QStringLiteral("sl_SI.dic"));
    for (const QByteArray& bytes : {garbage, noNul}) {
        writeBytes(path, bytes);
        EXPECT_TRUE(loadDictionary(path).contains(QStringLiteral("poškodovan")));
        EXPECT_FALSE(drills->entries().dictionary);
    }

    // Rows at the border: one entry in twenty giving a word is still a list,
    // fewer is damage; under twenty entries nothing is judged; names are
    // left out of a sound list, they are no damage.
    const auto entries = [](int words, int others) {
        QByteArray dic = QByteArray::number(words + others) + '\n';
        for (int i = 0; i < words; ++i)
            dic += "beseda" + QByteArray(1, static_cast<char>('a' + i % 26)) + QByteArray(1, 'a' + i / 26) + "/A\n";
        for (int i = 0; i < others; ++i)
            dic += "Ime" + QByteArray::number(i) + "/N\n";
        return dic;
    };
    struct Row {
        int words;
        int others;
        bool damaged;
    };
    for (const Row& row : {Row{1, 39, true}, Row{2, 38, false}, Row{0, 19, false}, Row{0, 20, true}, Row{20, 20, false}}) {
        SCOPED_TRACE(row.words * 100 + row.others);
        const QByteArray dic = entries(row.words, row.others);
        std::size_t count = 0;
        const words::WordList list = words::parseDictionary(dic.toStdString(), words::DicCharset::Utf8, &count);
        EXPECT_EQ(count, std::size_t(row.words + row.others));
        EXPECT_EQ(words::dictionaryDamaged(dic.toStdString(), count, list.size()), row.damaged);
    }
    writeBytes(path, entries(20, 20));
    EXPECT_EQ(loadDictionary(path), QString());
    EXPECT_TRUE(drills->entries().dictionary);
}

}  // namespace
