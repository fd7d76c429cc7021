#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "core/transcription/engine.h"
#include "core/transcription/enginestream.h"
#include "enginetestsupport.h"
#include "referenceglyphs.h"

namespace {

// Letters to font codes written out afresh: a mark after a letter goes behind
// its glyph, or between the two glyphs of c C ç x together with one inner
// mark after it.
std::string referenceFontCodes(const std::string& w) {
    static const auto glyphs = referenceGlyphs();
    static const std::string marks = cp1250::fromUtf8("AEIOUaeiou‹›«»ÁÉĚÍÓÚáéěíóú");
    static const std::string innerMarks = cp1250::fromUtf8("AEIOUaeiou~ÁÉĚÍÓÚáéěíóú");
    auto isIn = [](const std::string& set, char c) { return c != '\0' && set.find(c) != std::string::npos; };
    auto glyphOf = [](char c) { return glyphs[static_cast<unsigned char>(c)]; };
    std::string out;
    std::size_t i = 0;
    while (i < w.size()) {
        const std::string letter = glyphOf(w[i]);
        if (i + 1 >= w.size() || !isIn(marks, w[i + 1])) {
            out += letter;
            ++i;
            continue;
        }
        std::string over = glyphOf(w[i + 1]);
        i += 2;
        if (letter.size() == 2 && i < w.size() && isIn(innerMarks, w[i])) {
            over += glyphOf(w[i]);
            ++i;
        }
        out += letter.size() == 2 ? letter.substr(0, 1) + over + letter.substr(1) : letter + over;
    }
    return out;
}

class RandomLines {
public:
    explicit RandomLines(unsigned seed) : m_random(seed) {}

    // Any byte, or, more often, the letters that the rules are about.
    std::string line() {
        static const std::string letters = cp1250::fromUtf8(
            "aáAbcCčdđDeéEěĚęëËfgGhHiíIjJkKlLmMnNńŃoóOpPçqrŕRsśSŚštTuúUüůvwWxyYzźZŹžŽ_ .:"
            "ÎîßÁÉÍÓÚ~‹›«»ss tt nn aa ee");
        std::string text(pick(40), '\0');
        const bool anyByte = pick(4) == 0;
        for (char& c : text) {
            c = anyByte ? static_cast<char>(pick(256)) : letters[pick(letters.size())];
        }
        return text;
    }

    TConvertData settings() {
        TConvertData settings;
        for (bool& flag : settings.Flags) {
            flag = pick(2) == 1;
        }
        settings.BrezTilde = pick(3) == 0 ? cp1250::fromUtf8("tsnSŕ").substr(pick(5)) : "";
        return settings;
    }

private:
    std::size_t pick(std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(m_random);
    }

    std::mt19937 m_random;
};

bool allFontCodes(const std::string& codes) {
    for (const char c : codes) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) {
            return false;
        }
    }
    return true;
}

TEST(LatinToTengwarProperty, RandomLinesUnderRandomSwitches) {
    const auto glyphs = referenceGlyphs();
    for (unsigned seed = 1; seed <= 3000; ++seed) {
        RandomLines random(seed);
        const std::string source = random.line();
        TConvertData settings = random.settings();
        const TConvertData before = settings;
        SCOPED_TRACE("seed " + std::to_string(seed) + ", source " + hex(source));

        const std::string raw = LatinToTengwar(source, true, settings, true);
        EXPECT_EQ(raw, referenceFontCodes(source));

        std::map<int, std::string> seen;
        const std::string traced =
            LatinToTengwar(source, false, settings, true,
                           [&seen](int pass, std::string_view text) { seen[pass] = std::string(text); });
        const std::string plain = LatinToTengwar(source, false, settings, true);
        EXPECT_EQ(plain, traced);
        EXPECT_TRUE(allFontCodes(plain)) << hex(plain);
        EXPECT_EQ(settings.Flags, before.Flags);
        if (source.empty()) {
            EXPECT_TRUE(seen.empty());
            continue;
        }
        // After the arrangement every letter has a glyph, and the codes are
        // exactly those of the letters with their marks placed.
        const std::string& arranged = seen.at(10);
        for (const char letter : arranged) {
            EXPECT_FALSE(glyphs[static_cast<unsigned char>(letter)].empty()) << hex(arranged);
        }
        EXPECT_EQ(plain, referenceFontCodes(arranged));
        EXPECT_EQ(seen.at(11), plain);
    }
}

