#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Where the RTF bytes go. write() returns how many of the bytes it wrote; fewer
// than asked for is a failed write.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual std::size_t write(const char* data, std::size_t size) = 0;
    // The errno of the last failed write; 0 when the sink has none.
    virtual int lastError() const { return 0; }
};

// A place in a text file: line and column from 1, and the character there.
struct TextPlace {
    std::uint64_t line = 0;
    std::uint64_t column = 0;
    char32_t codePoint = 0;
};

// A failure of a file conversion. what() is the message for the user in
// Windows-1250.
class ConvertError : public std::runtime_error {
public:
    enum class Kind {
        OpenInput,      // the input cannot be opened (missing, a folder, no access)
        OpenOutput,     // the output cannot be created
        SameAsInput,    // the output is the input itself (also through a link)
        ReadInput,      // reading the input failed
        EmptyInput,     // the input holds no bytes
        Write,          // the output took fewer bytes than it was given
        NotUtf8,        // a text read as UTF-8 holds bytes that are not UTF-8 (at place())
        NotInCodePage,  // a UTF-8 text holds a character Windows-1250 lacks (at place())
    };
    // systemError: the errno of the failure, 0 when there is none; its
    // reason is then said after the message.
    ConvertError(Kind kind, const std::string& fileName, int systemError = 0, TextPlace place = {});
    // The same failure with one more sentence (Windows-1250) after its message.
    ConvertError(const ConvertError& error, const std::string& addedSentence);
    Kind kind() const { return m_kind; }
    const std::string& fileName() const { return m_fileName; }
    int systemError() const { return m_systemError; }
    const TextPlace& place() const { return m_place; }

    // The message of a kind for a file name, Windows-1250. Line breaks inside
    // a message are a single CR.
    static std::string messageFor(Kind kind, const std::string& fileName, int systemError = 0,
                                  const TextPlace& place = {});

private:
    Kind m_kind;
    std::string m_fileName;
    int m_systemError;
    TextPlace m_place;
};

// The output buffer of a conversion: pieces are collected in 65,536 bytes and
// written to the sink when the next piece would not fit; a piece larger than
// the buffer is written straight through after what is pending. A short write
// raises ConvertError::Write naming the output.
class BufferedWriter {
public:
    static constexpr std::size_t kBufferSize = 65536;

    BufferedWriter(ByteSink& sink, std::string outputName);
    BufferedWriter(const BufferedWriter&) = delete;
    BufferedWriter& operator=(const BufferedWriter&) = delete;

    void write(std::string_view bytes);
    // Writes what is pending; with nothing pending it writes nothing.
    void flush();
    std::size_t pending() const { return m_pending; }

private:
    void writeToSink(const char* data, std::size_t size);

    ByteSink& m_sink;
    std::string m_outputName;
    std::string m_buffer;
    std::size_t m_pending = 0;
};

namespace rtf {

namespace detail {
// Bytes of letter runs, 0x20-0xFF (every byte below 0x20 is Latin).
inline constexpr std::array<bool, 256> kTengwarRunChars = [] {
    std::array<bool, 256> table{};
    table[0x20] = true;
    table[0x5F] = true;
    for (int b = 'A'; b <= 'Z'; ++b) {
        table[b] = true;
    }
    for (int b = 'a'; b <= 'z'; ++b) {
        table[b] = true;
    }
    for (int b : {0x8C, 0x8F, 0x9A, 0x9C, 0x9E, 0x9F, 0xC1, 0xC9, 0xCB, 0xCC, 0xCD, 0xCE, 0xD1, 0xD3, 0xDA,
                  0xE1, 0xE6, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xF0, 0xF1, 0xF3, 0xFA, 0xFC}) {
        table[b] = true;
    }
    return table;
}();

// With capitals lowered, Č Š Ž Đ join the letter runs as well: their small
// letters are the engine's. Ć stays Latin, since the engine has no ć.
inline constexpr std::array<bool, 256> kTengwarRunCharsLowered = [] {
    std::array<bool, 256> table = kTengwarRunChars;
    for (int b : {0x8A, 0x8E, 0xC8, 0xD0}) {
        table[b] = true;
    }
    return table;
}();

}  // namespace detail

// The document's opening lines: the fonts (0 Times New Roman for the Latin
// text, 1 Tengwar Quenya), an unused colour table, and the code page 1250 so
// that readers decode the Latin text's Central European letters correctly.
std::string_view header();
// Closes the group opened by the header.
inline constexpr std::string_view kClosing = "}";
// Ends an input line.
inline constexpr std::string_view kLineBreak = "\\par\r\n";

// Appends bytes with every backslash and brace preceded by a backslash, and
// every byte above 0x7F as a hexadecimal escape (\'c8 for Č): RTF is a 7-bit
// format, and strict readers drop raw 8-bit bytes. All other bytes, control
// bytes included, are copied unchanged.
void appendEscaped(std::string& out, std::string_view bytes);
std::string EscapeRtf(std::string_view bytes);

// Whether a byte belongs to a letter run (set in Tengwar): the space, A-Z, a-z,
// the underscore and the accented letters the transcription knows. Digits,
// punctuation, control bytes and the capitals Č Š Ž belong to Latin runs.
inline bool isTengwarRunChar(unsigned char byte) {
    return detail::kTengwarRunChars[byte];
}

// The letter-run bytes of a conversion: with lowerCase, the capitals Č Š Ž Đ
// are letters too (they are lowered with their run).
inline const std::array<bool, 256>& tengwarRunChars(bool lowerCase) {
    return lowerCase ? detail::kTengwarRunCharsLowered : detail::kTengwarRunChars;
}

}  // namespace rtf
