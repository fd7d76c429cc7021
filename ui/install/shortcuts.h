#pragma once

#include <QString>
#include <functional>

class QWidget;
class TShortcutForm;

// The shortcuts of the first start: a desktop entry "Tengwar Ostrel.desktop"
// in the applications folder (the desktop's menu) and one in the desktop
// folder.

// Shows TShortcutForm. "V redu" makes the chosen shortcuts (a failure is
// reported in a message box and start-up goes on); false when the user left
// the dialog with "Izhod" or closed it, and the program is to end.
bool OfferShortcuts(QWidget* owner = nullptr);

// Makes the shortcuts ticked in the dialog. False when the applications or
// the desktop folder cannot be found, or when a chosen entry could not be
// written; a failed entry does not stop the other.
bool CreateShortcuts(const TShortcutForm& form);

// Writes the entry for the program at programPath into folder (made when
// missing) in one atomic replace, executable as desktop environments expect.
bool writeDesktopEntry(const QString& folder, const QString& programPath);

namespace shortcuts {

inline constexpr char kFailureText[] = "Ne morem zapisati bližnjic!\nPoskusite jih ustvariti ročno.";

// The desktop's menu folder: $XDG_DATA_HOME/applications.
QString applicationsFolder();
// What `xdg-user-dir DESKTOP` names, where that command exists; else Qt's
// desktop location.
QString desktopFolder();

// What the shortcuts take from their surroundings; tests replace parts of it.
struct Environment {
    // Shows the dialog modally; true when it was closed with "V redu".
    std::function<bool(TShortcutForm&)> runDialog;
    std::function<QString()> applicationsFolder;
    std::function<QString()> desktopFolder;
    // The absolute path of the running program.
    std::function<QString()> programPath;
    // Whether the installed package's own menu entry is there.
    std::function<bool()> packageEntryInstalled;
};
void setEnvironment(const Environment& environment);

// The menu entry of the installed package, the one the desktop shows for it.
inline constexpr char kPackageEntryName[] = "tengwar.ostrel.TengwarOstrel.desktop";
// Whether that entry is in one of the system's data folders (not the user's own).
bool packageEntryInstalled();

// Whether the user's menu entry "Tengwar Ostrel.desktop" is there and starts a
// program that exists: an entry written by a program that has since gone does
// not count as a menu entry.
bool workingMenuEntry();

// Beside the package's entry, a user entry whose program has gone would be a
// second, broken menu entry: it is removed. Run at every start.
void dropStaleMenuEntry();
void resetEnvironment();

}  // namespace shortcuts
