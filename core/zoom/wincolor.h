#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Colours as the settings store keeps them: Windows colour values,
// 0x00BBGGRR (red in the lowest byte).
namespace wincolor {

inline constexpr std::int32_t kWhite = 0xFFFFFF;

constexpr std::int32_t fromRgb(int red, int green, int blue) {
    return static_cast<std::int32_t>((blue & 0xFF) << 16 | (green & 0xFF) << 8 | (red & 0xFF));
}
constexpr int red(std::int32_t color) {
    return color & 0xFF;
}
constexpr int green(std::int32_t color) {
    return (color >> 8) & 0xFF;
}
constexpr int blue(std::int32_t color) {
    return (color >> 16) & 0xFF;
}

// The colour dialog's 16 custom colours. Stored as "Uporabnikove barve", one
// entry each: "ColorA=" to "ColorP=" and the colour value in six hexadecimal
// digits (BBGGRR). An entry that is missing or unreadable is white.
using CustomColors = std::array<std::int32_t, 16>;
CustomColors parseCustomColors(const std::vector<std::string>& entries);
std::vector<std::string> formatCustomColors(const CustomColors& colors);

}  // namespace wincolor
