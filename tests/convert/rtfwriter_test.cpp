#include "core/convert/rtfwriter.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <algorithm>
#include <optional>

#include <string>
#include <vector>

#include "core/convert/convertrun.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/engine.h"
#include "core/transcription/settingssource.h"

namespace {

// The header as a reader sees it: 13 lines, the first declaring code page 1250.
const std::string kHeader =
    "{\\rtf1\\ansi\\ansicpg1250 \\deff0\\deflang1024\r\n\r\n{\\fonttbl\r\n{\\f0\\froman Times New Roman;}\r\n"
    "{\\f1\\fnil Tengwar Quenya;}\r\n}\r\n\r\n{\\colortbl;\r\n\\red0\\green0\\blue0;\r\n"
    "\\red255\\green255\\blue255;\r\n}\r\n\r\n\r\n";
const std::string P = "\\par\r\n";

std::string cp(const char* utf8) {
    return cp1250::fromUtf8(utf8);
}

// A letter group: the engine's own transcription under the default switches
// (the engine has its own tests); none of these contain a character to escape.
std::string L(const char* utf8) {
    TConvertData settings;
    loadDefaultSettings(settings);
    const std::string codes = LatinToTengwar(cp(utf8), false, settings, true);
    EXPECT_EQ(codes.find_first_of("\\{}"), std::string::npos) << utf8;
    return "{\\f1 " + codes + "}";
}

// A Latin group, written out already escaped (Windows-1250 letters as \'hh).
std::string A(const char* utf8escaped) {
    return "{\\f0 " + cp(utf8escaped) + "}";
}

class RecordingSink : public ByteSink {
public:
    std::size_t write(const char* data, std::size_t size) override {
        bytes.append(data, size);
        sizes.push_back(size);
        if (onWrite) {
            onWrite();
        }
        return size;
    }
    std::string bytes;
    std::vector<std::size_t> sizes;
    std::function<void()> onWrite;
};

std::string convert(const std::string& input, bool lowerCase = false,
                    std::vector<std::size_t>* sizes = nullptr) {
    RecordingSink sink;
    BufferedWriter writer(sink, "out.rtf");
    ConvertControl control;
    ConvertSettings settings;
    settings.lowerCase = lowerCase;
    EXPECT_EQ(writeRtfDocument(input, writer, settings, control), ConvertOutcome::Finished);
    EXPECT_EQ(control.scanned.load(), input.size());
    EXPECT_EQ(control.percent(), 100);
    if (sizes != nullptr) {
        *sizes = sink.sizes;
    }
    return sink.bytes;
}

TEST(RtfDocument, RunsLineBreaksAndEscaping) {
    const struct {
        const char* input;  // UTF-8, converted to Windows-1250
        bool lowerCase;
        std::string body;
    } cases[] = {
        {"abc", false, L("abc")},  // no final line break: no \par
        {"abc\r\n", false, L("abc") + P},
        {"a\rb", false, L("a") + P + L("b")},
        {"a\nb", false, L("a") + P + L("b")},
        {"a\n\rb", false, L("a") + P + P + L("b")},  // LF CR is two breaks
        {"a\r\n\r\nb", false, L("a") + P + P + L("b")},
        {"\n\n", false, P + P},  // no empty groups
        {"\r", false, P},
        {"1a", false, A("1") + L("a")},  // starts with a Latin run
        {"a1b", false, L("a") + A("1") + L("b")},
        {"Dober dan, svet.", false, L("Dober dan") + A(",") + L(" svet") + A(".")},
        {"a\tb_c", false, L("a") + A("\t") + L("b_c")},
        {"Čaša šček Žeje", false, A("\\'c8") + L("aša šček ") + A("\\'8e") + L("eje")},
        // Lowered, Č Š Ž Đ join their run (the engine writes č š ž đ); Ć, which the
        // engine has no letter for, stays Latin; unlowered, they stay Latin.
        {"ŠŠ", true, L("šš")},
        {"Žiga, Čaša in Đuro", true, L("žiga") + A(",") + L(" čaša in đuro")},
        {"Žiga, Čaša in Đuro", false, A("\\'8e") + L("iga") + A(",") + L(" ") + A("\\'c8") + L("aša in ") + A("\\'d0") + L("uro")},
        {"Ćevap 1Š", true, A("\\'c6") + L("evap ") + A("1") + L("š")},
        {"a\\b{c}", false, L("a") + A("\\\\") + L("b") + A("\\{") + L("c") + A("\\}")},
        {"5 ÄÔ\x01", false, A("5") + L(" ") + A("\\'c4\\'d4\x01")},
        {"ABC Ána", false, L("ABC Ána")},  // capitals reach the engine unchanged
        {"ABC Ána", true, L("abc ána")},
        {"ÉŃÓÚŚŹ", true, L("éńóúśź")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(convert(cp(c.input), c.lowerCase), kHeader + c.body + "}") << c.input;
    }
}

TEST(RtfDocument, EscapesTranscriptions) {
    // "x" is written with a backslash code; whatever the engine gives, every
    // backslash and brace of it is escaped.
    TConvertData settings;
    loadDefaultSettings(settings);
    const std::string codes = LatinToTengwar("x", false, settings, true);
    ASSERT_NE(codes.find('\\'), std::string::npos);
    std::string escaped;
    for (char c : codes) {
        if (c == '\\' || c == '{' || c == '}') {
            escaped += '\\';
        }
        escaped += c;
    }
    EXPECT_EQ(convert("x"), kHeader + "{\\f1 " + escaped + "}}");
    EXPECT_EQ(rtf::EscapeRtf("}{\\\xE8\x7F"), "\\}\\{\\\\\\'e8\x7F");
    // Every byte at every place of a longer text, beside its neighbours.
    const auto escapedByte = [](unsigned char c) {
        static constexpr char kHex[] = "0123456789abcdef";
        if (c == '\\' || c == '{' || c == '}') {
            return std::string{'\\', static_cast<char>(c)};
        }
        if (c >= 0x80) {
            return std::string{'\\', '\'', kHex[c >> 4], kHex[c & 0xF]};
        }
        return std::string(1, static_cast<char>(c));
    };
    for (int byte = 0; byte < 256; ++byte) {
        for (std::size_t at = 0; at < 17; ++at) {
            std::string text(19, '|');  // '|' lies one below '}'
            text[at] = static_cast<char>(byte);
            std::string expected;
            for (const char c : text) {
                expected += escapedByte(static_cast<unsigned char>(c));
            }
            ASSERT_EQ(rtf::EscapeRtf(text), expected) << "byte " << byte << " at " << at;
        }
    }
}

TEST(RtfDocument, BuffersAt65536Bytes) {
    const std::size_t header = kHeader.size();
    const struct {
        std::size_t digits;               // one Latin run
        std::vector<std::size_t> writes;  // what the sink is given, in order
    } cases[] = {
        {10, {header + 16 + 1}},
        {65529, {header, 65536}},     // the group (65,535) does not fit after the header
        {65530, {header, 65536, 1}},  // the group fills the buffer exactly
        {65531, {header, 65537, 1}},  // larger than the buffer: written straight through
        {300000, {header, 300006, 1}},
    };
    for (const auto& c : cases) {
        std::vector<std::size_t> sizes;
        const std::string out = convert(std::string(c.digits, '7'), false, &sizes);
        EXPECT_EQ(sizes, c.writes) << c.digits;
        EXPECT_EQ(out, kHeader + "{\\f0 " + std::string(c.digits, '7') + "}}") << c.digits;
    }
}

TEST(RtfDocument, ReadsStoredSwitchesOnceAtTheFirstLetterRun) {
    int reads = 0;
    setSettingsSource([&reads](TConvertData& settings) {
        ++reads;
        loadDefaultSettings(settings);
        settings.Flags[flag::VowelsQuenya] = reads == 1;  // a later read would change the result
    });
    const struct {
        const char* input;
        int reads;
    } cases[] = {{"123\n\n,.", 0}, {"1\nat 2 at\nat", 1}};
    for (const auto& c : cases) {
        reads = 0;
        const std::string out = convert(c.input);
        EXPECT_EQ(reads, c.reads) << c.input;
        if (c.reads > 0) {
            TConvertData quenya;
            loadDefaultSettings(quenya);
            quenya.Flags[flag::VowelsQuenya] = true;
            const auto group = [&quenya](const char* run) {
                return "{\\f1 " + LatinToTengwar(run, false, quenya, true) + "}";
            };
            EXPECT_EQ(out,
                      kHeader + A("1") + P + group("at ") + A("2") + group(" at") + P + group("at") + "}");
        }
    }
    setSettingsSource({});
}

// Binds the calling thread to the first core it may use, for a while: a
// conversion then starts no worker.
class OnOneCore {
public:
    OnOneCore() {
        CPU_ZERO(&m_saved);
        sched_getaffinity(0, sizeof m_saved, &m_saved);
        cpu_set_t one;
        CPU_ZERO(&one);
        for (int core = 0; core < CPU_SETSIZE; ++core) {
            if (CPU_ISSET(core, &m_saved)) {
                CPU_SET(core, &one);
                break;
            }
        }
        EXPECT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    }
    OnOneCore(const OnOneCore&) = delete;
    OnOneCore& operator=(const OnOneCore&) = delete;
    ~OnOneCore() { sched_setaffinity(0, sizeof m_saved, &m_saved); }

private:
    cpu_set_t m_saved;
};

TEST(RtfDocument, ALongTextIsTheSameAsItsLinesOneByOne) {
    // A text of many batches is transcribed on several threads; a line on its
    // own fits one batch and is made where it is asked for. Lines do not
    // depend on one another, so the long document is the header, each line's
    // groups in order, and the closing brace.
    const char* const lines[] = {"Nekoč je živel mlad kovač, {12} čez goro\\dolino.\r\n",
                                 "Ai! laurië lantar lassi súrinen,\n", "\n", "ŽIGA in Đuro: 1954\r",
                                 "tengwar ostrel\r\n"};
    for (const bool lowerCase : {false, true}) {
        std::string text;
        std::string body;
        for (int i = 0; text.size() < 1500000; ++i) {
            const std::string line = cp(lines[static_cast<std::size_t>(i) % std::size(lines)]);
            text += line;
            const std::string alone = convert(line, lowerCase);
            body += alone.substr(kHeader.size(), alone.size() - kHeader.size() - 1);
        }
        const std::string expected = kHeader + body + "}";
        for (const bool oneCore : {false, true}) {
            std::optional<OnOneCore> bound;
            if (oneCore) {
                bound.emplace();
            }
            const std::string document = convert(text, lowerCase);
            const auto differ = std::mismatch(document.begin(), document.end(), expected.begin(), expected.end());
            const auto at = static_cast<std::size_t>(differ.first - document.begin());
            EXPECT_EQ(document.size(), expected.size()) << lowerCase << oneCore;
            EXPECT_EQ(document.substr(at, 60), expected.substr(at, 60)) << lowerCase << oneCore << " at " << at;
        }
    }
}

TEST(RtfDocument, StopLeavesAWellFormedShorterDocument) {
    // Long enough that groups are written while the text is still read (the
    // runs of a few batches are transcribed ahead of the writing).
    std::string input;
    while (input.size() < 4000000) {
        input += cp("Vrba, 12 češenj\r\n");
    }
    const std::string full = convert(input);
    for (const bool atStart : {true, false}) {
        RecordingSink sink;
        BufferedWriter writer(sink, "out.rtf");
        ConvertControl control;
        if (atStart) {
            control.requestStop();
        } else {
            sink.onWrite = [&control] { control.requestStop(); };  // at the first full buffer
        }
        EXPECT_EQ(writeRtfDocument(input, writer, {}, control), ConvertOutcome::Stopped);
        const std::string& out = sink.bytes;
        ASSERT_LT(out.size(), full.size());
        EXPECT_EQ(out.back(), '}');
        EXPECT_EQ(full.substr(0, out.size() - 1), out.substr(0, out.size() - 1));
        EXPECT_TRUE(out.ends_with("}}") || out.ends_with(P + "}") || out == kHeader + "}") << out.size();
        EXPECT_LT(control.scanned.load(), input.size());
        EXPECT_EQ(out == kHeader + "}", atStart);
    }
}

TEST(RtfDocument, ShortWriteIsReportedWithTheOutputName) {
    class FailingSink : public ByteSink {
    public:
        std::size_t write(const char*, std::size_t size) override { return size / 2; }
    } sink;
    BufferedWriter writer(sink, "izhod.rtf");
    ConvertControl control;
    try {
        writeRtfDocument("abc", writer, {}, control);
        FAIL() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.kind(), ConvertError::Kind::Write);
        EXPECT_STREQ(e.what(), "Napaka pri pisanju v datoteko \"izhod.rtf\"!");
    }
}

}  // namespace
