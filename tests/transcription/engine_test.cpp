#include "core/transcription/engine.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "core/transcription/cp1250.h"
#include "enginetestsupport.h"

namespace {

using Changes = std::initializer_list<std::pair<int, bool>>;

std::string transcribeUtf8(const char* utf8, TConvertData settings, bool raw = false) {
    return hex(LatinToTengwar(cp1250::fromUtf8(utf8), raw, settings, true));
}

// The working text after each pass that ran, in UTF-8.
std::map<int, std::string> passes(const char* utf8, TConvertData settings) {
    std::map<int, std::string> seen;
    LatinToTengwar(cp1250::fromUtf8(utf8), false, settings, true, [&seen](int pass, std::string_view text) {
        seen[pass] = cp1250::toUtf8(std::string(text));
    });
    return seen;
}

TEST(LatinToTengwar, WorkedExamples) {
    const bool off = false;
    const struct {
        const char* input;
        Changes changes;
        const char* codes;
    } cases[] = {
        {"th", {}, "33"},
        {"tH", {}, "31 39"},
        {"ta", {}, "31 25"},
        {"ta", {{flag::VowelsQuenya, off}}, "31 60 42"},
        {"at", {}, "60 42 31"},
        {"at", {{flag::VowelsQuenya, off}}, "31 25"},
        {"aa", {}, "7E 42"},
        {"ce", {}, "31 5E 3D"},
        {"ttt", {}, "31 53 31"},
        {"tatta", {}, "31 25 31 53 25"},
        {"atta", {{flag::VowelsQuenya, off}}, "31 53 25 60 42"},
        {"att", {{flag::VowelsQuenya, off}}, "31 53 25"},
        {"naaa", {}, "35 47 7E 42"},
        {"naaa", {{flag::VowelsQuenya, off}}, "35 7E 42 60 42"},
        {"ss", {}, "2A 49"},
        {"ss", {{flag::Ss, off}}, "2A 53"},
        {"ü", {}, "60 5B"},
        {"o u", {}, "60 3E 20 60 3F"},
        {"o u", {{flag::OuQuenya, off}}, "60 3F 20 60 3E"},
        {"kasa", {}, "7A 25 2A 42"},
        {"kasa", {{flag::SBeforeVowel, true}}, "7A 25 38 47"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(transcribeUtf8(c.input, switches(c.changes)), c.codes) << c.input;
    }
    EXPECT_EQ(transcribeUtf8("mama", switches(), true), "74 25 74 25");
}

// Each trace lists the working text after the passes that change it; a pass
// that runs without a listed text leaves the text as it was.
TEST(LatinToTengwar, TracesAfterEveryPass) {
    const struct {
        const char* input;
        Changes changes;
        std::vector<int> passesRun;
        std::map<int, const char*> changed;
        const char* codes;
    } traces[] = {
        {"namarie",
         {},
         {1, 2, 3, 4, 7, 8, 9, 10, 11},
         {{1, "namarie"}, {3, "namariîe"}, {9, "nAmAriîÉ"}},
         "35 47 74 47 37 26 60 4E"},
        {"atta",
         {{flag::VowelsQuenya, false}},
         {1, 2, 3, 4, 5, 7, 8, 9, 10, 11},
         {{1, "atta"}, {3, "attîa"}, {4, "at~îa"}, {5, "t~aîa"}, {9, "t~aîÁ"}, {10, "t›aîÁ"}},
         "31 53 25 60 42"},
    };
    for (const auto& t : traces) {
        const auto seen = passes(t.input, switches(t.changes));
        std::vector<int> run;
        std::string expected;
        for (const auto& [pass, text] : seen) {
            run.push_back(pass);
            if (pass == 11) {
                EXPECT_EQ(hex(cp1250::fromUtf8(text)), t.codes) << t.input;
                continue;
            }
            if (const auto it = t.changed.find(pass); it != t.changed.end()) {
                expected = it->second;
            }
            EXPECT_EQ(text, expected) << t.input << " after pass " << pass;
        }
        EXPECT_EQ(run, t.passesRun) << t.input;
    }
}

// Pass 1 on its own: the rules, their switches, the escapes and their order.
TEST(LatinToTengwar, FoldingRules) {
    const bool on = true;
    const bool off = false;
    const struct {
        const char* input;
        Changes changes;
        const char* folded;
    } cases[] = {
        {"ss", {{flag::Ss, off}}, "ss"},
        {"sss", {}, "sSs"},
        {"ßa", {{flag::Ss, off}}, "sSa"},
        {"zz", {}, "zZ"},
        {"zz", {{flag::Zz, off}}, "zz"},
        {"tsksnjngnk", {{flag::Ts, on}, {flag::Ks, on}}, "cxNNN"},
        {"tsksnjngnk", {{flag::Nj, off}, {flag::Ng, off}, {flag::Nk, off}}, "tsksnjngnk"},
        {"thdhrdrhshzhps", {{flag::Rh, on}, {flag::Sh, on}, {flag::Zh, on}, {flag::Ps, on}}, "TDŕRšžç"},
        {"thdhrdrh", {{flag::Th, off}, {flag::Dh, off}, {flag::Rd, off}}, "thdhrdrh"},
        {"ldlhljdždzgh", {{flag::Ld, on}, {flag::Lh, on}}, "LLLđCG"},
        {"dždz", {{flag::DzCaron, off}}, "džC"},
        {"ldlhlj", {}, "ldlhL"},
        // escapes: a capital second letter (or K, P first) keeps the pair apart
        {"KsnJnKtHdHrHsHzHPslHlJdŽgH",
         {{flag::Ks, on}, {flag::Rh, on}, {flag::Sh, on}, {flag::Zh, on}, {flag::Ps, on}, {flag::Lh, on}},
         "ksnjnkthdhrhshzhpslhljdžgh"},
        {"HJKPŽ K", {}, "hjkpž k"},
        {"t_h n_g", {}, "th ng"},
        {"áéíóú", {}, "ÎaÎeÎiÎoÎu"},
        {"AEIOU", {}, "îaîeîiîoîu"},
        {"ńŃëËĚ", {}, "NNeeě"},
        {"ee e.", {{flag::FinalSilentE, on}}, "eě e."},
        {"e", {{flag::FinalSilentE, on}}, "ě"},
        {"śŚźŹ", {}, "śŚźŹ"},
        {"śŚźŹ", {{flag::AccentedSToPlain, on}}, "sSzZ"},
        {"ÎîBFQVXÁÉÍÓÚČŠĐŔÜ19,;!?\t\r\n~", {}, "Îî"},
        {"üb", {}, "Yb"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(passes(c.input, switches(c.changes)).at(1), c.folded) << c.input;
    }
}

TEST(LatinToTengwar, DoubledVowelRunsDependOnTheScanDirection) {
    const struct {
        const char* input;
        bool quenya;
        const char* after;
    } cases[] = {
        {"aaa", true, "aÎa"}, {"aaa", false, "Îaa"}, {"aaaa", true, "ÎaÎa"}, {"aaaa", false, "ÎaÎa"},
        {"Îaa", true, "Îaa"}, {"îee", false, "îee"}, {"aa", false, "Îa"},    {"ae", true, "ae"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(passes(c.input, switches({{flag::VowelsQuenya, c.quenya}})).at(2), c.after)
            << c.input << (c.quenya ? " quenya" : " sindarin");
    }
}

TEST(LatinToTengwar, ArrangementPasses) {
    const bool on = true;
    const bool off = false;
    const struct {
        const char* input;
        Changes changes;
        int pass;
        const char* after;
    } cases[] = {
        {"tatta", {{flag::VowelsQuenya, off}}, 5, "tt~aîa"},
        {"tate", {{flag::VowelsQuenya, off}}, 5, "ttaîe"},
        {"ssa", {{flag::SBeforeVowel, on}, {flag::Ss, off}}, 6, "ś~a"},
        {"sse",
         {{flag::SBeforeVowel, on}, {flag::Ss, off}, {flag::FinalSilentE, on}, {flag::VowelsQuenya, off}},
         6,
         "ś~ě"},
        {"aas", {{flag::SBeforeVowel, on}, {flag::VowelsQuenya, off}}, 6, "Îaś"},
        {"aas", {{flag::SBeforeVowel, on}}, 6, "Îas"},
        {"ü Yü", {}, 7, "îY îYîY"},
        {"SSZZźź", {}, 8, "Ś~z~z~"},
        {"SS", {{flag::SzBeforeTilde, off}}, 9, "S~"},
        {"tafaqaA", {}, 9, "tafáqAîÁ"},
        {"tohu", {{flag::OuQuenya, off}}, 9, "tuhó"},
        {"tte", {{flag::FinalSilentE, on}}, 9, "t~ě"},
        {"ne", {{flag::FinalSilentE, on}}, 9, "nĚ"},
        {"mmrrbbkk", {}, 10, "m»r›b«k‹"},
    };
    for (const auto& c : cases) {
        const auto seen = passes(c.input, switches(c.changes));
        ASSERT_TRUE(seen.count(c.pass)) << c.input << " pass " << c.pass;
        EXPECT_EQ(seen.at(c.pass), c.after) << c.input << " pass " << c.pass;
    }
}

TEST(LatinToTengwar, MarksInsideTwoGlyphLetters) {
    const struct {
        const char* input;
        bool raw;
        const char* codes;
    } cases[] = {
        {"ca", true, "31 25 3D"},
        {"cae", true, "31 25 5E 3D"},      // an inner mark goes in too
        {"caee", true, "31 25 5E 3D 5E"},  // but only one
        {"c›a", true, "31 53 25 3D"},
        {"ca›", true, "31 25 3D 53"},  // a tilde form is no inner mark
        {"c‹~", true, "31 58 3D"},     // ~ is an inner mark without a glyph
        {"c~a", true, "31 3D 25"},     // ~ is no mark of its own
        {"Ca xe çi", true, "32 25 3D 20 7A 5E 5C 20 71 26 3D"},
        {"cca", false, "31 58 25 3D"},  // tilde and vowel over the t
        {"ca", false, "31 25 3D"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(transcribeUtf8(c.input, switches(), c.raw), c.codes) << c.input;
    }
}

TEST(LatinToTengwar, EdgeCases) {
    EXPECT_EQ(transcribeUtf8("", switches()), "");
    EXPECT_EQ(transcribeUtf8("123", switches()), "");
    EXPECT_EQ(transcribeUtf8("\t,;!", switches()), "");
    EXPECT_EQ(transcribeUtf8("üb", switches()), "60 5B 77");
    EXPECT_EQ(transcribeUtf8("rH", switches()), "37 39");
    EXPECT_EQ(transcribeUtf8("ëHJKńŃPüŽ_", switches(), true), "");
    EXPECT_EQ(transcribeUtf8("a", switches()), "60 42");
    // Letters that never take the tilde.
    TConvertData settings = switches({{flag::Ss, false}});
    settings.BrezTilde = "t";
    EXPECT_EQ(hex(LatinToTengwar("ttss", false, settings, true)), "31 31 2A 53");
}

TEST(LatinToTengwar, SourceMayBeTheResultBuffer) {
    TConvertData settings = switches();
    std::string text = "mama";
    LatinToTengwar(text, true, settings, true, text);
    EXPECT_EQ(text, "t%t%");
    text = "tatta tatta tatta";
    LatinToTengwar(text, false, settings, true, text);
    EXPECT_EQ(hex(text), "31 25 31 53 25 20 31 25 31 53 25 20 31 25 31 53 25");
}

TEST(LatinToTengwar, HugeLinesAndShortLinesAfterThem) {
    TConvertData settings = switches();
    std::string line;
    std::string expected;
    for (int i = 0; i < 400000; ++i) {
        line += "ta ";
        expected += "1% ";
    }
    EXPECT_EQ(LatinToTengwar(line, false, settings, true), expected);
    EXPECT_EQ(LatinToTengwar("ta", false, settings, true), "1%");
    EXPECT_EQ(LatinToTengwar(line, false, settings, true), expected);
}

class CountingSource : public ::testing::Test {
protected:
    void SetUp() override {
        setSettingsSource([this](TConvertData& settings) {
            ++m_loads;
            loadDefaultSettings(settings);
            settings.Flags[flag::VowelsQuenya] = false;
            settings.BrezTilde = "t";
        });
    }
    void TearDown() override { setSettingsSource(nullptr); }

    int m_loads = 0;
};

TEST_F(CountingSource, SettingsAreLoadedOnlyWhenNeeded) {
    TConvertData settings = switches();
    EXPECT_EQ(LatinToTengwar("", false, settings, false), "");
    EXPECT_EQ(LatinToTengwar("at", true, settings, false), "%1");
    EXPECT_EQ(LatinToTengwar("att", false, settings, true), "`B1S");
    EXPECT_EQ(m_loads, 0);
    EXPECT_TRUE(settings.Flags[flag::VowelsQuenya]);

    // Loaded: Sindarin vowels, and t never doubled.
    EXPECT_EQ(LatinToTengwar("att", false, settings, false), "1%1");
    EXPECT_EQ(m_loads, 1);
    EXPECT_FALSE(settings.Flags[flag::VowelsQuenya]);
    EXPECT_EQ(settings.BrezTilde, "t");
    EXPECT_EQ(LatinToTengwar("123", false, settings, false), "");
    EXPECT_EQ(m_loads, 2);
}

}  // namespace
