#include "core/transcription/cp1250checked.h"

#include <cstring>

#include "core/transcription/cp1250.h"

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
        // Prose is mostly ASCII: such runs are copied eight bytes at a time
        // (out has room: it is never ahead of the input), the rest byte by
        // byte.
        const std::size_t runStart = i;
        std::uint64_t eight = 0;
        while (i + sizeof eight <= size) {
            std::memcpy(&eight, bytes + i, sizeof eight);
            std::memcpy(to, &eight, sizeof eight);
            if ((eight & kHighBits) != 0) {
                const std::size_t ascii = asciiBefore(eight & kHighBits);
                to += ascii;
                i += ascii;
                break;
            }
            to += sizeof eight;
            i += sizeof eight;
        }
        while (i < size && bytes[i] < 0x80) {
            *to++ = static_cast<char>(bytes[i++]);
        }
        column += i - runStart;
        if (i == size) {
            break;
        }
        ++column;
        lead = i;
        char32_t cp = 0;
        const std::size_t len = readUtf8Sequence(bytes + i, size - i, cp);
        if (len == 0) {
            return fault(DecodeFault::Kind::InvalidUtf8, 0);
        }
        i += len;
        const int byte = checkedByte(cp);
        if (byte < 0) {
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
