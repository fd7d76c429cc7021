// libFuzzer target for the stored forms of the settings file: any text decodes
// to a value or to a wrong kind, and a decoded value survives a round trip.

#include <QString>
#include <cstdlib>

#include "ui/settings/settingsfilebackend.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString stored =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    StoredValue value;
    if (SettingsFileBackend::decode(stored, value) != ValueBackend::ReadStatus::Ok) {
        return 0;
    }
    StoredValue back;
    if (SettingsFileBackend::decode(SettingsFileBackend::encode(value), back) != ValueBackend::ReadStatus::Ok ||
        !(back == value)) {
        std::abort();
    }
    return 0;
}
