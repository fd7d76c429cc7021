#include "core/transcription/flagset.h"
#include "core/transcription/settingssource.h"

#include <gtest/gtest.h>

namespace {

TEST(FlagSet, BitOrderIsLeastSignificantFirstByteByByte) {
    FlagBytes bytes{};
    flagset::set(bytes, 9, true);
    EXPECT_EQ(bytes, (FlagBytes{0x00, 0x02, 0x00, 0x00, 0x00}));
    flagset::set(bytes, 39, true);
    EXPECT_EQ(bytes[4], 0x80);
    EXPECT_TRUE(flagset::get(bytes, 39));
    EXPECT_FALSE(flagset::get(bytes, 8));
}

TEST(FlagSet, IndicesPastTheSetReadFalseAndChangeNothing) {
    FlagBytes bytes = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_FALSE(flagset::get(bytes, 40));
    EXPECT_FALSE(flagset::get(bytes, 255));
    const FlagBytes before = bytes;
    flagset::set(bytes, 40, false);
    flagset::set(bytes, 200, false);
    EXPECT_EQ(bytes, before);
}

TEST(FlagSet, DefaultBytesHoldTheDocumentedFlags) {
    const int on[] = {0, 1, 2, 5, 6, 7, 10, 12, 13, 17, 18, 24, 25, 27, 28, 33};
    for (int i = 0; i < flagset::kFlagCount; ++i) {
        const bool expected = std::find(std::begin(on), std::end(on), i) != std::end(on);
        EXPECT_EQ(flagset::get(flagset::kDefaultBytes, i), expected) << "flag " << i;
    }
    EXPECT_EQ(flagset::withDefaultSwitches(flagset::kDefaultBytes), flagset::kDefaultBytes);
}

TEST(FlagSet, DefaultSwitchesLeaveTheOtherFlags) {
    FlagBytes bytes{};
    for (int i : {19, 20, 21, 22, 23, 31, 32, 34, 35, 39}) {
        flagset::set(bytes, i, true);
    }
    const FlagBytes reset = flagset::withDefaultSwitches(bytes);
    for (int i : {19, 20, 21, 22, 23, 31, 32, 34, 35, 39}) {
        EXPECT_TRUE(flagset::get(reset, i)) << "flag " << i;
    }
    EXPECT_FALSE(flagset::get(reset, 33));  // "Čakaj na Enter" is not a switch
    for (int i = 0; i <= 18; ++i) {
        if (i == 19 || i == 20) continue;
        EXPECT_EQ(flagset::get(reset, i), flagset::get(flagset::kDefaultBytes, i)) << "flag " << i;
    }
}

TEST(SettingsSource, WithoutAStoreTheDefaultsAreUsed) {
    setSettingsSource(nullptr);
    TConvertData data;
    data.BrezTilde = "xyz";
    loadSettings(data);
    EXPECT_TRUE(data.Flags[flag::Th]);
    EXPECT_FALSE(data.Flags[flag::Sh]);
    EXPECT_TRUE(data.Flags[flag::WaitForEnter]);
    EXPECT_EQ(data.BrezTilde, "");
}

}  // namespace
