#include "core/progress/attribution.h"

#include <algorithm>
#include <cstddef>

namespace progress {

std::vector<std::string> readingsOf(std::string_view letters, const ReadBackRules& rules) {
    std::vector<std::string> readings;
    readings.reserve(letters.size());
    for (const char letter : letters)
        readings.push_back(rules[static_cast<unsigned char>(letter)]);
    return readings;
}

std::vector<LetterOutcome> attributeAnswer(std::string_view letters, const std::vector<std::string>& readings,
                                           std::string_view typed) {
    const std::size_t count = std::min(letters.size(), readings.size());
    std::vector<LetterOutcome> outcomes(count);
    if (count == 0)
        return outcomes;

    // The expected answer, each character marked with the letter it reads.
    std::string expected;
    std::vector<std::size_t> owner;
    // The letter with an empty reading standing at each boundary (count: none).
    std::vector<std::size_t> silentAt;
    for (std::size_t i = 0; i < count; ++i) {
        outcomes[i].letter = static_cast<unsigned char>(letters[i]);
        outcomes[i].right = true;
        if (readings[i].empty()) {
            silentAt.resize(expected.size() + 1, count);
            if (silentAt[expected.size()] == count)
                silentAt[expected.size()] = i;
        }
        expected += readings[i];
        owner.insert(owner.end(), readings[i].size(), i);
    }
    silentAt.resize(expected.size() + 1, count);

    // Edit distances of every prefix pair: cost[e][t] aligns expected[0, e)
    // with typed[0, t).
    const std::size_t m = expected.size();
    const std::size_t n = typed.size();
    std::vector<std::size_t> cost((m + 1) * (n + 1));
    const auto at = [n](std::size_t e, std::size_t t) { return e * (n + 1) + t; };
    for (std::size_t e = 0; e <= m; ++e) {
        for (std::size_t t = 0; t <= n; ++t) {
            if (e == 0 || t == 0) {
                cost[at(e, t)] = e + t;
                continue;
            }
            const std::size_t diagonal = cost[at(e - 1, t - 1)] + (expected[e - 1] == typed[t - 1] ? 0 : 1);
            cost[at(e, t)] = std::min({diagonal, cost[at(e - 1, t)] + 1, cost[at(e, t - 1)] + 1});
        }
    }

    // Walk one cheapest alignment back from the end. Where several are
    // cheapest, a character typed in addition is taken as late as possible,
    // so it goes with the letter it follows ("baaa" for "ba" overdoes the a).
    // Typed characters are met last first, so each is put in front of what
    // its letter already has.
    const auto give = [&](std::size_t letter, char c) { outcomes[letter].typed.insert(0, 1, c); };
    std::size_t e = m;
    std::size_t t = n;
    while (e > 0 || t > 0) {
        if (t > 0 && cost[at(e, t)] == cost[at(e, t - 1)] + 1) {
            // Typed in addition, between expected characters e - 1 and e.
            std::size_t letter = silentAt[e];
            if (letter == count)
                letter = e > 0 ? owner[e - 1] : (m > 0 ? owner[0] : 0);
            give(letter, typed[t - 1]);
            outcomes[letter].right = false;
            --t;
            continue;
        }
        if (e > 0 && t > 0) {
            const bool same = expected[e - 1] == typed[t - 1];
            if (cost[at(e, t)] == cost[at(e - 1, t - 1)] + (same ? 0 : 1)) {
                give(owner[e - 1], typed[t - 1]);
                if (!same)
                    outcomes[owner[e - 1]].right = false;
                --e;
                --t;
                continue;
            }
        }
        // Left out.
        outcomes[owner[e - 1]].right = false;
        --e;
    }
    return outcomes;
}

std::vector<LetterOutcome> attributeJudged(std::string_view letters, const std::vector<std::string>& readings,
                                           std::string_view typed, bool right) {
    if (!right)
        return attributeAnswer(letters, readings, typed);
    const std::size_t count = std::min(letters.size(), readings.size());
    std::vector<LetterOutcome> outcomes(count);
    for (std::size_t i = 0; i < count; ++i)
        outcomes[i] = LetterOutcome{static_cast<unsigned char>(letters[i]), true, readings[i]};
    return outcomes;
}

}  // namespace progress
