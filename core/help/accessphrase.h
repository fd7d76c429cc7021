#pragma once

#include <string_view>

// The phrase that opens the hidden window from the About page. The program
// keeps it only as 47 bytes, each the phrase's byte XOR (position + 40).
inline constexpr int kAccessPhraseLength = 47;

// Whether text (Windows-1250) is the phrase: exactly 47 bytes, each matching.
bool isAccessPhrase(std::string_view text);
