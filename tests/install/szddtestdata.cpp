#include "szddtestdata.h"

#include <array>
#include <fstream>
#include <iterator>
#include <random>

namespace szddtest {

std::vector<Sample> samples() {
    std::vector<Sample> result;
    result.push_back({"empty", {}});
    result.push_back({"one byte", {0x42}});
    result.push_back({"sixteen bytes", Bytes{'T', 'e', 'n', 'g', 'w', 'a', 'r', ' ', 'Q', 'u', 'e', 'n', 'y',
                                             'a', '!', '\n'}});
    result.push_back({"zeros", Bytes(10000, 0)});
    result.push_back({"spaces", Bytes(5000, 0x20)});

    Bytes pattern;
    for (int i = 0; i < 3000; ++i) {
        pattern.push_back(static_cast<std::uint8_t>("abcabd"[i % 6]));
    }
    result.push_back({"short period", pattern});

    const std::string verse =
        "Ai! laurie lantar lassi surinen, yeni unotime ve ramar aldaron! "
        "Yeni ve linte yuldar avanier mi oromardi lisse-miruvoreva. ";
    Bytes text;
    for (int i = 0; i < 120; ++i) {
        text.insert(text.end(), verse.begin(), verse.end());
        text.push_back(static_cast<std::uint8_t>('0' + i % 10));
    }
    result.push_back({"text", text});

    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes noise(3000);
    for (auto& b : noise) {
        b = static_cast<std::uint8_t>(byte(random));
    }
    result.push_back({"random, short", noise});

    // Random blocks, some of them repeating what stood 4,000 bytes back (inside
    // the window) or 5,000 bytes back (already out of it).
    Bytes mixed;
    for (int block = 0; block < 40; ++block) {
        const std::size_t distance = block % 2 == 0 ? 4000 : 5000;
        const bool repeat = block % 3 == 0 && mixed.size() >= distance;
        const int length = 100 + byte(random) * 4;
        for (int i = 0; i < length; ++i) {
            mixed.push_back(repeat ? mixed[mixed.size() - distance]
                                   : static_cast<std::uint8_t>(byte(random)));
        }
    }
    result.push_back({"random, longer than the window", mixed});
    return result;
}

Bytes sample(const std::string& name) {
    for (auto& s : samples()) {
        if (s.name == name) {
            return std::move(s.bytes);
        }
    }
    return {};
}

Bytes referenceExpand(const Bytes& file) {
    std::array<std::uint8_t, 4096> window;
    window.fill(' ');
    std::size_t w = 4096 - 16;
    Bytes out;
    std::size_t i = 14;
    while (i < file.size()) {
        const int flags = file[i++];
        for (int bit = 0; bit < 8 && i < file.size(); ++bit) {
            if (flags & (1 << bit)) {
                out.push_back(window[w] = file[i++]);
                w = (w + 1) % 4096;
            } else {
                if (i + 1 >= file.size()) {
                    return out;
                }
                std::size_t pos = file[i] | ((file[i + 1] & 0xF0) << 4);
                const int count = (file[i + 1] & 0x0F) + 3;
                i += 2;
                for (int k = 0; k < count; ++k) {
                    const std::uint8_t b = window[pos];
                    pos = (pos + 1) % 4096;
                    out.push_back(window[w] = b);
                    w = (w + 1) % 4096;
                }
            }
        }
    }
    return out;
}

std::uint32_t declaredLength(const Bytes& file) {
    return std::uint32_t{file[10]} | std::uint32_t{file[11]} << 8 | std::uint32_t{file[12]} << 16 |
           std::uint32_t{file[13]} << 24;
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace szddtest
