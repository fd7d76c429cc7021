#include "ui/settings/settingsfilebackend.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLockFile>
#include <QScreen>
#include <QTemporaryFile>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/convert/regularfile.h"
#include "core/convert/systemerror.h"
#include "qtcore/qtext.h"
#include "qtcore/storedfile.h"
#include "qtcore/storedform.h"
#include "qtcore/regularqfile.h"

namespace {

QString keyOf(const std::string& name) {
    return storedform::keyOf(name);
}

QString thisHost() {
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? QString::fromLocal8Bit(name) : QString();
}

struct LockOwner {
    qint64 pid = 0;    // 0: none named (an empty or garbled lock)
    QString host;      // empty: not named
};

// The owner a lock file names, in QLockFile's layout: the process id, the
// program's name and the machine's name on the first three lines. Only a
// regular file is read: a named pipe in its place would hold the open.
LockOwner lockOwner(const QString& lockPath) {
    LockOwner owner;
    int error = 0;
    QFile lock;
    if (!openRegularQFile(lock, lockPath, error)) {
        return owner;
    }
    const QList<QByteArray> lines = lock.read(4096).split('\n');
    bool ok = false;
    const qint64 pid = lines.value(0).toLongLong(&ok);
    if (ok && pid > 0) {
        owner.pid = pid;
        owner.host = QString::fromLocal8Bit(lines.value(2).trimmed());
    }
    return owner;
}

bool onAnotherMachine(const LockOwner& owner) {
    return owner.pid > 0 && !owner.host.isEmpty() && owner.host != thisHost();
}

bool isSpecial(const QString& path) {
    return isSpecialFile(QFile::encodeName(path).toStdString());
}

// The lock's own rules tell a stale lock: its owner is gone from this
// machine, or it names none and is older than this. A live writer creates
// the lock file before it writes its process id into it, so a young empty
// lock is a writer at work, never ownerless.
constexpr int kStaleLockMs = 30000;
// How long a write waits for another writer's lock.
constexpr int kLockWaitMs = 5000;

// Waits for the lock in short steps: a write holds it for a few
// milliseconds, and QLockFile's own wait doubles from a tenth of a second.
//
// QLockFile alone leaves a gap: its owner makes the lock file and only then
// locks it in the kernel, and a writer that judged the lock stale in that gap
// removes the new owner's file, so that two processes write at once. A kernel
// lock on the settings folder (never removed, freed when its process ends)
// first lets one of this program's writers at a time reach the lock file;
// the lock file stays for programs that write the file through QSettings.
bool takeLock(QLockFile& lock, int folderFd, int timeoutMs) {
    lock.setStaleLockTime(kStaleLockMs);
    QDeadlineTimer deadline(timeoutMs);
    bool folderLocked = folderFd < 0;  // a folder that cannot be opened: the lock file alone
    for (int pause = 2;; pause = std::min(pause * 2, 50)) {
        if (!folderLocked) {
            folderLocked = ::flock(folderFd, LOCK_EX | LOCK_NB) == 0 || (errno != EWOULDBLOCK && errno != EINTR);
        }
        if (folderLocked && lock.tryLock(0)) {
            return true;
        }
        if ((folderLocked && lock.error() != QLockFile::LockFailedError) || deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(pause, deadline.remainingTime() + 1)));
    }
}

// The settings folder, opened for its kernel lock; closing it frees the lock.
struct FolderHandle {
    explicit FolderHandle(const QString& folder)
        : fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~FolderHandle() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;
    const int fd;
};

// Tells one version of a file from another: empty when there is none.
QString fileStamp(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return {};
    }
    return QStringLiteral("%1 %2 %3.%4")
        .arg(info.st_ino)
        .arg(info.st_size)
        .arg(info.st_mtim.tv_sec)
        .arg(info.st_mtim.tv_nsec);
}

}  // namespace

SettingsFileBackend::SettingsFileBackend() : m_path(storedform::userSettingsPath()) {}

SettingsFileBackend::SettingsFileBackend(const QString& filePath) : m_path(filePath) {}

