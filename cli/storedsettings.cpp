#include "cli/storedsettings.h"

#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include "core/convert/systemerror.h"
#include "core/transcription/cp1250.h"
#include "qtcore/storedfile.h"
#include "qtcore/storedform.h"
#include "qtcore/regularqfile.h"

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

// The file is read by the program's own rules (storedfile), so that the tool
// and the program agree on every file, damaged ones too; but the tool only
// reads, so nothing is moved aside or copied.
void StoredSettings::load(const QString& filePath) {
    m_path = filePath.toStdString();
    if (!QFileInfo::exists(filePath)) {
        return;  // never started yet: the defaults
    }
    // A named pipe in the file's place would hold the open for ever.
    int error = 0;
    QFile file;
    if (!openRegularQFile(file, filePath, error)) {
        m_problem = error == kNotRegularFile ? "to ni navadna datoteka, temve\xC4\x8D cev ali naprava"
                                             : "datoteke ni mogo\xC4\x8D" "e prebrati";
        return;
    }
    const storedfile::ReadResult result = storedfile::parse(file.readAll(), storedform::group());
    if (result.shape == storedfile::Shape::Unreadable) {
        m_problem = "datoteke ni mogo\xC4\x8D" "e prebrati";
        return;
    }
    const bool cut = result.shape == storedfile::Shape::Cut;
    for (const auto& [key, spelled] : result.contents.values) {
        const std::string name = storedform::nameOf(key);
        QString text;
        StoredValue value;
        if (!storedfile::valueText(spelled, text) ||
            storedform::decode(text, value) != ValueBackend::ReadStatus::Ok) {
            // As in the program: the value goes back to its default.
            if (usedForSwitches(name) && m_problem.empty()) {
                m_problem = cp1250::toUtf8(StoreError(StoreError::Kind::InvalidType, name).what());
            }
            continue;
        }
        m_backend.values()[name] = std::move(value);
    }
    if (cut && m_problem.empty() &&
        (!m_backend.values().count(storename::kFlags) || !m_backend.values().count(storename::kNeverTilde))) {
        m_problem = "datoteka je odrezana";
    }
}

bool StoredSettings::usedForSwitches(const std::string& name) {
    return name == storename::kFlags || name == storename::kNeverTilde;
}

TConvertData StoredSettings::convertData() {
    TConvertData data;
    for (int attempt = 0;; ++attempt) {
        try {
            m_options->LoadConvertData(data);
            // A value the store itself set back to its default (a switch set
            // of the wrong size) was not usable either.
            const std::string notice = m_options->TakeStartupNotice();
            if (!notice.empty() && m_problem.empty()) {
                m_problem = cp1250::toUtf8(notice.substr(0, notice.find('\n')));
            }
            break;
        } catch (const StoreError& error) {
            if (attempt > 2) {
                throw;
            }
            if (m_problem.empty()) {
                m_problem = cp1250::toUtf8(error.what());
            }
            m_backend.values().erase(error.valueName());
        }
    }
    // Said once, however many values were damaged.
    if (!m_problem.empty() && m_notices.empty()) {
        m_notices.push_back("shranjenih stikal iz \"" + m_path + "\" ni bilo mogo\xC4\x8D" "e uporabiti (" +
                            m_problem + "); uporabljam privzeta.");
    }
    return data;
}
