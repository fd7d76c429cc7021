// `ostrel transcribe` on lines longer than it reads at once (1 MiB at a time
// from a file): such a line is transcribed in pieces, and what is told about
// it, and about the lines after it, must be as for a short line. The input is
// a file, so the tool's reads end at the same bytes every run: the first
// piece of a long first line ends at 2 MiB, the next ones 1 MiB later each.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/transcription/cp1250.h"
#include "core/transcription/engine.h"
#include "core/transcription/settingssource.h"
#include "filetestsupport.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
const std::string kOutside = "\xD0\xB6";  // ж, not in Windows-1250

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class LongLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("ostrel-longline-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "home");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    ToolRun transcribe(const std::string& input, const std::string& args = "") {
        writeFile(m_dir / "stdin", input);
        const std::string command = "cd '" + m_dir.string() + "' && env -u XDG_CONFIG_HOME HOME='" +
                                    (m_dir / "home").string() + "' '" OSTREL_CLI "' transcribe " + args +
                                    " < stdin > stdout 2> stderr";
        const int raw = std::system(command.c_str());
        ToolRun result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = readFile(m_dir / "stdout");
        result.err = readFile(m_dir / "stderr");
        return result;
    }

private:
    fs::path m_dir;
};

// UTF-8 text of exactly `bytes` bytes, with two-byte letters among the
// one-byte ones, so that bytes and characters differ.
std::string letters(std::size_t bytes) {
    const std::string word = "kova\xC4\x8D ";  // "kovač "
    std::string text;
    while (text.size() + word.size() <= bytes) {
        text += word;
    }
    text.append(bytes - text.size(), 'a');
    return text;
}

std::size_t characters(const std::string& utf8) {
    return cp1250::fromUtf8(utf8).size();
}

std::string codes(const std::string& utf8) {
    TConvertData settings;
    loadDefaultSettings(settings);
    return LatinToTengwar(cp1250::fromUtf8(utf8), false, settings, true);
}

// The column of a character Windows-1250 lacks counts the characters of the
// whole line before it, in whichever piece of the line it comes.
TEST_F(LongLineTest, TheColumnOfACharacterOutsideTheCodePageCountsTheWholeLine) {
    const struct {
        const char* what;
        std::string before;  // the line up to the character
    } cases[] = {
        {"in the first piece", letters(kMiB + kMiB / 2)},
        {"first in the second piece", letters(2 * kMiB)},
        {"in the second piece", letters(2 * kMiB + kMiB / 2)},
        {"in the third piece", letters(3 * kMiB + kMiB / 3)},
        // č split by the end of the first piece: its first byte is held back.
        {"after a letter split by a read", letters(2 * kMiB - 1) + "\xC4\x8D"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ToolRun r = transcribe(c.before + kOutside + "abc\nnaslednja\n");
        EXPECT_EQ(r.status, 1);
        const std::string place = "vrstica 1, stolpec " + std::to_string(characters(c.before) + 1) + ":";
        EXPECT_NE(r.err.find(place), std::string::npos) << "expected " << place << "\n" << r.err;
    }
}

// Lines after a long one keep their numbers, however the long one ended.
TEST_F(LongLineTest, LinesAfterALongOneKeepTheirNumbers) {
    const std::string longLine = letters(2 * kMiB + 1000);
    const struct {
        const char* what;
        std::string input;
        int line;  // of the character outside the code page
    } cases[] = {
        {"after a long line", longLine + "\nab" + kOutside + "\n", 2},
        {"after a short and a long line", "prva\n" + longLine + "\r\nab" + kOutside + "\n", 3},
        {"after two long lines", longLine + "\n" + longLine + "\ndruga\nab" + kOutside + "\n", 4},
        {"after a long line that ends a piece", letters(2 * kMiB - 1) + "\nab" + kOutside + "\n", 2},
        {"on the line after a long one", longLine + "\n" + longLine + kOutside + "\n", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ToolRun r = transcribe(c.input);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("vrstica " + std::to_string(c.line) + ", stolpec"), std::string::npos) << r.err;
    }
}

// A CR LF stays one line break, also when a piece of the long line ends
// between its CR and its LF; a lone CR at a piece's end is the line's text.
TEST_F(LongLineTest, ACrLfSplitByTheEndOfAPieceIsOneLineBreak) {
    const struct {
        const char* what;
        std::string line;
        std::string lineBreak;
    } cases[] = {
        {"CR ends the first piece", letters(2 * kMiB - 1), "\r\n"},
        {"CR ends the second piece", letters(3 * kMiB - 1), "\r\n"},
        {"CR LF inside a piece", letters(2 * kMiB + 100), "\r\n"},
        {"LF ends the first piece", letters(2 * kMiB - 1), "\n"},
        {"LF first in the second piece", letters(2 * kMiB), "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ToolRun r = transcribe(c.line + c.lineBreak + "zadnja\n");
        EXPECT_EQ(r.status, 0) << r.err;
        const std::string expected = codes(c.line) + c.lineBreak + codes("zadnja") + "\n";
        EXPECT_EQ(r.out.size(), expected.size());
        EXPECT_TRUE(r.out == expected) << "the outputs differ";
    }
}

}  // namespace
