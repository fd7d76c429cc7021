#include "settings/qsettingsbackend.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLockFile>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QStringDecoder>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "settings/storedform.h"
#include "transcription/qtext.h"

namespace {

QString keyOf(const std::string& name) {
    return storedform::keyOf(name);
}

// Whether a "key=value" line ends inside a quoted value: an odd number of
// quotes that are not escaped by a backslash.
bool endsInsideQuotes(const QByteArray& line) {
    bool inside = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '\\') {
            ++i;
        } else if (line[i] == '"') {
            inside = !inside;
        }
    }
    return inside;
}

// Whether the process named on the first line of a QLockFile runs on this
// machine. False for an empty or unreadable lock, as a kill between the
// lock's creation and its first write leaves it.
bool lockOwnerRuns(const QByteArray& content) {
    const QList<QByteArray> lines = content.split('\n');
    bool ok = false;
    const qint64 pid = lines.value(0).toLongLong(&ok);
    if (!ok || pid <= 0) {
        return false;
    }
    const QByteArray host = lines.value(2);
    char name[256] = {};
    if (!host.isEmpty() && ::gethostname(name, sizeof name - 1) == 0 && host != QByteArray(name)) {
        return true;  // another machine's process: not ours to judge
    }
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Removes a lock file whose owner is gone, so that the next write need not
// wait for Qt's stale-lock time. A live owner holds a file lock on it, which
// is checked before the removal.
void clearStaleLock(const QString& lockPath) {
    QFile lock(lockPath);
    if (!lock.exists() || !lock.open(QIODevice::ReadOnly)) {
        return;
    }
    if (lockOwnerRuns(lock.read(4096))) {
        return;
    }
    if (::flock(lock.handle(), LOCK_EX | LOCK_NB) == 0) {
        QFile::remove(lockPath);
    }
}

// Tells one version of a file from another.
QString fileStamp(const QString& path) {
    const QFileInfo info(path);
    return info.exists()
               ? QStringLiteral("%1 %2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch())
               : QString();
}

}  // namespace

QSettingsBackend::QSettingsBackend() : m_path(storedform::userSettingsPath()) {}

QSettingsBackend::QSettingsBackend(const QString& filePath) : m_path(filePath) {}

QSettingsBackend::~QSettingsBackend() = default;

// ---------------------------------------------------------------------------
// Stored forms

QString QSettingsBackend::encode(const StoredValue& value) {
    return storedform::encode(value);
}

ValueBackend::ReadStatus QSettingsBackend::decode(const QString& stored, StoredValue& value) {
    return storedform::decode(stored, value);
}

// ---------------------------------------------------------------------------
// The file

// A short-lived QSettings for one operation, as QSettings is meant to be used:
// the parsed file stays cached by Qt between objects, and a fresh object's
// status tells about this operation only.
std::unique_ptr<QSettings> QSettingsBackend::session() const {
    auto settings = std::make_unique<QSettings>(m_path, QSettings::NativeFormat);
    settings->setAtomicSyncRequired(true);
    settings->beginGroup(storedform::group());
    return settings;
}

// Whether the file is one that QSettings can read without losing anything:
// text in UTF-8 without zero bytes, every section header closed, and every
// other line a comment or a "key=value" line. A missing file is sound.
bool QSettingsBackend::fileIsSound() const {
    QFile file(m_path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) {
        return true;  // an access problem, not a broken file: reads and writes report it
    }
    const QByteArray data = file.readAll();
    if (data.contains('\0')) {
        return false;
    }
    // The decoder does its work only when its result becomes a string.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(data);
    if (utf8.hasError()) {
        return false;
    }
    for (const QByteArray& rawLine : data.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) {
            continue;
        }
        if (line.startsWith('[') ? !line.contains(']') : !line.contains('=') || endsInsideQuotes(line)) {
            return false;
        }
    }
    return true;
}

// The first backup name not taken: "<file>.bak", then "<file>.bak.2", ...
QString QSettingsBackend::freeBackupName() const {
    QString name = m_path + QStringLiteral(".bak");
    for (int n = 2; QFileInfo::exists(name) && n < 100000; ++n) {
        name = m_path + QStringLiteral(".bak.%1").arg(n);
    }
    return name;
}

void QSettingsBackend::keepAside() {
    const QString backup = freeBackupName();
    if (!QFile::rename(m_path, backup)) {
        // Without a backup the broken file must still not be taken for the
        // settings; a copy keeps what it held.
        QFile::copy(m_path, backup);
        QFile::remove(m_path);
    }
    if (QFileInfo::exists(m_path)) {
        // A folder that allows no change: the broken file stays where it is,
        // and is not reported again at every access.
        m_stuckFile = fileStamp(m_path);
    }
    m_notice = QStringLiteral(
                   "Datoteke z nastavitvami \u201E%1\u201C ni bilo mogo\u010De prebrati. Shranjena je kot \u201E%2\u201C, "
                   "program pa nadaljuje s privzetimi nastavitvami.")
                   .arg(m_path, backup);
}

std::string QSettingsBackend::keepDamagedCopy() {
    if (!QFileInfo(m_path).isFile()) {
        return {};
    }
    const QString backup = freeBackupName();
    return QFile::copy(m_path, backup) ? toCp1250(backup) : std::string();
}

