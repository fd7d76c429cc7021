#include "cli/decodefault.h"

#include <cstdio>

namespace {

// The character itself, for the message.
std::string utf8Of(char32_t cp) {
    std::string out;
    if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (cp & 0x3F));
    return out;
}

}  // namespace

std::string describeDecodeFault(const std::string& name, std::size_t line, const cp1250::DecodeFault& fault) {
    const std::string place =
        name + ", vrstica " + std::to_string(line) + ", stolpec " + std::to_string(fault.column);
    if (fault.kind == cp1250::DecodeFault::Kind::InvalidUtf8) {
        return place +
               ": besedilo ni v kodiranju UTF-8. Če je datoteka v Windows-1250, dodajte --encoding cp1250.";
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(fault.codePoint));
    return place + ": znaka \"" + utf8Of(fault.codePoint) + "\" (" + hex +
           ") ni v kodni tabeli Windows-1250. Dodajte --replace, da ga nadomestite z \"?\".";
}
