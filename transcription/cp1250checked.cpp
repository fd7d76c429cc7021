#include "transcription/cp1250checked.h"

#include <cstring>

#include "transcription/cp1250.h"

namespace cp1250 {

std::optional<DecodeFault> appendFromUtf8(std::string_view utf8, std::string& out, bool replace) {
    const std::size_t start = out.size();
    out.resize(start + utf8.size());  // never longer than its UTF-8 form
    char* to = out.data() + start;
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t size = utf8.size();
    std::size_t i = 0;
    std::size_t column = 0;
    std::size_t lead = 0;  // where the character being decoded starts
    auto fault = [&](DecodeFault::Kind kind, char32_t cp) {
        out.resize(static_cast<std::size_t>(to - out.data()));
        return DecodeFault{kind, column, cp, lead, i - lead};
    };
    while (i < size) {
        // Prose is mostly ASCII: copy such runs at once.
        std::size_t run = i;
        while (run < size && bytes[run] < 0x80) {
            ++run;
        }
        if (run > i) {
            std::memcpy(to, bytes + i, run - i);
            to += run - i;
            column += run - i;
            i = run;
            if (i == size) {
                break;
            }
        }
        ++column;
        lead = i;
        const unsigned char first = bytes[i];
        std::size_t len = 0;
        char32_t cp = 0;
        char32_t least = 0;
        if ((first & 0xE0) == 0xC0) {
            len = 2, cp = first & 0x1F, least = 0x80;
        } else if ((first & 0xF0) == 0xE0) {
            len = 3, cp = first & 0x0F, least = 0x800;
        } else if ((first & 0xF8) == 0xF0) {
            len = 4, cp = first & 0x07, least = 0x10000;
        } else {
            return fault(DecodeFault::Kind::InvalidUtf8, 0);
        }
        if (i + len > size) {
            return fault(DecodeFault::Kind::InvalidUtf8, 0);
        }
        for (std::size_t k = 1; k < len; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) {
                return fault(DecodeFault::Kind::InvalidUtf8, 0);
            }
            cp = (cp << 6) | (bytes[i + k] & 0x3F);
        }
        if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return fault(DecodeFault::Kind::InvalidUtf8, 0);
        }
        i += len;
        const int byte = fromUnicode(cp);
        // The five bytes the code page leaves undefined read as C1 controls;
        // those are not characters a text means to hold.
        if (byte < 0 || (cp >= 0x80 && cp < 0xA0)) {
            if (!replace) {
                return fault(DecodeFault::Kind::NotInCodePage, cp);
            }
            *to++ = '?';
            continue;
        }
        *to++ = static_cast<char>(byte);
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
    return std::nullopt;
}

}  // namespace cp1250
