#include "core/transcription/cp1250.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1250, EveryByteSurvivesTheRoundTripThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(cp1250::fromUtf8(cp1250::toUtf8(all)), all);
}

TEST(Cp1250, SlovenianLettersMapToTheirBytes) {
    struct Case {
        const char* utf8;
        std::string bytes;
    };
    const Case cases[] = {
        {"č", "\xE8"}, {"š", "\x9A"}, {"ž", "\x9E"}, {"Č", "\xC8"}, {"Š", "\x8A"},
        {"Ž", "\x8E"}, {"đ", "\xF0"}, {"ŕ", "\xE0"}, {"ś", "\x9C"}, {"Ź", "\x8F"},
        {"„", "\x84"}, {"“", "\x93"}, {"€", "\x80"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cp1250::fromUtf8(c.utf8), c.bytes) << c.utf8;
        EXPECT_EQ(cp1250::toUtf8(c.bytes), c.utf8) << c.utf8;
    }
}

TEST(Cp1250, CharactersOutsideTheCodePageAreDropped) {
    EXPECT_EQ(cp1250::fromUtf8("a\xE2\x86\x92" "b"), "ab");          // arrow
    EXPECT_EQ(cp1250::fromUtf8("a\xF0\x9F\x98\x80" "b"), "ab");      // emoji, 4 bytes
    EXPECT_EQ(cp1250::fromUtf8("\xC3\xB1"), "");                      // ñ is not in 1250
    EXPECT_EQ(cp1250::fromUnicode(0x1F600), -1);
}

TEST(Cp1250, MalformedUtf8NeverReadsPastTheEnd) {
    EXPECT_EQ(cp1250::fromUtf8("ab\xC4"), "ab");         // truncated lead
    EXPECT_EQ(cp1250::fromUtf8("\x80" "a"), "a");         // stray continuation
    EXPECT_EQ(cp1250::fromUtf8("\xC4" "a"), "a");         // lead without continuation
}

}  // namespace
