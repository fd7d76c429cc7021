#include "core/exercise/descriptionsparser.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/exercise/defaultdescriptions.h"
#include "core/transcription/cp1250.h"

namespace {

using Lines = std::vector<std::string>;

// Expected faults are written in UTF-8 here and compared as Windows-1250.
struct Expected {
    int code;
    const char* utf8;
};

std::vector<std::pair<int, std::string>> toPairs(const DescriptionErrors& errors) {
    std::vector<std::pair<int, std::string>> pairs;
    for (const auto& e : errors) {
        pairs.emplace_back(e.code, cp1250::toUtf8(e.message));
    }
    return pairs;
}

std::vector<std::pair<int, std::string>> toPairs(const std::vector<Expected>& expected) {
    std::vector<std::pair<int, std::string>> pairs;
    for (const auto& e : expected) {
        pairs.emplace_back(e.code, e.utf8);
    }
    return pairs;
}

Lines cp(std::initializer_list<const char*> utf8) {
    Lines lines;
    for (const char* line : utf8) {
        lines.push_back(cp1250::fromUtf8(line));
    }
    return lines;
}

std::vector<std::string> taskNames(const TaskDescriptions& d) {
    std::vector<std::string> names;
    for (const auto& t : d.tasks) {
        names.push_back(cp1250::toUtf8(t.name));
    }
    return names;
}

const Lines kTwoGroups = {"samoglasniki=aeiou", "soglasniki=bcdfg"};
constexpr std::uint64_t kSam = 1;  // group 0
constexpr std::uint64_t kSog = 2;  // group 1

TEST(ParseDescriptions, DefaultsParseIntoTwoGroupsAndFiveTasks) {
    TaskDescriptions d;
    DescriptionErrors errors;
    ASSERT_TRUE(ParseDescriptions(kDefaultLetterGroups, kDefaultTaskDescriptions, d, errors));
    EXPECT_TRUE(errors.empty());
    ASSERT_EQ(d.groupCount(), 2);
    EXPECT_EQ(d.groups[0].name, "samoglasniki");
    EXPECT_EQ(d.groups[0].letters, "aeiou");
    EXPECT_EQ(cp1250::toUtf8(d.groups[1].letters), "bcčdđDfghjklLmnNpqrŕRsSštTvwxyYzZž");
    ASSERT_EQ(d.taskCount(), 5);
    EXPECT_EQ(taskNames(d),
              (std::vector<std::string>{"Soglasniki", "Posamezne črke", "Soglasnik + samoglasnik", "Pari črk",
                                        "2 različni črki"}));
    struct Shape {
        int letters;
        std::uint64_t first, second;
        std::vector<int> conditions;
    };
    const Shape shapes[] = {
        {1, kSog, 0, {}},
        {1, kSam | kSog, 0, {}},
        {2, kSog, kSam, {}},
        {2, kSam | kSog, kSam | kSog, {}},
        {2, kSam | kSog, kSam | kSog, {2}},
    };
    for (int k = 0; k < 5; ++k) {
        const TaskDescription& t = d.tasks[static_cast<std::size_t>(k)];
        EXPECT_EQ(t.letterCount, shapes[k].letters) << k;
        EXPECT_EQ(t.positions[0], shapes[k].first) << k;
        EXPECT_EQ(t.positions[1], shapes[k].second) << k;
        EXPECT_EQ(t.positions[2], 0u) << k;
        EXPECT_EQ(t.conditions, shapes[k].conditions) << k;
    }
}

// Faults of single texts: the errors in order and the names of the tasks kept.
struct TextCase {
    const char* what;
    Lines groups;
    Lines tasks;
    std::vector<Expected> errors;
    std::vector<std::string> tasksKept;
    int groupsKept;
};

class ParseTextCase : public testing::TestWithParam<TextCase> {};

TEST_P(ParseTextCase, ReportsAndKeeps) {
    const TextCase& c = GetParam();
    TaskDescriptions d;
    DescriptionErrors errors;
    const bool ok = ParseDescriptions(c.groups, c.tasks, d, errors);
    EXPECT_EQ(toPairs(errors), toPairs(c.errors));
    EXPECT_EQ(ok, c.errors.empty());
    EXPECT_EQ(taskNames(d), c.tasksKept);
    EXPECT_EQ(d.groupCount(), c.groupsKept);
}

const TextCase kTextCases[] = {
    {"blank group line is not skipped",
     {"samoglasniki=aeiou", "   "},
     {"t=samoglasniki"},
     {{2, "skupine (2): ne najdem enačaja!"}},
     {"t"},
     1},
    {"blank task line is not skipped",
     kTwoGroups,
     {"t=soglasniki", " \t "},
     {{8, "naloge (2): ne najdem enačaja!"}},
     {"t"},
     2},
    {"comment test is on the raw first byte",
     {"samoglasniki=aeiou", " #x=abc", " #"},
     {"t= #x"},
     {{2, "skupine (3): ne najdem enačaja!"}},
     {"t"},
     2},
    {"comments and empty lines count for line numbers",
     {"#a", "$b", "'c", "/d", ";e", "", "bad"},
     {"#=x", "$=x", "'=x", "/=x", ";=x", "", "=x"},
     {{2, "skupine (7): ne najdem enačaja!"}, {9, "naloge (7): naloga nima imena!"}},
     {},
     0},
    {"group without name", {"  =abc", "a=b"}, {"t=a"}, {{3, "skupine (1): skupina nima imena!"}}, {"t"}, 1},
    {"group without letters",
     {"a=", "b= \t", "c=x"},
     {"t=c"},
     {{4, "skupine (1): skupina je prazna!"}, {4, "skupine (2): skupina je prazna!"}},
     {"t"},
     1},
    {"forbidden characters in group names",
     {"a b=x", "a+b=x", "a;b=x", "a|b=x", " ok =x"},
     {"t=ok"},
     {{6, "skupine (1): v imenu skupine („a b“) ni dovoljena črka „ “!"},
      {6, "skupine (2): v imenu skupine („a+b“) ni dovoljena črka „+“!"},
      {6, "skupine (3): v imenu skupine („a;b“) ni dovoljena črka „;“!"},
      {6, "skupine (4): v imenu skupine („a|b“) ni dovoljena črka „|“!"}},
     {"t"},
     1},
    {"first forbidden character is named",
     {"x|y z=a"},
     {"t=q"},
     {{6, "skupine (1): v imenu skupine („x|y z“) ni dovoljena črka „|“!"},
      {13, "naloge (1): ne poznam skupine črk „q“!"},
      {14, "naloge (1): 1. črka je nedefinirana!"}},
     {},
     0},
    {"repeated group names are kept",
     {"a=x", "a=y", "a=z"},
     {"t=a"},
     {{5, "skupine (2): ime „a“ se ponavlja!"},
      {5, "skupine (3): ime „a“ se ponavlja!"},
      {5, "skupine (3): ime „a“ se ponavlja!"}},
     {"t"},
     3},
    {"repeated name is reported before an empty letter list",
     {"a=x", "a="},
     {"t=a"},
     {{5, "skupine (2): ime „a“ se ponavlja!"}, {4, "skupine (2): skupina je prazna!"}},
     {"t"},
     1},
    {"task line without equals and without name",
     kTwoGroups,
     {"soglasniki", " = soglasniki"},
     {{8, "naloge (1): ne najdem enačaja!"}, {9, "naloge (2): naloga nima imena!"}},
     {},
     2},
    {"repeated task names are kept",
     kTwoGroups,
     {"t=soglasniki", "t=samoglasniki", "t & u=soglasniki"},
     {{10, "naloge (2): ime „t“ se ponavlja!"}},
     {"t", "t", "t & u"},
     2},
    {"empty letters part",
     kTwoGroups,
     {"x=", "y= ;1!2", "z=soglasniki"},
     {{11, "naloge (1): manjkajo podatki o črkah!"}, {11, "naloge (2): manjkajo podatki o črkah!"}},
     {"z"},
     2},
    {"condition beyond the letter count",
     kTwoGroups,
     {"x=soglasniki;1!2"},
     {{22, "naloge (1): število 2 v pogoju „1!2“ je izven dovoljenih meja (1..1)!"}},
     {"x"},
     2},
    {"empty alternative is looked up as an empty name",
     kTwoGroups,
     {"x=samoglasniki||soglasniki", "y=|soglasniki", "z=soglasniki|"},
     {{13, "naloge (1): ne poznam skupine črk „“!"}, {13, "naloge (2): ne poznam skupine črk „“!"}},
     {"x", "y", "z"},
     2},
    {"unknown group leaves a position undefined",
     kTwoGroups,
     {"x=samoglasniki+bla+soglasniki", "y=bla|soglasniki"},
     {{13, "naloge (1): ne poznam skupine črk „bla“!"},
      {14, "naloge (1): 2. črka je nedefinirana!"},
      {13, "naloge (2): ne poznam skupine črk „bla“!"}},
     {"y"},
     2},
    {"empty definition",
     kTwoGroups,
     {"x=samoglasniki++soglasniki", "y=+soglasniki", "z=samoglasniki+"},
     {{12, "naloge (1): manjka definicija črke!"},
      {14, "naloge (1): 2. črka je nedefinirana!"},
      {12, "naloge (2): manjka definicija črke!"},
      {14, "naloge (2): 1. črka je nedefinirana!"}},
     {"z"},
     2},
    {"rejected task reads no conditions",
     kTwoGroups,
     {"x=bla;1!1"},
     {{13, "naloge (1): ne poznam skupine črk „bla“!"}, {14, "naloge (1): 1. črka je nedefinirana!"}},
     {},
     2},
    {"empty group text",
     {},
     {"x=samoglasniki|soglasniki", "y=a"},
     {{1, "Manjkajo opisi skupin!"},
      {13, "naloge (1): ne poznam skupine črk „samoglasniki“!"},
      {13, "naloge (1): ne poznam skupine črk „soglasniki“!"},
      {14, "naloge (1): 1. črka je nedefinirana!"},
      {13, "naloge (2): ne poznam skupine črk „a“!"},
      {14, "naloge (2): 1. črka je nedefinirana!"}},
     {},
     0},
    {"empty task text", kTwoGroups, {}, {{7, "Manjkajo opisi nalog!"}}, {}, 2},
    {"comment-only texts give no error", {"# nothing"}, {"; nothing"}, {}, {}, 0},
    {"line ends in CR are trimmed",
     {"a=xy\r", "\r"},
     {"t=a\r"},
     {{2, "skupine (2): ne najdem enačaja!"}},
     {"t"},
     1},
};

INSTANTIATE_TEST_SUITE_P(Texts, ParseTextCase, testing::ValuesIn(kTextCases));

// Conditions over a task of two positions, both from "samoglasniki".
struct ConditionCase {
    const char* conditions;
    std::vector<int> stored;
    std::vector<Expected> errors;
};

class ParseConditionCase : public testing::TestWithParam<ConditionCase> {};

TEST_P(ParseConditionCase, StoresCodesAndReportsFaults) {
    const ConditionCase& c = GetParam();
    TaskDescriptions d;
    DescriptionErrors errors;
    ParseDescriptions(kTwoGroups, {std::string("x=samoglasniki+samoglasniki;") + c.conditions}, d, errors);
    EXPECT_EQ(toPairs(errors), toPairs(c.errors)) << c.conditions;
    ASSERT_EQ(d.taskCount(), 1) << c.conditions;  // faulty conditions never reject the task
    EXPECT_EQ(d.tasks[0].conditions, c.stored) << c.conditions;
}

const ConditionCase kConditionCases[] = {
    {"2!1", {11}, {}},
    {"1!!2", {-2}, {}},
    {" 1 ! 2 , 2 !! 1 ", {2, -11}, {}},
    {"1!2,,2!1", {2, 11}, {}},
    {",,", {}, {}},
    {"$1!+2", {2}, {}},
    {"1!1", {}, {{21, "naloge (1): števili v pogoju „1!1“ bi morali biti različni (obe sta 1)!"}}},
    {"1!$1", {}, {{21, "naloge (1): števili v pogoju „1!$1“ bi morali biti različni (obe sta 1)!"}}},
    {"1!", {}, {{18, "naloge (1): napaka v pogoju „1!“!"}}},
    {"!!2", {}, {{18, "naloge (1): napaka v pogoju „!!2“!"}}},
    {"1!!", {}, {{18, "naloge (1): napaka v pogoju „1!!“!"}}},
    {"12", {}, {{18, "naloge (1): napaka v pogoju „12“!"}}},
    {"1!2!3", {}, {{19, "naloge (1): „2!3“ v pogoju „1!2!3“ ni število!"}}},
    {"1!!!2", {}, {{19, "naloge (1): „!2“ v pogoju „1!!!2“ ni število!"}}},
    {"a!2", {}, {{19, "naloge (1): „a“ v pogoju „a!2“ ni število!"}}},
    {"1 2!1", {}, {{19, "naloge (1): „1 2“ v pogoju „1 2!1“ ni število!"}}},
    {"1!4294967297", {}, {{19, "naloge (1): „4294967297“ v pogoju „1!4294967297“ ni število!"}}},
    {"0!1", {}, {{22, "naloge (1): število 0 v pogoju „0!1“ je izven dovoljenih meja (1..2)!"}}},
    {"-1!1", {}, {{22, "naloge (1): število -1 v pogoju „-1!1“ je izven dovoljenih meja (1..2)!"}}},
    {"3!3", {}, {{22, "naloge (1): število 3 v pogoju „3!3“ je izven dovoljenih meja (1..2)!"}}},
    {"1!$A", {}, {{22, "naloge (1): število 10 v pogoju „1!$A“ je izven dovoljenih meja (1..2)!"}}},
    {"1!$FFFFFFFF",
     {},
     {{22, "naloge (1): število -1 v pogoju „1!$FFFFFFFF“ je izven dovoljenih meja (1..2)!"}}},
    // The first fault ends the conditions; those before it stay.
    {"2!1,x!1,1!2", {11}, {{19, "naloge (1): „x“ v pogoju „x!1“ ni število!"}}},
    {"1!!2,1!1,2!1", {-2}, {{21, "naloge (1): števili v pogoju „1!1“ bi morali biti različni (obe sta 1)!"}}},
};

INSTANTIATE_TEST_SUITE_P(Conditions, ParseConditionCase, testing::ValuesIn(kConditionCases));

std::string repeat(const std::string& item, int count, const std::string& separator) {
    std::string text;
    for (int k = 0; k < count; ++k) {
        text += (k > 0 ? separator : "") + item;
    }
    return text;
}

TEST(ParseDescriptions, LimitsAreAcceptedExactly) {
    Lines groups;
    for (int g = 0; g < 64; ++g) {
        groups.push_back("g" + std::to_string(g) + "=a");
    }
    Lines tasks;
    for (int t = 0; t < 63; ++t) {
        tasks.push_back("t" + std::to_string(t) + "=g0");
    }
    tasks.push_back("last=" + repeat("g63|g0", 10, "+") + ";" + repeat("1!10", 64, ","));
    TaskDescriptions d;
    DescriptionErrors errors;
    EXPECT_TRUE(ParseDescriptions(groups, tasks, d, errors));
    EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors[0].message);
    EXPECT_EQ(d.groupCount(), 64);
    ASSERT_EQ(d.taskCount(), 64);
    const TaskDescription& last = d.tasks[63];
    EXPECT_EQ(last.letterCount, 10);
    for (auto set : last.positions) {
        EXPECT_EQ(set, (std::uint64_t{1} << 63) | 1u);
    }
    EXPECT_EQ(last.conditions, std::vector<int>(64, 10));
}

