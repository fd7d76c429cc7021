#include "settings/qsettingsbackend.h"
#include "settings/options.h"
#include "transcription/cp1250.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

StoreEnvironment testEnvironment() {
    StoreEnvironment env;
    env.executablePath = "/usr/bin/tengwar-ostrel";
    env.screenSize = [] { return StoreEnvironment::ScreenSize{1280, 1024}; };
    return env;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// The lines of the file's one group, as text.
QStringList fileLines(const QString& path) {
    return QString::fromUtf8(fileBytes(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

class QSettingsStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Brinmoor Software, Inc./Tengwar Ostrel.conf"));
};

TEST(QSettingsEncoding, FourKindsRoundTripAndForeignFormsAreWrongKinds) {
    const StoredValue values[] = {
        StoredValue::text(""),
        StoredValue::text("Pisava \xE8\x9A\x9E \"x\", y\r\n"),
        StoredValue::integer(0),
        StoredValue::integer(-2147483647 - 1),
        StoredValue::integer(8421376),
        StoredValue::boolean(true),
        StoredValue::boolean(false),
        StoredValue::binary(""),
        StoredValue::binary(std::string("\xE7\x34\x06\x1B\x02\x00\xFF", 7)),
    };
    for (const auto& value : values) {
        StoredValue back;
        EXPECT_EQ(QSettingsBackend::decode(QSettingsBackend::encode(value), back),
                  ValueBackend::ReadStatus::Ok);
        EXPECT_EQ(back, value) << QSettingsBackend::encode(value).toStdString();
    }
    EXPECT_EQ(QSettingsBackend::encode(StoredValue::binary("\xE7\x34")), QStringLiteral("hex:E7 34"));
    EXPECT_EQ(QSettingsBackend::encode(StoredValue::integer(80)), QStringLiteral("int:80"));

    const char* foreign[] = {"80",     "",      "int:",     "int:8x",  "int:99999999999", "bool:yes",
                             "bool:1", "hex:E", "hex:E7 3", "hex:E 7", "hex:ZZ",          "Text:abc"};
    for (const char* form : foreign) {
        StoredValue back;
        EXPECT_EQ(QSettingsBackend::decode(QString::fromLatin1(form), back),
                  ValueBackend::ReadStatus::BadKind)
            << form;
    }
}

TEST_F(QSettingsStoreTest, FirstStartWritesEveryValueWithItsKind) {
    QSettingsBackend backend(path);
    TOptions store(backend, testEnvironment());
    const QStringList lines = fileLines(path);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.front(), QStringLiteral("[1.0]"));
    EXPECT_EQ(lines.size(), 20);
    EXPECT_TRUE(lines.contains(QStringLiteral("Zastavice=hex:E7 34 06 1B 02")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Zoom%20A=int:80")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Aktivni%20zavihek=int:4")));
    EXPECT_TRUE(lines.contains(QStringLiteral(
        "Is%20this%20your%20first%20time%3F%20%28honi%20soit%20qui%20mal%20y%20pense%29=bool:true")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Nikoli%20s%20%7E=text:")));
    // 1280 div 10 = 128, 1024 div 50 = 20: 128, 20, 348, 240.
    EXPECT_TRUE(lines.contains(
        QStringLiteral("Pove%U010Devalno%20okno=hex:80 00 00 00 14 00 00 00 5C 01 00 00 F0 00 00 00")));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QString& line) {
        return line.startsWith(
            QStringLiteral("Default=\"text:Ta klju\u010D uporablja program Tengwar Ostrel"));
    }));
    EXPECT_TRUE(store.TakeStartupNotice().empty());
}

TEST_F(QSettingsStoreTest, AnotherStoreAndAnotherProcessReadWhatWasWritten) {
    {
        QSettingsBackend backend(path);
        TOptions store(backend, testEnvironment());
        store.SetMainRect({-8, 40, 523, 313});
        store.SetFlag(21, true);
        store.SetZoomA(55);
        store.SetFirstTime(false);
        store.SetInputFile("/home/ana/\xE8rke.txt");
        store.SetAnswerFont("Times New Roman, CE");  // a comma must not make it a list
    }
    QSettingsBackend backend(path);
    TOptions fresh(backend, testEnvironment());
    EXPECT_EQ(fresh.GetMainRect(), (StoredRect{-8, 40, 523, 313}));
    EXPECT_EQ(fresh.GetZoomA(), 55);
    EXPECT_EQ(fresh.GetAnswerFont(), "Times New Roman, CE");

    QProcess probe;
    probe.start(QStringLiteral(OSTREL_STORE_PROBE), {path});
    ASSERT_TRUE(probe.waitForFinished(60000));
    EXPECT_EQ(probe.exitCode(), 0);
    const QString out = QString::fromUtf8(probe.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QStringLiteral("flags=E7 34 26 1B 02\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("main=-8,40,523,313\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("zoomA=55\n")));
    EXPECT_TRUE(out.contains(QStringLiteral("firstTime=0\n")));
    EXPECT_TRUE(out.contains(QStringLiteral("input=/home/ana/\u010Drke.txt\n")));
}

