#include "core/settings/options.h"
#include "core/transcription/cp1250.h"
#include "qtcore/storedform.h"
#include "ui/settings/settingsfilebackend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSettings>
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
        EXPECT_EQ(SettingsFileBackend::decode(SettingsFileBackend::encode(value), back),
                  ValueBackend::ReadStatus::Ok);
        EXPECT_EQ(back, value) << SettingsFileBackend::encode(value).toStdString();
    }
    EXPECT_EQ(SettingsFileBackend::encode(StoredValue::binary("\xE7\x34")), QStringLiteral("hex:E7 34"));
    EXPECT_EQ(SettingsFileBackend::encode(StoredValue::integer(80)), QStringLiteral("int:80"));

    const char* foreign[] = {"80",     "",      "int:",     "int:8x",  "int:99999999999", "bool:yes",
                             "bool:1", "hex:E", "hex:E7 3", "hex:E 7", "hex:ZZ",          "Text:abc"};
    for (const char* form : foreign) {
        StoredValue back;
        EXPECT_EQ(SettingsFileBackend::decode(QString::fromLatin1(form), back),
                  ValueBackend::ReadStatus::BadKind)
            << form;
    }
}

TEST(QSettingsEncoding, TheUsersFileIsWhereQSettingsKeepsIt) {
    // Existing settings must be found where the program always kept them,
    // also with a settings folder of the user's own.
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    QTemporaryDir own;
    for (const QByteArray& config : {QByteArray(), own.path().toUtf8()}) {
        if (config.isEmpty()) {
            qunsetenv("XDG_CONFIG_HOME");
        } else {
            qputenv("XDG_CONFIG_HOME", config);
        }
        const QSettings qt(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brinmoor Software, Inc."),
                           QStringLiteral("Tengwar Ostrel"));
        EXPECT_EQ(storedform::userSettingsPath(), qt.fileName()) << config.toStdString();
    }
    if (saved.isNull()) {
        qunsetenv("XDG_CONFIG_HOME");
    } else {
        qputenv("XDG_CONFIG_HOME", saved);
    }
}

TEST_F(QSettingsStoreTest, FirstStartWritesEveryValueWithItsKind) {
    SettingsFileBackend backend(path);
    TOptions store(backend, testEnvironment());
    const QStringList lines = fileLines(path);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.front(), QStringLiteral("; Tengwar Ostrel"));
    EXPECT_EQ(lines.at(1), QStringLiteral("[1.0]"));
    EXPECT_EQ(lines.size(), 22);
    EXPECT_EQ(lines.back(), QStringLiteral("; konec %1").arg(fileBytes(path).size() - lines.back().size() - 1));
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
        SettingsFileBackend backend(path);
        TOptions store(backend, testEnvironment());
        store.SetMainRect({-8, 40, 523, 313});
        store.SetFlag(21, true);
        store.SetZoomA(55);
        store.SetFirstTime(false);
        store.SetInputFile("/home/ana/\xE8rke.txt");
        store.SetAnswerFont("Times New Roman, CE");  // a comma must not make it a list
    }
    SettingsFileBackend backend(path);
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
    SettingsFileBackend backend(path);
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
    SettingsFileBackend backend(path);
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
    SettingsFileBackend backend(path);
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
        SettingsFileBackend backend(path);
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

QByteArray thisHost() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}

// A lock in QLockFile's own layout: process id, program, machine.
QByteArray lockOf(qint64 pid, const QByteArray& host) {
    return QByteArray::number(pid) + "\ntengwar-ostrel\n" + host + "\n";
}

