#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// All text of the program is kept as Windows-1250 bytes. These helpers convert
// at the edge to and from Unicode (UTF-16 code units and UTF-8).
namespace cp1250 {

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
