#include "core/convert/convertfile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "core/transcription/cp1250.h"
#include "filetestsupport.h"

namespace fs = std::filesystem;

namespace {

class ConvertFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("ostrel-convert-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "mapa");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string path(const char* name) const { return (m_dir / name).string(); }

    // Runs one conversion; the overwrite question is answered with `yes`.
    ConvertFileOutcome run(const std::string& in, const std::string& out, bool yes = true) {
        ConvertJob job{in, out, {}};
        return convertFile(job, m_control, [this, yes](const std::string& name) {
            m_asked.push_back(name);
            return yes;
        });
    }

    fs::path m_dir;
    ConvertControl m_control;
    std::vector<std::string> m_asked;
};

TEST_F(ConvertFileTest, FailuresNameTheirFileAndLoseNothing) {
    const std::string text = cp1250::fromUtf8("Čaša, 12 češenj\r\n");
    writeFile(path("vhod.txt"), text);
    writeFile(path("prazna.txt"), "");
    fs::create_symlink(path("vhod.txt"), path("povezava.txt"));
    fs::create_hard_link(path("vhod.txt"), path("trda.txt"));

    using Kind = ConvertError::Kind;
    const std::string same = "Vhodna in izhodna datoteka sta ista";
    const struct {
        const char* what;
        std::string in;
        std::string out;
        Kind kind;
        bool namesOutput;
        bool outputLeft;  // an output file exists afterwards (none is created)
        std::string says;  // the reason the message gives
    } cases[] = {
        {"same file", path("vhod.txt"), path("vhod.txt"), Kind::SameAsInput, true, true, same},
        {"same file through a link", path("vhod.txt"), path("povezava.txt"), Kind::SameAsInput, true, true, same},
        {"same file by a hard link", path("vhod.txt"), path("trda.txt"), Kind::SameAsInput, true, true, same},
        {"missing input", path("ni.txt"), path("a.rtf"), Kind::OpenInput, false, false, "ne obstaja"},
        {"a folder as input", path("mapa"), path("b.rtf"), Kind::OpenInput, false, false, "To je mapa"},
        {"missing output folder", path("vhod.txt"), path("ni/c.rtf"), Kind::OpenOutput, true, false, "ne obstaja"},
        {"a folder as output", path("vhod.txt"), path("mapa"), Kind::OpenOutput, true, true, "To je mapa"},
        {"empty input", path("prazna.txt"), path("d.rtf"), Kind::EmptyInput, false, false, "je prazna"},
    };
    for (const auto& c : cases) {
        try {
            run(c.in, c.out);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const ConvertError& e) {
            EXPECT_EQ(e.kind(), c.kind) << c.what;
            EXPECT_EQ(e.fileName(), c.namesOutput ? c.out : c.in) << c.what;
            const std::string message = e.what();
            EXPECT_NE(message.find(e.fileName()), std::string::npos) << c.what;
            EXPECT_NE(message.find(c.says), std::string::npos) << c.what << ": " << message;
        }
        EXPECT_EQ(fs::exists(c.out), c.outputLeft) << c.what;
        EXPECT_EQ(readFile(path("vhod.txt")), text) << c.what;
    }
    // The input itself, or a folder, is refused before the question about
    // writing over an existing output.
    EXPECT_TRUE(m_asked.empty());
    EXPECT_EQ(fs::read_symlink(path("povezava.txt")), path("vhod.txt"));

    // One file by any of its names; two files, or a missing one, never.
    EXPECT_TRUE(isSameFile(path("vhod.txt"), path("povezava.txt")));
    EXPECT_TRUE(isSameFile(path("vhod.txt"), path("trda.txt")));
    EXPECT_FALSE(isSameFile(path("vhod.txt"), path("prazna.txt")));
    EXPECT_FALSE(isSameFile(path("ni.txt"), path("ni.txt")));
}

TEST_F(ConvertFileTest, AsksBeforeWritingOverAnExistingOutput) {
    writeFile(path("vhod.txt"), "ab 1");
    writeFile(path("izhod.rtf"), "staro");
    EXPECT_EQ(run(path("vhod.txt"), path("izhod.rtf"), false), ConvertFileOutcome::Declined);
    EXPECT_EQ(readFile(path("izhod.rtf")), "staro");
    EXPECT_EQ(run(path("vhod.txt"), path("izhod.rtf"), true), ConvertFileOutcome::Finished);
    EXPECT_TRUE(readFile(path("izhod.rtf")).ends_with("{\\f0 1}}"));
    EXPECT_EQ(run(path("vhod.txt"), path("nova.rtf")), ConvertFileOutcome::Finished);
    EXPECT_EQ(m_asked, (std::vector<std::string>{path("izhod.rtf"), path("izhod.rtf")}));
}

TEST_F(ConvertFileTest, AUtf8TextWithABadByteIsReadAsWindows1250OnlyWhenTheUserSaysSo) {
    const std::string cutLast = "Ča\xC5\xA1" "a\nkova\xC4";  // "Čaša", then "kovač" cut in its last letter
    const struct {
        const char* what;
        std::string bytes;
        InputEncoding encoding;
        bool answer;
        bool asked;  // at line 2, column 5
        ConvertFileOutcome outcome;
    } cases[] = {
        {"cut last letter, read as Windows-1250", cutLast, InputEncoding::Detect, true, true,
         ConvertFileOutcome::Finished},
        {"cut last letter, declined", cutLast, InputEncoding::Detect, false, true, ConvertFileOutcome::Declined},
        {"Windows-1250 text", cp1250::fromUtf8("Čaša\nkovač"), InputEncoding::Detect, false, false,
         ConvertFileOutcome::Finished},
        {"whole UTF-8", "Ča\xC5\xA1" "a\nkova\xC4\x8D", InputEncoding::Detect, false, false,
         ConvertFileOutcome::Finished},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(path("izhod.rtf"));
        writeFile(path("vhod.txt"), c.bytes);
        ConvertJob job{path("vhod.txt"), path("izhod.rtf"), {}, c.encoding};
        std::vector<TextPlace> asked;
        const auto outcome = convertFile(job, m_control, {}, {}, [&](const std::string& name, const TextPlace& place) {
            EXPECT_EQ(name, path("vhod.txt"));
            asked.push_back(place);
            return c.answer;
        });
        EXPECT_EQ(outcome, c.outcome);
        ASSERT_EQ(asked.size(), c.asked ? 1U : 0U);
        if (c.asked) {
            EXPECT_EQ(asked[0].line, 2U);
            EXPECT_EQ(asked[0].column, 5U);
        }
        EXPECT_EQ(fs::exists(path("izhod.rtf")), outcome == ConvertFileOutcome::Finished);
    }
    // Read as UTF-8 by the job, or marked UTF-8 by its byte order mark, the
    // fault is an error as before, without the question.
    for (const auto& [bytes, encoding] : {std::pair{cutLast, InputEncoding::Utf8},
                                          std::pair{"\xEF\xBB\xBF" + cutLast, InputEncoding::Detect}}) {
        writeFile(path("vhod.txt"), bytes);
        ConvertJob job{path("vhod.txt"), path("izhod.rtf"), {}, encoding};
        bool asked = false;
        try {
            convertFile(job, m_control, {}, {}, [&](const std::string&, const TextPlace&) { return asked = true; });
            ADD_FAILURE() << "no error";
        } catch (const ConvertError& e) {
            EXPECT_EQ(e.kind(), ConvertError::Kind::NotUtf8);
        }
        EXPECT_FALSE(asked);
    }
}

TEST_F(ConvertFileTest, SizesBeyondFourGibibytesDoNotWrap) {
    // A sparse file: nothing is read, since the stop is asked for at once.
    const std::uint64_t size = (std::uint64_t{1} << 32) + 3;
    writeFile(path("velika.txt"), "");
    fs::resize_file(path("velika.txt"), size);
    m_control.requestStop();
    ConvertJob job{path("velika.txt"), path("velika.rtf"), {}, InputEncoding::Cp1250};
    EXPECT_EQ(convertFile(job, m_control, {}), ConvertFileOutcome::Stopped);
    EXPECT_EQ(m_control.total.load(), size);
    EXPECT_EQ(readFile(path("velika.rtf")), std::string(rtf::header()) + "}");
}

// The code points of the HTML text that unrtf writes, in UTF-8.
std::string htmlText(const std::string& html) {
    std::string text;
    static const std::regex entity("&(#([0-9]+)|amp|lt|gt|quot|mdash|Scaron|scaron);");
    std::sregex_iterator it(html.begin(), html.end(), entity), end;
    std::size_t from = 0;
    for (; it != end; ++it) {
        text += html.substr(from, static_cast<std::size_t>(it->position()) - from);
        const std::string name = (*it)[1];
        if (name == "amp") {
            text += '&';
        } else if (name == "lt") {
            text += '<';
        } else if (name == "gt") {
            text += '>';
        } else if (name == "quot") {
            text += '"';
        } else if (name == "mdash") {
            text += "\u2014";
        } else if (name == "Scaron" || name == "scaron") {
            text += name[0] == 'S' ? "\u0160" : "\u0161";
        } else {
            const int codePoint = std::stoi((*it)[2]);
            text += cp1250::toUtf8(std::string(1, static_cast<char>(cp1250::fromUnicode(codePoint))));
        }
        from = static_cast<std::size_t>(it->position() + it->length());
    }
    return text + html.substr(from);
}

TEST_F(ConvertFileTest, UnrtfReadsTheLatinTextBack) {
    if (std::system("command -v unrtf >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "unrtf is not installed (scripts/install-deps.sh installs it)";
    }
    writeFile(path("vhod.txt"), cp1250::fromUtf8("Človek, ki je 3. maja prišel (ob 7h) — Čuk!\r\n"
                                                 "Žiga & Špela: \"da\" {x}\\y\n"
                                                 "Tretja vrstica brez konca"));
    ASSERT_EQ(run(path("vhod.txt"), path("izhod.rtf")), ConvertFileOutcome::Finished);
    const std::string command =
        "unrtf --html '" + path("izhod.rtf") + "' > '" + path("izhod.html") + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string html = readFile(path("izhod.html"));

    // Text belongs to the font opened last (unrtf may put a group's first
    // escaped letter just after the group's font tag has closed).
    std::string latin;
    std::string tengwar;
    std::string* current = nullptr;
    static const std::regex token("<font face=\"([^\"]*)\">|<[^>]*>|[^<]+");
    const std::size_t body = html.find("<body>");
    ASSERT_NE(body, std::string::npos);
    for (std::sregex_iterator it(html.begin() + static_cast<std::ptrdiff_t>(body), html.end(), token), end;
         it != end; ++it) {
        if ((*it)[1].matched) {
            current = (*it)[1] == "Times New Roman"  ? &latin
                      : (*it)[1] == "Tengwar Quenya" ? &tengwar
                                                     : nullptr;
        } else if (it->str()[0] != '<' && it->str() != "\n") {
            ASSERT_NE(current, nullptr) << it->str();
            *current += htmlText(it->str());
        }
    }
    EXPECT_EQ(latin, "Č,3.(7)—Č!Ž&Š:\"\"{}\\");
    EXPECT_FALSE(tengwar.empty());
    EXPECT_EQ(tengwar.find_first_not_of(" !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"
                                        "abcdefghijklmnopqrstuvwxyz{|}~"),
              std::string::npos);
    // Three lines: two breaks.
    std::size_t breaks = 0;
    for (std::size_t at = html.find("<br>"); at != std::string::npos; at = html.find("<br>", at + 1)) {
        ++breaks;
    }
    EXPECT_EQ(breaks, 2u);
}

}  // namespace
