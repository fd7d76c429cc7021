#include "core/transcription/settingssource.h"

#include <mutex>
#include <utility>

#include "core/transcription/flagset.h"

namespace {

std::mutex& sourceMutex() {
    static std::mutex mutex;
    return mutex;
}

SettingsSource& installedSource() {
    static SettingsSource source;
    return source;
}

}  // namespace

void setSettingsSource(SettingsSource source) {
    const std::lock_guard lock(sourceMutex());
    installedSource() = std::move(source);
}

void loadSettings(TConvertData& settings) {
    SettingsSource source;
    {
        const std::lock_guard lock(sourceMutex());
        source = installedSource();
    }
    if (source) {
        source(settings);
    } else {
        loadDefaultSettings(settings);
    }
}

void loadDefaultSettings(TConvertData& settings) {
    const FlagBytes bytes = flagset::withDefaultSwitches(flagset::kDefaultBytes);
    for (int i = 0; i < TConvertData::kFlagCount; ++i) {
        settings.Flags[static_cast<std::size_t>(i)] = flagset::get(bytes, i);
    }
    settings.BrezTilde.clear();
}
