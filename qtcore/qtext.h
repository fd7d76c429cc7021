#pragma once

#include <QString>
#include <string>
#include <string_view>

// The one place where the program's Windows-1250 byte strings meet QString.
QString fromCp1250(std::string_view bytes);
// Characters outside the code page are dropped.
std::string toCp1250(const QString& text);

// Tengwar font codes (0x20-0x7E) as text to draw in the Tengwar font.
QString fromFontCodes(std::string_view codes);