SettingsFileBackend::~SettingsFileBackend() = default;

// ---------------------------------------------------------------------------
// Stored forms

QString SettingsFileBackend::encode(const StoredValue& value) {
    return storedform::encode(value);
}

ValueBackend::ReadStatus SettingsFileBackend::decode(const QString& stored, StoredValue& value) {
    return storedform::decode(stored, value);
}

// ---------------------------------------------------------------------------
// The file

void SettingsFileBackend::addNotice(const QString& text) {
    if (!m_notice.isEmpty()) {
        m_notice += QStringLiteral("\n\n");
    }
    m_notice += text;
}

// The first backup name not taken: "<file>.bak", then "<file>.bak.2", ...
QString SettingsFileBackend::freeBackupName() const {
    QString name = m_path + QStringLiteral(".bak");
    for (int n = 2; QFileInfo::exists(name) && n < 100000; ++n) {
        name = m_path + QStringLiteral(".bak.%1").arg(n);
    }
    return name;
}

// A file that cannot be read without loss is moved aside, never read as the
// settings and never written over.
void SettingsFileBackend::keepAside() {
    const QString backup = freeBackupName();
    bool kept = QFile::rename(m_path, backup);
    if (!kept) {
        // Without a rename the broken file must still not be taken for the
        // settings; a copy keeps what it held.
        kept = QFile::copy(m_path, backup);
        if (kept) {
            QFile::remove(m_path);
        }
    }
    if (QFileInfo::exists(m_path)) {
        // A folder that allows no change: the broken file stays where it is,
        // and is not reported again at every access.
        m_stuckFile = fileStamp(m_path);
    }
    if (kept) {
        addNotice(QStringLiteral("Datoteke z nastavitvami \u201E%1\u201C ni bilo mogo\u010De prebrati. Shranjena je "
                                 "kot \u201E%2\u201C, program pa nadaljuje s privzetimi nastavitvami.")
                      .arg(m_path, backup));
    } else {
        addNotice(QStringLiteral("Datoteke z nastavitvami \u201E%1\u201C ni bilo mogo\u010De prebrati. Varnostne "
                                 "kopije ni bilo mogo\u010De narediti, zato datoteka ostaja, kakr\u0161na je; "
                                 "program nadaljuje s privzetimi nastavitvami.")
                      .arg(m_path));
    }
}

// A file of the program's that was cut short: what it held before the cut is
// used, and the file as it was is copied aside before it is written again.
void SettingsFileBackend::keepCutCopy() {
    const std::string copy = keepDamagedCopy();
    if (!copy.empty()) {
        addNotice(QStringLiteral("Datoteka z nastavitvami \u201E%1\u201C je nepopolna (odrezana). Shranjena je kot "
                                 "\u201E%2\u201C; nastavitve, ki so se izgubile, so spet privzete.")
                      .arg(m_path, fromCp1250(copy)));
    } else {
        addNotice(QStringLiteral("Datoteka z nastavitvami \u201E%1\u201C je nepopolna (odrezana). Varnostne kopije "
                                 "ni bilo mogo\u010De narediti; nastavitve, ki so se izgubile, so spet privzete.")
                      .arg(m_path));
    }
}

// One copy per version of the file: several damaged values found in one
// file share its one backup.
std::string SettingsFileBackend::keepDamagedCopy() {
    if (!QFileInfo(m_path).isFile()) {
        return {};
    }
    const QString stamp = fileStamp(m_path);
    if (stamp == m_copiedFile && QFileInfo::exists(m_copiedTo)) {
        return toCp1250(m_copiedTo);
    }
    const QString backup = freeBackupName();
    if (!QFile::copy(m_path, backup)) {
        return {};
    }
    m_copiedFile = stamp;
    m_copiedTo = backup;
    return toCp1250(backup);
}

