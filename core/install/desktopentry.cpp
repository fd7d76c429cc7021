#include "core/install/desktopentry.h"

namespace desktopentry {

namespace {

// Characters that make an Exec argument need quotes.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";

}  // namespace

std::string quoteExecArgument(std::string_view argument) {
    const bool needsQuotes = argument.empty() || argument.find_first_of(kReserved) != std::string_view::npos;
    std::string result;
    result.reserve(argument.size() + 8);
    if (needsQuotes) {
        result += '"';
    }
    for (const char c : argument) {
        if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            result += '\\';
        }
        result += c;
        if (c == '%') {
            result += '%';
        }
    }
    if (needsQuotes) {
        result += '"';
    }
    return result;
}

std::string escapeStringValue(std::string_view value) {
    std::string result;
    result.reserve(value.size());
    for (const char c : value) {
        switch (c) {
            case '\\':
                result += "\\\\";
                break;
            case '\n':
                result += "\\n";
                break;
            case '\t':
                result += "\\t";
                break;
            case '\r':
                result += "\\r";
                break;
            default:
                result += c;
                break;
        }
    }
    return result;
}

std::string entryText(std::string_view programPath, std::string_view iconName) {
    std::string text = "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += "Version=1.4\n";
    text += "Name=" + std::string(kName) + "\n";
    text += "Comment=" + std::string(kName) + "\n";
    // The quoting of the argument comes first; the escapes of a string value
    // are applied over it.
    text += "Exec=" + escapeStringValue(quoteExecArgument(programPath)) + "\n";
    text += "Icon=" + escapeStringValue(iconName) + "\n";
    text += "Terminal=false\n";
    text += "Categories=Education;\n";
    text += "StartupWMClass=" + std::string(kWindowClass) + "\n";
    return text;
}

namespace {

std::string unescapeStringValue(std::string_view value) {
    std::string result;
    result.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            result += value[i];
            continue;
        }
        switch (value[++i]) {
            case 's':
                result += ' ';
                break;
            case 'n':
                result += '\n';
                break;
            case 't':
                result += '\t';
                break;
            case 'r':
                result += '\r';
                break;
            default:
                result += value[i];
                break;
        }
    }
    return result;
}

}  // namespace

std::string execProgram(std::string_view entryText) {
    std::string_view line;
    for (std::size_t from = 0; from < entryText.size();) {
        std::size_t end = entryText.find('\n', from);
        if (end == std::string_view::npos) {
            end = entryText.size();
        }
        const std::string_view candidate = entryText.substr(from, end - from);
        if (candidate.starts_with("Exec=")) {
            line = candidate.substr(5);
            break;
        }
        from = end + 1;
    }
    const std::string command = unescapeStringValue(line);
    std::string program;
    std::size_t i = 0;
    if (!command.empty() && command[0] == '"') {
        for (i = 1; i < command.size() && command[i] != '"'; ++i) {
            if (command[i] == '\\' && i + 1 < command.size()) {
                ++i;
            }
            program += command[i];
        }
    } else {
        for (; i < command.size() && command[i] != ' '; ++i) {
            program += command[i];
        }
    }
    // A doubled % stands for one.
    std::string result;
    for (std::size_t k = 0; k < program.size(); ++k) {
        result += program[k];
        if (program[k] == '%' && k + 1 < program.size() && program[k + 1] == '%') {
            ++k;
        }
    }
    return result;
}

}  // namespace desktopentry
