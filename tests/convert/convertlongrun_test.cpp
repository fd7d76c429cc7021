// A run of letters or of other text longer than the conversion holds is
// written as it comes; the document is the same as for the run taken whole,
// however the text is cut into pieces and wherever a stop falls.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/convert/convertrun.h"
#include "core/transcription/engine.h"
#include "core/transcription/settingssource.h"

namespace {

class StringSink : public ByteSink {
public:
    std::size_t write(const char* data, std::size_t size) override {
        bytes.append(data, size);
        return size;
    }
    std::string bytes;
};

std::string letterGroup(std::string_view run, TConvertData settings) {
    std::string group = "{\\f1 ";
    rtf::appendEscaped(group, LatinToTengwar(run, false, settings, true));
    return group + "}";
}

std::string latinGroup(std::string_view run) {
    std::string group = "{\\f0 ";
    rtf::appendEscaped(group, run);
    return group + "}";
}

// The document of `text` given in pieces of `piece` bytes.
std::string documentOf(const std::string& text, std::size_t piece, const ConvertSettings& settings) {
    StringSink sink;
    BufferedWriter writer(sink, "izhod.rtf");
    ConvertControl control;
    RtfDocument document(writer, settings, control);
    for (std::size_t at = 0; at < text.size(); at += piece) {
        document.add(std::string_view(text).substr(at, piece));
    }
    document.finish();
    return sink.bytes;
}

TEST(ConvertLongRun, LongRunsGiveTheDocumentOfTheWholeRun) {
    ConvertSettings settings;
    TConvertData switches;
    loadDefaultSettings(switches);
    settings.switches = switches;
    std::mt19937 random(11);
    // Letters and spaces (one run, a few megabytes) with vowels, doubles and
    // s-letters, then a megabyte of digits and signs, then a short line.
    const std::string alphabet = "tengwar slovnkihbdzcpmfjuo\x9A\xE8\x9E";
    std::string letters;
    while (letters.size() < (std::size_t{3} << 20) + 17) {
        letters += alphabet[random() % alphabet.size()];
    }
    std::string latin;
    while (latin.size() < (std::size_t{1} << 20) + 5) {
        latin += "12,{3}\\4.5;!"[random() % 12];
    }
    const std::string text = letters + latin + "\r\nkonec";
    const std::string expected = std::string(rtf::header()) + letterGroup(letters, switches) + latinGroup(latin) +
                                 std::string(rtf::kLineBreak) + letterGroup("konec", switches) +
                                 std::string(rtf::kClosing);
    for (const std::size_t piece : {std::size_t{1} << 20, std::size_t{65537}, std::size_t{3} << 20}) {
        SCOPED_TRACE(piece);
        EXPECT_TRUE(documentOf(text, piece, settings) == expected);
    }

    // Lowered capitals go through the same way.
    settings.lowerCase = true;
    std::string upper = letters;
    for (char& c : upper) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    EXPECT_TRUE(documentOf(upper + "\n", std::size_t{1} << 20, settings) ==
                std::string(rtf::header()) + letterGroup(letters, switches) + std::string(rtf::kLineBreak) +
                    std::string(rtf::kClosing));
}

// A stop inside a long run still closes its group and the document.
TEST(ConvertLongRun, AStopInsideALongRunClosesTheDocument) {
    ConvertSettings settings;
    TConvertData switches;
    loadDefaultSettings(switches);
    settings.switches = switches;
    StringSink sink;
    BufferedWriter writer(sink, "izhod.rtf");
    ConvertControl control;
    RtfDocument document(writer, settings, control);
    const std::string piece(std::size_t{1} << 20, 't');
    document.add(piece);
    document.add(piece);
    control.requestStop();
    EXPECT_FALSE(document.add(piece));
    document.finish();
    EXPECT_TRUE(document.stopped());
    EXPECT_TRUE(sink.bytes.starts_with(std::string(rtf::header()) + "{\\f1 "));
    EXPECT_TRUE(sink.bytes.ends_with("}" + std::string(rtf::kClosing)));
}

}  // namespace
