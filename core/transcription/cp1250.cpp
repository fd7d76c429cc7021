#include "core/transcription/cp1250.h"

#include <array>

namespace cp1250 {
namespace {

struct ReverseTable {
    // A direct table over the Basic Multilingual Plane: 128 KiB, built once.
    std::array<std::int16_t, 0x10000> byCodePoint{};
    ReverseTable() {
        byCodePoint.fill(-1);
        for (int b = 0; b < 0x80; ++b) {
            byCodePoint[static_cast<std::size_t>(b)] = static_cast<std::int16_t>(b);
        }
        for (int b = 0x80; b < 0x100; ++b) {
            byCodePoint[kHighCodePoints[static_cast<std::size_t>(b - 0x80)]] = static_cast<std::int16_t>(b);
        }
    }
};

const ReverseTable& reverseTable() {
    static const ReverseTable table;
    return table;
}

}  // namespace

char16_t toUnicode(unsigned char byte) {
    return byte < 0x80 ? static_cast<char16_t>(byte) : kHighCodePoints[byte - 0x80];
}

int fromUnicode(char32_t codePoint) {
    if (codePoint >= 0x10000) {
        return -1;
    }
    return reverseTable().byCodePoint[codePoint];
}

std::string fromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        char32_t cp = 0;
        std::size_t len = 1;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            cp = lead & 0x1F;
            len = 2;
        } else if ((lead & 0xF0) == 0xE0) {
            cp = lead & 0x0F;
            len = 3;
        } else if ((lead & 0xF8) == 0xF0) {
            cp = lead & 0x07;
            len = 4;
        } else {
            ++i;  // stray continuation or invalid lead byte
            continue;
        }
        if (i + len > utf8.size()) {
            break;  // truncated sequence at the end
        }
        bool valid = true;
        for (std::size_t k = 1; k < len; ++k) {
            const auto cont = static_cast<unsigned char>(utf8[i + k]);
            if ((cont & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (cont & 0x3F);
        }
        if (!valid) {
            ++i;
            continue;
        }
        i += len;
        const int b = fromUnicode(cp);
        if (b >= 0) {
            out.push_back(static_cast<char>(b));
        }
    }
    return out;
}

std::string toUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const char16_t u = toUnicode(static_cast<unsigned char>(c));
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (u >> 12)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
    return out;
}

}  // namespace cp1250
