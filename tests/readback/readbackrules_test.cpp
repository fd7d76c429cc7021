#include "core/readback/readbackrules.h"
#include "core/settings/options.h"
#include "core/transcription/cp1250.h"

#include <gtest/gtest.h>

namespace {

TEST(TengwarToLatin, DefaultTableGivesTheExpectedAnswers) {
    struct Case {
        std::string letters;
        std::string answer;
    };
    const Case cases[] = {
        {"\xE1"
         "b",
         "aab"},                                   // á b
        {"T\xFA", "Tuu"},                          // T ú
        {"\xF1\xE0", "NR"},                        // ń ŕ
        {"n_g", "ng"},                             // the separator reads as nothing
        {"", ""},                                  // no task running
        {"\xE8\x9A\x9E\x8E", "\xE8\x9A\x9E\x9E"},  // č š ž Ž
        {"\xE7\xFC\xF9", "Pyw"},                   // ç ü ů
        {"a b.c:", "a b.c:"},
        // Every default reading, letter by letter, in the table's order.
        {cp1250::fromUtf8("a á A b c C č d đ D e é E ë Ë ę ě Ě f g G h H i í I j J k K l L m M n N ń Ń "
                          "o ó O p P ç q r ŕ R s ś S Ś š t T u ú U ü ů v w W x y Y z ź Z Ź ž Ž . :"),
         cp1250::fromUtf8("a aa a b c C č d đ D e ee e e e e e e f g G h h i ii i j j k k l L m M n N N N "
                          "o oo o p p P q r R R s s s s š t T u uu u y w v w w x y y z z z z ž ž . :")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TengwarToLatin(c.letters, readback::defaultRules()), c.answer) << c.letters;
    }
}

TEST(TengwarToLatin, KeepsTheWholeAnswerOfLongReadings) {
    EXPECT_EQ(TengwarToLatin(std::string(10, '\xE1'), readback::defaultRules()), std::string(20, 'a'));
    ReadBackRules rules;
    rules['x'] = "abcde";
    EXPECT_EQ(TengwarToLatin("xxxxxxxxxx", rules).size(), 50U);
}

TEST(TengwarToLatin, AnEmptiedEntryVanishesFromTheAnswer) {
    ReadBackRules rules = readback::defaultRules();
    rules['b'].clear();
    EXPECT_EQ(TengwarToLatin("abab", rules), "aa");
}

TEST(ReadBackDefaults, SeventyFiveEntriesInABlockOf1108Bytes) {
    const ReadBackRules& rules = readback::defaultRules();
    int set = 0;
    for (const auto& entry : rules) {
        set += entry.empty() ? 0 : 1;
    }
    EXPECT_EQ(set, 75);
    EXPECT_EQ(rules['_'], "");
    EXPECT_EQ(rules[' '], " ");
    EXPECT_EQ(rules[0xD1], "N");  // Ń
    EXPECT_EQ(rules[0x8C], "s");  // Ś
    EXPECT_EQ(storelayout::encodeStringList(readback::toList(rules)).size(), 1108U);
}

TEST(ReadBackList, ShortListsReadMissingEntriesAsEmptyAndLongOnesAreCut) {
    std::vector<std::string> list(300, "x");
    list[5] = "";
    const ReadBackRules fromLong = readback::fromList(list);
    EXPECT_EQ(fromLong[4], "x");
    EXPECT_EQ(fromLong[5], "");
    EXPECT_EQ(fromLong[255], "x");
    const ReadBackRules fromShort = readback::fromList({"a", "b"});
    EXPECT_EQ(fromShort[1], "b");
    EXPECT_EQ(fromShort[2], "");
    EXPECT_EQ(readback::toList(fromShort).size(), 256U);
}

}  // namespace
