#include "ui/install/shortcuts.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include "core/install/desktopentry.h"
#include "ui/install/tshortcutform.h"
#include "ui/widgets/messages.h"
#include "ui/widgets/programicon.h"

namespace shortcuts {

namespace {

bool execDialog(TShortcutForm& form) {
    return form.exec() == QDialog::Accepted;
}

QString runningProgram() {
    return QCoreApplication::applicationFilePath();
}

Environment defaultEnvironment() {
    return {execDialog, applicationsFolder, desktopFolder, runningProgram, packageEntryInstalled};
}

Environment& environment() {
    static Environment instance = defaultEnvironment();
    return instance;
}

// Desktop environments outside an installed package find our icon by name
// only when it is in an icon theme folder; without one installed anywhere,
// the user's own hicolor folder gets a copy. The entry works without it.
void ensureIconInstalled() {
    for (const int size : programIconSizes()) {
        const QString relative = QStringLiteral("icons/hicolor/%1x%1/apps/%2.png")
                                     .arg(size)
                                     .arg(QLatin1String(desktopentry::kIconName));
        if (!QStandardPaths::locate(QStandardPaths::GenericDataLocation, relative).isEmpty()) {
            continue;
        }
        const QString target = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                               QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(programIconResource(size), target);
    }
}

// GNOME's desktop starts an entry on the desktop only when it is also marked
// trusted; elsewhere the mark is ignored. Best effort: without gio, nothing.
void markTrusted(const QString& path) {
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty()) {
        return;
    }
    QProcess process;
    process.start(gio,
                  {QStringLiteral("set"), path, QStringLiteral("metadata::trusted"), QStringLiteral("true")});
    process.waitForFinished(3000);
}

}  // namespace

QString applicationsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
}

QString desktopFolder() {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-user-dir"));
    if (!tool.isEmpty()) {
        QProcess process;
        process.start(tool, {QStringLiteral("DESKTOP")});
        if (process.waitForFinished(3000) && process.exitStatus() == QProcess::NormalExit &&
            process.exitCode() == 0) {
            QString folder = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
            if (!folder.isEmpty()) {
                return folder;
            }
        }
    }
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

void setEnvironment(const Environment& replacement) {
    const Environment defaults = defaultEnvironment();
    environment() = {
        replacement.runDialog ? replacement.runDialog : defaults.runDialog,
        replacement.applicationsFolder ? replacement.applicationsFolder : defaults.applicationsFolder,
        replacement.desktopFolder ? replacement.desktopFolder : defaults.desktopFolder,
        replacement.programPath ? replacement.programPath : defaults.programPath,
        replacement.packageEntryInstalled ? replacement.packageEntryInstalled : defaults.packageEntryInstalled};
}

bool packageEntryInstalled() {
    const QString own = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        if (folder != own && QFileInfo::exists(QDir(folder).filePath(QLatin1String(kPackageEntryName)))) {
            return true;
        }
    }
    return false;
}

namespace {

QString userMenuEntryPath() {
    const QString folder = environment().applicationsFolder();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QString::fromLatin1(desktopentry::kFileName));
}

bool startsExistingProgram(const QString& entryPath) {
    QFile file(entryPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QString program = QString::fromStdString(desktopentry::execProgram(file.readAll().toStdString()));
    if (program.isEmpty()) {
        return false;
    }
    if (!QDir::isAbsolutePath(program)) {
        return !QStandardPaths::findExecutable(program).isEmpty();
    }
    const QFileInfo info(program);
    return info.isFile() && info.isExecutable();
}

}  // namespace

bool workingMenuEntry() {
    const QString entry = userMenuEntryPath();
    return !entry.isEmpty() && QFileInfo::exists(entry) && startsExistingProgram(entry);
}

void dropStaleMenuEntry() {
    const QString entry = userMenuEntryPath();
    if (entry.isEmpty() || !QFileInfo::exists(entry) || !environment().packageEntryInstalled() ||
        startsExistingProgram(entry)) {
        return;
    }
    QFile::remove(entry);
}

void resetEnvironment() {
    environment() = defaultEnvironment();
}

}  // namespace shortcuts

bool writeDesktopEntry(const QString& folder, const QString& programPath) {
    if (!QDir().mkpath(folder)) {
        return false;
    }
    QSaveFile file(QDir(folder).filePath(QString::fromLatin1(desktopentry::kFileName)));
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const std::string text = desktopentry::entryText(programPath.toStdString());
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size())) {
        file.cancelWriting();
        return false;
    }
    // Desktops start only entries on the desktop that are executable.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                        QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                        QFileDevice::ExeOther);
    return file.commit();
}

bool CreateShortcuts(const TShortcutForm& form) {
    const shortcuts::Environment& env = shortcuts::environment();
    const QString program = env.programPath();
    bool ok = true;
    bool written = false;

    const QString applications = env.applicationsFolder();
    if (applications.isEmpty()) {
        return false;
    }
    if (form.CbStart()->isChecked()) {
        const bool done = writeDesktopEntry(applications, program);
        ok = ok && done;
        written = written || done;
    }

    const QString desktop = env.desktopFolder();
    if (desktop.isEmpty()) {
        return false;
    }
    if (form.CbDesktop()->isChecked()) {
        const bool done = writeDesktopEntry(desktop, program);
        if (done) {
            shortcuts::markTrusted(QDir(desktop).filePath(QString::fromLatin1(desktopentry::kFileName)));
        }
        ok = ok && done;
        written = written || done;
    }

    if (written) {
        shortcuts::ensureIconInstalled();
    }
    return ok;
}

bool OfferShortcuts(QWidget* owner) {
    TShortcutForm form(owner);
    // One menu entry, not two: where there is one that works, the offer
    // leaves the menu unticked.
    if (shortcuts::environment().packageEntryInstalled() || shortcuts::workingMenuEntry()) {
        form.setMenuEntryPresent();
    }
    if (!shortcuts::environment().runDialog(form)) {
        return false;
    }
    if (!CreateShortcuts(form)) {
        messages::plain(&form, QString::fromUtf8(shortcuts::kFailureText));
    }
    return true;
}
