#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Letter groups and tasks as parsed from the two texts of "Opisi nalog".
// All text is Windows-1250 bytes.

struct LetterGroup {
    std::string name;
    std::string letters;  // one phonetic letter per byte; repeats weigh the draw
};

struct TaskDescription {
    static constexpr int kMaxLetters = 10;
    static constexpr int kMaxConditions = 64;

    std::string name;
    int letterCount = 0;
    // Bit g of positions[p] set: group g (0-based) may supply the letter at position p + 1.
    std::array<std::uint64_t, kMaxLetters> positions{};
    // a!b is stored as (a - 1) * 10 + b, a!!b as its negative.
    std::vector<int> conditions;
};

struct TaskDescriptions {
    static constexpr int kMaxGroups = 64;
    static constexpr int kMaxTasks = 64;

    std::vector<LetterGroup> groups;
    std::vector<TaskDescription> tasks;  // task number k is tasks[k - 1]; 0 means none

    int groupCount() const { return static_cast<int>(groups.size()); }
    int taskCount() const { return static_cast<int>(tasks.size()); }
};

// Decoding of a stored condition code.
struct Condition {
    int first;            // position, 1-based
    int second;           // position, 1-based
    bool differentGroups;  // a!!b; otherwise a!b (different letters)
};

inline Condition decodeCondition(int code) {
    const int v = (code < 0 ? -code : code) - 1;
    return Condition{v / 10 + 1, v % 10 + 1, code < 0};
}
