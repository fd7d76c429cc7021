#include "convert/textsurvey.h"

#include <algorithm>
#include <string>

#include "convert/inputfile.h"
#include "transcription/cp1250checked.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Bytes of the character a lead byte opens; 1 for anything else.
std::size_t sequenceLength(unsigned char lead) {
    if ((lead & 0xE0) == 0xC0) {
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        return 3;
    }
    if ((lead & 0xF8) == 0xF0) {
        return 4;
    }
    return 1;
}

// Line and column of the next character, moved on over text as it is read.
class Position {
public:
    void advance(std::string_view text) {
        const std::size_t lastBreak = text.rfind('\n');
        std::string_view tail = text;
        if (lastBreak != std::string_view::npos) {
            m_line += static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n'));
            m_column = 0;
            tail = text.substr(lastBreak + 1);
        }
        for (const char c : tail) {
            m_column += isContinuation(static_cast<unsigned char>(c)) ? 0 : 1;
        }
    }
    TextPlace next(char32_t codePoint) const { return {m_line, m_column + 1, codePoint}; }

private:
    std::uint64_t m_line = 1;
    std::uint64_t m_column = 0;  // characters before the next one on its line
};

}  // namespace

bool startsWithByteOrderMark(std::string_view bytes) {
    return bytes.starts_with(kByteOrderMark);
}

std::size_t completeUtf8Prefix(std::string_view bytes) {
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, size); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if (!isContinuation(byte)) {
            return sequenceLength(byte) > back ? size - back : size;
        }
    }
    return size;
}

Utf8Survey surveyUtf8(InputFile& input, const std::atomic<bool>& stop, std::size_t named) {
    Utf8Survey survey;
    Position position;
    std::string scratch;
    std::size_t keep = 0;
    bool first = true;
    input.rewind();
    const auto read = [&](std::string_view text) {
        while (!text.empty()) {
            scratch.clear();
            const auto fault = cp1250::appendFromUtf8(text, scratch, false);
            const std::size_t good = fault ? fault->offset : text.size();
            // Every character gives one byte: fewer bytes out than in is a
            // character of more than one byte.
            survey.multiByte = survey.multiByte || scratch.size() < good;
            if (!fault) {
                position.advance(text);
                return true;
            }
            position.advance(text.substr(0, good));
            if (fault->kind == cp1250::DecodeFault::Kind::InvalidUtf8) {
                survey.invalid = position.next(0);
                return false;
            }
            survey.multiByte = true;
            if (survey.unmappable.size() < named) {
                survey.unmappable.push_back(position.next(fault->codePoint));
            }
            ++survey.unmappableCount;
            position.advance(text.substr(good, fault->length));
            text.remove_prefix(good + fault->length);
        }
        return true;
    };
    while (input.next(keep)) {
        if (stop.load(std::memory_order_relaxed)) {
            survey.stopped = true;
            return survey;
        }
        std::string_view piece = input.piece();
        if (first) {
            first = false;
            if (startsWithByteOrderMark(piece)) {
                survey.byteOrderMark = true;
                piece.remove_prefix(kByteOrderMark.size());
            }
        }
        const std::size_t complete = completeUtf8Prefix(piece);
        if (!read(piece.substr(0, complete))) {
            return survey;
        }
        keep = piece.size() - complete;
    }
    // A character cut off by the end of the file.
    read(input.piece());
    return survey;
}