// What a killed run leaves: a lock nobody holds, and the program's own
// temporary files. Taking the lock clears a stale one by the lock's own
// rules; the temporary files are removed only under the lock that every
// writer holds, so no running write loses its file. Files of any other name
// (a user's "Tengwar Ostrel.conf.backup") are never touched.
void SettingsFileBackend::clearLeftovers() {
    const QString lockPath = m_path + QStringLiteral(".lock");
    const QFileInfo info(m_path);
    QDir folder = info.dir();
    if (!folder.exists() || !lockUsable() || onAnotherMachine(lockOwner(lockPath))) {
        return;
    }
    const QString prefix = info.fileName() + storedfile::temporaryMark();
    QStringList leftovers;
    for (const QString& name : folder.entryList({prefix + QStringLiteral("*")}, QDir::Files | QDir::Hidden)) {
        if (name.size() == prefix.size() + 6) {
            leftovers << name;
        }
    }
    if (leftovers.isEmpty() && !QFileInfo::exists(lockPath)) {
        return;
    }
    const FolderHandle folderLock(info.path());
    QLockFile lock(lockPath);
    if (takeLock(lock, folderLock.fd, 0)) {
        for (const QString& name : leftovers) {
            folder.remove(name);
        }
    }
}

// A named pipe, a device or a folder under the lock's name would hold up
// or refuse every write (the lock reads its owner from the file): nothing
// is written, and the user is told once.
bool SettingsFileBackend::lockUsable() {
    const QString lockPath = m_path + QStringLiteral(".lock");
    if (!isSpecial(lockPath)) {
        return true;
    }
    if (!m_toldSpecialLock) {
        m_toldSpecialLock = true;
        addNotice(QStringLiteral("Namesto datoteke zaklepa \u201E%1\u201C je cev, naprava ali mapa, zato "
                                 "nastavitev ni mogo\u010De shraniti.")
                      .arg(lockPath));
    }
    return false;
}

// The machine named by a lock that another computer holds on the file, or
// nothing.
QString SettingsFileBackend::foreignLockHost() const {
    const LockOwner owner = lockOwner(m_path + QStringLiteral(".lock"));
    return onAnotherMachine(owner) ? owner.host : QString();
}

