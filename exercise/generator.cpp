#include "exercise/generator.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "exercise/random.h"

namespace {

constexpr int kPositions = TaskDescription::kMaxLetters;

// A set of letter bytes.
struct LetterSet {
    std::array<std::uint64_t, 4> w{};

    void set(unsigned char b) { w[b >> 6] |= std::uint64_t{1} << (b & 63); }
    bool test(unsigned char b) const { return (w[b >> 6] >> (b & 63)) & 1; }
    int count() const {
        return std::popcount(w[0]) + std::popcount(w[1]) + std::popcount(w[2]) + std::popcount(w[3]);
    }
    bool none() const { return (w[0] | w[1] | w[2] | w[3]) == 0; }
    LetterSet& operator|=(const LetterSet& o) {
        for (int i = 0; i < 4; ++i)
            w[i] |= o.w[i];
        return *this;
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

struct KeyHash {
    std::size_t operator()(const std::vector<std::uint64_t>& key) const {
        std::uint64_t h = 0x9E3779B97F4A7C15ull;
        for (std::uint64_t v : key) {
            h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
        }
        return static_cast<std::size_t>(h);
    }
};

// Decides whether the positions still open can all be filled, given what the
// letters already placed left to each. A complete search: forward checking,
// the most constrained position first, remembered outcomes per state, and two
// cheap counting arguments that settle the pigeonhole cases at once.
class Completion {
public:
    Completion(const TaskModel& model, long budget) : m_model(model), m_budget(budget) {}

    bool possible(PositionMask open, Domains domains) { return search(open, domains); }

    // Whether the search ran out of its budget of states; every answer it
    // gives from then on is "no".
    bool exhausted() const { return m_budget < 0; }

private:
    bool search(PositionMask open, Domains& dom) {
        if (--m_budget < 0)
            return false;
        // Drop positions that can always be filled last: more letters than all
        // their open neighbours together could ever rule out.
        for (bool dropped = true; dropped;) {
            dropped = false;
            for (int q = 0; q < kPositions; ++q) {
                if (!((open >> q) & 1))
                    continue;
                const int letters = dom[q].count();
                if (letters == 0)
                    return false;
                int load = 0;
                forEachPosition(m_model.neighbours[q] & open,
                                [&](int r) { load += m_model.maxRemoval(r, q); });
                if (load < letters) {
                    open &= PositionMask(~(1u << q));
                    dropped = true;
                }
            }
        }
        if (open == 0)
            return true;

        std::vector<std::uint64_t> key;
        key.reserve(1 + 4 * kPositions);
        key.push_back(open);
        forEachPosition(open, [&](int q) { key.insert(key.end(), dom[q].w.begin(), dom[q].w.end()); });
        if (auto it = m_known.find(key); it != m_known.end())
            return it->second;

        bool result = false;
        if (!countingRulesOut(open, dom)) {
            int chosen = -1;
            int best = 1 << 30;
            forEachPosition(open, [&](int q) {
                const int size = dom[q].count();
                if (size < best) {
                    best = size;
                    chosen = q;
                }
            });
            const PositionMask rest = open & PositionMask(~(1u << chosen));
            const LetterSet tried = worthTrying(chosen, rest, dom);
            tried.forEach([&](unsigned char e) {
                if (result)
                    return;
                Domains child = dom;
                forEachPosition(m_model.neighbours[chosen] & rest,
                                [&](int r) { child[r].remove(m_model.forbidden(chosen, r, e)); });
                result = search(rest, child);
            });
        }
        if (!exhausted())
            m_known.emplace(std::move(key), result);
        return result;
    }

    // The letters of position q that the search has to try. Letter e can
    // stand in for letter f when whatever fits beside f fits beside e too:
    // e rules out no letter by a!b (it is offered by no open position that
    // must differ from q), and the groups of e that count for a!!b are among
    // those of f. Then f is left out, and of letters with equal such groups
    // only the first is kept.
    LetterSet worthTrying(int q, PositionMask rest, const Domains& dom) const {
        LetterSet mustDiffer;
        std::uint64_t counted = 0;
        forEachPosition(m_model.neighbours[q] & rest, [&](int r) {
            if (m_model.differ(q, r))
                mustDiffer |= dom[r];
            counted |= m_model.shared(q, r);
        });
        // The groups that count of the letters that rule out nothing by a!b,
        // reduced to those not holding another one.
        std::vector<std::uint64_t> least;
        dom[q].forEach([&](unsigned char e) {
            if (!mustDiffer.test(e))
                least.push_back(m_model.groupsOf(e) & counted);
        });
        std::sort(least.begin(), least.end(),
                  [](std::uint64_t a, std::uint64_t b) { return std::popcount(a) < std::popcount(b); });
        std::vector<std::uint64_t> minimal;
        for (std::uint64_t m : least) {
            const bool covered =
                std::any_of(minimal.begin(), minimal.end(), [m](std::uint64_t k) { return (k & ~m) == 0; });
            if (!covered)
                minimal.push_back(m);
        }
        LetterSet result;
        std::vector<std::uint64_t> kept;
        dom[q].forEach([&](unsigned char e) {
            const std::uint64_t m = m_model.groupsOf(e) & counted;
            if (!mustDiffer.test(e) && std::find(minimal.begin(), minimal.end(), m) != minimal.end()) {
                if (std::find(kept.begin(), kept.end(), m) == kept.end()) {
                    kept.push_back(m);
                    result.set(e);
                }
                return;
            }
            const bool dominated =
                std::any_of(minimal.begin(), minimal.end(), [m](std::uint64_t k) { return (k & ~m) == 0; });
            if (!dominated)
                result.set(e);
        });
        return result;
    }

    // Necessary conditions on sets of open positions that all exclude one
    // another. With a!b between every pair they need as many distinct letters.
    // Where every pair has a!!b (or allows no common group), the groups that
    // each letter holds among its own position's groups are pairwise disjoint,
    // so each position uses up at least its fewest such groups.
    bool countingRulesOut(PositionMask open, const Domains& dom) const {
        bool ruledOut = false;
        forEachPosition(open, [&](int seed) {
            if (ruledOut)
                return;
            PositionMask letterClique = PositionMask(1u << seed);
            PositionMask groupClique = letterClique;
            forEachPosition(open, [&](int q) {
                if (q == seed)
                    return;
                bool allDiffer = true;
                bool allApart = true;
                forEachPosition(letterClique, [&](int r) { allDiffer = allDiffer && m_model.differ(q, r); });
                forEachPosition(groupClique, [&](int r) { allApart = allApart && m_model.apart(q, r); });
                if (allDiffer)
                    letterClique |= PositionMask(1u << q);
                if (allApart)
                    groupClique |= PositionMask(1u << q);
            });
            if (std::popcount(unsigned(letterClique)) > 1) {
                LetterSet letters;
                forEachPosition(letterClique, [&](int q) { letters |= dom[q]; });
                if (letters.count() < std::popcount(unsigned(letterClique)))
                    ruledOut = true;
            }
            if (!ruledOut && std::popcount(unsigned(groupClique)) > 1) {
                int needed = 0;
                std::uint64_t offered = 0;
                forEachPosition(groupClique, [&](int q) {
                    int least = 64;
                    dom[q].forEach([&](unsigned char e) {
                        const std::uint64_t g = m_model.groupsOf(e) & m_model.allowed(q);
                        least = std::min(least, std::popcount(g));
                        offered |= g;
                    });
                    needed += least;
                });
                if (needed > std::popcount(offered))
                    ruledOut = true;
            }
        });
        return ruledOut;
    }

    const TaskModel& m_model;
    long m_budget;
    std::unordered_map<std::vector<std::uint64_t>, bool, KeyHash> m_known;
};

class Draw {
public:
    Draw(const TaskModel& model, const RandomFunction& random, long searchBudget)
        : m_model(model), m_random(random), m_completion(model, searchBudget) {}

    std::optional<std::string> run() {
        m_letters.assign(m_model.letterCount, '\0');
        if (m_model.letterCount == 0)
            return std::string();
        // A task that cannot be filled at all fails before any draw.
        if (!completable(-1) || !fill(0) || m_completion.exhausted())
            return std::nullopt;
        return m_letters;
    }

private:
    // The candidate list of position p after the letters before it, condition
    // by condition in their written order.
    std::string candidates(int p) const {
        std::string cand = m_model.base[p];
        for (const Rule& rule : m_model.rules) {
            if (rule.first != p && rule.second != p)
                continue;
            const int other = rule.first == p ? rule.second : rule.first;
            if (other > p)
                continue;  // enforced when the later position is drawn
            const LetterSet removed =
                m_model.removedBy(rule, other, p, static_cast<unsigned char>(m_letters[other]));
            std::erase_if(cand, [&](char c) { return removed.test(static_cast<unsigned char>(c)); });
            if (cand.empty())
                break;
        }
        return cand;
    }

    // Whether positions p+1.. can be filled after the letters up to p.
    bool completable(int p) {
        Domains dom{};
        PositionMask open = 0;
        for (int q = p + 1; q < m_model.letterCount; ++q) {
            open |= PositionMask(1u << q);
            dom[q] = m_model.domain[q];
            forEachPosition(m_model.neighbours[q], [&](int o) {
                if (o <= p)
                    dom[q].remove(m_model.forbidden(o, q, static_cast<unsigned char>(m_letters[o])));
            });
        }
        return m_completion.possible(open, dom);
    }

    bool fill(int p) {
        std::string cand = candidates(p);
        while (!cand.empty()) {
            const int n = static_cast<int>(cand.size());
            int i = m_random(n);
            if (i < 0 || i >= n)
                i = 0;  // a source out of contract must not read past the list
            m_letters[p] = cand[i];
            if (p + 1 == m_model.letterCount)
                return true;
            if (completable(p) && fill(p + 1))
                return true;
            if (m_completion.exhausted())
                return false;
            cand.erase(cand.begin() + i);
        }
        return false;
    }

    const TaskModel& m_model;
    const RandomFunction& m_random;
    Completion m_completion;
    std::string m_letters;
};

}  // namespace

std::optional<std::string> drawTaskString(const TaskDescriptions& descriptions, int taskNumber,
                                          const RandomFunction& random, long searchBudget) {
    if (taskNumber < 1 || taskNumber > descriptions.taskCount())
        return std::nullopt;
    const TaskModel model(descriptions, descriptions.tasks[taskNumber - 1]);
    Draw draw(model, random, searchBudget);
    return draw.run();
}

std::optional<std::string> DrawTaskString(const TaskDescriptions& descriptions, int taskNumber) {
    static const RandomFunction processSource = [](int n) { return Random(n); };
    return drawTaskString(descriptions, taskNumber, processSource);
}
