#include "install/desktopentry.h"

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
    return text;
}

}  // namespace desktopentry
