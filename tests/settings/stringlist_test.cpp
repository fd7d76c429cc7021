#include "core/settings/options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

namespace {

using ::testing::ElementsAre;

std::string int32le(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
            static_cast<char>((u >> 16) & 0xFF), static_cast<char>((u >> 24) & 0xFF)};
}

TEST(StringListBlock, LayoutIsCountThenLengthAndBytesPerString) {
    EXPECT_EQ(storelayout::encodeStringList({}), int32le(0));
    EXPECT_EQ(storelayout::encodeStringList({"ab", "", "\xE8"}),
              int32le(3) + int32le(2) + "ab" + int32le(0) + int32le(1) + "\xE8");
}

TEST(StringListBlock, MalformedBlocksStopAtTheEndOfTheData) {
    struct Case {
        const char* what;
        std::string block;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"four bytes or less", int32le(2), {}},
        {"negative count", int32le(-1) + int32le(1) + "a", {}},
        {"count past the data", int32le(3) + int32le(1) + "a", {"a"}},
        {"huge count", int32le(0x7FFFFFFF) + int32le(0) + int32le(2) + "bc", {"", "bc"}},
        {"length past the data", int32le(2) + int32le(1) + "a" + int32le(5) + "bcd", {"a"}},
        {"huge length", int32le(1) + int32le(0x7FFFFFFF) + "x", {}},
        {"negative length", int32le(2) + int32le(1) + "a" + int32le(-4) + "bcdef", {"a"}},
        {"length cut short", int32le(2) + int32le(1) + "a" + "\x01\x00", {"a"}},
        {"bytes after the last string", int32le(1) + int32le(1) + "a" + "trailing", {"a"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(storelayout::decodeStringList(c.block), c.expected) << c.what;
    }
}

// Every prefix of a valid block reads as the strings that are whole in it.
TEST(StringListBlock, TruncatedBlocksReadTheirWholeStrings) {
    const std::vector<std::string> list = {"samoglasniki=aeiou",     "", "x",
                                           std::string(300, '\xE8'), "", "konec"};
    const std::string block = storelayout::encodeStringList(list);
    for (std::size_t size = 0; size <= block.size(); ++size) {
        // A copy of exactly `size` bytes, so that the sanitizers see any read past it.
        const std::vector<char> prefix(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(size));
        const auto decoded = storelayout::decodeStringList(std::string_view(prefix.data(), prefix.size()));
        ASSERT_LE(decoded.size(), list.size()) << size;
        for (std::size_t i = 0; i < decoded.size(); ++i) {
            ASSERT_EQ(decoded[i], list[i]) << size;
        }
        std::size_t whole = 0;
        for (std::size_t end = 4; whole < list.size() && end + 4 + list[whole].size() <= size; ++whole) {
            end += 4 + list[whole].size();
        }
        ASSERT_EQ(decoded.size(), size <= 4 ? 0U : whole) << size;
    }
    EXPECT_EQ(storelayout::decodeStringList(block), list);
}

TEST(StringListBlock, RandomBlocksNeverReadPastTheirData) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> size(0, 64);
    std::uniform_int_distribution<int> smallInt(-3, 12);
    for (int round = 0; round < 20000; ++round) {
        std::vector<char> data;
        // Half the blocks get plausible counts and lengths so that the
        // decoder goes deep; the other half is noise.
        if (round % 2 == 0) {
            std::string block = int32le(smallInt(random));
            const int pieces = size(random) % 8;
            for (int i = 0; i < pieces; ++i) {
                const int length = smallInt(random);
                block += int32le(length);
                for (int j = 0; j < std::max(0, length - 1 + (round % 3)); ++j) {
                    block.push_back(static_cast<char>(byte(random)));
                }
            }
            data.assign(block.begin(), block.end());
        } else {
            data.resize(static_cast<std::size_t>(size(random)));
            for (auto& c : data) {
                c = static_cast<char>(byte(random));
            }
        }
        const auto decoded = storelayout::decodeStringList(std::string_view(data.data(), data.size()));
        std::size_t used = decoded.empty() ? 0 : 4;
        for (const auto& text : decoded) {
            used += 4 + text.size();
        }
        ASSERT_LE(used, data.size()) << "round " << round;
    }
}

TEST(RectLayout, SixteenBytesLittleEndianAndShortValuesPadWithZero) {
    const StoredRect rect{-1, 2, 0x01020304, -300};
    const std::string bytes = storelayout::encodeRect(rect);
    EXPECT_EQ(bytes, int32le(-1) + int32le(2) + int32le(0x01020304) + int32le(-300));
    EXPECT_EQ(storelayout::decodeRect(bytes), rect);
    EXPECT_EQ(storelayout::decodeRect(bytes.substr(0, 6)), (StoredRect{-1, 2, 0, 0}));
}

}  // namespace
