#include "core/exercise/descriptionsparser.h"

#include <array>
#include <cstdint>

#include "core/transcription/cp1250.h"

namespace descparse {

std::string_view trim(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) {
        ++begin;
    }
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) {
        --end;
    }
    return text.substr(begin, end - begin);
}

std::optional<int> toInt(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && text[i] == '$') {
        hex = true;
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    // The magnitude, limited to 32 bits for hexadecimal and to 2^31 for decimal.
    const std::uint64_t limit = hex ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        if (value > limit) {
            return std::nullopt;
        }
    }
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    if (negative) {
        bits = 0u - bits;
    }
    return static_cast<int>(static_cast<std::int32_t>(bits));
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = i;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n') {
            ++i;
        }
        lines.emplace_back(text.substr(start, i - start));
        if (i < text.size() && text[i] == '\r') {
            ++i;
        }
        if (i < text.size() && text[i] == '\n') {
            ++i;
        }
    }
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (k > 0) {
            text += '\n';
        }
        text += lines[k];
    }
    // A last empty line needs a break of its own, or splitting would drop it.
    if (!lines.empty() && lines.back().empty()) {
        text += '\n';
    }
    return text;
}

}  // namespace descparse

namespace {

using descparse::trim;

// The message templates, indexed by error code; %d and %s are filled in order.
const std::array<std::string, 23>& messageTemplates() {
    static const std::array<std::string, 23> templates = [] {
        const char* utf8[23] = {
            "",
            "Manjkajo opisi skupin!",
            "skupine (%d): ne najdem enačaja!",
            "skupine (%d): skupina nima imena!",
            "skupine (%d): skupina je prazna!",
            "skupine (%d): ime „%s“ se ponavlja!",
            "skupine (%d): v imenu skupine („%s“) ni dovoljena črka „%s“!",
            "Manjkajo opisi nalog!",
            "naloge (%d): ne najdem enačaja!",
            "naloge (%d): naloga nima imena!",
            "naloge (%d): ime „%s“ se ponavlja!",
            "naloge (%d): manjkajo podatki o črkah!",
            "naloge (%d): manjka definicija črke!",
            "naloge (%d): ne poznam skupine črk „%s“!",
            "naloge (%d): %d. črka je nedefinirana!",
            "skupine (%d): določite lahko največ %d skupin!",
            "naloge (%d): določite lahko največ %d nalog!",
            "naloge (%d): naloga ima lahko največ %d črk!",
            "naloge (%d): napaka v pogoju „%s“!",
            "naloge (%d): „%s“ v pogoju „%s“ ni število!",
            "naloge (%d): naloga ima lahko največ %d pogojev!",
            "naloge (%d): števili v pogoju „%s“ bi morali biti različni (obe sta %d)!",
            "naloge (%d): število %d v pogoju „%s“ je izven dovoljenih meja (1..%d)!",
        };
        std::array<std::string, 23> result;
        for (std::size_t k = 0; k < result.size(); ++k) {
            result[k] = cp1250::fromUtf8(utf8[k]);
        }
        return result;
    }();
    return templates;
}

// One argument of a message: a number for %d or a text for %s.
struct Arg {
    Arg(int n) : isText(false), number(n) {}
    Arg(std::string_view t) : isText(true), text(t) {}
    bool isText;
    int number = 0;
    std::string_view text;
};

class ErrorSink {
public:
    explicit ErrorSink(DescriptionErrors& errors) : m_errors(errors) {}

