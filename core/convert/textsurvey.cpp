#include "core/convert/textsurvey.h"

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>

#include "core/convert/inputfile.h"
#include "core/transcription/cp1250checked.h"

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

std::uint64_t countLineFeeds(std::string_view text) {
    return static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n'));
}

std::uint64_t countCharacters(std::string_view text) {
    return static_cast<std::uint64_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return !isContinuation(static_cast<unsigned char>(c)); }));
}

// Line and column where a piece of text starts, moved on piece by piece.
class Position {
public:
    void advance(std::string_view text) { std::tie(m_line, m_column) = after(text); }
    // The place of the character at text[offset], text starting here.
    TextPlace at(std::string_view text, std::size_t offset, char32_t codePoint) const {
        const auto [line, column] = after(text.substr(0, offset));
        return {line, column + 1, codePoint};
    }

private:
    std::pair<std::uint64_t, std::uint64_t> after(std::string_view text) const {
        const std::size_t lastBreak = text.rfind('\n');
        if (lastBreak == std::string_view::npos) {
            return {m_line, m_column + countCharacters(text)};
        }
        return {m_line + countLineFeeds(text), countCharacters(text.substr(lastBreak + 1))};
    }

    std::uint64_t m_line = 1;
    std::uint64_t m_column = 0;  // characters before the piece on its line
};

// A character the survey names, by where its bytes start in the file.
struct Found {
    std::uint64_t offset = 0;
    char32_t codePoint = 0;  // 0 for bytes that are not UTF-8
};

// Checks pieces of whole characters. Most files hold nothing to name, so
// the lines and columns of what it finds are counted afterwards.
class Checker {
public:
    Checker(Utf8Survey& survey, std::size_t named) : m_survey(survey), m_named(named) {}

    // Checks text that starts at `offset` in the file. False when bytes that
    // are not UTF-8 end the reading.
    bool check(std::string_view text, std::uint64_t offset) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
        const std::size_t size = text.size();
        std::size_t i = 0;
        while (true) {
            i = cp1250::asciiRunEnd(bytes, i, size);
            if (i == size) {
                return true;
            }
            char32_t codePoint = 0;
            const std::size_t length = cp1250::readUtf8Sequence(bytes + i, size - i, codePoint);
            if (length == 0) {
                m_survey.invalid = TextPlace{};  // its place is told afterwards
                found.push_back({offset + i, 0});
                return false;
            }
            m_survey.multiByte = true;
            if (cp1250::checkedByte(codePoint) < 0) {
                if (found.size() < m_named) {
                    found.push_back({offset + i, codePoint});
                }
                ++m_survey.unmappableCount;
            }
            i += length;
        }
    }

    std::vector<Found> found;  // in the order of the file

private:
    Utf8Survey& m_survey;
    std::size_t m_named;
};

// Reads the file again up to the last of the characters found and tells
// their lines and columns; the byte order mark is no column.
void placeFound(InputFile& input, const std::vector<Found>& found, Utf8Survey& survey) {
    Position position;
    auto next = found.begin();
    input.rewind();
    while (next != found.end() && input.next()) {
        std::string_view piece = input.piece();
        std::uint64_t start = input.position() - piece.size();
        if (start == 0 && startsWithByteOrderMark(piece)) {
            piece.remove_prefix(kByteOrderMark.size());
            start = kByteOrderMark.size();
        }
        for (; next != found.end() && next->offset < start + piece.size(); ++next) {
            const TextPlace place = position.at(piece, static_cast<std::size_t>(next->offset - start), next->codePoint);
            if (next->codePoint == 0) {
                survey.invalid = place;
            } else {
                survey.unmappable.push_back(place);
            }
        }
        position.advance(piece);
    }
}

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

Utf8Survey surveyUtf8(InputFile& input, ConvertControl& control, std::size_t named) {
    Utf8Survey survey;
    Checker checker(survey, named);
    std::size_t keep = 0;
    bool whole = true;
    input.rewind();
    while (whole && input.next(keep)) {
        if (control.stopRequested.load(std::memory_order_relaxed)) {
            survey.stopped = true;
            return survey;
        }
        std::string_view piece = input.piece();
        std::uint64_t start = input.position() - piece.size();
        if (start == 0 && startsWithByteOrderMark(piece)) {
            survey.byteOrderMark = true;
            piece.remove_prefix(kByteOrderMark.size());
            start = kByteOrderMark.size();
        }
        const std::size_t complete = completeUtf8Prefix(piece);
        whole = checker.check(piece.substr(0, complete), start);
        keep = piece.size() - complete;
        control.scanned.store(input.position(), std::memory_order_relaxed);
    }
    if (whole) {
        // A character cut off by the end of the file.
        checker.check(input.piece(), input.position() - input.piece().size());
    }
    if (!checker.found.empty()) {
        placeFound(input, checker.found, survey);
    }
    return survey;
}