TEST_F(QSettingsStoreTest, ReadsPickUpChangesMadeToTheFile) {
    QSettingsBackend backend(path);
    TOptions store(backend, testEnvironment());
    // Another program deletes "Zoom A" and changes "Zoom B".
    QByteArray bytes = fileBytes(path);
    ASSERT_TRUE(bytes.contains("Zoom%20A=int:80\n"));
    bytes.replace("Zoom%20A=int:80\n", "");
    bytes.replace("Zoom%20B=int:20\n", "Zoom%20B=int:33\n");
    writeFile(path, bytes);

    EXPECT_EQ(store.GetZoomB(), 33);
    EXPECT_EQ(store.GetBackColor(), 8421376);
    EXPECT_FALSE(fileBytes(path).contains("Zoom%20A"));
    EXPECT_EQ(store.GetZoomA(), 80);
    EXPECT_TRUE(fileBytes(path).contains("Zoom%20A=int:80\n"));
    EXPECT_TRUE(fileBytes(path).contains("Zoom%20B=int:33\n"));
}

// A damaged value is reported once, its file kept aside (each in its own
// backup), and the value is back at its default; closing and every other
// access work on.
TEST_F(QSettingsStoreTest, DamagedValuesAreReportedOnceAndGoBackToTheirDefaults) {
    QSettingsBackend backend(path);
    TOptions store(backend, testEnvironment());
    const QByteArray defaults = fileBytes(path);
    const struct {
        const char* line;
        const char* damaged;
        const char* name;
        std::function<void()> operation;
    } cases[] = {
        {"Zastavice=hex:E7 34 06 1B 02", "Zastavice=hex:ZZ QQ", "Zastavice",
         [&] { store.SetFlag(3, false); }},
        {"Zastavice=hex:E7 34 06 1B 02", "Zastavice=hex:E7 34 06 1B 02 00", "Zastavice",
         [&] { store.GetFlags(); }},
        {"Zastavice=hex:E7 34 06 1B 02", "Zastavice=hex:E7 3", "Zastavice", [&] { store.GetFlag(0); }},
        {"Zastavice=hex:E7 34 06 1B 02", "Zastavice=text:E7", "Zastavice",
         [&] { store.SetDefaultSwitches(); }},
        {"=bool:true", "=bool:maybe", "Is this your first time? (honi soit qui mal y pense)",
         [&] { store.GetFirstTime(); }},
        {"Glavno%20okno=hex:FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF", "Glavno%20okno=int:5",
         "Glavno okno", [&] { store.GetMainRect(); }},
        {"Zoom%20A=int:80", "Zoom%20A=80", "Zoom A", [&] { store.GetZoomA(); }},
        {"Zoom%20B=int:20", "Zoom%20B=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x14)", "Zoom B",
         [&] { store.GetZoomB(); }},
    };
    QStringList backups;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.damaged);
        QByteArray bytes = defaults;
        ASSERT_TRUE(bytes.contains(c.line));
        bytes.replace(c.line, c.damaged);
        writeFile(path, bytes);
        EXPECT_NO_THROW(c.operation());
        EXPECT_NO_THROW(c.operation());
        EXPECT_EQ(fileBytes(path), defaults);
        const QString notice = QString::fromUtf8(cp1250::toUtf8(store.TakeStartupNotice()));
        EXPECT_TRUE(
            notice.startsWith(QStringLiteral("Invalid data type for '%1'").arg(QLatin1String(c.name))))
            << notice.toStdString();
        EXPECT_TRUE(store.TakeStartupNotice().empty());
        const QString backup = backups.isEmpty() ? path + QStringLiteral(".bak")
                                                 : path + QStringLiteral(".bak.%1").arg(backups.size() + 1);
        EXPECT_TRUE(notice.contains(backup)) << notice.toStdString();
        EXPECT_EQ(fileBytes(backup), bytes) << "each damaged file is kept";
        backups << backup;
    }
}

