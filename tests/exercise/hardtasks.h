#pragma once

// Random tasks of the kinds that make a draw search hard: positions that each
// allow every one of many overlapping groups, with dense conditions of both
// kinds, near the edge of what can be filled. Shared by the generator's
// property test and its benchmark.

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tasksamples.h"

namespace samples {

enum class HardFamily {
    FirstAgainstMany,  // 31 groups of about 1-10 letters, 10 positions, conditions from position 1 to others
    AllPairs,          // 27 larger groups, 9 positions, a condition between every pair
    Mixed,             // 64 groups, 5-10 positions, a mix of conditions anywhere
};

// The sizes of one family; the property test shrinks them to brute-force size.
struct HardShape {
    int alphabetMin, alphabetMax;  // distinct letters, at most 190 (bytes 0x41..0xFE)
    int groupCount;
    int membershipMin, membershipMax;  // groups each letter joins (one count per task)
    int positionMin, positionMax;
    int groupShareMin;  // least share of a!!b, in quarters
};

inline HardShape hardShape(HardFamily family) {
    switch (family) {
        case HardFamily::FirstAgainstMany:
            return {30, 76, 31, 2, 3, 10, 10, 1};
        case HardFamily::AllPairs:
            return {30, 76, 27, 3, 3, 9, 9, 3};
        case HardFamily::Mixed:
            break;
    }
    return {30, 76, 64, 4, 7, 5, 10, 1};
}

// One random task (task 1 of the result). Each letter joins the same number
// of random groups, drawn per task. Each condition is a!b or a!!b at random, a!!b in a share drawn per
// task. With `planted`, the first letters get pairwise disjoint groups where
// the groups suffice, a string of them is fixed, and only conditions that it
// meets are kept, so the task is known to be satisfiable and is often tight.
inline TaskDescriptions hardTask(HardFamily family, const HardShape& shape, std::mt19937& rng, bool planted) {
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int alphabet = uniform(shape.alphabetMin, shape.alphabetMax);
    const int positions = uniform(shape.positionMin, shape.positionMax);
    const int membership = uniform(shape.membershipMin, shape.membershipMax);
    std::vector<std::string> letters(shape.groupCount);
    std::vector<int> order(shape.groupCount);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), rng);
    int next = 0;  // groups of `order` handed out to planted letters so far
    for (int l = 0; l < alphabet; ++l) {
        const char c = static_cast<char>(0x41 + l);
        const int joins = membership;
        if (planted && l < positions && next + joins <= shape.groupCount) {
            for (int j = 0; j < joins; ++j)
                letters[order[next++]] += c;
            continue;
        }
        for (int j = 0; j < joins; ++j) {
            std::string& g = letters[uniform(0, shape.groupCount - 1)];
            if (g.find(c) == std::string::npos)
                g += c;
        }
    }
    std::vector<std::pair<std::string, std::string>> groups;
    std::vector<int> all;
    for (int g = 0; g < shape.groupCount; ++g) {
        groups.push_back({"g" + std::to_string(g), letters[g].empty() ? std::string("A") : letters[g]});
        all.push_back(g);
    }

    std::vector<std::pair<int, int>> pairs;  // 1-based
    if (family == HardFamily::FirstAgainstMany) {
        for (int b = 2; b <= positions; ++b) {
            if (uniform(0, 3) != 0)
                pairs.push_back({1, b});
        }
        for (int c = uniform(0, 2 * positions); c > 0; --c) {
            const int a = uniform(2, positions);
            const int b = uniform(2, positions);
            if (a != b)
                pairs.push_back({a, b});
        }
    } else if (family == HardFamily::AllPairs) {
        for (int a = 1; a <= positions; ++a) {
            for (int b = a + 1; b <= positions; ++b)
                pairs.push_back({a, b});
        }
    } else {
        for (int c = uniform(positions, 64); c > 0; --c) {
            const int a = uniform(1, positions);
            const int b = uniform(1, positions);
            if (a != b)
                pairs.push_back({a, b});
        }
    }

    std::string plant;
    for (int p = 0; p < positions && planted; ++p)
        plant += static_cast<char>(0x41 + p);
    std::shuffle(plant.begin(), plant.end(), rng);
    auto sameGroup = [&](char x, char y) {
        return std::any_of(groups.begin(), groups.end(), [&](const auto& g) {
            return g.second.find(x) != std::string::npos && g.second.find(y) != std::string::npos;
        });
    };

    // The share of a!!b among the conditions, in quarters.
    const int groupShare = uniform(shape.groupShareMin, 4);
    TaskShape task{"hard", std::vector<std::vector<int>>(positions, all), {}};
    for (auto [a, b] : pairs) {
        if (task.conditions.size() == 64)
            break;
        const bool groupKind = uniform(0, 3) < groupShare;
        if (planted) {
            const char x = plant[a - 1];
            const char y = plant[b - 1];
            if (groupKind ? sameGroup(x, y) : x == y)
                continue;
        }
        task.conditions.push_back(groupKind ? otherGroup(a, b) : differ(a, b));
    }
    return makeDescriptions(groups, {task});
}

}  // namespace samples
