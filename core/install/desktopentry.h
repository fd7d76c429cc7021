#pragma once

#include <string>
#include <string_view>

// The XDG desktop entry that starts the program: its menu entry and its
// desktop icon. Text is UTF-8, as the desktop-entry format requires.
namespace desktopentry {

inline constexpr char kFileName[] = "Tengwar Ostrel.desktop";
inline constexpr char kName[] = "Tengwar Ostrel";
inline constexpr char kIconName[] = "tengwar-ostrel";

// One argument of an Exec line: quoted when it holds a character that the
// format reserves, with `"`, `` ` ``, `$` and `\` escaped inside the quotes,
// and `%` doubled so that it is not read as a field code.
std::string quoteExecArgument(std::string_view argument);

// A value of type string: backslash, newline, tab and carriage return escaped.
std::string escapeStringValue(std::string_view value);

// The whole entry for a program at `programPath` (absolute).
std::string entryText(std::string_view programPath, std::string_view iconName = kIconName);

// The window class the program's windows carry (the application's name), which
// StartupWMClass names so that docks group a window with its launcher.
inline constexpr char kWindowClass[] = "Tengwar Ostrel";

// The program an entry's Exec line starts: its first argument with the string
// escapes and the quoting undone; empty when the entry has no Exec line.
std::string execProgram(std::string_view entryText);

}  // namespace desktopentry
