#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/exercise/taskdescriptions.h"

// One fault found in the texts of "Opisi nalog". The code (1..22) selects help
// topic 9900 + code; the message is Windows-1250 text, shown literally.
struct DescriptionError {
    std::string message;
    int code = 0;

    bool operator==(const DescriptionError&) const = default;
};

using DescriptionErrors = std::vector<DescriptionError>;

// The error codes, named after the fault they report.
namespace descerr {
inline constexpr int kNoGroups = 1;
inline constexpr int kGroupNoEquals = 2;
inline constexpr int kGroupNoName = 3;
inline constexpr int kGroupEmpty = 4;
inline constexpr int kGroupNameRepeated = 5;
inline constexpr int kGroupNameBadChar = 6;
inline constexpr int kNoTasks = 7;
inline constexpr int kTaskNoEquals = 8;
inline constexpr int kTaskNoName = 9;
inline constexpr int kTaskNameRepeated = 10;
inline constexpr int kTaskNoLetters = 11;
inline constexpr int kLetterMissing = 12;
inline constexpr int kUnknownGroup = 13;
inline constexpr int kLetterUndefined = 14;
inline constexpr int kTooManyGroups = 15;
inline constexpr int kTooManyTasks = 16;
inline constexpr int kTooManyLetters = 17;
inline constexpr int kBadCondition = 18;
inline constexpr int kNotANumber = 19;
inline constexpr int kTooManyConditions = 20;
inline constexpr int kSamePositions = 21;
inline constexpr int kPositionOutOfRange = 22;
}  // namespace descerr

// Parses the group lines and the task lines into `result` (cleared first) and
// refills `errors`. Every accepted group and task is kept even when faults are
// found; the result is true when there were none.
bool ParseDescriptions(const std::vector<std::string>& groupLines, const std::vector<std::string>& taskLines,
                       TaskDescriptions& result, DescriptionErrors& errors);

// Building blocks of the parser, also used by the page.
namespace descparse {

// Removes leading and trailing bytes 0..32.
std::string_view trim(std::string_view text);

// An integer as written in a condition: optional sign, then decimal digits or
// "$" and hexadecimal digits, nothing else. Decimal values must fit in 32 bits
// signed; hexadecimal ones may use all 32 bits and are read as two's
// complement ($FFFFFFFF is -1). Empty when the text is not such a number.
std::optional<int> toInt(std::string_view text);

// Splits the text of a multi-line field into lines at CR LF, CR or LF. A line
// break at the very end does not start a further line; an empty text has none.
std::vector<std::string> splitLines(std::string_view text);

// The inverse of splitLines for lines without line breaks:
// splitLines(joinLines(lines)) == lines.
std::string joinLines(const std::vector<std::string>& lines);

}  // namespace descparse