// What a killed run leaves: a lock nobody holds, and QSaveFile's temporary
// files. The temporary files are removed only under the lock that every
// writer holds, so no running write loses its file.
void QSettingsBackend::clearLeftovers() {
    const QString lockPath = m_path + QStringLiteral(".lock");
    clearStaleLock(lockPath);
    const QFileInfo info(m_path);
    QDir folder = info.dir();
    if (!folder.exists()) {
        return;
    }
    const QRegularExpression temporary(
        QStringLiteral("^%1\\.[A-Za-z0-9]{6}$").arg(QRegularExpression::escape(info.fileName())));
    QStringList leftovers;
    for (const QString& name :
         folder.entryList({info.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden)) {
        if (temporary.match(name).hasMatch()) {
            leftovers << name;
        }
    }
    if (leftovers.isEmpty()) {
        return;
    }
    QLockFile lock(lockPath);
    if (lock.tryLock(0)) {
        for (const QString& name : leftovers) {
            folder.remove(name);
        }
    }
}

// access() tells what the caller may really do, also for root (an immutable
// file or folder refuses root too).
bool QSettingsBackend::canWrite() {
    const auto writable = [](const QString& path) {
        return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
    };
    const QFileInfo file(m_path);
    if (file.exists()) {
        return file.isFile() && writable(m_path) && writable(file.path());
    }
    // The file and perhaps its folders are made at the first write.
    QFileInfo folder(file.path());
    while (!folder.exists() && !folder.isRoot()) {
        folder = QFileInfo(folder.path());
    }
    return folder.isDir() && writable(folder.filePath());
}

std::string QSettingsBackend::location() const {
    return toCp1250(m_path);
}

// Brings Qt's copy of the file up to date. A broken file is kept aside before
// QSettings reads it, so that it is never taken for the settings and never
// written back. Unless an earlier write failed, there are no unsaved changes
// here (every write is synced at once), so this sync only reads; after a
// failed write it retries writing the values as they were, and the values
// read are still the right ones.
std::unique_ptr<QSettings> QSettingsBackend::prepare() {
    // The file is checked again only when it changed, as QSettings itself
    // re-reads it only then.
    const QString stamp = fileStamp(m_path);
    if (stamp != m_checkedFile) {
        if (!fileIsSound() && stamp != m_stuckFile) {
            keepAside();
        }
        m_checkedFile = fileStamp(m_path);
    }
    auto settings = session();
    settings->sync();
    if (settings->status() == QSettings::FormatError && fileStamp(m_path) != m_stuckFile) {
        settings.reset();
        keepAside();
        settings = session();
        settings->sync();
    }
    return settings;
}

bool QSettingsBackend::open() {
    clearLeftovers();
    return prepare()->status() != QSettings::FormatError;
}

bool QSettingsBackend::exists(const std::string& name) {
    return prepare()->contains(keyOf(name));
}

ValueBackend::ReadStatus QSettingsBackend::read(const std::string& name, StoredValue& value) {
    const auto settings = prepare();
    const QString key = keyOf(name);
    if (!settings->contains(key)) {
        return ReadStatus::Missing;
    }
    const QVariant stored = settings->value(key);
    if (stored.typeId() != QMetaType::QString) {
        return ReadStatus::BadKind;
    }
    return decode(stored.toString(), value);
}

// Writes changes in one replace of the file. When the file cannot be
// written, the changes are undone in Qt's copy, so that what is read
// afterwards is what the file holds.
bool QSettingsBackend::writeMany(const std::vector<Change>& changes) {
    if (changes.empty()) {
        return true;
    }
    clearStaleLock(m_path + QStringLiteral(".lock"));
    const auto settings = prepare();
    if (settings->status() != QSettings::NoError) {
        return false;
    }
    std::vector<std::pair<QString, QVariant>> before;
    for (const auto& [name, value] : changes) {
        const QString key = keyOf(name);
        before.emplace_back(key, settings->value(key));
        if (value) {
            settings->setValue(key, encode(*value));
        } else {
            settings->remove(key);
        }
    }
    settings->sync();
    if (settings->status() == QSettings::NoError) {
        return true;
    }
    for (const auto& [key, old] : before) {
        if (old.isValid()) {
            settings->setValue(key, old);
        } else {
            settings->remove(key);
        }
    }
    return false;
}

bool QSettingsBackend::write(const std::string& name, const StoredValue& value) {
    return writeMany({{name, value}});
}

bool QSettingsBackend::remove(const std::string& name) {
    return writeMany({{name, std::nullopt}});
}

std::string QSettingsBackend::takeNotice() {
    std::string notice = toCp1250(m_notice);
    m_notice.clear();
    return notice;
}

// ---------------------------------------------------------------------------

StoreEnvironment qtStoreEnvironment() {
    StoreEnvironment environment;
    QString path;
    if (QCoreApplication::instance() != nullptr) {
        path = QCoreApplication::applicationFilePath();
    } else {
        path = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    }
    environment.executablePath = toCp1250(path);
    environment.screenSize = [] {
        StoreEnvironment::ScreenSize size;
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
            if (const QScreen* screen = QGuiApplication::primaryScreen()) {
                size.width = screen->size().width();
                size.height = screen->size().height();
            }
        }
        return size;
    };
    return environment;
}