TEST(ParseDescriptions, SixtyFifthGroupEndsTheGroupText) {
    Lines groups;
    for (int g = 0; g < 66; ++g) {
        groups.push_back("g" + std::to_string(g) + "=a");
    }
    groups.push_back("no equals here");
    TaskDescriptions d;
    DescriptionErrors errors;
    ParseDescriptions(groups, {"t=g63", "u=g64"}, d, errors);
    EXPECT_EQ(toPairs(errors), toPairs({{15, "skupine (65): določite lahko največ 64 skupin!"},
                                        {13, "naloge (2): ne poznam skupine črk „g64“!"},
                                        {14, "naloge (2): 1. črka je nedefinirana!"}}));
    EXPECT_EQ(d.groupCount(), 64);
    EXPECT_EQ(taskNames(d), std::vector<std::string>{"t"});
}

TEST(ParseDescriptions, SixtyFifthTaskEndsTheTaskText) {
    Lines tasks;
    for (int t = 0; t < 66; ++t) {
        tasks.push_back("t" + std::to_string(t) + "=soglasniki");
    }
    tasks.push_back("no equals here");
    TaskDescriptions d;
    DescriptionErrors errors;
    ParseDescriptions(kTwoGroups, tasks, d, errors);
    EXPECT_EQ(toPairs(errors), toPairs({{16, "naloge (65): določite lahko največ 64 nalog!"}}));
    EXPECT_EQ(d.taskCount(), 64);
    EXPECT_EQ(d.tasks.back().name, "t63");
}