    void add(int code, std::initializer_list<Arg> args = {}) {
        const std::string& form = messageTemplates()[static_cast<std::size_t>(code)];
        std::string message;
        auto next = args.begin();
        for (std::size_t i = 0; i < form.size(); ++i) {
            if (form[i] == '%' && i + 1 < form.size() && (form[i + 1] == 'd' || form[i + 1] == 's') &&
                next != args.end()) {
                message += next->isText ? std::string(next->text) : std::to_string(next->number);
                ++next;
                ++i;
            } else {
                message += form[i];
            }
        }
        m_errors.push_back(DescriptionError{std::move(message), code});
    }

private:
    DescriptionErrors& m_errors;
};

bool isSkipped(const std::string& line) {
    if (line.empty()) {
        return true;
    }
    switch (line.front()) {
        case '#':
        case '$':
        case '\'':
        case '/':
        case ';':
            return true;
        default:
            return false;
    }
}

// Text before and after the first `separator`; `after` is empty when there is none.
struct Split {
    std::string_view before;
    std::string_view after;
    bool found;
};

Split splitAt(std::string_view text, char separator) {
    const std::size_t at = text.find(separator);
    if (at == std::string_view::npos) {
        return {text, {}, false};
    }
    return {text.substr(0, at), text.substr(at + 1), true};
}

void parseGroups(const std::vector<std::string>& lines, TaskDescriptions& result, ErrorSink& errors) {
    if (lines.empty()) {
        errors.add(descerr::kNoGroups);
    }
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const int lineNo = static_cast<int>(k + 1);
        const std::string& line = lines[k];
        if (isSkipped(line)) {
            continue;
        }
        const Split parts = splitAt(line, '=');
        if (!parts.found) {
            errors.add(descerr::kGroupNoEquals, {lineNo});
            continue;
        }
        const std::string_view name = trim(parts.before);
        if (name.empty()) {
            errors.add(descerr::kGroupNoName, {lineNo});
            continue;
        }
        const std::size_t bad = name.find_first_of(" +;|");
        if (bad != std::string_view::npos) {
            errors.add(descerr::kGroupNameBadChar, {lineNo, name, name.substr(bad, 1)});
            continue;
        }
        for (const LetterGroup& group : result.groups) {
            if (group.name == name) {
                errors.add(descerr::kGroupNameRepeated, {lineNo, name});
            }
        }
        const std::string_view letters = trim(parts.after);
        if (letters.empty()) {
            errors.add(descerr::kGroupEmpty, {lineNo});
            continue;
        }
        if (result.groupCount() >= TaskDescriptions::kMaxGroups) {
            errors.add(descerr::kTooManyGroups, {lineNo, TaskDescriptions::kMaxGroups});
            break;
        }
        result.groups.push_back(LetterGroup{std::string(name), std::string(letters)});
    }
}

int findGroup(const TaskDescriptions& result, std::string_view name) {
    for (int g = 0; g < result.groupCount(); ++g) {
        if (result.groups[static_cast<std::size_t>(g)].name == name) {
            return g;
        }
    }
    return -1;
}

// Reads the letters part into `task`; false when the task is rejected.
bool parseLetters(std::string_view letters, int lineNo, const TaskDescriptions& result, TaskDescription& task,
                  ErrorSink& errors) {
    while (!letters.empty()) {
        const Split def = splitAt(letters, '+');
        std::string_view alternatives = trim(def.before);
        if (alternatives.empty()) {
            errors.add(descerr::kLetterMissing, {lineNo});
        }
        // The groups of a definition beyond the last position are looked up for
        // their errors only.
        const bool overflow = task.letterCount >= TaskDescription::kMaxLetters;
        std::uint64_t set = 0;
        while (!alternatives.empty()) {
            const Split alt = splitAt(alternatives, '|');
            const std::string_view name = trim(alt.before);
            const int g = findGroup(result, name);
            if (g < 0) {
                errors.add(descerr::kUnknownGroup, {lineNo, name});
            } else {
                set |= std::uint64_t{1} << g;
            }
            alternatives = trim(alt.after);
        }
        if (overflow) {
            errors.add(descerr::kTooManyLetters, {lineNo, TaskDescription::kMaxLetters});
            return true;
        }
        if (set == 0) {
            errors.add(descerr::kLetterUndefined, {lineNo, task.letterCount + 1});
            return false;
        }
        task.positions[static_cast<std::size_t>(task.letterCount)] = set;
        ++task.letterCount;
        letters = trim(def.after);
    }
    return true;
}

