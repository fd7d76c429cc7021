#include "settings/qsettingsbackend.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStringDecoder>

#include "app/qtext.h"
#include "settings/storedform.h"

namespace {

QString keyOf(const std::string& name) {
    return storedform::keyOf(name);
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
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)utf8.decode(data);
    if (utf8.hasError()) {
        return false;
    }
    for (const QByteArray& rawLine : data.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) {
            continue;
        }
        if (line.startsWith('[') ? !line.contains(']') : !line.contains('=')) {
            return false;
        }
    }
    return true;
}

void QSettingsBackend::keepAside() {
    const QString backup = m_path + QStringLiteral(".bak");
    QFile::remove(backup);
    if (!QFile::rename(m_path, backup)) {
        // Without a backup the broken file must still not be taken for the
        // settings; a copy keeps what it held.
        QFile::copy(m_path, backup);
        QFile::remove(m_path);
    }
    m_notice = QStringLiteral(
                   "Datoteke z nastavitvami \u201E%1\u201C ni bilo mogo\u010De prebrati. Shranjena je kot \u201E%2\u201C, "
                   "program pa nadaljuje s privzetimi nastavitvami.")
                   .arg(m_path, backup);
}

// Brings Qt's copy of the file up to date. A broken file is kept aside before
// QSettings reads it, so that it is never taken for the settings and never
// written back. Unless an earlier write failed, there are no unsaved changes
// here (every write is synced at once), so this sync only reads; after a
// failed write it retries writing the values as they were, and the values
// read are still the right ones.
std::unique_ptr<QSettings> QSettingsBackend::prepare() {
    if (!fileIsSound()) {
        keepAside();
    }
    auto settings = session();
    settings->sync();
    if (settings->status() == QSettings::FormatError) {
        settings.reset();
        keepAside();
        settings = session();
        settings->sync();
    }
    return settings;
}

bool QSettingsBackend::open() {
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

// Writes one change. When the file cannot be written, the change is undone in
// Qt's copy, so that what is read afterwards is what the file holds.
bool QSettingsBackend::change(const QString& key, const std::optional<QString>& stored) {
    const auto settings = prepare();
    if (settings->status() != QSettings::NoError) {
        return false;
    }
    const QVariant before = settings->value(key);
    if (stored) {
        settings->setValue(key, *stored);
    } else {
        settings->remove(key);
    }
    settings->sync();
    if (settings->status() == QSettings::NoError) {
        return true;
    }
    if (before.isValid()) {
        settings->setValue(key, before);
    } else {
        settings->remove(key);
    }
    return false;
}

bool QSettingsBackend::write(const std::string& name, const StoredValue& value) {
    return change(keyOf(name), encode(value));
}

bool QSettingsBackend::remove(const std::string& name) {
    return change(keyOf(name), std::nullopt);
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