TEST(ParseDescriptions, EleventhLetterIsReportedAndNotStored) {
    struct Case {
        std::string letters;
        std::vector<Expected> errors;
    };
    const std::string ten = repeat("soglasniki", 10, "+");
    const Case cases[] = {
        {ten + "+samoglasniki", {{17, "naloge (1): naloga ima lahko največ 10 črk!"}}},
        {ten + "+samoglasniki+bla+", {{17, "naloge (1): naloga ima lahko največ 10 črk!"}}},
        {ten + "+bla|x",
         {{13, "naloge (1): ne poznam skupine črk „bla“!"},
          {13, "naloge (1): ne poznam skupine črk „x“!"},
          {17, "naloge (1): naloga ima lahko največ 10 črk!"}}},
        {ten + "++samoglasniki",
         {{12, "naloge (1): manjka definicija črke!"}, {17, "naloge (1): naloga ima lahko največ 10 črk!"}}},
        {ten + "+", {}},
    };
    for (const Case& c : cases) {
        TaskDescriptions d;
        DescriptionErrors errors;
        // The conditions are still read after the letters were cut short.
        ParseDescriptions(kTwoGroups, {"x=" + c.letters + ";1!10,10!!1"}, d, errors);
        EXPECT_EQ(toPairs(errors), toPairs(c.errors)) << c.letters;
        ASSERT_EQ(d.taskCount(), 1) << c.letters;
        EXPECT_EQ(d.tasks[0].letterCount, 10);
        for (auto set : d.tasks[0].positions) {
            EXPECT_EQ(set, kSog) << c.letters;
        }
        EXPECT_EQ(d.tasks[0].conditions, (std::vector<int>{10, -91})) << c.letters;
    }
}

