#pragma once

// The generator's working form of one task: letter sets as bitsets, and the
// conditions decoded into what a letter at one position rules out at another.

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/exercise/taskdescriptions.h"

namespace generator {

constexpr int kPositions = TaskDescription::kMaxLetters;

// Bits set in v. The program is built for processors without a population
// count instruction, where std::popcount becomes a slow library call.
inline int bitCount(std::uint64_t v) {
    v = v - ((v >> 1) & 0x5555555555555555ull);
    v = (v & 0x3333333333333333ull) + ((v >> 2) & 0x3333333333333333ull);
    v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((v * 0x0101010101010101ull) >> 56);
}

// A set of letter bytes.
struct LetterSet {
    std::array<std::uint64_t, 4> w{};

    void set(unsigned char b) { w[b >> 6] |= std::uint64_t{1} << (b & 63); }
    bool test(unsigned char b) const { return (w[b >> 6] >> (b & 63)) & 1; }
    int count() const { return bitCount(w[0]) + bitCount(w[1]) + bitCount(w[2]) + bitCount(w[3]); }
    bool none() const { return (w[0] | w[1] | w[2] | w[3]) == 0; }
    LetterSet& operator|=(const LetterSet& o) {
        for (int i = 0; i < 4; ++i)
            w[i] |= o.w[i];
        return *this;
    }
    LetterSet& operator&=(const LetterSet& o) {
        for (int i = 0; i < 4; ++i)
            w[i] &= o.w[i];
        return *this;
    }
    bool operator==(const LetterSet& o) const = default;
    // How many letters this set shares with o.
    int countIn(const LetterSet& o) const {
        return bitCount(w[0] & o.w[0]) + bitCount(w[1] & o.w[1]) + bitCount(w[2] & o.w[2]) +
               bitCount(w[3] & o.w[3]);
    }
    LetterSet& remove(const LetterSet& o) {
        for (int i = 0; i < 4; ++i)
            w[i] &= ~o.w[i];
        return *this;
    }
    template <class F>
    void forEach(F f) const {
        for (int i = 0; i < 4; ++i) {
            for (std::uint64_t bits = w[i]; bits != 0; bits &= bits - 1) {
                f(static_cast<unsigned char>(i * 64 + std::countr_zero(bits)));
            }
        }
    }
};

using PositionMask = std::uint16_t;

template <class F>
void forEachPosition(PositionMask mask, F f) {
    for (unsigned bits = mask; bits != 0; bits &= bits - 1)
        f(std::countr_zero(bits));
}

// One condition, decoded: positions 0-based.
struct Rule {
    int first;
    int second;
    bool differentGroups;
};

// The task in the form the draw and the search work on.
class TaskModel {
public:
    TaskModel(const TaskDescriptions& descriptions, const TaskDescription& task) {
        letterCount = std::clamp(task.letterCount, 0, kPositions);
        const int groupCount = std::min(descriptions.groupCount(), 64);
        m_groupLetters.resize(groupCount);
        for (int g = 0; g < groupCount; ++g) {
            for (char c : descriptions.groups[g].letters) {
                const auto b = static_cast<unsigned char>(c);
                m_groupLetters[g].set(b);
                m_groupsOf[b] |= std::uint64_t{1} << g;
            }
        }
        const std::uint64_t known =
            groupCount == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << groupCount) - 1;
        for (int p = 0; p < letterCount; ++p) {
            m_sets[p] = task.positions[p] & known;
            for (int g = 0; g < groupCount; ++g) {
                if ((m_sets[p] >> g) & 1) {
                    base[p] += descriptions.groups[g].letters;
                    domain[p] |= m_groupLetters[g];
                }
            }
        }
        for (int code : task.conditions) {
            const Condition c = decodeCondition(code);
            const Rule rule{c.first - 1, c.second - 1, c.differentGroups};
            if (code == 0 || rule.first == rule.second || rule.first >= letterCount ||
                rule.second >= letterCount) {
                continue;  // not a condition the parser produces; it constrains nothing
            }
            rules.push_back(rule);
            for (auto [a, b] : {std::pair{rule.first, rule.second}, std::pair{rule.second, rule.first}}) {
                if (rule.differentGroups) {
                    m_shared[a][b] = m_sets[a] & m_sets[b];
                    m_groupRule[a][b] = true;
                } else {
                    m_differ[a][b] = true;
                }
                if (m_differ[a][b] || m_shared[a][b] != 0)
                    neighbours[a] |= PositionMask(1u << b);
            }
        }
        for (int a = 0; a < letterCount; ++a) {
            forEachPosition(neighbours[a], [&](int b) {
                int worst = 0;
                domain[a].forEach([&](unsigned char e) {
                    LetterSet hit = forbidden(a, b, e);
                    for (int i = 0; i < 4; ++i)
                        hit.w[i] &= domain[b].w[i];
                    worst = std::max(worst, hit.count());
                });
                m_maxRemoval[a][b] = worst;
            });
        }
    }