// A long line is transcribed in pieces cut after spaces; the pieces must join
// into exactly what the passes one by one make of the whole line.
TEST(LatinToTengwarProperty, LongLinesUnderRandomSwitches) {
    for (unsigned seed = 1; seed <= 8; ++seed) {
        RandomLines random(seed);
        std::string source;
        while (source.size() < 100000) {
            source += random.line();
        }
        TConvertData settings = random.settings();
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::string byPasses =
            LatinToTengwar(source, false, settings, true, [](int, std::string_view) {});
        const std::string plain = LatinToTengwar(source, false, settings, true);
        const auto differ = std::mismatch(plain.begin(), plain.end(), byPasses.begin(), byPasses.end());
        EXPECT_TRUE(differ.first == plain.end() && differ.second == byPasses.end())
            << "the codes differ from code " << differ.first - plain.begin();
    }
}

// A line given in parts of any size and cut into pieces wherever the stream
// finds a place must come out byte for byte as the whole line does: with and
// without spaces, in the raw form too, with the pieces made tiny so that
// every line is cut many times.
TEST(LatinToTengwarProperty, LineInPartsIsTheWholeLine) {
    std::mt19937 pick(7);
    auto upTo = [&pick](std::size_t n) { return std::uniform_int_distribution<std::size_t>(1, n)(pick); };
    for (unsigned seed = 1; seed <= 600; ++seed) {
        RandomLines random(seed);
        std::string source;
        while (source.size() < 3000) {
            source += random.line();
        }
        if (seed % 2 == 0) {
            std::erase(source, ' ');
        }
        if (seed % 3 == 0) {
            // Long repetitions of a few letters, which have no place to cut.
            for (int i = 0; i < 3; ++i) {
                const std::string unit = random.line().substr(0, upTo(8));
                std::string repeated;
                for (std::size_t n = upTo(300); n > 0; --n) {
                    repeated += unit;
                }
                source.insert(upTo(source.size()), repeated);
            }
        }
        TConvertData settings = random.settings();
        const bool raw = seed % 5 == 0;
        SCOPED_TRACE("seed " + std::to_string(seed) + (raw ? ", raw" : ""));
        const std::string whole = LatinToTengwar(source, raw, settings, true);

        std::string parts;
        LineTranscriber line(
            settings, raw, [&parts](std::string_view codes) { parts += codes; }, upTo(40));
        for (std::size_t at = 0; at < source.size();) {
            const std::size_t length = std::min(upTo(300), source.size() - at);
            line.add(std::string_view(source).substr(at, length));
            at += length;
        }
        line.finish();
        const auto differ = std::mismatch(whole.begin(), whole.end(), parts.begin(), parts.end());
        ASSERT_TRUE(differ.first == whole.end() && differ.second == parts.end())
            << "the codes differ from code " << differ.first - whole.begin();
    }
}

// Memory stays bounded for a line of any length: prose without a space is
// cut, a long repetition (a run of one vowel, "tatata", a doubled letter) is
// counted; the codes are still those of the whole line.
TEST(LatinToTengwarProperty, LongLineHoldsLittle) {
    const TConvertData quenya = switches();
    const TConvertData sindarin = switches({{flag::VowelsQuenya, false}});
    for (const TConvertData* settings : {&quenya, &sindarin}) {
        for (const char* unit : {"a", "ta", "ss", "nn", "aeiou", "tengwarkova\xE8", "Y"}) {
            SCOPED_TRACE(std::string(unit) + (settings == &quenya ? ", Quenya" : ", Sindarin"));
            // Two repetitions, the first ending well before the line does.
            std::string source = "Nekaj ";
            for (int stretch = 0; stretch < 2; ++stretch) {
                for (std::size_t start = source.size(); source.size() - start < (std::size_t{1} << 18);) {
                    source += unit;
                }
                source += " in potem nekaj besed, ki ponavljanje končajo sredi vrstice, ne na njenem koncu";
            }
            TConvertData copy = *settings;
            const std::string whole = LatinToTengwar(source, false, copy, true);
            std::string parts;
            LineTranscriber line(*settings, false, [&parts](std::string_view codes) { parts += codes; });
            for (std::size_t at = 0; at < source.size(); at += 4096) {
                line.add(std::string_view(source).substr(at, 4096));
            }
            line.finish();
            EXPECT_LE(line.mostHeld(), std::size_t{3} << 16);
            EXPECT_TRUE(parts == whole) << "the codes differ";
        }
    }
}

}  // namespace
