#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class TFontPathDlg;

// Makes the program's font "Tengwar Quenya" available before any window opens.
// When the font database lacks the face, the packed font resource is unpacked into
// the first per-user fonts folder that takes it ($XDG_DATA_HOME/fonts, created when
// missing, then ~/.fonts), or into a folder the user names, and registered for the
// running program. Later starts find it through the system's font scanner.
//
// True when the font is available; false when it is not, and then any message has
// been shown already and the program should end.
bool InstallFont(QWidget* owner = nullptr);

// Unpacks the font into `folder` under the first free name; `path` receives the
// file it tried to write, for the registration. True when the whole file was
// written; a partly written file is removed again.
bool WriteFontToFolder(const QString& folder, QString& path);

// "quenya.ttf", or "quenya.ttf (1)" ... "quenya.ttf (100)" when names before it
// are taken by files; empty when all 101 are taken. Folders do not take a name.
QString UniqueFontFileName(const QString& folder);

// Makes a folder the user chose known to the system's font scanner for this
// user: a fontconfig file "$XDG_CONFIG_HOME/fontconfig/conf.d/50-tengwar-ostrel.conf"
// naming it (beside folders named there before), then fc-cache over it. So the
// face counts as installed at the next start. False when the file could not be
// written.
bool RememberFontFolder(const QString& folder);

// Whether an entry exists at `path` that is a folder (wantFolder) or is not one.
// A dangling symbolic link is an entry that is not a folder.
bool PathExists(const QString& path, bool wantFolder);

namespace fontinstall {

inline constexpr char kFamily[] = "Tengwar Quenya";
inline constexpr char kResource[] = ":/QUENYA_TT_";

// The folders tried before the user is asked, in order.
QStringList candidateFolders();

// What the installation takes from its surroundings; tests replace parts of it.
struct Environment {
    // The packed font (by default the resource kResource).
    std::function<QByteArray()> packedFont;
    // Shows the dialog modally; true when it was closed with its OK button.
    std::function<bool(TFontPathDlg&)> runDialog;
};
void setEnvironment(Environment environment);
void resetEnvironment();

}  // namespace fontinstall