    // The letters that letter e at position from rules out at position to.
    LetterSet forbidden(int from, int to, unsigned char e) const {
        LetterSet result;
        if (m_differ[from][to])
            result.set(e);
        for (std::uint64_t g = m_groupsOf[e] & m_shared[from][to]; g != 0; g &= g - 1) {
            result |= m_groupLetters[std::countr_zero(g)];
        }
        return result;
    }

    // What one condition removes at position `to` when `from` holds e, as the
    // candidate list is built: a!b removes e itself, a!!b every letter of each
    // group that holds e and that both positions allow.
    LetterSet removedBy(const Rule& rule, int from, int to, unsigned char e) const {
        LetterSet result;
        if (!rule.differentGroups) {
            result.set(e);
            return result;
        }
        for (std::uint64_t g = m_groupsOf[e] & m_sets[from] & m_sets[to]; g != 0; g &= g - 1) {
            result |= m_groupLetters[std::countr_zero(g)];
        }
        return result;
    }

    int maxRemoval(int from, int to) const { return m_maxRemoval[from][to]; }
    const LetterSet& groupLetters(int g) const { return m_groupLetters[g]; }
    int groupCount() const { return static_cast<int>(m_groupLetters.size()); }
    // Positions a and b stand in the same relation to every position of `others`
    // and allow the same groups, so swapping their letters keeps a string valid.
    bool sameRelations(int a, int b, PositionMask others) const {
        if (m_sets[a] != m_sets[b])
            return false;
        bool same = true;
        forEachPosition(others, [&](int r) {
            if (r != a && r != b)
                same = same && m_differ[a][r] == m_differ[b][r] && m_shared[a][r] == m_shared[b][r];
        });
        return same;
    }
    bool differ(int a, int b) const { return m_differ[a][b]; }
    std::uint64_t shared(int a, int b) const { return m_shared[a][b]; }
    std::uint64_t groupsOf(unsigned char e) const { return m_groupsOf[e]; }
    std::uint64_t allowed(int p) const { return m_sets[p]; }
    // Letters at a and b never hold a group that both positions allow.
    bool apart(int a, int b) const { return m_groupRule[a][b] || (m_sets[a] & m_sets[b]) == 0; }

    int letterCount = 0;
    std::array<std::string, kPositions> base;
    std::array<LetterSet, kPositions> domain;
    std::array<PositionMask, kPositions> neighbours{};
    std::vector<Rule> rules;

private:
    std::vector<LetterSet> m_groupLetters;
    std::array<std::uint64_t, 256> m_groupsOf{};
    std::array<std::uint64_t, kPositions> m_sets{};
    std::array<std::array<bool, kPositions>, kPositions> m_differ{};
    std::array<std::array<std::uint64_t, kPositions>, kPositions> m_shared{};
    std::array<std::array<bool, kPositions>, kPositions> m_groupRule{};
    std::array<std::array<int, kPositions>, kPositions> m_maxRemoval{};
};

using Domains = std::array<LetterSet, kPositions>;

}  // namespace generator
