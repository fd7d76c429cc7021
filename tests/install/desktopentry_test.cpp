#include "core/install/desktopentry.h"

#include <gtest/gtest.h>

namespace {

struct ExecCase {
    const char* path;
    const char* quoted;
};

TEST(DesktopEntry, ExecArgumentsAreQuotedWhereTheFormatReservesCharacters) {
    const ExecCase cases[] = {
        {"/usr/bin/tengwar-ostrel", "/usr/bin/tengwar-ostrel"},
        {"/home/ana/Moji programi/tengwar-ostrel", "\"/home/ana/Moji programi/tengwar-ostrel\""},
        {"/opt/a\"b/x", "\"/opt/a\\\"b/x\""},
        {"/opt/$HOME/x", "\"/opt/\\$HOME/x\""},
        {"/opt/a`b/x", "\"/opt/a\\`b/x\""},
        {"/opt/a\\b/x", "\"/opt/a\\\\b/x\""},
        {"/opt/100%/x", "/opt/100%%/x"},
        {"/opt/50% off/x", "\"/opt/50%% off/x\""},
        {"/opt/čšž/x", "/opt/čšž/x"},
    };
    for (const ExecCase& c : cases) {
        EXPECT_EQ(desktopentry::quoteExecArgument(c.path), c.quoted) << c.path;
    }
}

TEST(DesktopEntry, EntryForAPathWithSpacesAndABackslash) {
    // The quoted argument's backslash is escaped once more as a string value:
    // four backslashes stand for one in the path.
    const std::string text = desktopentry::entryText("/home/ana/Moji programi/a\\b/tengwar-ostrel");
    EXPECT_EQ(text,
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Version=1.4\n"
              "Name=Tengwar Ostrel\n"
              "Comment=Tengwar Ostrel\n"
              "Exec=\"/home/ana/Moji programi/a\\\\\\\\b/tengwar-ostrel\"\n"
              "Icon=tengwar-ostrel\n"
              "Terminal=false\n"
              "Categories=Education;\n"
              "StartupWMClass=Tengwar Ostrel\n");
}

TEST(DesktopEntry, ExecProgramReadsBackWhatTheEntryStarts) {
    // Every path the quoting table knows comes back from an entry written for it.
    for (const char* path : {"/usr/bin/tengwar-ostrel", "/home/ana/Moji programi/tengwar-ostrel", "/opt/a\"b/x",
                             "/opt/$HOME/x", "/opt/a`b/x", "/opt/a\\b/x", "/opt/100%/x", "/opt/50% off/x",
                             "/opt/čšž/x"}) {
        EXPECT_EQ(desktopentry::execProgram(desktopentry::entryText(path)), path) << path;
    }
    // Entries written by hand: a bare command with arguments, an escaped blank, no Exec line.
    EXPECT_EQ(desktopentry::execProgram("[Desktop Entry]\nName=x\nExec=tengwar-ostrel %U\n"), "tengwar-ostrel");
    EXPECT_EQ(desktopentry::execProgram("[Desktop Entry]\nExec=\"/a\\sb/c\" --x"), "/a b/c");
    EXPECT_EQ(desktopentry::execProgram("[Desktop Entry]\nName=Exec=x\n"), "");
}

}  // namespace
