// Runs the built `ostrel` as a user would: arguments, standard input, a
// temporary HOME with or without a settings file. Expected output comes from
// the core called in the test, or, for the Unicode form, from a hand-checked
// text.

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "core/convert/convertfile.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/engine.h"
#include "core/transcription/flagset.h"
#include "core/transcription/settingssource.h"
#include "filetestsupport.h"

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// The core's transcription of UTF-8 lines with default switches changed by `change`.
std::string expected(const std::string& utf8Lines, void (*change)(TConvertData&) = nullptr,
                     bool raw = false) {
    TConvertData settings;
    loadDefaultSettings(settings);
    if (change != nullptr) {
        change(settings);
    }
    std::string out;
    std::istringstream lines(utf8Lines);
    for (std::string line; std::getline(lines, line);) {
        out += LatinToTengwar(cp1250::fromUtf8(line), raw, settings, true) + "\n";
    }
    return out;
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("ostrel-cli-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "home");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path path(const std::string& name) const { return m_dir / name; }
    fs::path settingsFile() const {
        return m_dir / "home/.config/Brinmoor Software, Inc./Tengwar Ostrel.conf";
    }

    ToolRun run(const std::string& args, const std::string& input = {}, const std::string& out = "stdout") {
        writeFile(path("stdin"), input);
        const std::string command = "cd '" + m_dir.string() + "' && env -u XDG_CONFIG_HOME " + m_env + " HOME='" +
                                    (m_dir / "home").string() + "' '" OSTREL_CLI "' " + args + " < stdin > " +
                                    out + " 2> stderr";
        const int raw = std::system(command.c_str());
        ToolRun result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = readFile(path("stdout"));
        result.err = readFile(path("stderr"));
        return result;
    }

    fs::path m_dir;
    std::string m_env;  // more of the environment, NAME=value
};

void silentE(TConvertData& s) {
    s.Flags[flag::FinalSilentE] = true;
}

// The stored switches (the "Zastavice" bytes in hexadecimal) with the final
// silent e on.
std::string silentEFlagsHex() {
    FlagBytes flags = flagset::withDefaultSwitches(flagset::kDefaultBytes);
    flagset::set(flags, flag::FinalSilentE, true);
    char hex[32];
    std::snprintf(hex, sizeof hex, "%02X %02X %02X %02X %02X", flags[0], flags[1], flags[2], flags[3],
                  flags[4]);
    return hex;
}

TEST_F(CliTest, TranscribesLinesAsTheCoreDoes) {
    const std::string prose = "Nekoč je živel mlad kovač\nljubezen in sreče\n";
    ASSERT_NE(expected(prose), expected(prose, silentE));  // the switch must show in the text
    struct Case {
        const char* args;
        std::string input;
        std::string output;
    };
    const Case cases[] = {
        {"transcribe", prose, expected(prose)},
        {"transcribe --set 14=on", prose, expected(prose, silentE)},
        {"transcribe --raw", "tengwar\n", expected("tengwar\n", nullptr, true)},
        {"transcribe --encoding cp1250", cp1250::fromUtf8(prose), expected(prose)},
        {"transcribe --replace",
         "a\xD0\xB6"
         "b\n",
         expected("a?b\n")},                                     // ж
        {"transcribe -", "\xEF\xBB\xBFtengwar\r\nkova\xC4\x8D",  // BOM, CR LF, no final break
         expected("tengwar\n").insert(6, "\r") + expected("kovač\n").substr(0, 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun r = run(c.args, c.input);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.output);
    }
}

TEST_F(CliTest, CharacterOutsideWindows1250IsAnErrorNamingItsPlace) {
    const ToolRun r = run("transcribe", "tengwar\nab\xD0\xB6\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, expected("tengwar\n"));  // lines before it are written
    EXPECT_NE(r.err.find("vrstica 2, stolpec 3"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--replace"), std::string::npos) << r.err;

    const ToolRun notUtf8 = run("transcribe", cp1250::fromUtf8("kovač\n"));
    EXPECT_EQ(notUtf8.status, 1);
    EXPECT_NE(notUtf8.err.find("--encoding cp1250"), std::string::npos) << notUtf8.err;
}

TEST_F(CliTest, UnicodeFormIsTheRegistrysLettersAndMarks) {
    // Hand-checked: t tinco + e acute, ng nwalme, w vala + a three dots, r
    // roomen; space; k quesse + o right curl, v ampa + a three dots, č calma.
    const std::string expectedText = "\uE000\uE046\uE013\uE015\uE040\uE018 \uE003\uE048\uE00D\uE040\uE002\n";
    const ToolRun r = run("transcribe --defaults --to unicode", "tengwar kovač\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expectedText);
    EXPECT_EQ(run("transcribe --to unicode --encoding cp1250", "a\n").status, 2);
}

TEST_F(CliTest, ConvertWritesThePagesDocument) {
    const std::string text = cp1250::fromUtf8("Nekoč je živel mlad kovač.\r\nTengwar 123 {x}\\!\n");
    writeFile(path("vhod.txt"), text);
    ConvertJob job{path("vhod.txt").string(), path("strani.rtf").string(), {}};
    loadDefaultSettings(job.settings.switches.emplace());
    ConvertControl control;
    ASSERT_EQ(convertFile(job, control, {}), ConvertFileOutcome::Finished);
    const std::string page = readFile(path("strani.rtf"));

    EXPECT_EQ(run("convert --defaults --encoding cp1250 vhod.txt izhod.rtf").status, 0);
    EXPECT_EQ(readFile(path("izhod.rtf")), page);
    writeFile(path("utf8.txt"), cp1250::toUtf8(text));
    EXPECT_EQ(run("convert --defaults --yes utf8.txt izhod.rtf").status, 0);
    EXPECT_EQ(readFile(path("izhod.rtf")), page);

    // Asked before overwriting; without a terminal to ask on, it refuses.
    writeFile(path("izhod.rtf"), "keep");
    const ToolRun refused = run("convert --defaults utf8.txt izhod.rtf");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("--yes"), std::string::npos);
    EXPECT_EQ(readFile(path("izhod.rtf")), "keep");
    // The same file in and out is refused before anything is truncated.
    const ToolRun same = run("convert --yes vhod.txt ./vhod.txt");
    EXPECT_EQ(same.status, 1);
    EXPECT_EQ(readFile(path("vhod.txt")), text);
    EXPECT_EQ(run("convert vhod.txt").status, 2);
    EXPECT_EQ(run("convert --yes manjka.txt x.rtf").status, 1);
}

TEST_F(CliTest, ConvertCreatesNothingForABadInputAndNeverCopiesIt) {
    writeFile(path("prazna.txt"), "");
    writeFile(path("ruska.txt"), "ab\xD0\xB6\n");
    writeFile(path("star.txt"), cp1250::fromUtf8("kovač\n"));
    fs::create_directories(path("tmp"));
    m_env = "TMPDIR='" + path("tmp").string() + "'";
    const struct {
        const char* args;
        const char* says;
    } cases[] = {
        {"convert prazna.txt a.rtf", "je prazna"},
        {"convert ruska.txt a.rtf", "vrstica 1, stolpec 3"},
        {"convert star.txt a.rtf", "--encoding cp1250"},
        {"convert manjka.txt a.rtf", "\"manjka.txt\"! Datoteka ali mapa ne obstaja."},
        {"convert tmp a.rtf", "\"tmp\"! To je mapa, ne datoteka."},
        // An output that cannot be written over is refused before the question.
        {"convert star.txt tmp", "\"tmp\"! To je mapa, ne datoteka."},
        {"convert star.txt ./star.txt", "Vhodna in izhodna datoteka sta ista"},
        {"convert --yes --replace ruska.txt /dev/full", "Na disku ni dovolj prostora."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun r = run(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("--yes"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(path("a.rtf")));
    }
    // A UTF-8 input is read where it is.
    EXPECT_EQ(run("convert --replace ruska.txt a.rtf").status, 0);
    EXPECT_TRUE(fs::is_empty(path("tmp")));
}

TEST_F(CliTest, CtrlCEndsTheToolByTheSignalAfterClosingTheDocument) {
    std::string text;
    while (text.size() < (48u << 20)) {
        text += "Nekoc je zivel mlad kovac, ki je 12 let hodil cez goro.\r\n";
    }
    writeFile(path("velika.txt"), text);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("HOME", (m_dir / "home").c_str(), 1);
        if (::chdir(m_dir.c_str()) == 0) {
            ::execl(OSTREL_CLI, "ostrel", "convert", "--defaults", "--encoding", "cp1250", "velika.txt",
                    "velika.rtf", static_cast<char*>(nullptr));
        }
        ::_exit(127);
    }
    // Interrupted once the document has begun.
    const auto begun = [this] {
        std::error_code error;
        const auto size = fs::file_size(path("velika.rtf"), error);
        return !error && size > 0;
    };
    int status = 0;
    while (!begun() && ::waitpid(pid, &status, WNOHANG) == 0) {
        ::sched_yield();
    }
    ::kill(pid, SIGINT);
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "ended with " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGINT);
    const std::string rtf = readFile(path("velika.rtf"));
    EXPECT_GT(rtf.size(), rtf::header().size());
    EXPECT_TRUE(rtf.ends_with("}}") || rtf.ends_with("\\par\r\n}")) << rtf.substr(rtf.size() - std::min<std::size_t>(rtf.size(), 20));
}

TEST_F(CliTest, DrawWithASeedRepeats) {
    const ToolRun first = run("draw --task 2 --count 20 --seed 7");
    const ToolRun again = run("draw --task 2 --count 20 --seed 7");
    const ToolRun other = run("draw --task 2 --count 20 --seed 8");
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(std::count(first.out.begin(), first.out.end(), '\n'), 20);
    EXPECT_EQ(first.out, again.out);
    EXPECT_NE(first.out, other.out);
    // Each line: letters, their Tengwar, the answer.
    const std::string line = first.out.substr(0, first.out.find('\n'));
    const std::string letters = line.substr(0, line.find('\t'));
    TConvertData settings;
    loadDefaultSettings(settings);
    EXPECT_EQ(line.substr(letters.size() + 1, line.rfind('\t') - letters.size() - 1),
              LatinToTengwar(cp1250::fromUtf8(letters), false, settings, true));
    EXPECT_EQ(run("draw --task 999").status, 2);
}

TEST_F(CliTest, StoredSwitchesAreReadAndNeverWritten) {
    const std::string hex = silentEFlagsHex();
    fs::create_directories(settingsFile().parent_path());
    const std::string stored = std::string("[1.0]\nZastavice=hex:") + hex + "\nNikoli%20s%20~=text:\n";
    writeFile(settingsFile(), stored);
    ::chmod(settingsFile().c_str(), 0444);

    const std::string prose = "ljubezen in sreče\n";
    EXPECT_EQ(run("transcribe", prose).out, expected(prose, silentE));
    EXPECT_EQ(run("transcribe --defaults", prose).out, expected(prose));
    EXPECT_EQ(run("transcribe --set 14=off", prose).out, expected(prose));
    EXPECT_EQ(readFile(settingsFile()), stored);

    // A value of the wrong kind is reported and read as its default.
    ::chmod(settingsFile().c_str(), 0644);
    writeFile(settingsFile(), "[1.0]\nZastavice=int:5\n");
    const ToolRun damaged = run("transcribe", prose);
    EXPECT_EQ(damaged.status, 0);
    EXPECT_EQ(damaged.out, expected(prose));
    EXPECT_NE(damaged.err.find("Invalid data type for 'Zastavice'"), std::string::npos) << damaged.err;
    EXPECT_EQ(readFile(settingsFile()), "[1.0]\nZastavice=int:5\n");
    EXPECT_FALSE(fs::exists(settingsFile().string() + ".bak"));
}

// The tool reads the settings file by the program's own rules, and says once
// on stderr when the stored switches could not be used.
TEST_F(CliTest, DamagedSettingsAreReadAsTheProgramReadsThemAndToldOnce) {
    const std::string hex = silentEFlagsHex();
    const std::string switches = std::string("Nikoli%20s%20~=text:\nZastavice=hex:") + hex + "\n";
    const std::string mine = "; Tengwar Ostrel\n[1.0]\nAktivni%20zavihek=int:2\n";
    struct Case {
        const char* what;
        std::string file;
        bool used;
    };
    const Case cases[] = {
        {"as written", "[1.0]\n" + switches, true},
        {"byte-order mark", "\xEF\xBB\xBF[1.0]\n" + switches, true},
        {"the program's own, whole", mine + switches + "; konec 99\n", true},
        {"cut after the switches", mine + switches + "Zoom%20A=in", true},
        {"cut before the switches", mine + "Nikoli%20s%20~=te", false},
        {"garbage", "\x01\x02 garbage without lines", false},
        {"a NUL byte", "[1.0]\n" + switches + std::string(1, '\0'), false},
        {"invalid UTF-8", "[1.0]\n" + switches + "Pisava%20za%20odgovor=text:Ar\xFFial\n", false},
        {"a broken group header", "[1.0\n" + switches, false},
        {"three damaged values", "[1.0]\nZastavice=int:5\nNikoli%20s%20~=int:3\nZoom%20A=x\n", false},
    };
    const std::string prose = "ljubezen in sreče\n";
    fs::create_directories(settingsFile().parent_path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(settingsFile(), c.file);
        const ToolRun r = run("transcribe", prose);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, c.used ? expected(prose, silentE) : expected(prose));
        std::size_t told = 0;
        for (std::size_t at = r.err.find("ostrel:"); at != std::string::npos; at = r.err.find("ostrel:", at + 1)) {
            ++told;
        }
        EXPECT_EQ(told, c.used ? 0U : 1U) << r.err;
        EXPECT_EQ(readFile(settingsFile()), c.file) << "only read";
        EXPECT_FALSE(fs::exists(settingsFile().string() + ".bak"));
    }
}

TEST_F(CliTest, UsageErrorsEndWithStatusTwo) {
    // Switches 19-23 and 31-33 belong to the windows; 35 is one past the last.
    for (const char* args :
         {"", "nekaj", "transcribe --set 99=on", "transcribe --set 35=on", "transcribe --set 19=on",
          "transcribe --set 31=on", "transcribe --set -1=on", "transcribe --to latin", "draw --raw",
          "convert --seed 1 a b", "draw --count 0"}) {
        SCOPED_TRACE(args);
        const ToolRun r = run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_FALSE(r.err.empty());
        if (std::string(args).find("--set") != std::string::npos) {
            EXPECT_NE(r.err.find("0-18, 24-30 ali 34"), std::string::npos) << r.err;  // the valid ones
        }
    }
    for (const char* args : {"transcribe --set 34=on", "transcribe --set 0=on", "transcribe --set 18=off",
                             "transcribe --set 24=on", "transcribe --set 30=off"}) {
        SCOPED_TRACE(args);
        EXPECT_EQ(run(args, "tengwar\n").status, 0);
    }
    for (const char* args :
         {"--help", "transcribe --help", "convert --help", "draw --help", "help draw", "help --help"}) {
        SCOPED_TRACE(args);
        const ToolRun r = run(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.out.find("Primeri:"), std::string::npos);
    }
    EXPECT_NE(run("--help").out.find("--version"), std::string::npos);
    EXPECT_EQ(run("--version").status, 0);
}

// Output that cannot be written (a full disk) is an error, said in words.
TEST_F(CliTest, WriteErrorsAreReported) {
    for (const char* args :
         {"--help", "--version", "help draw", "draw --count 3 --seed 1", "draw --list", "transcribe"}) {
        SCOPED_TRACE(args);
        const ToolRun r = run(args, "tengwar\n", "/dev/full");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("pisanje na standardni izhod ni uspelo"), std::string::npos) << r.err;
    }
}

// A line longer than the tool reads at once, without a space, and the lines
// around it: the same bytes as the core makes of each whole line, a character
// split between two reads included.
TEST_F(CliTest, LongLineIsTranscribedWhole) {
    std::string longLine;
    while (longLine.size() < (3 << 19)) {  // more than the tool reads at once
        longLine += "tengwarkovačljubezenžŠ";
    }
    TConvertData settings;
    loadDefaultSettings(settings);
    auto codes = [&settings](const std::string& utf8, bool raw = false) {
        return LatinToTengwar(cp1250::fromUtf8(utf8), raw, settings, true);
    };
    struct Case {
        const char* args;
        std::string input;
        std::string output;
    };
    const Case cases[] = {
        {"transcribe", "prva\n" + longLine + "\r\nzadnja\n",
         codes("prva") + "\n" + codes(longLine) + "\r\n" + codes("zadnja") + "\n"},
        {"transcribe --encoding cp1250", cp1250::fromUtf8(longLine + "\n" + longLine),
         codes(longLine) + "\n" + codes(longLine)},
        {"transcribe --raw", longLine + "\n", codes(longLine, true) + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun r = run(c.args, c.input);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(r.out == c.output)
            << "outputs of " << r.out.size() << " and " << c.output.size() << " bytes differ";
    }
    // A character the code page lacks is placed in the whole line.
    const ToolRun fault = run("transcribe", "prva\n" + longLine + "\xD0\xB6\n");
    EXPECT_EQ(fault.status, 1);
    const std::size_t column = cp1250::fromUtf8(longLine).size() + 1;
    EXPECT_NE(fault.err.find("vrstica 2, stolpec " + std::to_string(column)), std::string::npos) << fault.err;
}

// Each line's result is there to read before the next line is sent, as a
// user typing at a terminal sees it.
TEST_F(CliTest, EachLineIsWrittenAsSoonAsItIsRead) {
    int toTool[2];
    int fromTool[2];
    ASSERT_EQ(::pipe(toTool), 0);
    ASSERT_EQ(::pipe(fromTool), 0);
    const std::string home = (m_dir / "home").string();
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(toTool[0], STDIN_FILENO);
        ::dup2(fromTool[1], STDOUT_FILENO);
        ::close(toTool[1]);
        ::close(fromTool[0]);
        ::setenv("HOME", home.c_str(), 1);
        ::unsetenv("XDG_CONFIG_HOME");
        ::execl(OSTREL_CLI, OSTREL_CLI, "transcribe", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(toTool[0]);
    ::close(fromTool[1]);
    // Sends bytes and waits for the answer while the input stays open; ten
    // seconds is only a bound for a stuck tool, not a pause.
    const auto answered = [&](const std::string& sent, const std::string& want) {
        ASSERT_EQ(::write(toTool[1], sent.data(), sent.size()), static_cast<ssize_t>(sent.size()));
        std::string got;
        while (got.size() < want.size()) {
            pollfd p{fromTool[0], POLLIN, 0};
            ASSERT_GT(::poll(&p, 1, 10000), 0) << "no answer for the line";
            char buffer[256];
            const ssize_t n = ::read(fromTool[0], buffer, sizeof buffer);
            ASSERT_GT(n, 0);
            got.append(buffer, static_cast<std::size_t>(n));
        }
        EXPECT_EQ(got, want);
    };
    // A byte order mark that comes in two reads, then a line shorter than
    // what was read before it: its line break must still be seen.
    ASSERT_EQ(::write(toTool[1], "\xEF\xBB", 2), 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // so that the tool reads it alone
    answered("\xBF" "a\n", expected("a\n"));
    for (const std::string line : {"tengwar", "kovač", "ljubezen in sreče"}) {
        SCOPED_TRACE(line);
        answered(line + "\n", expected(line + "\n"));
    }
    ::close(toTool[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ::close(fromTool[0]);
}

}  // namespace
