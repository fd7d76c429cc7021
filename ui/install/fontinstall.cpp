#include "ui/install/fontinstall.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>

#include "core/install/szdd.h"
#include "ui/install/tfontpathdlg.h"
#include "ui/widgets/messages.h"

namespace fontinstall {

namespace {

QByteArray readResource() {
    QFile file(QString::fromLatin1(kResource));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

bool execDialog(TFontPathDlg& dialog) {
    return dialog.exec() == QDialog::Accepted;
}

Environment& environment() {
    static Environment instance{readResource, execDialog};
    return instance;
}

bool faceInstalled() {
    return QFontDatabase::families().contains(QString::fromLatin1(kFamily));
}

// A folder counts when it exists and the font could be written into it.
bool folderTakesFont(const QString& folder, QString& path) {
    return PathExists(folder, true) && WriteFontToFolder(folder, path);
}

// Adds the written file to the program's fonts; it must bring the face with it.
bool registerFont(const QString& path) {
    const int id = QFontDatabase::addApplicationFont(path);
    if (id < 0) {
        return false;
    }
    if (!QFontDatabase::applicationFontFamilies(id).contains(QString::fromLatin1(kFamily))) {
        QFontDatabase::removeApplicationFont(id);
        return false;
    }
    return true;
}

}  // namespace

QStringList candidateFolders() {
    // An unset, empty or relative XDG_DATA_HOME means ~/.local/share.
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome)) {
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return {QDir::cleanPath(dataHome + QStringLiteral("/fonts")),
            QDir::homePath() + QStringLiteral("/.fonts")};
}

void setEnvironment(Environment replacement) {
    if (!replacement.packedFont) {
        replacement.packedFont = readResource;
    }
    if (!replacement.runDialog) {
        replacement.runDialog = execDialog;
    }
    environment() = std::move(replacement);
}

void resetEnvironment() {
    setEnvironment({});
}

}  // namespace fontinstall

bool PathExists(const QString& path, bool wantFolder) {
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    if (info.isSymLink() && !info.exists()) {
        return !wantFolder;
    }
    return info.exists() && info.isDir() == wantFolder;
}

QString UniqueFontFileName(const QString& folder) {
    QString first = QStringLiteral("quenya.ttf");
    if (!PathExists(folder + QLatin1Char('/') + first, false)) {
        return first;
    }
    for (int i = 1; i <= 100; ++i) {
        QString name = QStringLiteral("quenya.ttf (%1)").arg(i);
        if (!PathExists(folder + QLatin1Char('/') + name, false)) {
            return name;
        }
    }
    return {};
}

bool WriteFontToFolder(const QString& folder, QString& path) {
    const QString name = UniqueFontFileName(folder);
    const QByteArray packed = fontinstall::environment().packedFont();
    if (packed.isEmpty()) {
        return false;
    }
    const auto font =
        DecompressSzdd(reinterpret_cast<const std::uint8_t*>(packed.constData()), std::size_t(packed.size()));
    if (!font) {
        return false;
    }
    path = folder + QLatin1Char('/') + name;
    if (name.isEmpty()) {
        return false;  // every name is taken
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        return false;
    }
    const auto size = qint64(font->size());
    const bool written =
        file.write(reinterpret_cast<const char*>(font->data()), size) == size && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        // A truncated font would sit in the fonts folder and take the name.
        file.remove();
        return false;
    }
    return true;
}

namespace {

QString xmlEscaped(QString text) {
    return text.replace(QLatin1Char('&'), QStringLiteral("&amp;"))
        .replace(QLatin1Char('<'), QStringLiteral("&lt;"))
        .replace(QLatin1Char('>'), QStringLiteral("&gt;"));
}

QString xmlUnescaped(QString text) {
    return text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

}  // namespace

bool RememberFontFolder(const QString& folder) {
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || QDir::isRelativePath(configHome)) {
        configHome = QDir::homePath() + QStringLiteral("/.config");
    }
    const QString confDir = configHome + QStringLiteral("/fontconfig/conf.d");
    const QString confPath = confDir + QStringLiteral("/50-tengwar-ostrel.conf");
    const QString wanted = QDir(folder).absolutePath();

    QStringList folders;
    QFile old(confPath);
    if (old.open(QIODevice::ReadOnly)) {
        static const QRegularExpression dirEntry(QStringLiteral("<dir>([^<]*)</dir>"));
        const QString text = QString::fromUtf8(old.readAll());
        for (auto it = dirEntry.globalMatch(text); it.hasNext();) {
            folders << xmlUnescaped(it.next().captured(1));
        }
    }
    if (!folders.contains(wanted)) {
        folders << wanted;
        QString xml = QStringLiteral(
            "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
            "<!-- Folders with the font of Tengwar Ostrel, chosen by the user. -->\n<fontconfig>\n");
        for (const QString& each : folders) {
            xml += QStringLiteral("  <dir>%1</dir>\n").arg(xmlEscaped(each));
        }
        xml += QStringLiteral("</fontconfig>\n");
        QSaveFile file(confPath);
        if (!QDir().mkpath(confDir) || !file.open(QIODevice::WriteOnly) || file.write(xml.toUtf8()) < 0 ||
            !file.commit()) {
            return false;
        }
    }
    // The cache spares the scanner a look into the folder at each start; without
    // fc-cache the folder is still scanned, only more slowly.
    QProcess::execute(QStringLiteral("fc-cache"), {wanted});
    return true;
}

bool InstallFont(QWidget* owner) {
    if (fontinstall::faceInstalled()) {
        return true;
    }

    QString path;
    bool written = false;
    const QStringList candidates = fontinstall::candidateFolders();
    // A missing per-user fonts folder is normal; it is made here.
    QDir().mkpath(candidates.constFirst());
    for (const QString& folder : candidates) {
        if (fontinstall::folderTakesFont(folder, path)) {
            written = true;
            break;
        }
    }

    const bool chosenFolder = !written;
    if (!written) {
        QString folder;
        {
            TFontPathDlg dialog(owner);
            if (!fontinstall::environment().runDialog(dialog)) {
                return false;
            }
            folder = dialog.path();
        }
        if (!fontinstall::folderTakesFont(folder, path)) {
            messages::plain(owner, QStringLiteral("Ne morem shraniti pisave v mapo, ki ste jo določili!\n"
                                                  "Poskusite pisavo namestiti ročno."));
            return false;
        }
    }

    if (!fontinstall::registerFont(path)) {
        messages::plain(owner, QStringLiteral("Ne morem namestiti pisave v datoteko %1!\n"
                                              "Poskusite pisavo namestiti ročno.")
                                   .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (chosenFolder) {
        // Not in a folder the font scanner reads: without this the dialog would
        // return at every start and write another copy each time.
        RememberFontFolder(QFileInfo(path).path());
    }
    return true;
}