// Reads one condition into `task`; false when it is faulty.
bool parseCondition(std::string_view cond, int lineNo, TaskDescription& task, ErrorSink& errors) {
    std::size_t p = cond.find('!');  // 0-based
    const std::size_t last = cond.size() - 1;
    const bool endsInDouble = cond.size() >= 2 && cond[last] == '!' && cond[last - 1] == '!';
    if (p == std::string_view::npos || p == 0 || p == last || (endsInDouble && p + 1 == last)) {
        errors.add(descerr::kBadCondition, {lineNo, cond});
        return false;
    }
    const std::string_view leftText = trim(cond.substr(0, p));
    const std::optional<int> left = descparse::toInt(leftText);
    if (!left) {
        errors.add(descerr::kNotANumber, {lineNo, leftText, cond});
        return false;
    }
    const bool differentGroups = cond[p + 1] == '!';
    if (differentGroups) {
        ++p;
    }
    const std::string_view rightText = trim(cond.substr(p + 1));
    const std::optional<int> right = descparse::toInt(rightText);
    if (!right) {
        errors.add(descerr::kNotANumber, {lineNo, rightText, cond});
        return false;
    }
    if (*left < 1 || *left > task.letterCount) {
        errors.add(descerr::kPositionOutOfRange, {lineNo, *left, cond, task.letterCount});
        return false;
    }
    if (*right < 1 || *right > task.letterCount) {
        errors.add(descerr::kPositionOutOfRange, {lineNo, *right, cond, task.letterCount});
        return false;
    }
    if (*left == *right) {
        errors.add(descerr::kSamePositions, {lineNo, cond, *left});
        return false;
    }
    if (static_cast<int>(task.conditions.size()) >= TaskDescription::kMaxConditions) {
        errors.add(descerr::kTooManyConditions, {lineNo, TaskDescription::kMaxConditions});
        return false;
    }
    const int code = (*left - 1) * 10 + *right;
    task.conditions.push_back(differentGroups ? -code : code);
    return true;
}

void parseTasks(const std::vector<std::string>& lines, TaskDescriptions& result, ErrorSink& errors) {
    if (lines.empty()) {
        errors.add(descerr::kNoTasks);
    }
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const int lineNo = static_cast<int>(k + 1);
        const std::string& line = lines[k];
        if (isSkipped(line)) {
            continue;
        }
        const Split parts = splitAt(line, '=');
        if (!parts.found) {
            errors.add(descerr::kTaskNoEquals, {lineNo});
            continue;
        }
        const std::string_view name = trim(parts.before);
        if (name.empty()) {
            errors.add(descerr::kTaskNoName, {lineNo});
            continue;
        }
        for (const TaskDescription& other : result.tasks) {
            if (other.name == name) {
                errors.add(descerr::kTaskNameRepeated, {lineNo, name});
            }
        }
        TaskDescription task;
        task.name = std::string(name);

        const Split rest = splitAt(trim(parts.after), ';');
        const std::string_view letters = trim(rest.before);
        if (letters.empty()) {
            errors.add(descerr::kTaskNoLetters, {lineNo});
            continue;
        }
        if (!parseLetters(letters, lineNo, result, task, errors)) {
            continue;
        }

        std::string_view conditions = trim(rest.after);
        while (!conditions.empty()) {
            const Split next = splitAt(conditions, ',');
            const std::string_view cond = trim(next.before);
            conditions = trim(next.after);
            if (!cond.empty() && !parseCondition(cond, lineNo, task, errors)) {
                break;
            }
        }

        if (result.taskCount() >= TaskDescriptions::kMaxTasks) {
            errors.add(descerr::kTooManyTasks, {lineNo, TaskDescriptions::kMaxTasks});
            break;
        }
        result.tasks.push_back(std::move(task));
    }
}

}  // namespace

bool ParseDescriptions(const std::vector<std::string>& groupLines, const std::vector<std::string>& taskLines,
                       TaskDescriptions& result, DescriptionErrors& errors) {
    errors.clear();
    result = TaskDescriptions{};
    ErrorSink sink(errors);
    parseGroups(groupLines, result, sink);
    parseTasks(taskLines, result, sink);
    return errors.empty();
}