TEST(ParseDescriptions, SixtyFifthConditionIsReportedAndNotStored) {
    TaskDescriptions d;
    DescriptionErrors errors;
    ParseDescriptions(kTwoGroups, {"x=soglasniki+soglasniki;" + repeat("1!2", 64, ",") + ",2!!1,2!1"}, d,
                      errors);
    EXPECT_EQ(toPairs(errors), toPairs({{20, "naloge (1): naloga ima lahko največ 64 pogojev!"}}));
    ASSERT_EQ(d.taskCount(), 1);
    EXPECT_EQ(d.tasks[0].conditions, std::vector<int>(64, 2));
}

TEST(ParseDescriptions, RepeatedGroupNameResolvesToTheFirst) {
    TaskDescriptions d;
    DescriptionErrors errors;
    ParseDescriptions({"x=abc", "a=def", "a=ghi"}, {"t=a"}, d, errors);
    ASSERT_EQ(d.taskCount(), 1);
    EXPECT_EQ(d.tasks[0].positions[0], std::uint64_t{1} << 1);
}

TEST(ParseDescriptions, QuotesAreWindows1250Bytes) {
    TaskDescriptions d;
    DescriptionErrors errors;
    ParseDescriptions(kTwoGroups, {"t=bla"}, d, errors);
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors[0].message,
              "naloge (1): ne poznam skupine \xE8rk \x84"
              "bla\x93!");
}

