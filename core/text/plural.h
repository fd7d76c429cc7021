#pragma once

#include <cstdint>
#include <string_view>

// Slovenian has four forms of a noun after a number, chosen by its last two
// digits: 1, 101 "odgovor"; 2, 102 "odgovora"; 3, 4, 103 "odgovori"; 0, 5 to
// 100 "odgovorov".
namespace plural {

enum class Form { One, Two, Few, Other };

Form slovenian(std::int64_t count);

// The one of the four words that goes with `count` (any encoding).
std::string_view choose(std::int64_t count, std::string_view one, std::string_view two, std::string_view few,
                        std::string_view other);

}  // namespace plural
