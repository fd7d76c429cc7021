#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "core/transcription/cp1250.h"

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

inline constexpr std::uint64_t kHighBits = 0x8080808080808080;  // of eight bytes

// How many of the eight bytes (in the order they stand in memory) come before
// the first one of 0x80 or more; `high` is their high bits, not all zero.
inline std::size_t asciiBefore(std::uint64_t high) {
    if constexpr (std::endian::native == std::endian::little) {
        return static_cast<std::size_t>(std::countr_zero(high)) / 8;
    } else {
        return static_cast<std::size_t>(std::countl_zero(high)) / 8;
    }
}

// Where the run of ASCII bytes that starts at `from` ends: at the first byte
// of 0x80 or more, or at `size`. Prose is mostly ASCII, so it steps eight
// bytes at a time while it can.
inline std::size_t asciiRunEnd(const unsigned char* bytes, std::size_t from, std::size_t size) {
    std::uint64_t eight = 0;
    while (from + sizeof eight <= size) {
        std::memcpy(&eight, bytes + from, sizeof eight);
        if ((eight & kHighBits) != 0) {
            return from + asciiBefore(eight & kHighBits);
        }
        from += sizeof eight;
    }
    while (from < size && bytes[from] < 0x80) {
        ++from;
    }
    return from;
}

// Reads the character of two to four bytes that starts at bytes[0] (a byte
// of 0x80 or more) and returns its length, or 0 when the bytes there are not
// UTF-8: a stray or cut sequence, an overlong form, a surrogate or a code
// point beyond U+10FFFF.
inline std::size_t readUtf8Sequence(const unsigned char* bytes, std::size_t size, char32_t& codePoint) {
    const unsigned char first = bytes[0];
    // The letters of Slovenian and of the other Latin alphabets take two
    // bytes: those go the short way (C0 and C1 would open overlong forms).
    if (first >= 0xC2 && first < 0xE0 && size >= 2 && (bytes[1] & 0xC0) == 0x80) {
        codePoint = (static_cast<char32_t>(first & 0x1F) << 6) | (bytes[1] & 0x3F);
        return 2;
    }
    std::size_t length = 0;
    char32_t least = 0;
    if ((first & 0xE0) == 0xC0) {
        length = 2, codePoint = first & 0x1F, least = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        length = 3, codePoint = first & 0x0F, least = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        length = 4, codePoint = first & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (length > size) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((bytes[k] & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (bytes[k] & 0x3F);
    }
    if (codePoint < least || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return 0;
    }
    return length;
}

// The Windows-1250 bytes of the code points below U+0800 (those of one and
// two bytes in UTF-8: every letter of the code page), or -1. The five bytes
// the code page leaves undefined read as C1 controls; those are not
// characters a text means to hold.
inline constexpr std::array<std::int16_t, 0x800> kCheckedBytes = [] {
    std::array<std::int16_t, 0x800> table{};
    table.fill(-1);
    for (int byte = 0; byte < 0x80; ++byte) {
        table[static_cast<std::size_t>(byte)] = static_cast<std::int16_t>(byte);
    }
    for (int byte = 0x80; byte < 0x100; ++byte) {
        const char16_t codePoint = kHighCodePoints[static_cast<std::size_t>(byte - 0x80)];
        if (codePoint >= 0xA0 && codePoint < 0x800) {
            table[codePoint] = static_cast<std::int16_t>(byte);
        }
    }
    return table;
}();

// The Windows-1250 byte a text may hold for a code point, or -1.
inline int checkedByte(char32_t codePoint) {
    return codePoint < kCheckedBytes.size() ? kCheckedBytes[codePoint] : fromUnicode(codePoint);
}

// Appends the Windows-1250 form of a UTF-8 text to out. A character that the
// code page lacks becomes '?' when replace is set; otherwise it is a fault.
// Bytes that are not UTF-8 are always a fault. On a fault out holds the text
// before it. Unlike fromUtf8, nothing is dropped silently.
std::optional<DecodeFault> appendFromUtf8(std::string_view utf8, std::string& out, bool replace);

}  // namespace cp1250
