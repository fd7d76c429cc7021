#pragma once

// Task descriptions built directly, for the generator's tests and benchmarks.

#include <string>
#include <utility>
#include <vector>

#include "core/exercise/taskdescriptions.h"

namespace samples {

// a!b and a!!b as stored.
inline int differ(int a, int b) {
    return (a - 1) * 10 + b;
}
inline int otherGroup(int a, int b) {
    return -((a - 1) * 10 + b);
}

struct TaskShape {
    std::string name;
    std::vector<std::vector<int>> positions;  // per position, the group numbers (0-based) it allows
    std::vector<int> conditions;
};

inline TaskDescription makeTask(const TaskShape& shape) {
    TaskDescription task;
    task.name = shape.name;
    task.letterCount = static_cast<int>(shape.positions.size());
    for (std::size_t p = 0; p < shape.positions.size(); ++p) {
        for (int g : shape.positions[p])
            task.positions[p] |= std::uint64_t{1} << g;
    }
    task.conditions = shape.conditions;
    return task;
}

inline TaskDescriptions makeDescriptions(const std::vector<std::pair<std::string, std::string>>& groups,
                                         const std::vector<TaskShape>& tasks) {
    TaskDescriptions d;
    for (const auto& [name, letters] : groups)
        d.groups.push_back({name, letters});
    for (const auto& t : tasks)
        d.tasks.push_back(makeTask(t));
    return d;
}

// The two default groups (Windows-1250) and the five default tasks.
inline const std::string kVowels = "aeiou";
inline const std::string kConsonants =
    "bc\xE8"
    "d\xF0"
    "DfghjklLmnNpqr\xE0"
    "RsS\x9AtTvwxyYzZ\x9E";

inline TaskDescriptions defaults() {
    return makeDescriptions({{"samoglasniki", kVowels}, {"soglasniki", kConsonants}},
                            {{"Soglasniki", {{1}}, {}},
                             {"Posamezne \xE8rke", {{0, 1}}, {}},
                             {"Soglasnik + samoglasnik", {{1}, {0}}, {}},
                             {"Pari \xE8rk", {{0, 1}, {0, 1}}, {}},
                             {"2 razli\xE8ni \xE8rki", {{0, 1}, {0, 1}}, {differ(1, 2)}}});
}

// Every pair of the given positions (1-based, count of them) under one kind of condition.
inline std::vector<int> allPairs(int count, bool differentGroups) {
    std::vector<int> codes;
    for (int a = 1; a <= count; ++a) {
        for (int b = a + 1; b <= count; ++b)
            codes.push_back(differentGroups ? otherGroup(a, b) : differ(a, b));
    }
    return codes;
}

// Nine groups of five letters; positions each allowing all nine groups, a!!b
// between every pair. Ten positions cannot be filled, nine can.
inline TaskDescriptions groupPigeonhole(int positions) {
    std::vector<std::pair<std::string, std::string>> groups;
    std::vector<int> all;
    for (int g = 0; g < 9; ++g) {
        std::string letters;
        for (int i = 0; i < 5; ++i)
            letters += static_cast<char>('A' + g * 5 + i);
        groups.push_back({"g" + std::to_string(g), letters});
        all.push_back(g);
    }
    return makeDescriptions(
        groups, {{"x", std::vector<std::vector<int>>(positions, all), allPairs(positions, true)}});
}

// One group of nine letters, a!b between every pair of positions.
inline TaskDescriptions letterPigeonhole(int positions) {
    return makeDescriptions({{"g", "abcdefghi"}}, {{"x", std::vector<std::vector<int>>(positions, {0}),
                                                    allPairs(positions, false)}});
}

// Ten positions of a 45-letter group with a!b among the middle ones; the first
// and the last may only hold "q", and 1!10 forbids that.
inline TaskDescriptions lastContradictsFirst() {
    std::string big;
    for (int i = 0; i < 45; ++i)
        big += static_cast<char>('0' + i);
    std::vector<std::vector<int>> positions(10, {0});
    positions.front() = {1};
    positions.back() = {1};
    std::vector<int> codes;
    for (int a = 2; a <= 9; ++a) {
        for (int b = a + 1; b <= 9; ++b)
            codes.push_back(differ(a, b));
    }
    codes.push_back(differ(1, 10));
    return makeDescriptions({{"big", big}, {"q", "q"}}, {{"x", positions, codes}});
}

// Nineteen groups; every letter belongs to exactly two of them (one letter per
// pair: 171 letters). Ten positions allowing all groups with a!!b between every
// pair would need twenty distinct groups, so it cannot be filled.
inline TaskDescriptions pairPacking(int positions) {
    std::vector<std::string> letters(19);
    int next = 0x30;
    for (int a = 0; a < 19; ++a) {
        for (int b = a + 1; b < 19; ++b) {
            const char c = static_cast<char>(next++);
            letters[a] += c;
            letters[b] += c;
        }
    }
    std::vector<std::pair<std::string, std::string>> groups;
    std::vector<int> all;
    for (int g = 0; g < 19; ++g) {
        groups.push_back({"g" + std::to_string(g), letters[g]});
        all.push_back(g);
    }
    return makeDescriptions(
        groups, {{"x", std::vector<std::vector<int>>(positions, all), allPairs(positions, true)}});
}

}  // namespace samples
