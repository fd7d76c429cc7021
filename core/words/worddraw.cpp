#include "core/words/worddraw.h"

#include <algorithm>
#include <bit>

#include "core/progress/course.h"

namespace words {

namespace {

// How many words are drawn evenly before one of them is chosen by weight.
constexpr int kCandidates = 8;

double weightOf(LetterMask letters, const std::array<double, 64>& weights) {
    double weakest = 1.0;
    for (LetterMask rest = letters & ~kOtherLetter; rest != 0; rest &= rest - 1)
        weakest = std::max(weakest, weights[static_cast<std::size_t>(std::countr_zero(rest))]);
    return weakest;
}

}  // namespace

std::array<double, 64> courseWeights(const std::vector<progress::LetterHistory>& history, std::int64_t now) {
    std::array<double, 64> weights{};
    weights.fill(progress::drillWeight(progress::LetterHistory{}, now));
    for (const progress::LetterHistory& h : history) {
        const int place = course::position(h.letter);
        if (place >= 0 && h.shown > 0)
            weights[static_cast<std::size_t>(place)] = progress::drillWeight(h, now);
    }
    return weights;
}

std::size_t drawWeighted(const WordIndex& index, int unlocked, const std::array<double, 64>& weights,
                         const RandomFunction& random, const RecentWords& recent) {
    const std::size_t usable = std::min(index.usable(unlocked), index.size());
    const std::size_t common = index.commonUsable(unlocked);
    const bool fromCommon = common > 0 && random(100) < kCommonPercent;
    const std::size_t pool = fromCommon ? common : usable;
    if (pool <= 1)
        return fromCommon ? index.commonWord(0) : 0;
    const auto place = [&](std::size_t j) { return fromCommon ? index.commonWord(j) : j; };
    const std::size_t window = std::min(RecentWords::kKept, pool / 2);
    std::array<std::size_t, kCandidates> picks{};
    std::array<double, kCandidates> weight{};
    double total = 0;
    int count = 0;
    std::size_t pick = 0;
    for (int attempt = 0; attempt < 3 * kCandidates && count < kCandidates; ++attempt) {
        pick = place(static_cast<std::size_t>(random(static_cast<int>(pool))));
        if (recent.contains(index.word(pick), window))
            continue;
        picks[static_cast<std::size_t>(count)] = pick;
        weight[static_cast<std::size_t>(count)] = weightOf(index.letters(pick), weights);
        total += weight[static_cast<std::size_t>(count)];
        ++count;
    }
    if (count == 0)
        return pick;
    // A point on the weights laid end to end, in thousandths.
    double point = total * random(1000) / 1000.0;
    for (int i = 0; i < count; ++i) {
        point -= weight[static_cast<std::size_t>(i)];
        if (point < 0)
            return picks[static_cast<std::size_t>(i)];
    }
    return picks[static_cast<std::size_t>(count - 1)];
}

}  // namespace words