// What a killed run leaves behind: a lock without a living owner must not
// hold up the next write, and the program's own temporary files go; files
// of the user's beside them stay.
TEST_F(QSettingsStoreTest, LeftoversOfAKilledRunAreClearedAtStart) {
    {
        SettingsFileBackend first(path);
        TOptions store(first, testEnvironment());
    }
    const QString lock = path + QStringLiteral(".lock");
    const QString temporary = path + QStringLiteral(".tengwar-ostrel-aB3xY9");
    const QString users[] = {path + QStringLiteral(".bak"), path + QStringLiteral(".backup"),
                             path + QStringLiteral(".241207"), path + QStringLiteral(".aB3xY9")};
    for (const QString& user : users) {
        writeFile(user, "kept");
    }
    const QByteArray deadLocks[] = {QByteArray(), lockOf(2147483646, QByteArray()),
                                    lockOf(2147483646, thisHost())};
    for (const QByteArray& dead : deadLocks) {
        SCOPED_TRACE(dead.toStdString());
        writeFile(temporary, "[1.0]\nZoom%20A=int:1\n");
        writeFile(lock, dead);
        if (dead.isEmpty()) {
            // An empty lock is ownerless only once it is old: a live writer
            // makes the file before it names itself in it.
            const timespec old[2] = {{::time(nullptr) - 120, 0}, {::time(nullptr) - 120, 0}};
            ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(lock).constData(), old, 0), 0);
        }
        SettingsFileBackend backend(path);
        TOptions store(backend, testEnvironment());
        EXPECT_FALSE(QFile::exists(lock));
        EXPECT_FALSE(QFile::exists(temporary));
        const auto started = std::chrono::steady_clock::now();
        store.SetZoomA(5);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10))
            << "no wait for the lock";
        EXPECT_TRUE(fileBytes(path).contains("Zoom%20A=int:5\n"));
        store.SetZoomA(80);
        EXPECT_TRUE(store.TakeStartupNotice().empty());
    }
    for (const QString& user : users) {
        EXPECT_EQ(fileBytes(user), "kept") << user.toStdString();
    }

    // A lock held by a running writer stays, and so do the temporary files
    // it may be writing.
    writeFile(temporary, "[1.0]\n");
    {
        QLockFile held(lock);
        ASSERT_TRUE(held.tryLock(0));
        SettingsFileBackend backend(path);
        TOptions store(backend, testEnvironment());
        EXPECT_TRUE(QFile::exists(lock));
        EXPECT_TRUE(QFile::exists(temporary));
    }
    QFile::remove(temporary);

    // Another machine's lock (a home folder shared over the network) is not
    // ours to judge: it stays, the user hears of it at once, and the program
    // runs with its settings in memory instead of waiting.
    const QByteArray foreign = lockOf(::getpid(), "another-machine.example");
    writeFile(lock, foreign);
    const QByteArray before = fileBytes(path);
    const auto started = std::chrono::steady_clock::now();
    SettingsFileBackend backend(path);
    TOptions store(backend, testEnvironment());
    store.SetZoomA(6);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    EXPECT_EQ(store.GetZoomA(), 6);
    EXPECT_EQ(fileBytes(lock), foreign);
    EXPECT_EQ(fileBytes(path), before);
    const QString notice = QString::fromUtf8(cp1250::toUtf8(store.TakeStartupNotice()));
    EXPECT_TRUE(notice.contains(QStringLiteral("another-machine.example"))) << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("Spremembe veljajo le do izhoda"))) << notice.toStdString();
    store.SetZoomB(7);
    EXPECT_TRUE(store.TakeStartupNotice().empty()) << "said once";
}

// A file the program wrote and that was cut short anywhere is damage: it is
// kept as a backup, the user is told once, what came before the cut is
// kept and what came after it is back at its default.
TEST_F(QSettingsStoreTest, ACutFileIsDamageWhereverItWasCut) {
    {
        SettingsFileBackend first(path);
        TOptions store(first, testEnvironment());
        store.SetActivePage(2);  // "Aktivni zavihek" comes first in the file
        store.SetZoomA(55);      // "Zoom A" comes last
        store.SetFlag(14, true);
    }
    const QByteArray whole = fileBytes(path);
    ASSERT_TRUE(whole.startsWith("; Tengwar Ostrel\n[1.0]\n"));
    ASSERT_TRUE(whole.contains("\n; konec "));
    const qsizetype readBack = whole.indexOf("Prepis%20v%20latinico=");
    const qsizetype zoomA = whole.indexOf("Zoom%20A=");
    FlagBytes stored = flagset::kDefaultBytes;
    flagset::set(stored, 14, true);
    const struct {
        const char* where;
        qsizetype at;
        bool pageKept;   // "Aktivni zavihek", the first value
        bool flagsKept;  // "Zastavice", before the last two
        bool zoomKept;   // "Zoom A", the last but one
    } cuts[] = {
        {"inside the read-back table's hex", readBack + 3000, true, false, false},
        {"inside a hex byte", readBack + 40, true, false, false},
        {"at a line end", zoomA, true, true, false},
        {"inside the last line", whole.size() - 3, true, true, true},
        {"before the last line end", whole.size() - 1, true, true, true},
        {"inside the first line", 5, false, false, false},
        {"zero bytes", 0, false, false, false},
    };
    int number = 0;
    for (const auto& cut : cuts) {
        SCOPED_TRACE(cut.where);
        QDir(QFileInfo(path).path()).removeRecursively();
        QDir().mkpath(QFileInfo(path).path());
        writeFile(path, whole.left(cut.at));
        SettingsFileBackend backend(path);
        TOptions store(backend, testEnvironment());
        EXPECT_EQ(store.GetActivePage(), cut.pageKept ? 2 : 4);
        EXPECT_EQ(store.GetZoomA(), cut.zoomKept ? 55 : 80);
        EXPECT_EQ(store.GetFlags(), cut.flagsKept ? stored : flagset::kDefaultBytes);
        ReadBackRules rules;
        store.LoadReadBackRules(rules);
        EXPECT_EQ(rules, readback::defaultRules());
        const QString notice = QString::fromUtf8(cp1250::toUtf8(store.TakeStartupNotice()));
        EXPECT_TRUE(notice.contains(path + QStringLiteral(".bak"))) << notice.toStdString();
        EXPECT_TRUE(store.TakeStartupNotice().empty());
        EXPECT_EQ(fileBytes(path + QStringLiteral(".bak")), whole.left(cut.at));
        EXPECT_FALSE(QFile::exists(path + QStringLiteral(".bak.2"))) << "one backup";
        EXPECT_TRUE(fileBytes(path).contains("\n; konec ")) << "written whole again";
        ++number;
    }
    EXPECT_EQ(number, 7);

    // A file without the first line (an older program's, or one written by
    // hand) is read as it is, also when it lacks lines; a byte-order mark at
    // its start, as editors add, changes nothing.
    const QByteArray older = whole.mid(whole.indexOf("[1.0]"), zoomA - whole.indexOf("[1.0]"));
    for (const QByteArray& bytes : {older, "\xEF\xBB\xBF" + older, "\xEF\xBB\xBF" + whole}) {
        QDir(QFileInfo(path).path()).removeRecursively();
        QDir().mkpath(QFileInfo(path).path());
        writeFile(path, bytes);
        SettingsFileBackend backend(path);
        TOptions store(backend, testEnvironment());
        EXPECT_EQ(store.GetActivePage(), 2);
        EXPECT_EQ(store.GetZoomA(), bytes.endsWith(older) ? 80 : 55);
        EXPECT_TRUE(store.TakeStartupNotice().empty());
        EXPECT_FALSE(QFile::exists(path + QStringLiteral(".bak")));
    }
}

