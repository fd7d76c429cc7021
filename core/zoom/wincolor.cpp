#include "core/zoom/wincolor.h"

#include <charconv>
#include <cstdio>

namespace wincolor {

CustomColors parseCustomColors(const std::vector<std::string>& entries) {
    CustomColors colors;
    colors.fill(kWhite);
    for (const std::string& entry : entries) {
        // "ColorX=hex", the letter A-P naming the slot.
        if (entry.size() < 8 || entry.compare(0, 5, "Color") != 0 || entry[6] != '=') {
            continue;
        }
        const int slot = entry[5] - 'A';
        if (slot < 0 || slot >= static_cast<int>(colors.size())) {
            continue;
        }
        std::uint32_t value = 0;
        const char* first = entry.data() + 7;
        const char* last = entry.data() + entry.size();
        const auto [end, error] = std::from_chars(first, last, value, 16);
        if (error == std::errc() && end == last && value <= 0xFFFFFF) {
            colors[slot] = static_cast<std::int32_t>(value);
        }
    }
    return colors;
}

std::vector<std::string> formatCustomColors(const CustomColors& colors) {
    std::vector<std::string> entries;
    for (std::size_t slot = 0; slot < colors.size(); ++slot) {
        char text[16];
        std::snprintf(text, sizeof text, "Color%c=%06X", static_cast<char>('A' + slot),
                      static_cast<unsigned>(colors[slot]) & 0xFFFFFFu);
        entries.emplace_back(text);
    }
    return entries;
}

}  // namespace wincolor
