// The installed package's menu entry is looked for in the system's data
// folders only: the same name in the user's own applications folder is not
// the package's.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ui/install/shortcuts.h"

namespace {

// Sets an environment variable while it lives.
class EnvironmentValue {
public:
    EnvironmentValue(const char* name, const QByteArray& value) : m_name(name), m_saved(qgetenv(name)) {
        m_had = qEnvironmentVariableIsSet(name);
        qputenv(name, value);
    }
    ~EnvironmentValue() {
        if (m_had) {
            qputenv(m_name, m_saved);
        } else {
            qunsetenv(m_name);
        }
    }
    EnvironmentValue(const EnvironmentValue&) = delete;
    EnvironmentValue& operator=(const EnvironmentValue&) = delete;

private:
    const char* m_name;
    QByteArray m_saved;
    bool m_had = false;
};

void placeEntry(const QString& folder) {
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile entry(QDir(folder).filePath(QLatin1String(shortcuts::kPackageEntryName)));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Tengwar Ostrel\nExec=tengwar-ostrel\n");
}

TEST(PackageEntry, IsLookedForInTheSystemsFoldersOnly) {
    QTemporaryDir root;
    const QString home = root.filePath(QStringLiteral("home"));
    const QString usr = root.filePath(QStringLiteral("usr/share"));
    const QString local = root.filePath(QStringLiteral("usr/local/share"));
    const EnvironmentValue homeValue("HOME", home.toUtf8());
    const EnvironmentValue dataHome("XDG_DATA_HOME", root.filePath(QStringLiteral("home/.local/share")).toUtf8());
    const QString own = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    ASSERT_TRUE(own.startsWith(home)) << own.toStdString();
    const QString ownData = QFileInfo(own).path();  // the data folder that holds it

    const struct {
        const char* what;
        QStringList entries;  // folders that hold an entry of the package's name
        QString dataDirs;     // XDG_DATA_DIRS
        bool installed;
    } cases[] = {
        {"nowhere", {}, usr + ':' + local, false},
        {"in the user's own folder only", {own}, usr + ':' + local, false},
        {"in the first system folder", {usr + "/applications"}, usr + ':' + local, true},
        {"in the last system folder", {local + "/applications"}, usr + ':' + local, true},
        {"in the user's and a system folder", {own, local + "/applications"}, usr + ':' + local, true},
        {"the user's folder among the system's", {own}, usr + ':' + ownData + ':' + local, false},
        {"the user's folder among the system's, with a slash", {own}, usr + ':' + ownData + "/:" + local, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const QString& folder : {own, usr + "/applications", local + "/applications"}) {
            QDir(folder).removeRecursively();
        }
        for (const QString& folder : c.entries) {
            placeEntry(folder);
        }
        const EnvironmentValue dataDirs("XDG_DATA_DIRS", c.dataDirs.toUtf8());
        EXPECT_EQ(shortcuts::packageEntryInstalled(), c.installed);
    }
}

}  // namespace
