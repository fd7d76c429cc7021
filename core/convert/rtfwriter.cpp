#include "core/convert/rtfwriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "core/convert/systemerror.h"

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101;
constexpr std::uint64_t kHighBits = 0x8080808080808080;

// Whether any of eight bytes is above ASCII or one of \ { } that RTF escapes.
// It may say yes for a byte next to one of those (a borrow of the zero-byte
// test), never no for one.
constexpr bool mayNeedEscape(std::uint64_t eight) {
    const auto zeroByte = [](std::uint64_t x) { return (x - kOnes) & ~x & kHighBits; };
    return ((eight & kHighBits) | zeroByte(eight ^ (kOnes * '\\')) | zeroByte(eight ^ (kOnes * '{')) |
            zeroByte(eight ^ (kOnes * '}'))) != 0;
}

std::string replaceName(std::string text, const std::string& fileName) {
    const auto at = text.find("%s");
    return text.replace(at, 2, fileName);
}

constexpr std::string_view kHeader =
    "{\\rtf1\\ansi\\ansicpg1250 \\deff0\\deflang1024\r\n"
    "\r\n"
    "{\\fonttbl\r\n"
    "{\\f0\\froman Times New Roman;}\r\n"
    "{\\f1\\fnil Tengwar Quenya;}\r\n"
    "}\r\n"
    "\r\n"
    "{\\colortbl;\r\n"
    "\\red0\\green0\\blue0;\r\n"
    "\\red255\\green255\\blue255;\r\n"
    "}\r\n"
    "\r\n"
    "\r\n";

}  // namespace

ConvertError::ConvertError(Kind kind, const std::string& fileName, int systemError, TextPlace place)
    : std::runtime_error(messageFor(kind, fileName, systemError, place)),
      m_kind(kind),
      m_fileName(fileName),
      m_systemError(systemError),
      m_place(place) {}

ConvertError::ConvertError(const ConvertError& error, const std::string& addedSentence)
    : std::runtime_error(std::string(error.what()) + '\r' + addedSentence),
      m_kind(error.m_kind),
      m_fileName(error.m_fileName),
      m_systemError(error.m_systemError),
      m_place(error.m_place) {}

std::string ConvertError::messageFor(Kind kind, const std::string& fileName, int systemError,
                                     const TextPlace& place) {
    std::string text;
    switch (kind) {
        case Kind::OpenInput:
        case Kind::OpenOutput:
            text = replaceName("Ne morem odpreti datoteke \"%s\"!", fileName);
            break;
        case Kind::SameAsInput:
            text = replaceName("Ne morem odpreti datoteke \"%s\"!", fileName) +
                   "\rVhodna in izhodna datoteka sta ista; izberite drugo izhodno datoteko.";
            break;
        case Kind::ReadInput:
            text = replaceName("Napaka pri branju datoteke \"%s\"!", fileName);
            break;
        case Kind::EmptyInput:
            text = replaceName("Datoteka \x84%s\x93 je prazna; ni \xE8" "esa pretvoriti.", fileName);
            break;
        case Kind::Write:
            text = replaceName("Napaka pri pisanju v datoteko \"%s\"!", fileName);
            break;
        case Kind::NotUtf8:
            text = replaceName("Datoteka \x84%s\x93 ni v kodiranju UTF-8", fileName) + " (vrstica " +
                   std::to_string(place.line) + ", stolpec " + std::to_string(place.column) + ").";
            break;
        case Kind::NotInCodePage:
            text = replaceName("V datoteki \x84%s\x93 je znak, ki ga kodna tabela Windows-1250 nima", fileName) +
                   " (vrstica " + std::to_string(place.line) + ", stolpec " + std::to_string(place.column) + ").";
            break;
    }
    if (systemError != 0) {
        text += '\r' + systemErrorText(systemError);
    }
    return text;
}

BufferedWriter::BufferedWriter(ByteSink& sink, std::string outputName)
    : m_sink(sink), m_outputName(std::move(outputName)), m_buffer(kBufferSize, '\0') {}

void BufferedWriter::write(std::string_view bytes) {
    if (bytes.size() > kBufferSize) {
        flush();
        writeToSink(bytes.data(), bytes.size());
        return;
    }
    if (m_pending + bytes.size() > kBufferSize) {
        flush();
    }
    std::memcpy(m_buffer.data() + m_pending, bytes.data(), bytes.size());
    m_pending += bytes.size();
}

void BufferedWriter::flush() {
    if (m_pending == 0) {
        return;
    }
    const std::size_t count = m_pending;
    m_pending = 0;
    writeToSink(m_buffer.data(), count);
}

void BufferedWriter::writeToSink(const char* data, std::size_t size) {
    if (m_sink.write(data, size) != size) {
        throw ConvertError(ConvertError::Kind::Write, m_outputName, m_sink.lastError());
    }
}

namespace rtf {

std::string_view header() {
    return kHeader;
}

void appendEscaped(std::string& out, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    // 1: a backslash goes before it; 2: written as \'hh.
    static constexpr std::array<unsigned char, 256> kEscape = [] {
        std::array<unsigned char, 256> table{};
        table['\\'] = table['{'] = table['}'] = 1;
        for (int b = 0x80; b < 0x100; ++b) {
            table[b] = 2;
        }
        return table;
    }();
    const char* from = bytes.data();
    const char* const end = bytes.data() + bytes.size();
    const char* p = from;
    while (p != end) {
        // Most of a document needs no escape: such stretches pass eight
        // bytes at a time; the eight bytes that may hold one are looked at
        // one by one.
        std::uint64_t eight = 0;
        while (end - p >= 8) {
            std::memcpy(&eight, p, sizeof eight);
            if (mayNeedEscape(eight)) {
                break;
            }
            p += 8;
        }
        for (const char* const stop = std::min(p + 8, end); p != stop; ++p) {
            const auto c = static_cast<unsigned char>(*p);
            if (kEscape[c] == 0) {
                continue;
            }
            out.append(from, p);
            if (kEscape[c] == 1) {
                out.push_back('\\');
                from = p;
            } else {
                const char escape[] = {'\\', '\'', kHex[c >> 4], kHex[c & 0xF]};
                out.append(escape, sizeof escape);
                from = p + 1;
            }
        }
    }
    out.append(from, end);
}

std::string EscapeRtf(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    appendEscaped(out, bytes);
    return out;
}


}  // namespace rtf
