// What a save keeps of the settings file on disk: the sections that are not
// the program's, every character of a text, the file's permissions, and a
// symbolic link in the file's place.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "core/transcription/cp1250.h"
#include "ui/settings/settingsfilebackend.h"

namespace {

const std::string kFontName = "Pisava za odgovor";

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

std::string readText(const QString& path, const std::string& name) {
    SettingsFileBackend backend(path);
    backend.open();
    StoredValue value;
    EXPECT_EQ(backend.read(name, value), ValueBackend::ReadStatus::Ok) << name;
    return value.bytes;
}

mode_t permissionsOf(const QString& path) {
    struct stat info {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    return info.st_mode & 07777;
}

class SettingsFileSave : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Brinmoor Software, Inc./Tengwar Ostrel.conf"));
};

// Sections of another version of the program, or of the user's own, are
// theirs: every save writes them back as they were, wherever they stood.
TEST_F(SettingsFileSave, OtherSectionsSurviveEverySave) {
    const QByteArray ours = "[1.0]\nZoom%20A=int:80\n";
    const QByteArray newer = "[2.0]\nZoom%20A=int:120\nNova%20mo%U017Enost=\"text:a, b\"\n";
    const QByteArray users = "[Moje%20opombe]\nopomba=prva, druga\n";
    const struct {
        const char* what;
        QByteArray file;
    } cases[] = {
        {"after ours", "; Tengwar Ostrel\n" + ours + "\n" + newer + users + "; konec 0\n"},
        {"before ours, a hand-made file", newer + users + ours},
        {"around ours", users + ours + newer},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // A file of its own for each case: Qt keeps what it read of a file.
        const QString rowPath = dir.filePath(QString::fromUtf8(c.what) + QStringLiteral("/Tengwar Ostrel.conf"));
        writeFile(rowPath, c.file);
        for (const int zoom : {55, 66}) {  // the first save and the next one
            SettingsFileBackend backend(rowPath);
            backend.open();
            ASSERT_TRUE(backend.write("Zoom A", StoredValue::integer(zoom)));
        }
        const QByteArray saved = fileBytes(rowPath);
        EXPECT_TRUE(saved.contains(newer)) << saved.toStdString();
        EXPECT_TRUE(saved.contains(users)) << saved.toStdString();
        // Qt reads every section where it was.
        QSettings qt(rowPath, QSettings::IniFormat);
        EXPECT_EQ(qt.value(QStringLiteral("1.0/Zoom A")).toString(), QStringLiteral("int:66"));
        EXPECT_EQ(qt.value(QStringLiteral("2.0/Zoom A")).toString(), QStringLiteral("int:120"));
        EXPECT_EQ(qt.value(QStringLiteral("2.0/Nova mo\u017Enost")).toString(), QStringLiteral("text:a, b"));
        EXPECT_EQ(qt.value(QStringLiteral("Moje opombe/opomba")).toStringList(),
                  (QStringList{QStringLiteral("prva"), QStringLiteral("druga")}));
    }
}

// A text comes back with every character, blanks at either end included, as
// the program reads it and as Qt reads it.
TEST_F(SettingsFileSave, TextsComeBackWithEveryCharacter) {
    const char* const texts[] = {
        "Times New Roman", "konec ", " začetek", "  ", " ",  "tab\t", "a;b",
        "a, b", "a=b", "@ne", "\"v narekovajih\"", "po\\ševnica", "",
    };
    int row = 0;
    for (const char* utf8 : texts) {
        SCOPED_TRACE(std::string("[") + utf8 + "]");
        const std::string text = cp1250::fromUtf8(utf8);
        const QString rowPath = dir.filePath(QStringLiteral("%1/Tengwar Ostrel.conf").arg(++row));
        {
            SettingsFileBackend backend(rowPath);
            backend.open();
            ASSERT_TRUE(backend.write(kFontName, StoredValue::text(text)));
        }
        EXPECT_EQ(readText(rowPath, kFontName), text);
        QSettings qt(rowPath, QSettings::IniFormat);
        EXPECT_EQ(qt.value(QStringLiteral("1.0/Pisava za odgovor")).toString(),
                  QStringLiteral("text:") + QString::fromUtf8(utf8));
    }
}

// The file keeps the permissions the user gave it, also through a link.
TEST_F(SettingsFileSave, PermissionsAreKept) {
    const QString target = dir.filePath(QStringLiteral("dotfiles/ostrel.conf"));
    for (const bool throughLink : {false, true}) {
        const QString file = throughLink ? target : path;
        QFile::remove(path);
        writeFile(file, "[1.0]\nZoom%20A=int:80\n");
        if (throughLink) {
            ASSERT_TRUE(QFile::link(target, path));
        }
        for (const mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0664}, mode_t{0604}}) {
            SCOPED_TRACE(testing::Message() << "link " << throughLink << " mode " << std::oct << mode);
            ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), mode), 0);
            SettingsFileBackend backend(path);
            backend.open();
            ASSERT_TRUE(backend.write("Zoom A", StoredValue::integer(static_cast<int>(mode))));
            EXPECT_EQ(permissionsOf(file), mode);
        }
    }
}

// A settings file that is a symbolic link (dotfiles kept elsewhere) stays a
// link: the file it points to is written, and the link is left in place.
TEST_F(SettingsFileSave, ALinkInTheFilesPlaceStaysALink) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    const QString dotfiles = dir.filePath(QStringLiteral("dotfiles"));
    const struct {
        const char* what;
        QString linkTo;      // what the link in the file's place says
        QString written;     // the file that holds the settings after the save
        bool targetThere;    // the file the link points to exists before the save
    } cases[] = {
        {"absolute", dotfiles + QStringLiteral("/a.conf"), dotfiles + QStringLiteral("/a.conf"), true},
        {"relative", QStringLiteral("../dotfiles/b.conf"), dotfiles + QStringLiteral("/b.conf"), true},
        {"pointing nowhere yet", dotfiles + QStringLiteral("/c.conf"), dotfiles + QStringLiteral("/c.conf"),
         false},
        {"a plain file", QString(), path, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path);
        if (c.targetThere) {
            writeFile(c.written, "[1.0]\nZoom%20A=int:80\n");
        }
        if (!c.linkTo.isEmpty()) {
            ASSERT_EQ(::symlink(QFile::encodeName(c.linkTo).constData(), QFile::encodeName(path).constData()), 0);
        }
        {
            SettingsFileBackend backend(path);
            backend.open();
            ASSERT_TRUE(backend.write(kFontName, StoredValue::text("Gentium")));
        }
        EXPECT_EQ(QFileInfo(path).isSymLink(), !c.linkTo.isEmpty());
        if (!c.linkTo.isEmpty()) {
            EXPECT_EQ(QFile::symLinkTarget(path), QFileInfo(c.written).absoluteFilePath());
        }
        EXPECT_TRUE(fileBytes(c.written).contains("Pisava%20za%20odgovor=text:Gentium\n"))
            << fileBytes(c.written).toStdString();
        EXPECT_EQ(readText(path, kFontName), "Gentium");
        // Nothing of the program's is left beside the link or the file.
        const QStringList beside = QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::System | QDir::Hidden);
        EXPECT_EQ(beside, QStringList{QFileInfo(path).fileName()});
    }
}

}  // namespace