TEST_F(QSettingsStoreTest, WritesReplaceTheFileInsteadOfRewritingItInPlace) {
    QSettingsBackend backend(path);
    TOptions store(backend, testEnvironment());
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    store.SetZoomA(3);
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino) << "a new file is renamed over the old one";
    EXPECT_TRUE(fileBytes(path).contains("Zoom%20A=int:3\n"));
    EXPECT_TRUE(
        QDir(QFileInfo(path).path()).entryList(QDir::Files).contains(QStringLiteral("Tengwar Ostrel.conf")));
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files).size(), 1)
        << "no temporary files stay behind";
}

struct BrokenFileCase {
    const char* what;
    QByteArray content;
};

TEST_F(QSettingsStoreTest, AnUnreadableFileIsKeptAsideAndReportedOnce) {
    const BrokenFileCase cases[] = {
        {"zero bytes", QByteArray(4096, '\0')},
        {"unclosed section", QByteArray("[1.0\nZoom%20A=int:5\n")},
        {"not UTF-8 and no '='", QByteArray("[1.0]\nZoom%20A=int:5\n\xFF\xFE\x80garbage\n")},
        {"only not UTF-8", QByteArray("[1.0]\nZoom%20A=int:5\nPisava%20za%20odgovor=text:Ar\xFFial\n")},
        {"cut inside a quoted value", QByteArray("[1.0]\nZoom%20A=int:5\nDefault=\"text:Ta klju\\\"")},
    };
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir().mkpath(QFileInfo(path).path());
        writeFile(path, c.content);
        QSettingsBackend backend(path);
        TOptions store(backend, testEnvironment());
        // Every damaged file is kept: "<file>.bak", then "<file>.bak.2", ...
        const QString backup =
            path + (++number == 1 ? QStringLiteral(".bak") : QStringLiteral(".bak.%1").arg(number));
        EXPECT_EQ(fileBytes(backup), c.content);
        EXPECT_EQ(store.GetZoomA(), 80);
        EXPECT_TRUE(fileBytes(path).contains("Zastavice=hex:E7 34 06 1B 02\n"));
        const std::string notice = store.TakeStartupNotice();
        EXPECT_NE(notice.find(backup.toStdString()), std::string::npos) << notice;
        EXPECT_TRUE(store.TakeStartupNotice().empty());
        QFile::remove(path);
    }
}

// What a killed run leaves behind: a lock without a living owner must not
// hold up the next write, and QSaveFile's temporary files go.
TEST_F(QSettingsStoreTest, LeftoversOfAKilledRunAreClearedAtStart) {
    {
        QSettingsBackend first(path);
        TOptions store(first, testEnvironment());
    }
    const QString lock = path + QStringLiteral(".lock");
    const QString temporary = path + QStringLiteral(".aB3xY9");
    const QString backup = path + QStringLiteral(".bak");
    writeFile(temporary, "[1.0]\nZoom%20A=int:1\n");
    writeFile(backup, "kept");
    const QByteArray deadLocks[] = {QByteArray(), QByteArray("2147483646\ntengwar-ostrel\n\n")};
    for (const QByteArray& dead : deadLocks) {
        SCOPED_TRACE(dead.toStdString());
        writeFile(lock, dead);
        QSettingsBackend backend(path);
        TOptions store(backend, testEnvironment());
        EXPECT_FALSE(QFile::exists(lock));
        EXPECT_FALSE(QFile::exists(temporary));
        const auto started = std::chrono::steady_clock::now();
        store.SetZoomA(5);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10))
            << "no wait for the lock";
        EXPECT_TRUE(fileBytes(path).contains("Zoom%20A=int:5\n"));
        store.SetZoomA(80);
    }
    EXPECT_EQ(fileBytes(backup), "kept");

    // A lock held by a running writer stays.
    QLockFile held(lock);
    ASSERT_TRUE(held.tryLock(0));
    QSettingsBackend backend(path);
    TOptions store(backend, testEnvironment());
    EXPECT_TRUE(QFile::exists(lock));
}

// A start that has nothing new to store leaves the file alone.
TEST_F(QSettingsStoreTest, ALaterStartWritesNothing) {
    {
        QSettingsBackend first(path);
        TOptions store(first, testEnvironment());
    }
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    QSettingsBackend backend(path);
    TOptions store(backend, testEnvironment());
    store.SetZoomA(store.GetZoomA());
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
}

TEST_F(QSettingsStoreTest, AFileBrokenWhileRunningIsKeptAsideToo) {
    QSettingsBackend backend(path);
    TOptions store(backend, testEnvironment());
    store.SetZoomB(9);
    writeFile(path, QByteArray(100, '\0'));
    EXPECT_EQ(store.GetZoomB(), 20);  // the defaults again
    EXPECT_EQ(fileBytes(path + QStringLiteral(".bak")), QByteArray(100, '\0'));
    EXPECT_FALSE(store.TakeStartupNotice().empty());
}

