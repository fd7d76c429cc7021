#pragma once

#include <string>
#include <string_view>

#include "core/transcription/convertdata.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/settingssource.h"

// Text of the tests is written in UTF-8 and taken into Windows-1250 here.
inline std::string cp(std::string_view utf8) {
    return cp1250::fromUtf8(utf8);
}

// The default switches, with some changed.
inline TConvertData switches(std::initializer_list<std::pair<int, bool>> changes = {}) {
    TConvertData settings;
    loadDefaultSettings(settings);
    for (const auto& [flag, on] : changes)
        settings.Flags[static_cast<std::size_t>(flag)] = on;
    return settings;
}
