#pragma once

#include <array>
#include <cstdint>

// The stored switch set "Zastavice": 40 flags in 5 bytes, flag i being bit
// (i mod 8) of byte (i div 8), least significant bit first.
using FlagBytes = std::array<std::uint8_t, 5>;

namespace flagset {

inline constexpr int kFlagCount = 40;

// The bytes of a newly created set: flags 0, 1, 2, 5, 6, 7, 10, 12, 13, 17, 18,
// 24, 25, 27, 28 and 33.
inline constexpr FlagBytes kDefaultBytes = {0xE7, 0x34, 0x06, 0x1B, 0x02};

// Flag indices above 39 read as false.
constexpr bool get(const FlagBytes& bytes, int flag) {
    if (flag < 0 || flag >= kFlagCount) {
        return false;
    }
    return ((bytes[static_cast<std::size_t>(flag / 8)] >> (flag % 8)) & 1U) != 0;
}

// Flag indices above 39 leave the bytes unchanged.
constexpr void set(FlagBytes& bytes, int flag, bool value) {
    if (flag < 0 || flag >= kFlagCount) {
        return;
    }
    auto& byte = bytes[static_cast<std::size_t>(flag / 8)];
    const auto mask = static_cast<std::uint8_t>(1U << (flag % 8));
    byte = static_cast<std::uint8_t>(value ? (byte | mask) : (byte & ~mask));
}

// The defaults of the transcription switches, in the order in which they are
// written one at a time. Flags 19-23 and 31-39 are not part of it.
struct SwitchDefault {
    int flag;
    bool value;
};
inline constexpr std::array<SwitchDefault, 26> kDefaultSwitchSequence = {{
    {0, true},   {1, true},   {25, true},  {2, true},   {5, true},   {6, true},   {28, true},
    {7, true},   {10, true},  {12, true},  {13, true},  {3, false},  {4, false},  {8, false},
    {9, false},  {11, false}, {29, false}, {30, false}, {14, false}, {15, false}, {24, true},
    {16, false}, {26, false}, {27, true},  {17, true},  {18, true},
}};

// Applies the default transcription switches to a set, leaving the other flags.
constexpr FlagBytes withDefaultSwitches(FlagBytes bytes) {
    for (const auto& step : kDefaultSwitchSequence) {
        set(bytes, step.flag, step.value);
    }
    return bytes;
}

}  // namespace flagset
