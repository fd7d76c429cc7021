#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>

#include "core/transcription/convertdata.h"
#include "core/transcription/settingssource.h"

// The default switches with some of them changed.
inline TConvertData switches(std::initializer_list<std::pair<int, bool>> changes = {}) {
    TConvertData settings;
    loadDefaultSettings(settings);
    for (const auto& [index, value] : changes) {
        settings.Flags[static_cast<std::size_t>(index)] = value;
    }
    return settings;
}

// Font codes as "31 60 42".
inline std::string hex(const std::string& codes) {
    std::string text;
    for (const char c : codes) {
        char buffer[4];
        std::snprintf(buffer, sizeof buffer, "%s%02X", text.empty() ? "" : " ",
                      static_cast<unsigned char>(c));
        text += buffer;
    }
    return text;
}