// A read-back table of the wrong length is a damaged value: with fewer
// readings, letters past its end would read as nothing and any answer pass.
TEST_F(QSettingsStoreTest, AReadBackTableOfTheWrongLengthIsDamaged) {
    QDir().mkpath(QFileInfo(path).path());
    writeFile(path, "[1.0]\nZoom%20A=int:55\nPrepis%20v%20latinico=hex:02 00 00 00 01 00 00 00 61 00 00 00 00\n");
    SettingsFileBackend backend(path);
    TOptions store(backend, testEnvironment());
    ReadBackRules rules;
    store.LoadReadBackRules(rules);
    EXPECT_EQ(rules, readback::defaultRules());
    EXPECT_EQ(store.GetZoomA(), 55);
    const std::string notice = store.TakeStartupNotice();
    EXPECT_NE(notice.find("Invalid data type for 'Prepis v latinico'"), std::string::npos) << notice;
}

// Three damaged values in one file are one event: one backup, one notice.
TEST_F(QSettingsStoreTest, DamagedValuesOfOneFileShareOneBackup) {
    {
        SettingsFileBackend first(path);
        TOptions store(first, testEnvironment());
    }
    QByteArray bytes = fileBytes(path);
    bytes.replace("Zoom%20A=int:80", "Zoom%20A=80");
    bytes.replace("Zoom%20B=int:20", "Zoom%20B=int:x");
    bytes.replace("Zastavice=hex:E7 34 06 1B 02", "Zastavice=hex:ZZ");
    writeFile(path, bytes);
    SettingsFileBackend backend(path);
    TOptions store(backend, testEnvironment());
    store.BeginBatch();  // as at the program's start
    EXPECT_EQ(store.GetZoomB(), 20);
    EXPECT_EQ(store.GetZoomA(), 80);
    EXPECT_EQ(store.GetFlags(), flagset::kDefaultBytes);
    store.EndBatch();
    EXPECT_EQ(fileBytes(path + QStringLiteral(".bak")), bytes);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".bak.2")));
    const std::string notice = store.TakeStartupNotice();
    for (const char* name : {"'Zoom A'", "'Zoom B'", "'Zastavice'"}) {
        EXPECT_NE(notice.find(name), std::string::npos) << notice;
    }
    EXPECT_TRUE(store.TakeStartupNotice().empty());
}

