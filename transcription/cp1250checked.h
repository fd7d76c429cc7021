#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace cp1250 {

// Why a text could not be taken into Windows-1250.
struct DecodeFault {
    enum class Kind {
        InvalidUtf8,   // bytes that are not UTF-8 (perhaps a Windows-1250 file)
        NotInCodePage  // a character that Windows-1250 lacks
    };
    Kind kind = Kind::InvalidUtf8;
    std::size_t column = 0;  // the character's column, from 1
    char32_t codePoint = 0;  // NotInCodePage: the character
    std::size_t offset = 0;  // where the character's bytes start in the text
    std::size_t length = 0;  // NotInCodePage: how many bytes it takes
};

// Appends the Windows-1250 form of a UTF-8 text to out. A character that the
// code page lacks becomes '?' when replace is set; otherwise it is a fault.
// Bytes that are not UTF-8 are always a fault. On a fault out holds the text
// before it. Unlike fromUtf8, nothing is dropped silently.
std::optional<DecodeFault> appendFromUtf8(std::string_view utf8, std::string& out, bool replace);

}  // namespace cp1250
