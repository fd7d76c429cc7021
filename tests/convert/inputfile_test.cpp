// The conversion's input read as a stream: the same document for any piece
// size and for either encoding, the choice between UTF-8 and Windows-1250,
// and a file that changes while it is read.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "core/convert/convertfile.h"
#include "core/convert/inputfile.h"
#include "core/convert/systemerror.h"
#include "core/convert/textsurvey.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/cp1250checked.h"
#include "filetestsupport.h"

namespace fs = std::filesystem;

namespace {

class MemorySink : public ByteSink {
public:
    std::size_t write(const char* data, std::size_t size) override {
        bytes.append(data, size);
        return size;
    }
    std::string bytes;
};

// The document of a Windows-1250 text held whole in memory.
std::string documentOf(const std::string& cp1250Text) {
    MemorySink sink;
    BufferedWriter writer(sink, "x.rtf");
    ConvertControl control;
    writeRtfDocument(cp1250Text, writer, {}, control);
    return sink.bytes;
}

class InputFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("ostrel-input-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string path(const char* name) const { return (m_dir / name).string(); }

    ConvertFileOutcome run(ConvertJob job) {
        job.inputName = path("vhod.txt");
        job.outputName = path("izhod.rtf");
        return convertFile(job, m_control, {}, [this](const std::string&, const std::vector<TextPlace>& first,
                                                      std::uint64_t count) {
            m_named = first;
            m_count = count;
            return m_replace;
        });
    }
    std::string output() const { return readFile(path("izhod.rtf")); }

    fs::path m_dir;
    ConvertControl m_control;
    bool m_replace = true;
    std::vector<TextPlace> m_named;
    std::uint64_t m_count = 0;
};

TEST_F(InputFileTest, AnyPieceSizeAndEitherEncodingGiveTheSameDocument) {
    // CR LF pairs, letters of two bytes in UTF-8 and runs longer than the
    // smaller pieces, so that every kind of cut is met.
    std::string utf8;
    for (int i = 0; i < 40; ++i) {
        utf8 += "Čez " + std::to_string(i) + " let je živel kovač {x}\\y.\r\nŠtirje\rpeti\n\r\n";
    }
    utf8 += "dolgabesedabrezpresledkovinbrezkoncavrstice" + std::string(300, 'a');
    const std::string text = cp1250::fromUtf8(utf8);
    const std::string expected = documentOf(text);
    const struct {
        const char* what;
        std::string bytes;
        InputEncoding encoding;
    } inputs[] = {
        {"Windows-1250 detected", text, InputEncoding::Detect},
        {"Windows-1250 given", text, InputEncoding::Cp1250},
        {"UTF-8 detected", utf8, InputEncoding::Detect},
        {"UTF-8 with a byte order mark", "\xEF\xBB\xBF" + utf8, InputEncoding::Detect},
        {"UTF-8 given", utf8, InputEncoding::Utf8},
    };
    for (const auto& input : inputs) {
        writeFile(path("vhod.txt"), input.bytes);
        for (const std::size_t piece : {4, 5, 7, 64, 4096, 1 << 20}) {
            SCOPED_TRACE(std::string(input.what) + ", pieces of " + std::to_string(piece));
            ConvertJob job;
            job.encoding = input.encoding;
            job.pieceSize = piece;
            ASSERT_EQ(run(job), ConvertFileOutcome::Finished);
            EXPECT_EQ(output(), expected);
        }
    }
}

TEST_F(InputFileTest, Utf8OnlyWhenItIsUtf8Throughout) {
    const std::string cp1250Text = cp1250::fromUtf8("kovač");
    const struct {
        const char* what;
        std::string bytes;
        std::string readAs;  // the Windows-1250 text it is read as
    } cases[] = {
        {"ASCII", "tengwar 12", "tengwar 12"},
        {"Windows-1250 letters", cp1250Text, cp1250Text},
        {"UTF-8 letters", "kova\xC4\x8D", cp1250Text},
        // A Windows-1250 file whose first letters happen to form UTF-8.
        {"UTF-8 at first, not later", "\xC4\x8D\n" + cp1250Text, "\xC4\x8D\n" + cp1250Text},
        {"a character cut at the end", "kova\xC4", "kova\xC4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(path("vhod.txt"), c.bytes);
        ConvertJob job;
        job.pieceSize = 4;
        ASSERT_EQ(run(job), ConvertFileOutcome::Finished);
        EXPECT_EQ(output(), documentOf(c.readAs));
    }
}

TEST_F(InputFileTest, CharactersWindows1250LacksAreNamedOnceWithTheirPlaces) {
    // ж on line 2, column 3; € is in the code page; 7 more after it.
    writeFile(path("vhod.txt"), "\xEF\xBB\xBF\xE2\x82\xAC a\nab\xD0\xB6 \xC4\x8D\n" + std::string("\xE2\x98\x83\n") +
                                    std::string(6, ' ') + "\xF0\x9F\x98\x80\xD0\xB6\xD0\xB6\xD0\xB6\xD0\xB6\xD0\xB6");
    m_replace = false;
    ConvertJob job;
    // Pieces cut inside characters and lines, and one piece for the whole.
    for (const std::size_t piece : {5, 13, 1 << 20}) {
        SCOPED_TRACE("pieces of " + std::to_string(piece));
        job.pieceSize = piece;
        EXPECT_EQ(run(job), ConvertFileOutcome::Declined);
        EXPECT_FALSE(fs::exists(path("izhod.rtf")));
        ASSERT_EQ(m_named.size(), 5u);
        EXPECT_EQ(m_count, 8u);
        const TextPlace expected[] = {
            {2, 3, 0x436}, {3, 1, 0x2603}, {4, 7, 0x1F600}, {4, 8, 0x436}, {4, 9, 0x436}};
        for (std::size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(m_named[i].line, expected[i].line) << i;
            EXPECT_EQ(m_named[i].column, expected[i].column) << i;
            EXPECT_EQ(m_named[i].codePoint, expected[i].codePoint) << i;
        }
    }

    m_replace = true;
    EXPECT_EQ(run(job), ConvertFileOutcome::Finished);
    EXPECT_EQ(output(), documentOf(cp1250::fromUtf8("€ a\nab? č\n?\n      ??????")));

    // Without a question (the command-line tool), the first is an error.
    try {
        convertFile({path("vhod.txt"), path("izhod2.rtf"), {}, InputEncoding::Utf8}, m_control, {});
        ADD_FAILURE() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.kind(), ConvertError::Kind::NotInCodePage);
        EXPECT_EQ(e.place().line, 2u);
        EXPECT_EQ(e.place().column, 3u);
    }
    EXPECT_FALSE(fs::exists(path("izhod2.rtf")));

    // A byte order mark before bytes that are not UTF-8: named, nothing written.
    writeFile(path("vhod.txt"), "\xEF\xBB\xBFok\nkova\xE8");
    fs::remove(path("izhod.rtf"));
    try {
        run({});
        ADD_FAILURE() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.kind(), ConvertError::Kind::NotUtf8);
        EXPECT_NE(std::string(e.what()).find("(vrstica 2, stolpec 5)"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(path("izhod.rtf")));
}

// What a reading of the whole text through the checked decoder finds: the
// reference for the survey, which reads the file in pieces and steps over
// ASCII eight bytes at a time.
Utf8Survey decoderSurvey(std::string_view text, std::size_t named) {
    Utf8Survey survey;
    const auto placeOf = [&](std::size_t offset, char32_t codePoint) {
        const std::string_view before = text.substr(0, offset);
        const std::size_t lineStart = before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
        const auto column = std::count_if(before.begin() + static_cast<std::ptrdiff_t>(lineStart), before.end(),
                                          [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
        return TextPlace{static_cast<std::uint64_t>(std::count(before.begin(), before.end(), '\n')) + 1,
                         static_cast<std::uint64_t>(column) + 1, codePoint};
    };
    std::size_t from = 0;
    while (true) {
        std::string out;
        const auto fault = cp1250::appendFromUtf8(text.substr(from), out, false);
        const std::size_t good = fault ? fault->offset : text.size() - from;
        survey.multiByte = survey.multiByte || out.size() < good;
        if (!fault) {
            return survey;
        }
        if (fault->kind == cp1250::DecodeFault::Kind::InvalidUtf8) {
            survey.invalid = placeOf(from + fault->offset, 0);
            return survey;
        }
        survey.multiByte = true;
        if (survey.unmappable.size() < named) {
            survey.unmappable.push_back(placeOf(from + fault->offset, fault->codePoint));
        }
        ++survey.unmappableCount;
        from += fault->offset + fault->length;
    }
}

TEST_F(InputFileTest, TheSurveyFindsWhatTheDecoderFinds) {
    // Prose-like texts of ASCII runs, line breaks, letters of two to four
    // bytes (in the code page or not) and, now and then, bytes that are not
    // UTF-8, cut into pieces of every kind.
    const char* const fragments[] = {"kova",     " ",      "\n",    "\r\n", "\xC4\x8D",         "\xD0\xB6",
                                     "\xE2\x82\xAC", "dolgabesedabrez", "\xF0\x9F\x98\x80", "\xE2\x98\x83", "\x80",
                                     "\xC4",     "\xED\xA0\x80"};
    std::mt19937 random(20261207);
    int utf8Throughout = 0;
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 120);
        for (int i = 0; i < length; ++i) {
            const std::size_t pick = random() % 300;
            text += fragments[pick < 297 ? pick % 10 : 10 + pick % 3];
        }
        if (text.empty()) {
            continue;
        }
        // Every fourth starts with a byte order mark, which is no column.
        writeFile(path("vhod.txt"), round % 4 == 0 ? "\xEF\xBB\xBF" + text : text);
        const Utf8Survey expected = decoderSurvey(text, 3);
        utf8Throughout += expected.invalid ? 0 : 1;
        for (const std::size_t piece : {4, 9, 64, 1 << 20}) {
            SCOPED_TRACE("round " + std::to_string(round) + ", pieces of " + std::to_string(piece));
            InputFile input(path("vhod.txt"), "vhod.txt", piece);
            const Utf8Survey survey = surveyUtf8(input, m_control, 3);
            EXPECT_EQ(survey.multiByte, expected.multiByte);
            ASSERT_EQ(survey.invalid.has_value(), expected.invalid.has_value());
            if (survey.invalid) {
                EXPECT_EQ(survey.invalid->line, expected.invalid->line);
                EXPECT_EQ(survey.invalid->column, expected.invalid->column);
            }
            EXPECT_EQ(survey.unmappableCount, expected.unmappableCount);
            ASSERT_EQ(survey.unmappable.size(), expected.unmappable.size());
            for (std::size_t i = 0; i < survey.unmappable.size(); ++i) {
                EXPECT_EQ(survey.unmappable[i].line, expected.unmappable[i].line) << i;
                EXPECT_EQ(survey.unmappable[i].column, expected.unmappable[i].column) << i;
                EXPECT_EQ(survey.unmappable[i].codePoint, expected.unmappable[i].codePoint) << i;
            }
        }
    }
    // Both kinds of text were met often.
    EXPECT_GT(utf8Throughout, 60);
    EXPECT_LT(utf8Throughout, 240);
}

TEST_F(InputFileTest, ProgressCountsBothReadingsAndNeverFallsBack) {
    // A UTF-8 file is read through twice; a Windows-1250 file only until its
    // first letter above ASCII shows it is not UTF-8.
    const std::string utf8 = "Nekoč je živel mlad kovač.\n";
    std::string longUtf8;
    for (int i = 0; i < 50; ++i) {
        longUtf8 += utf8;
    }
    const std::string inputs[] = {longUtf8, cp1250::fromUtf8(longUtf8)};
    for (const std::string& bytes : inputs) {
        writeFile(path("vhod.txt"), bytes);
        std::vector<int> seen;
        ConvertJob job;
        job.pieceSize = 64;
        job.beforeRead = [&](std::uint64_t) { seen.push_back(m_control.percent()); };
        ASSERT_EQ(run(job), ConvertFileOutcome::Finished);
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        EXPECT_GT(seen.size(), 20u);
        EXPECT_GT(seen[seen.size() / 2], 0);
        EXPECT_EQ(m_control.percent(), 100);
    }
}

TEST_F(InputFileTest, AFileChangedWhileReadEndsAWholeDocumentOfWhatWasRead) {
    std::string text;
    while (text.size() < (3u << 20)) {
        text += cp1250::fromUtf8("Čez 12 let je prišel domov.\r\n");
    }
    constexpr std::uint64_t kPiece = 1u << 16;
    constexpr std::uint64_t kAt = 1u << 20;  // where the file is changed
    const struct {
        const char* what;
        std::function<void(const std::string& file)> change;
        std::uint64_t read;  // bytes taken into the document
    } cases[] = {
        {"cut short", [](const std::string& file) { fs::resize_file(file, 1000); }, kAt},
        {"grown", [](const std::string& file) { fs::resize_file(file, (4u << 20)); }, kAt + kPiece},
        {"replaced under its name",
         [](const std::string& file) {
             writeFile(file + ".new", "drugo");
             fs::rename(file + ".new", file);
         },
         kAt + kPiece},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(path("vhod.txt"), text);
        ConvertJob job;
        job.pieceSize = kPiece;
        job.beforeRead = [&](std::uint64_t position) {
            if (position == kAt) {
                c.change(path("vhod.txt"));
            }
        };
        EXPECT_EQ(run(job), ConvertFileOutcome::Changed);
        EXPECT_EQ(output(), documentOf(text.substr(0, c.read)));
    }

    // A UTF-8 file cut while it is first read through: nothing is written.
    writeFile(path("vhod.txt"), cp1250::toUtf8(text));
    ConvertJob job;
    job.pieceSize = kPiece;
    job.beforeRead = [&](std::uint64_t position) {
        if (position == kAt) {
            fs::resize_file(path("vhod.txt"), 1000);
        }
    };
    fs::remove(path("izhod.rtf"));
    EXPECT_EQ(run(job), ConvertFileOutcome::ChangedBeforeWriting);
    EXPECT_FALSE(fs::exists(path("izhod.rtf")));

    EXPECT_EQ(inputChangedMessage("a.txt"), "Datoteka \x84"
                                            "a.txt\x93 se je med pretvorbo spremenila.");
}

TEST_F(InputFileTest, SystemErrorsAreToldInSlovenian) {
    writeFile(path("vhod.txt"), "abc");
    writeFile(path("prazna.txt"), "");
    ASSERT_EQ(::mkfifo(path("cev").c_str(), 0600), 0);
    const struct {
        const char* what;
        std::string in;
        std::string out;
        ConvertError::Kind kind;
        std::string reason;
    } cases[] = {
        {"missing input", path("ni.txt"), path("a.rtf"), ConvertError::Kind::OpenInput,
         "Datoteka ali mapa ne obstaja."},
        {"a folder as input", m_dir.string(), path("a.rtf"), ConvertError::Kind::OpenInput,
         "To je mapa, ne datoteka."},
        {"a named pipe as input", path("cev"), path("a.rtf"), ConvertError::Kind::OpenInput,
         "To ni navadna datoteka, temve\xE8 cev ali naprava."},
        {"a path through a file", path("vhod.txt") + "/a.txt", path("a.rtf"), ConvertError::Kind::OpenInput,
         "Del poti ni mapa."},
        {"missing output folder", path("vhod.txt"), path("ni/a.rtf"), ConvertError::Kind::OpenOutput,
         "Datoteka ali mapa ne obstaja."},
        {"a full disk", path("vhod.txt"), "/dev/full", ConvertError::Kind::Write, "Na disku ni dovolj prostora."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            convertFile({c.in, c.out, {}}, m_control, {});
            ADD_FAILURE() << "no error";
        } catch (const ConvertError& e) {
            EXPECT_EQ(e.kind(), c.kind);
            EXPECT_TRUE(std::string(e.what()).ends_with("!\r" + c.reason)) << e.what();
        }
    }
    // The ones a test cannot cause here, and one left to the system.
    EXPECT_EQ(systemErrorText(EACCES), "Za to ni dovoljenja.");
    EXPECT_EQ(systemErrorText(EROFS), "Datote\xE8ni sistem je samo za branje.");
    EXPECT_EQ(systemErrorText(EXDEV), std::string(std::strerror(EXDEV)) + ".");
}

}  // namespace