// A large file is read once, not at every access of the start.
TEST_F(QSettingsStoreTest, TheFileIsReadOnceWhileItDoesNotChange) {
    {
        SettingsFileBackend first(path);
        TOptions store(first, testEnvironment());
    }
    QByteArray bytes = fileBytes(path);
    bytes.replace("[1.0]\n", "[1.0]\nBig=text:" + QByteArray(4 << 20, 'x') + "\n");
    writeFile(path, bytes);
    SettingsFileBackend backend(path);
    TOptions store(backend, testEnvironment());
    for (int i = 0; i < 20; ++i) {
        store.GetFlags();
        store.GetZoomA();
        StringList list;
        store.LoadTaskDescriptions(list);
    }
    EXPECT_EQ(backend.fileReads(), 1);
    store.SetZoomA(3);  // written, and not read back again
    EXPECT_EQ(store.GetZoomA(), 3);
    EXPECT_EQ(backend.fileReads(), 1);
    EXPECT_TRUE(fileBytes(path).contains("Big=text:xxxx"));
}

// A start that has nothing new to store leaves the file alone.
TEST_F(QSettingsStoreTest, ALaterStartWritesNothing) {
    {
        SettingsFileBackend first(path);
        TOptions store(first, testEnvironment());
    }
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    SettingsFileBackend backend(path);
    TOptions store(backend, testEnvironment());
    store.SetZoomA(store.GetZoomA());
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
}

TEST_F(QSettingsStoreTest, AFileBrokenWhileRunningIsKeptAsideToo) {
    SettingsFileBackend backend(path);
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
            SettingsFileBackend first(path);
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
            SettingsFileBackend backend(path);
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

// Settings that become unwritable while the program runs (a folder made
// read-only, a full disk): the changes go on in memory, the user is told
// once naming the file, and later writes try again.
TEST_F(QSettingsStoreTest, SettingsThatBecomeUnwritableWhileRunningGoOnInMemory) {
    const QString folder = QFileInfo(path).path();
    SettingsFileBackend backend(path);
    TOptions store(backend, testEnvironment());
    EXPECT_TRUE(store.SaveEdits());
    const QByteArray before = fileBytes(path);
    if (!lockFolder(folder, true)) {
        lockFolder(folder, false);
        GTEST_SKIP() << "this machine cannot make a folder read-only";
    }
    EXPECT_NO_THROW(store.SetZoomA(3));
    EXPECT_NO_THROW(store.SaveTaskDescriptions({"a=b"}));
    EXPECT_NO_THROW(store.SetActivePage(1));
    EXPECT_EQ(store.GetZoomA(), 3);
    EXPECT_EQ(QString::fromUtf8(cp1250::toUtf8(store.TakeStartupNotice())),
              QStringLiteral("Nastavitev ni mogo\u010De shraniti v datoteko \u201E%1\u201C. "
                             "Spremembe veljajo le do izhoda iz programa.")
                  .arg(path));
    EXPECT_FALSE(store.SaveEdits()) << "the descriptions are the user's edits";
    EXPECT_TRUE(store.TakeStartupNotice().empty()) << "said once";
    EXPECT_EQ(fileBytes(path), before);
    ASSERT_TRUE(lockFolder(folder, false));
    store.SetZoomB(5);
    EXPECT_TRUE(store.SaveEdits());
    const QByteArray after = fileBytes(path);
    EXPECT_TRUE(after.contains("Zoom%20A=int:3\n"));
    EXPECT_TRUE(after.contains("Zoom%20B=int:5\n"));
    EXPECT_TRUE(after.contains("Aktivni%20zavihek=int:1\n"));
}

// A damaged file in a folder that allows no change: no backup can be made,
// and the notice says so instead of naming one.
TEST_F(QSettingsStoreTest, ADamagedFileInAReadOnlyFolderIsToldAsItIs) {
    const QString folder = QFileInfo(path).path();
    QDir().mkpath(folder);
    const QByteArray broken("[1.0]\nZoom%20A=int:5\n\xFF\xFE\x80garbage\n");
    writeFile(path, broken);
    if (!lockFolder(folder, true)) {
        lockFolder(folder, false);
        GTEST_SKIP() << "this machine cannot make a folder read-only";
    }
    {
        SettingsFileBackend backend(path);
        TOptions store(backend, testEnvironment());
        EXPECT_EQ(store.GetZoomA(), 80);
        const QString notice = QString::fromUtf8(cp1250::toUtf8(store.TakeStartupNotice()));
        EXPECT_FALSE(notice.contains(QStringLiteral(".bak"))) << notice.toStdString();
        EXPECT_TRUE(notice.contains(QStringLiteral("Varnostne kopije ni bilo mogo\u010De narediti")))
            << notice.toStdString();
    }
    ASSERT_TRUE(lockFolder(folder, false));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".bak")));
    EXPECT_EQ(fileBytes(path), broken);
}

TEST_F(QSettingsStoreTest, ConcurrentReaderAndWriterOnTheFile) {
    SettingsFileBackend backend(path);
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
    SettingsFileBackend again(path);
    TOptions other(again, testEnvironment());
    EXPECT_EQ(other.GetFlags(), store.GetFlags());
}

}  // namespace