TEST(ParseDescriptions, EachParseStartsAfresh) {
    TaskDescriptions d;
    DescriptionErrors errors;
    ParseDescriptions(kTwoGroups, {"a=soglasniki", "b=bla"}, d, errors);
    ASSERT_EQ(d.taskCount(), 1);
    ASSERT_FALSE(errors.empty());
    EXPECT_TRUE(ParseDescriptions({"g=x"}, {"t=g"}, d, errors));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(d.groupCount(), 1);
    EXPECT_EQ(taskNames(d), std::vector<std::string>{"t"});
}

TEST(ParseDescriptions, NamesKeepTheirBytes) {
    TaskDescriptions d;
    DescriptionErrors errors;
    ParseDescriptions(cp({"čšž=čšž"}), cp({" Črke & več = čšž ; 1!1"}), d, errors);
    ASSERT_EQ(d.groupCount(), 1);
    EXPECT_EQ(cp1250::toUtf8(d.groups[0].name), "čšž");
    EXPECT_EQ(taskNames(d), std::vector<std::string>{"Črke & več"});
    EXPECT_EQ(toPairs(errors),
              toPairs({{21, "naloge (1): števili v pogoju „1!1“ bi morali biti različni (obe sta 1)!"}}));
}

TEST(DescriptionsToInt, ReadsIntegersLikeTheStandardConversion) {
    struct Case {
        const char* text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"+7", 7},
        {"-7", -7},
        {"00012", 12},
        {"$A", 10},
        {"$ff", 255},
        {"-$10", -16},
        {"+$10", 16},
        {"$00000000FF", 255},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"$7FFFFFFF", 2147483647},
        {"$80000000", -2147483647 - 1},
        {"$FFFFFFFF", -1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"$100000000", std::nullopt},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"-$", std::nullopt},
        {"$-1", std::nullopt},
        {"--1", std::nullopt},
        {"1 2", std::nullopt},
        {"12a", std::nullopt},
        {"$G", std::nullopt},
        {"0x10", std::nullopt},
        {"1.0", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(descparse::toInt(c.text), c.value) << c.text;
    }
}

TEST(DescriptionsText, TrimRemovesControlBytesAndBlanksOnly) {
    EXPECT_EQ(descparse::trim(std::string_view("\x01\t a b \r\n\x1F", 9)), "a b");
    EXPECT_EQ(descparse::trim(std::string_view("\0x\0", 3)), "x");
    EXPECT_EQ(descparse::trim("\xA0x\xA0"), "\xA0x\xA0");  // no-break space is a letter here
    EXPECT_EQ(descparse::trim("   "), "");
}

TEST(DescriptionsText, SplitsAndJoinsFieldText) {
    struct Case {
        const char* text;
        Lines lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"\n", {""}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\n", {"a", "b"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\n\n", {"a", ""}},
        {"\n\n", {"", ""}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(descparse::splitLines(c.text), c.lines) << c.text;
        EXPECT_EQ(descparse::splitLines(descparse::joinLines(c.lines)), c.lines) << c.text;
    }
    EXPECT_EQ(descparse::joinLines({"a", "b"}), "a\nb");
}

}  // namespace
