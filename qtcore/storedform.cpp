#include "qtcore/storedform.h"

#include <QStandardPaths>

#include "qtcore/qtext.h"

namespace {

const QString kTextPrefix = QStringLiteral("text:");
const QString kIntPrefix = QStringLiteral("int:");
const QString kBoolPrefix = QStringLiteral("bool:");
const QString kHexPrefix = QStringLiteral("hex:");

}  // namespace

namespace storedform {

int hexDigitValue(char32_t c) {
    if (c >= '0' && c <= '9') {
        return static_cast<int>(c - '0');
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<int>(c - 'a' + 10);
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<int>(c - 'A' + 10);
    }
    return -1;
}

QString group() {
    return QStringLiteral("1.0");
}

QString keyOf(const std::string& name) {
    return name.empty() ? QStringLiteral("Default") : fromCp1250(name);
}

std::string nameOf(const QString& key) {
    return key == QLatin1String("Default") ? std::string() : toCp1250(key);
}

QString userSettingsPath() {
    // Where QSettings keeps it, worked out without a QSettings object: one
    // would read and parse the whole file at once, before our own reading.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Brinmoor Software, Inc./Tengwar Ostrel.conf");
}

QString encode(const StoredValue& value) {
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

ValueBackend::ReadStatus decode(const QString& stored, StoredValue& value) {
    if (stored.startsWith(kTextPrefix)) {
        value = StoredValue::text(toCp1250(stored.mid(kTextPrefix.size())));
        return ValueBackend::ReadStatus::Ok;
    }
    if (stored.startsWith(kIntPrefix)) {
        bool ok = false;
        const int number = stored.mid(kIntPrefix.size()).toInt(&ok);
        if (!ok) {
            return ValueBackend::ReadStatus::BadKind;
        }
        value = StoredValue::integer(number);
        return ValueBackend::ReadStatus::Ok;
    }
    if (stored.startsWith(kBoolPrefix)) {
        const QString text = stored.mid(kBoolPrefix.size());
        if (text != QLatin1String("true") && text != QLatin1String("false")) {
            return ValueBackend::ReadStatus::BadKind;
        }
        value = StoredValue::boolean(text == QLatin1String("true"));
        return ValueBackend::ReadStatus::Ok;
    }
    if (stored.startsWith(kHexPrefix)) {
        std::string bytes;
        int high = -1;
        for (qsizetype i = kHexPrefix.size(); i < stored.size(); ++i) {
            const QChar c = stored[i];
            if (c == QLatin1Char(' ') && high < 0) {
                continue;
            }
            const int digit = hexDigitValue(c.unicode());
            if (digit < 0) {
                return ValueBackend::ReadStatus::BadKind;
            }
            if (high < 0) {
                high = digit;
            } else {
                bytes.push_back(static_cast<char>((high << 4) | digit));
                high = -1;
            }
        }
        if (high >= 0) {
            return ValueBackend::ReadStatus::BadKind;
        }
        value = StoredValue::binary(std::move(bytes));
        return ValueBackend::ReadStatus::Ok;
    }
    return ValueBackend::ReadStatus::BadKind;
}

}  // namespace storedform
