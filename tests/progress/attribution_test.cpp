#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/progress/attribution.h"

using progress::attributeAnswer;
using progress::LetterOutcome;

namespace {

struct Case {
    const char* name;
    std::string letters;
    std::vector<std::string> readings;
    std::string typed;
    std::vector<LetterOutcome> expected;
};

LetterOutcome right(char letter, const char* typed) {
    return {static_cast<unsigned char>(letter), true, typed};
}
LetterOutcome wrong(char letter, const char* typed) {
    return {static_cast<unsigned char>(letter), false, typed};
}

class AttributionTest : public ::testing::TestWithParam<Case> {};

TEST_P(AttributionTest, GivesEveryTypedCharacterToOneLetter) {
    const Case& c = GetParam();
    EXPECT_EQ(attributeAnswer(c.letters, c.readings, c.typed), c.expected);
}

// \xE1 is "á" (read "aa"), \xFA "ú" (read "uu").
INSTANTIATE_TEST_SUITE_P(
    Answers, AttributionTest,
    ::testing::Values(
        Case{"RightAnswer", "ba", {"b", "a"}, "ba", {right('b', "b"), right('a', "a")}},
        Case{"OneLetterWrong", "ba", {"b", "a"}, "da", {wrong('b', "d"), right('a', "a")}},
        Case{"LetterLeftOut",
             "bak",
             {"b", "a", "k"},
             "bk",
             {right('b', "b"), wrong('a', ""), right('k', "k")}},
        Case{
            "ExtraLetterGoesToTheLetterBefore", "ba", {"b", "a"}, "bxa", {wrong('b', "bx"), right('a', "a")}},
        Case{"RepeatedLetterAtTheEnd", "ba", {"b", "a"}, "baaa", {right('b', "b"), wrong('a', "aaa")}},
        Case{"ExtraLetterInFront", "ba", {"b", "a"}, "xba", {wrong('b', "xb"), right('a', "a")}},
        Case{"MultiCharacterReadingHalfTyped",
             "\xE1"
             "b",
             {"aa", "b"},
             "ab",
             {wrong('\xE1', "a"), right('b', "b")}},
        Case{"MultiCharacterReadingsRight",
             "T\xFA",
             {"T", "uu"},
             "Tuu",
             {right('T', "T"), right('\xFA', "uu")}},
        Case{"CaseCounts", "T\xFA", {"T", "uu"}, "tuu", {wrong('T', "t"), right('\xFA', "uu")}},
        Case{"EmptyReadingRight",
             "n_g",
             {"n", "", "g"},
             "ng",
             {right('n', "n"), right('_', ""), right('g', "g")}},
        Case{"EmptyReadingTakesWhatIsTypedInItsPlace",
             "n_g",
             {"n", "", "g"},
             "nxg",
             {right('n', "n"), wrong('_', "x"), right('g', "g")}},
        Case{"AllReadingsEmpty", "__", {"", ""}, "x", {wrong('_', "x"), right('_', "")}},
        Case{"WhollyWrong", "ba", {"b", "a"}, "xyz", {wrong('b', "x"), wrong('a', "yz")}},
        Case{"NothingTyped", "ba", {"b", "a"}, "", {wrong('b', ""), wrong('a', "")}},
        Case{"NoLetters", "", {}, "x", {}}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(AttributionTest, ReadingsComeFromTheRules) {
    ReadBackRules rules{};
    rules[static_cast<unsigned char>('\xE1')] = "aa";
    rules['b'] = "b";
    EXPECT_EQ(progress::readingsOf("\xE1"
                                   "b_",
                                   rules),
              (std::vector<std::string>{"aa", "b", ""}));
}

}  // namespace
