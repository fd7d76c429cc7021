#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// All text of the program is kept as Windows-1250 bytes. These helpers convert
// at the edge to and from Unicode (UTF-16 code units and UTF-8).
namespace cp1250 {

// The code points of the bytes 0x80 to 0xFF.
inline constexpr std::array<char16_t, 128> kHighCodePoints = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

// The small letter of each Windows-1250 capital (accented ones included);
// every other byte stands for itself.
inline constexpr std::array<unsigned char, 256> kLowerCase = [] {
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b) {
        table[b] = static_cast<unsigned char>(b);
    }
    for (int b = 'A'; b <= 'Z'; ++b) {
        table[b] = static_cast<unsigned char>(b + 0x20);
    }
    // Š Ś Ť Ž Ź, Ł Ą Ş Ż Ľ
    for (auto [upper, lower] : std::array<std::array<int, 2>, 10>{{{0x8A, 0x9A},
                                                                   {0x8C, 0x9C},
                                                                   {0x8D, 0x9D},
                                                                   {0x8E, 0x9E},
                                                                   {0x8F, 0x9F},
                                                                   {0xA3, 0xB3},
                                                                   {0xA5, 0xB9},
                                                                   {0xAA, 0xBA},
                                                                   {0xAF, 0xBF},
                                                                   {0xBC, 0xBE}}}) {
        table[upper] = static_cast<unsigned char>(lower);
    }
    // Ŕ .. Ţ, all but the multiplication sign.
    for (int b = 0xC0; b <= 0xDE; ++b) {
        if (b != 0xD7) {
            table[b] = static_cast<unsigned char>(b + 0x20);
        }
    }
    return table;
}();

inline unsigned char toLower(unsigned char byte) {
    return kLowerCase[byte];
}

// The Unicode code point of one Windows-1250 byte. The five bytes that the code
// page leaves undefined map to the C1 control of the same number, so every byte
// survives a round trip.
char16_t toUnicode(unsigned char byte);

// The Windows-1250 byte of a code point, or -1 when the code page has none.
int fromUnicode(char32_t codePoint);

// UTF-8 <-> Windows-1250. Characters outside the code page are dropped.
std::string fromUtf8(std::string_view utf8);
std::string toUtf8(std::string_view bytes);

}  // namespace cp1250
