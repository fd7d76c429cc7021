#include "settings/qsettingsbackend.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStringDecoder>

#include "app/qtext.h"

namespace {

const QString kGroup = QStringLiteral("1.0");
const QString kTextPrefix = QStringLiteral("text:");
const QString kIntPrefix = QStringLiteral("int:");
const QString kBoolPrefix = QStringLiteral("bool:");
const QString kHexPrefix = QStringLiteral("hex:");

QString keyOf(const std::string& name) {
    return name.empty() ? QStringLiteral("Default") : fromCp1250(name);
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') {
        return u - '0';
    }
    if (u >= 'A' && u <= 'F') {
        return u - 'A' + 10;
    }
    if (u >= 'a' && u <= 'f') {
        return u - 'a' + 10;
    }
    return -1;
}

}  // namespace

QSettingsBackend::QSettingsBackend() {
    const QSettings locator(QSettings::NativeFormat, QSettings::UserScope,
                            QStringLiteral("Brinmoor Software, Inc."), QStringLiteral("Tengwar Ostrel"));
    m_path = locator.fileName();
}

QSettingsBackend::QSettingsBackend(const QString& filePath) : m_path(filePath) {}

QSettingsBackend::~QSettingsBackend() = default;

// ---------------------------------------------------------------------------
// Stored forms

QString QSettingsBackend::encode(const StoredValue& value) {
    switch (value.kind) {
        case ValueKind::Text:
            return kTextPrefix + fromCp1250(value.bytes);
        case ValueKind::Integer:
            return kIntPrefix + QString::number(value.number);
        case ValueKind::Boolean:
            return kBoolPrefix + (value.number != 0 ? QStringLiteral("true") : QStringLiteral("false"));
        case ValueKind::Binary:
            break;
    }
    QString hex = kHexPrefix;
    static const char kDigits[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < value.bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(value.bytes[i]);
        if (i != 0) {
            hex += QLatin1Char(' ');
        }
        hex += QLatin1Char(kDigits[byte >> 4]);
        hex += QLatin1Char(kDigits[byte & 0xF]);
    }
    return hex;
}

ValueBackend::ReadStatus QSettingsBackend::decode(const QString& stored, StoredValue& value) {
    if (stored.startsWith(kTextPrefix)) {
        value = StoredValue::text(toCp1250(stored.mid(kTextPrefix.size())));
        return ReadStatus::Ok;
    }
    if (stored.startsWith(kIntPrefix)) {
        bool ok = false;
        const int number = stored.mid(kIntPrefix.size()).toInt(&ok);
        if (!ok) {
            return ReadStatus::BadKind;
        }
        value = StoredValue::integer(number);
        return ReadStatus::Ok;
    }
    if (stored.startsWith(kBoolPrefix)) {
        const QString text = stored.mid(kBoolPrefix.size());
        if (text != QLatin1String("true") && text != QLatin1String("false")) {
            return ReadStatus::BadKind;
        }
        value = StoredValue::boolean(text == QLatin1String("true"));
        return ReadStatus::Ok;
    }
    if (stored.startsWith(kHexPrefix)) {
        std::string bytes;
        int high = -1;
        for (qsizetype i = kHexPrefix.size(); i < stored.size(); ++i) {
            const QChar c = stored[i];
            if (c == QLatin1Char(' ') && high < 0) {
                continue;
            }
            const int digit = hexDigit(c);
            if (digit < 0) {
                return ReadStatus::BadKind;
            }
            if (high < 0) {
                high = digit;
            } else {
                bytes.push_back(static_cast<char>((high << 4) | digit));
                high = -1;
            }
        }
        if (high >= 0) {
            return ReadStatus::BadKind;
        }
        value = StoredValue::binary(std::move(bytes));
        return ReadStatus::Ok;
    }
    return ReadStatus::BadKind;
}

// ---------------------------------------------------------------------------
// The file

// A short-lived QSettings for one operation, as QSettings is meant to be used:
// the parsed file stays cached by Qt between objects, and a fresh object's
// status tells about this operation only.
std::unique_ptr<QSettings> QSettingsBackend::session() const {
    auto settings = std::make_unique<QSettings>(m_path, QSettings::NativeFormat);
    settings->setAtomicSyncRequired(true);
    settings->beginGroup(kGroup);
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