// access() tells what the caller may really do, also for root (an immutable
// file or folder refuses root too).
bool SettingsFileBackend::canWrite() {
    const auto writable = [](const QString& path) {
        return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
    };
    if (m_unreadable || !foreignLockHost().isEmpty()) {
        return false;
    }
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

std::string SettingsFileBackend::location() const {
    return toCp1250(m_path);
}

// Reads the file again only when it changed since it was last read.
void SettingsFileBackend::prepare() {
    if (!m_loaded || fileStamp(m_path) != m_loadedFile) {
        load();
    }
}

void SettingsFileBackend::load() {
    m_loaded = true;
    m_unreadable = false;
    m_contents = {};
    m_loadedFile = fileStamp(m_path);
    if (m_loadedFile.isEmpty() || m_loadedFile == m_stuckFile) {
        return;  // no file yet, or a broken one that stays: the defaults
    }
    int error = 0;
    QFile file;
    if (!openRegularQFile(file, m_path, error)) {
        m_unreadable = true;  // an access problem: the file is kept as it is
        if (error == kNotRegularFile && m_loadedFile != m_toldSpecialFile) {
            m_toldSpecialFile = m_loadedFile;
            addNotice(QStringLiteral("Namesto datoteke z nastavitvami \u201E%1\u201C je cev ali naprava. "
                                     "Program nadaljuje s privzetimi nastavitvami in jih ne shrani.")
                          .arg(m_path));
        }
        return;
    }
    const QByteArray data = file.readAll();
    ++m_fileReads;
    file.close();
    storedfile::ReadResult result = storedfile::parse(data, storedform::group());
    switch (result.shape) {
        case storedfile::Shape::Unreadable:
            keepAside();
            break;
        case storedfile::Shape::Cut:
            keepCutCopy();
            m_contents = std::move(result.contents);
            break;
        case storedfile::Shape::Sound:
            m_contents = std::move(result.contents);
            break;
    }
    m_loadedFile = fileStamp(m_path);
}

bool SettingsFileBackend::open() {
    clearLeftovers();
    const QString host = foreignLockHost();
    if (!host.isEmpty() && host != m_toldForeignLock) {
        m_toldForeignLock = host;
        addNotice(QStringLiteral("Nastavitve v \u201E%1\u201C so zaklenjene: uporablja jih program na drugem "
                                 "ra\u010Dunalniku (\u201E%2\u201C).")
                      .arg(m_path, host));
    }
    prepare();
    return true;
}

bool SettingsFileBackend::exists(const std::string& name) {
    prepare();
    return m_contents.values.count(keyOf(name)) != 0;
}

ValueBackend::ReadStatus SettingsFileBackend::read(const std::string& name, StoredValue& value) {
    prepare();
    const auto it = m_contents.values.find(keyOf(name));
    if (it == m_contents.values.end()) {
        return ReadStatus::Missing;
    }
    QString text;
    if (!storedfile::valueText(it->second, text)) {
        return ReadStatus::BadKind;
    }
    return decode(text, value);
}

// Writes the whole file anew: a temporary file of the program's own name,
// synced, then renamed over the old one (or over what a symbolic link points to).
bool SettingsFileBackend::replaceFile(const QByteArray& bytes) {
    QString target = m_path;
    const QFileInfo info(m_path);
    if (info.isSymLink()) {
        target = info.symLinkTarget();
    }
    const QFileInfo targetInfo(target);
    if (!QDir().mkpath(targetInfo.path())) {
        return false;
    }
    QTemporaryFile temporary(target + storedfile::temporaryMark() + QStringLiteral("XXXXXX"));
    if (!temporary.open()) {
        return false;
    }
    temporary.setPermissions(targetInfo.exists() ? targetInfo.permissions()
                                                 : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                       QFile::ReadOther);
    if (temporary.write(bytes) != bytes.size() || !temporary.flush() || ::fsync(temporary.handle()) != 0) {
        return false;
    }
    temporary.close();
    if (::rename(QFile::encodeName(temporary.fileName()).constData(), QFile::encodeName(target).constData()) !=
        0) {
        return false;
    }
    temporary.setAutoRemove(false);
    return true;
}

// Writes changes in one replace of the file, under the lock every writer
// holds; what another process wrote meanwhile is read first and kept.
bool SettingsFileBackend::writeMany(const std::vector<Change>& changes) {
    if (changes.empty()) {
        return true;
    }
    const QString lockPath = m_path + QStringLiteral(".lock");
    if (const QString host = foreignLockHost(); !host.isEmpty()) {
        if (host != m_toldForeignLock) {
            m_toldForeignLock = host;
            addNotice(QStringLiteral("Nastavitve v \u201E%1\u201C so zaklenjene: uporablja jih program na drugem "
                                     "ra\u010Dunalniku (\u201E%2\u201C).")
                          .arg(m_path, host));
        }
        return false;
    }
    if (!lockUsable() || !QDir().mkpath(QFileInfo(m_path).path())) {
        return false;
    }
    const FolderHandle folderLock(QFileInfo(m_path).path());
    QLockFile lock(lockPath);
    if (!takeLock(lock, folderLock.fd, kLockWaitMs)) {
        return false;
    }
    prepare();
    if (m_unreadable || (!m_stuckFile.isEmpty() && fileStamp(m_path) == m_stuckFile)) {
        return false;  // never write over a file that could not be read or kept
    }
    storedfile::Contents next = m_contents;
    for (const auto& [name, value] : changes) {
        const QString key = keyOf(name);
        if (value) {
            next.values[key] = storedfile::spellValue(encode(*value));
        } else {
            next.values.erase(key);
        }
    }
    if (!replaceFile(storedfile::compose(next, storedform::group()))) {
        return false;
    }
    m_contents = std::move(next);
    m_loadedFile = fileStamp(m_path);
    return true;
}

bool SettingsFileBackend::write(const std::string& name, const StoredValue& value) {
    return writeMany({{name, value}});
}

bool SettingsFileBackend::remove(const std::string& name) {
    return writeMany({{name, std::nullopt}});
}

std::string SettingsFileBackend::takeNotice() {
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
