// The settings file among other processes and odd files: several writers at
// once, special files in the places of the file and its lock, a file that
// ends inside a character, and a hand-written key the file's layout must
// keep readable.

#include "core/settings/options.h"
#include "core/transcription/cp1250.h"
#include "qtcore/storedfile.h"
#include "qtcore/storedform.h"
#include "ui/settings/settingsfilebackend.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

namespace {

StoreEnvironment testEnvironment() {
    StoreEnvironment env;
    env.executablePath = "/usr/bin/tengwar-ostrel";
    env.screenSize = [] { return StoreEnvironment::ScreenSize{1280, 1024}; };
    return env;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class SettingsFilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path())); }

    // The store probe's output, or a failure when it did not end in time (a
    // program that hangs at start).
    QString probe() {
        QProcess process;
        process.start(QStringLiteral(OSTREL_STORE_PROBE), {path});
        if (!process.waitForFinished(15000)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "the program did not get past opening its settings";
            return {};
        }
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Brinmoor Software, Inc./Tengwar Ostrel.conf"));
};

// Writers started at once, each writing keys of its own one by one: every
// write reported as saved is in the file afterwards, and none is refused.
// A second writer must never take a live writer's lock for a stale one.
TEST_F(SettingsFilesTest, EveryWriteReportedSavedByConcurrentWritersIsInTheFile) {
    constexpr int kWriters = 5;
    constexpr int kKeys = 120;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        QFile::remove(path);
        std::vector<std::unique_ptr<QProcess>> writers;
        for (int w = 0; w < kWriters; ++w) {
            auto process = std::make_unique<QProcess>();
            process->start(QStringLiteral(OSTREL_STORE_WRITER),
                           {path, QStringLiteral("r%1w%2k").arg(round).arg(w), QString::number(kKeys)});
            writers.push_back(std::move(process));
        }
        std::set<QString> confirmed;
        for (auto& process : writers) {
            ASSERT_TRUE(process->waitForFinished(240000));
            EXPECT_EQ(process->exitCode(), 0);
            const QString err = QString::fromUtf8(process->readAllStandardError());
            EXPECT_FALSE(err.contains(QStringLiteral("lock file"))) << err.toStdString();
            for (const QString& key :
                 QString::fromUtf8(process->readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                confirmed.insert(key);
            }
        }
        EXPECT_EQ(confirmed.size(), std::size_t{kWriters * kKeys}) << "writes refused while others wrote";
        const storedfile::ReadResult file = storedfile::parse(fileBytes(path), storedform::group());
        ASSERT_EQ(file.shape, storedfile::Shape::Sound);
        int lost = 0;
        for (const QString& key : confirmed) {
            const auto it = file.contents.values.find(key);
            const QString number = key.section(QLatin1Char('k'), -1);
            if (it == file.contents.values.end() || it->second != "int:" + number.toUtf8()) {
                ++lost;
            }
        }
        EXPECT_EQ(lost, 0) << "of " << confirmed.size() << " confirmed writes";
    }
}

// A lock file with no owner named in it is what a live writer shows between
// making the file and naming itself: while it is young, it stays.
TEST_F(SettingsFilesTest, AYoungEmptyLockIsAWriterAtWorkAndStays) {
    {
        SettingsFileBackend first(path);
        TOptions store(first, testEnvironment());
    }
    const QString lock = path + QStringLiteral(".lock");
    writeBytes(lock, QByteArray());
    SettingsFileBackend backend(path);
    TOptions store(backend, testEnvironment());
    EXPECT_TRUE(QFile::exists(lock));
    EXPECT_TRUE(store.TakeStartupNotice().empty());
}

// A named pipe where the settings file or its lock should be: the program
// starts at once on its defaults and says why nothing is saved; nothing
// opens the pipe (it would wait for a writer for ever).
TEST_F(SettingsFilesTest, NamedPipesInThePlacesOfTheFileAndTheLockAreRefusedWithoutWaiting) {
    const QString lock = path + QStringLiteral(".lock");
    struct Case {
        const char* what;
        QString pipe;
        const char* told;
    };
    const Case cases[] = {
        {"the settings file", path, "Namesto datoteke z nastavitvami"},
        {"the lock", lock, "Namesto datoteke zaklepa"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path);
        QFile::remove(lock);
        ASSERT_EQ(::mkfifo(QFile::encodeName(c.pipe).constData(), 0600), 0);
        const QString out = probe();
        EXPECT_TRUE(out.contains(QStringLiteral("zoomA=80\n"))) << out.toStdString();
        EXPECT_TRUE(out.contains(QString::fromUtf8(c.told))) << out.toStdString();
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(c.pipe).constData(), &info), 0);
        EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the pipe stays";
    }
    // A writer of the program's own sees the pipe lock too and refuses.
    SettingsFileBackend backend(path);
    backend.open();
    EXPECT_FALSE(backend.write("Zoom A", StoredValue::integer(5)));
    EXPECT_NE(QString::fromUtf8(cp1250::toUtf8(backend.takeNotice())).indexOf(QStringLiteral("zaklepa")), -1);
}

