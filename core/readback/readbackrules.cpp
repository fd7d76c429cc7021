#include "core/readback/readbackrules.h"

#include <utility>

namespace readback {
namespace {

struct Reading {
    unsigned char letter;
    const char* text;
};

// Windows-1250 codes of the letters and their readings.
constexpr Reading kDefaults[] = {
    {'a', "a"},     {0xE1, "aa"},   {'A', "a"},  {'b', "b"},     {'c', "c"},   {'C', "C"}, {0xE8, "\xE8"},
    {'d', "d"},     {0xF0, "\xF0"}, {'D', "D"},  {'e', "e"},     {0xE9, "ee"}, {'E', "e"}, {0xEB, "e"},
    {0xCB, "e"},    {0xEA, "e"},    {0xEC, "e"}, {0xCC, "e"},    {'f', "f"},   {'g', "g"}, {'G', "G"},
    {'h', "h"},     {'H', "h"},     {'i', "i"},  {0xED, "ii"},   {'I', "i"},   {'j', "j"}, {'J', "j"},
    {'k', "k"},     {'K', "k"},     {'l', "l"},  {'L', "L"},     {'m', "m"},   {'M', "M"}, {'n', "n"},
    {'N', "N"},     {0xF1, "N"},    {0xD1, "N"}, {'o', "o"},     {0xF3, "oo"}, {'O', "o"}, {'p', "p"},
    {'P', "p"},     {0xE7, "P"},    {'q', "q"},  {'r', "r"},     {0xE0, "R"},  {'R', "R"}, {'s', "s"},
    {0x9C, "s"},    {'S', "s"},     {0x8C, "s"}, {0x9A, "\x9A"}, {'t', "t"},   {'T', "T"}, {'u', "u"},
    {0xFA, "uu"},   {'U', "u"},     {0xFC, "y"}, {0xF9, "w"},    {'v', "v"},   {'w', "w"}, {'W', "w"},
    {'x', "x"},     {'y', "y"},     {'Y', "y"},  {'z', "z"},     {0x9F, "z"},  {'Z', "z"}, {0x8F, "z"},
    {0x9E, "\x9E"}, {0x8E, "\x9E"}, {' ', " "},  {'.', "."},     {':', ":"},
};
static_assert(std::size(kDefaults) == 75);

ReadBackRules makeDefaults() {
    ReadBackRules rules;
    for (const auto& reading : kDefaults) {
        rules[reading.letter] = reading.text;
    }
    return rules;
}

}  // namespace

const ReadBackRules& defaultRules() {
    static const ReadBackRules rules = makeDefaults();
    return rules;
}

std::vector<std::string> toList(const ReadBackRules& rules) {
    return {rules.begin(), rules.end()};
}

ReadBackRules fromList(const std::vector<std::string>& list) {
    ReadBackRules rules;
    for (std::size_t i = 0; i < list.size() && i < kRuleCount; ++i) {
        rules[i] = list[i];
    }
    return rules;
}

}  // namespace readback

std::string TengwarToLatin(std::string_view letters, const ReadBackRules& rules) {
    std::string answer;
    for (const char letter : letters) {
        answer += rules[static_cast<unsigned char>(letter)];
    }
    return answer;
}
