#include "cli/storedsettings.h"

#include <QFileInfo>
#include <QSettings>

#include "settings/storedform.h"
#include "transcription/cp1250.h"

StoredSettings::StoredSettings(bool useFile) {
    if (useFile) {
        load(storedform::userSettingsPath());
    }
    m_options = std::make_unique<TOptions>(m_backend);
}

StoredSettings::StoredSettings(const QString& filePath) {
    load(filePath);
    m_options = std::make_unique<TOptions>(m_backend);
}

void StoredSettings::load(const QString& filePath) {
    if (!QFileInfo::exists(filePath)) {
        return;  // never started yet: the defaults
    }
    // Only value() is called on this object, so it never writes the file.
    QSettings file(filePath, QSettings::NativeFormat);
    if (file.status() != QSettings::NoError) {
        m_notices.push_back("nastavitev v \"" + filePath.toStdString() +
                            "\" ni mogoče prebrati; uporabljam privzete.");
        return;
    }
    file.beginGroup(storedform::group());
    for (const QString& key : file.childKeys()) {
        const QVariant stored = file.value(key);
        StoredValue value;
        if (stored.typeId() != QMetaType::QString ||
            storedform::decode(stored.toString(), value) != ValueBackend::ReadStatus::Ok) {
            // As in the program: reported, and the value goes back to its default.
            m_notices.push_back(
                cp1250::toUtf8(StoreError(StoreError::Kind::InvalidType, storedform::nameOf(key)).what()));
            continue;
        }
        m_backend.values()[storedform::nameOf(key)] = std::move(value);
    }
}

TConvertData StoredSettings::convertData() {
    TConvertData data;
    for (int attempt = 0;; ++attempt) {
        try {
            m_options->LoadConvertData(data);
            takeStoreNotice();
            return data;
        } catch (const StoreError& error) {
            if (attempt > 2) {
                throw;
            }
            m_notices.push_back(cp1250::toUtf8(error.what()));
            m_backend.values().erase(error.valueName());
        }
    }
}

// A value of the wrong kind that the store itself set back to its default
// is told the same way as one found while copying the file.
void StoredSettings::takeStoreNotice() {
    const std::string notice = m_options->TakeStartupNotice();
    if (!notice.empty()) {
        m_notices.push_back(cp1250::toUtf8(notice));
    }
}
