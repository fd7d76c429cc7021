#pragma once

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "core/transcription/convertdata.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/settingssource.h"
#include "core/words/wordlist.h"

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

// The list of common words as the program carries it (UTF-8), empty when it
// cannot be read.
inline const std::string& commonWordsText() {
    static const std::string text = [] {
        std::ifstream file(OSTREL_COMMON_WORDS, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }();
    return text;
}

// Debian's Slovene dictionary as the program loads it (the path the program
// uses); null when hunspell-sl is not installed.
inline std::shared_ptr<const words::WordList> debianDictionary() {
    static const std::shared_ptr<const words::WordList> list = []() -> std::shared_ptr<const words::WordList> {
        auto read = words::readDictionary("/usr/share/hunspell/sl_SI.dic");
        return read ? std::make_shared<const words::WordList>(std::move(*read)) : nullptr;
    }();
    return list;
}