// Bytes that end inside a character are not UTF-8: such a file is no sound
// settings file, else the next write would put the stray byte inside it.
TEST(SettingsFileShape, AFileEndingInsideACharacterIsUnreadable) {
    struct Row {
        QByteArray tail;
        storedfile::Shape shape;
    };
    const Row rows[] = {
        {"\xC4", storedfile::Shape::Unreadable},              // the first of two bytes
        {"\xE2\x82", storedfile::Shape::Unreadable},          // two of three
        {"\xF0\x9F\x98", storedfile::Shape::Unreadable},      // three of four
        {"\xC4\x8D", storedfile::Shape::Sound},               // whole: č
        {"\xE2\x82\xAC", storedfile::Shape::Sound},           // whole: €
        {"\xF0\x9F\x98\x80", storedfile::Shape::Sound},       // whole: four bytes
        {"\xC4\n", storedfile::Shape::Unreadable},            // cut, then a line end
    };
    const QByteArray file = "[1.0]\nZoom%20A=int:5\nMoj=text:a";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tail.toHex().toStdString());
        EXPECT_EQ(storedfile::parse(file + row.tail, storedform::group()).shape, row.shape);
    }
    // The program's own layout, whole to its last line, with a cut line after it.
    const QByteArray own = storedfile::compose({}, storedform::group()) + "Moj=text:\xC4";
    EXPECT_EQ(storedfile::parse(own, storedform::group()).shape, storedfile::Shape::Unreadable);
}

// Through the program: the file is set aside at once with its notice, and
// what the program writes afterwards reads back without one.
TEST_F(SettingsFilesTest, AFileEndingInsideACharacterIsSetAsideNotWrittenInto) {
    writeBytes(path, "[1.0]\nZoom%20A=int:55\nMoj=text:\xC4");
    {
        SettingsFileBackend backend(path);
        TOptions store(backend, testEnvironment());
        EXPECT_FALSE(store.TakeStartupNotice().empty());
        EXPECT_EQ(fileBytes(path + QStringLiteral(".bak")), QByteArray("[1.0]\nZoom%20A=int:55\nMoj=text:\xC4"));
        store.SetZoomB(7);
    }
    SettingsFileBackend backend(path);
    TOptions store(backend, testEnvironment());
    EXPECT_TRUE(store.TakeStartupNotice().empty());
    EXPECT_EQ(store.GetZoomB(), 7);
    EXPECT_TRUE(fileBytes(path).isValidUtf8());
}

// A key written by hand with a slash at its end is the key without it, as
// QSettings takes it; written back, it stays a line whose key ends before '='.
TEST_F(SettingsFilesTest, AHandWrittenKeyEndingInASlashIsReadAndWrittenBackWhole) {
    writeBytes(path, "[1.0]\nZoom%20A/=int:55\n//Moj//=text:x\n");
    {
        SettingsFileBackend backend(path);
        TOptions store(backend, testEnvironment());
        EXPECT_EQ(store.GetZoomA(), 55);
        store.SetZoomB(7);
        EXPECT_TRUE(store.TakeStartupNotice().empty());
    }
    const storedfile::ReadResult file = storedfile::parse(fileBytes(path), storedform::group());
    ASSERT_EQ(file.shape, storedfile::Shape::Sound);
    EXPECT_EQ(file.contents.values.count(QStringLiteral("Zoom A")), 1U);
    EXPECT_EQ(file.contents.values.count(QStringLiteral("Moj")), 1U);
    for (const auto& [key, value] : file.contents.values) {
        EXPECT_FALSE(key.contains(QLatin1Char('='))) << key.toStdString();
    }
    // A line whose only '=' is escaped holds no key: not a sound file.
    EXPECT_EQ(storedfile::parse("[1.0]\nZoom\\=int:5\n", storedform::group()).shape,
              storedfile::Shape::Unreadable);
}

// Lines of other sections and before the first one are another program's:
// they go through any number of writes byte for byte, CRs at their ends too.
TEST(SettingsFileShape, OthersLinesKeepTheirLineEndsThroughWrites) {
    const QByteArray file = "; po meri\r\r\n[Drugo]\r\nx=1\r\r\ny=2\n[1.0]\r\nZoom%20A=int:5\r\n";
    storedfile::ReadResult read = storedfile::parse(file, storedform::group());
    ASSERT_EQ(read.shape, storedfile::Shape::Sound);
    const QByteArray others = read.contents.otherSections;
    EXPECT_TRUE(others.contains("x=1\r\r\n")) << others.toStdString();
    for (int write = 0; write < 3; ++write) {
        read = storedfile::parse(storedfile::compose(read.contents, storedform::group()), storedform::group());
        ASSERT_EQ(read.shape, storedfile::Shape::Sound);
        EXPECT_EQ(read.contents.otherSections, others);
        EXPECT_EQ(read.contents.values.at(QStringLiteral("Zoom A")), QByteArray("int:5"));
    }
}

// A character beyond the first plane is spelled whole, not as two halves
// that each become '?'.
TEST(SettingsFileShape, ValuesWithCharactersBeyondTheFirstPlaneComeBackWhole) {
    for (const char* utf8 : {"\xF0\x9F\x98\x80", "a\xF3\xA5\x92\xBE=b", "\xC4\x8D"}) {
        const QString text = QString::fromUtf8(utf8);
        QString back;
        ASSERT_TRUE(storedfile::valueText(storedfile::spellValue(text), back));
        EXPECT_EQ(back, text) << utf8;
    }
}

}  // namespace