// Makes a folder refuse new files (as the disk would when it is full), also
// for root; false when this machine cannot.
bool lockFolder(const QString& folder, bool lock) {
    const QByteArray name = QFile::encodeName(folder);
    ::chmod(name.constData(), lock ? 0555 : 0755);
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = lock ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
    }
    QFile probe(folder + QStringLiteral("/probe"));
    const bool created = probe.open(QIODevice::WriteOnly);
    if (created) {
        probe.remove();
    }
    return lock ? !created : created;
}

// Makes a file refuse changes, also for root; false when this machine cannot.
bool lockFile(const QString& file, bool lock) {
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY);
    bool done = false;
    int flags = 0;
    if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags = lock ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return done;
}

// Settings that cannot be written: the program starts with them in memory,
// says so once naming the file, and writes nothing that did not change.
TEST_F(QSettingsStoreTest, ReadOnlySettingsKeepChangesInMemoryAndSaySoOnce) {
    const QString folder = QFileInfo(path).path();
    enum class Where { File, Folder, FolderInItsPlace };
    for (const Where where : {Where::FolderInItsPlace, Where::File, Where::Folder}) {
        SCOPED_TRACE(static_cast<int>(where));
        QDir(folder).removeRecursively();
        if (where == Where::FolderInItsPlace) {
            ASSERT_TRUE(QDir().mkpath(path));
        } else {
            QSettingsBackend first(path);
            TOptions store(first, testEnvironment());
            store.SetZoomA(7);
        }
        const QByteArray before = fileBytes(path);
        const bool locked = where == Where::File     ? lockFile(path, true)
                            : where == Where::Folder ? lockFolder(folder, true)
                                                     : true;
        if (!locked) {
            lockFile(path, false);
            lockFolder(folder, false);
            continue;  // this machine cannot make it read-only
        }
        {
            QSettingsBackend backend(path);
            std::unique_ptr<TOptions> store;
            ASSERT_NO_THROW(store = std::make_unique<TOptions>(backend, testEnvironment()));
            EXPECT_EQ(store->GetZoomA(), where == Where::FolderInItsPlace ? 80 : 7);
            store->SetZoomA(8);
            store->SetFlag(3, true);
            EXPECT_EQ(store->GetZoomA(), 8);
            EXPECT_TRUE(store->GetFlag(3));
            const QString notice = QString::fromUtf8(cp1250::toUtf8(store->TakeStartupNotice()));
            EXPECT_EQ(notice, QStringLiteral("Nastavitev ni mogo\u010De shraniti v datoteko \u201E%1\u201C. "
                                             "Spremembe veljajo le do izhoda iz programa.")
                                  .arg(path));
            store->SetZoomB(1);
            EXPECT_TRUE(store->TakeStartupNotice().empty());
            EXPECT_EQ(fileBytes(path), before);
        }
        if (where == Where::File) {
            ASSERT_TRUE(lockFile(path, false));
        } else if (where == Where::Folder) {
            ASSERT_TRUE(lockFolder(folder, false));
        }
    }
}

TEST_F(QSettingsStoreTest, ConcurrentReaderAndWriterOnTheFile) {
    QSettingsBackend backend(path);
    TOptions store(backend, testEnvironment());
    const FlagBytes base = store.GetFlags();
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::atomic<int> writes{0};
    std::thread writer([&] {
        for (int i = 0; !stop.load(); ++i) {
            store.SetFlag(3, (i & 1) != 0);
            store.SetNeverTilde((i & 1) != 0 ? "mn" : "");
            ++writes;
        }
    });
    std::thread reader([&] {
        while (!stop.load()) {
            TConvertData data;
            store.LoadConvertData(data);
            FlagBytes flags = store.GetFlags();
            flagset::set(flags, 3, false);
            if (flags != base || (data.BrezTilde != "mn" && !data.BrezTilde.empty())) {
                ++bad;
            }
        }
    });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (std::chrono::steady_clock::now() < until) {
        std::this_thread::yield();
    }
    stop = true;
    writer.join();
    reader.join();
    EXPECT_EQ(bad.load(), 0);
    EXPECT_GT(writes.load(), 0);
    QSettingsBackend again(path);
    TOptions other(again, testEnvironment());
    EXPECT_EQ(other.GetFlags(), store.GetFlags());
}

}  // namespace
