#include "core/exercise/generatorcompletion.h"

#include <algorithm>

namespace generator {

Completion::Completion(const TaskModel& model) : m_model(model), m_dead(kMaxDeadStateBytes) {
    LetterSet any;
    for (int q = 0; q < model.letterCount; ++q)
        any |= model.domain[q];
    for (int i = 0; i < 4; ++i) {
        if (any.w[i] != 0)
            m_usedWords[m_usedWordCount++] = i;
    }
    // Where no two positions may share a group, the task is a packing of
    // groups, which branching on groups suits best.
    bool packing = model.letterCount > 2;
    for (int a = 0; a < model.letterCount; ++a) {
        for (int b = a + 1; b < model.letterCount; ++b)
            packing = packing && model.apart(a, b);
    }
    if (packing)
        m_lastSettled = Branching::Groups;
}

// Neither way of branching is best for every task, and either can be far
// worse than the other; so both run in turn with a doubling allowance of
// states until one of them settles the question, the one that settled the
// last question with the larger allowance. Dead states found by either are
// kept for both.
bool Completion::possible(PositionMask open, const Domains& domains, std::string& letters) {
    m_letters = &letters;
    for (long allowance = kFirstAllowance;; allowance *= 2) {
        for (Branching branching : {m_lastSettled, other(m_lastSettled)}) {
            m_filled = 0;
            m_allowance = branching == m_lastSettled ? allowance : allowance / kOtherShare;
            m_branching = branching;
            const Outcome outcome = search(open, domains);
            if (outcome != Outcome::Unknown) {
                m_lastSettled = branching;
                return outcome == Outcome::Filled;
            }
        }
    }
}

Completion::Outcome Completion::search(PositionMask open, const Domains& dom) {
    if (--m_allowance < 0)
        return Outcome::Unknown;
    // Set aside positions that can always be filled last: more letters than
    // all their open neighbours together could ever rule out.
    std::array<int, kPositions> dropped{};
    int droppedCount = 0;
    for (bool again = true; again;) {
        again = false;
        for (int q = 0; q < kPositions; ++q) {
            if (!((open >> q) & 1))
                continue;
            const int letters = dom[q].count();
            if (letters == 0)
                return Outcome::Dead;
            int load = 0;
            forEachPosition(m_model.neighbours[q] & open, [&](int r) { load += m_model.maxRemoval(r, q); });
            if (load < letters) {
                open &= PositionMask(~(1u << q));
                dropped[droppedCount++] = q;
                again = true;
            }
        }
    }
    if (open == 0) {
        fillDropped(dropped.data(), droppedCount, dom);
        return Outcome::Filled;
    }

    // The state: the open positions and their letters, in the words of the
    // letter sets that this task's letters occupy.
    std::array<std::uint64_t, 1 + 4 * kPositions> key;
    int keyLength = 0;
    key[keyLength++] = open;
    forEachPosition(open, [&](int q) {
        for (int i = 0; i < m_usedWordCount; ++i)
            key[keyLength++] = dom[q].w[m_usedWords[i]];
    });
    if (m_dead.contains(key.data(), keyLength))
        return Outcome::Dead;
    GroupUse use{};
    const bool countHolders = m_branching == Branching::Groups;
    forEachPosition(open, [&](int q) {
        use[q].least = 64;
        dom[q].forEach([&](unsigned char e) {
            const std::uint64_t g = m_model.groupsOf(e) & m_model.allowed(q);
            use[q].least = std::min(use[q].least, bitCount(g));
            use[q].offered |= g;
            if (countHolders) {
                for (std::uint64_t bits = g; bits != 0; bits &= bits - 1)
                    ++use[q].holders[std::countr_zero(bits)];
            }
        });
    });
    const Cliques& cliques = cliquesOf(open);
    if (countingRulesOut(open, dom, cliques, use)) {
        m_dead.insert(key.data(), keyLength);
        return Outcome::Dead;
    }

    // Branching on a position: the letters worth trying of the one with the fewest.
    int chosen = -1;
    int fewest = 1 << 30;
    forEachPosition(open, [&](int q) {
        const int size = dom[q].count();
        if (size < fewest) {
            fewest = size;
            chosen = q;
        }
    });
    const LetterSet tried = worthTrying(chosen, open & PositionMask(~(1u << chosen)), dom);
    GroupChoice choice;
    choice.branches = tried.count();
    if (m_branching == Branching::Groups)
        chooseGroup(open, dom, cliques, use, choice);

    // Dead until a branch fills the positions or runs out of allowance.
    Outcome result = Outcome::Dead;
    auto tryBranch = [&](auto branch) {
        if (result == Outcome::Dead)
            result = branch();
    };
    if (choice.group < 0) {
        const PositionMask rest = open & PositionMask(~(1u << chosen));
        tried.forEach([&](unsigned char e) { tryBranch([&] { return assign(chosen, e, rest, dom); }); });
    } else {
        const LetterSet& holders = m_model.groupLetters(choice.group);
        forEachPosition(choice.tried, [&](int q) {
            if (!((m_model.allowed(q) >> choice.group) & 1))
                return;
            LetterSet candidates = dom[q];
            candidates &= holders;
            const PositionMask rest = open & PositionMask(~(1u << q));
            candidates.forEach([&](unsigned char e) { tryBranch([&] { return assign(q, e, rest, dom); }); });
        });
        tryBranch([&] {
            Domains child = dom;
            forEachPosition(choice.clique, [&](int q) {
                if ((m_model.allowed(q) >> choice.group) & 1)
                    child[q].remove(holders);
            });
            return search(open, child);
        });
    }
    if (result == Outcome::Filled)
        fillDropped(dropped.data(), droppedCount, dom);
    else if (result == Outcome::Dead)
        m_dead.insert(key.data(), keyLength);
    return result;
}

// Branching on a group g of a clique of positions that must not share
// groups: at most one of them holds a letter of g, so either one of them does
// (one branch per position and letter; of positions that could swap letters
// only one is tried) or none does. Where letters sit in few groups that all
// have to be used, as in exact-cover problems, this is far narrower than
// trying every letter of a position. Takes the narrowest such branching if it
// has fewer branches than choice already holds.
void Completion::chooseGroup(PositionMask open, const Domains& dom, const Cliques& cliques,
                             const GroupUse& use, GroupChoice& choice) const {
    std::array<PositionMask, kPositions> seen{};
    int seenCount = 0;
    forEachPosition(open, [&](int seed) {
        const PositionMask clique = cliques.group[seed];
        if (bitCount(clique) < 2 ||
            std::find(seen.begin(), seen.begin() + seenCount, clique) != seen.begin() + seenCount)
            return;
        seen[seenCount++] = clique;
        PositionMask representatives = 0;
        std::uint64_t offered = 0;
        forEachPosition(clique, [&](int q) {
            offered |= use[q].offered;
            bool twin = false;
            forEachPosition(representatives, [&](int r) {
                twin = twin || (dom[q] == dom[r] && m_model.sameRelations(q, r, open));
            });
            if (!twin)
                representatives |= PositionMask(1u << q);
        });
        for (std::uint64_t bits = offered; bits != 0; bits &= bits - 1) {
            const int g = std::countr_zero(bits);
            int branches = 1;  // the branch where no position holds g
            forEachPosition(representatives, [&](int q) { branches += use[q].holders[g]; });
            if (branches < choice.branches) {
                choice = {g, clique, representatives, branches};
            }
        }
    });
}

// The greedy cliques of the open positions, from each position in turn: of
// positions with a!b between every pair, and of positions whose letters may
// share no group. They depend on the open positions only, so are kept.
const Completion::Cliques& Completion::cliquesOf(PositionMask open) {
    if (m_cliques.empty())
        m_cliques.resize(std::size_t{1} << kPositions);
    Cliques& c = m_cliques[open];
    if (c.known)
        return c;
    forEachPosition(open, [&](int seed) {
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
        c.letter[seed] = letterClique;
        c.group[seed] = groupClique;
    });
    c.known = true;
    return c;
}

// Necessary conditions on the cliques. With a!b between every pair they need
// as many distinct letters. Where the letters of each pair may share no group
// of both positions, the groups that each letter holds among its own
// position's groups are pairwise disjoint, so each position uses up at least
// its fewest such groups.
bool Completion::countingRulesOut(PositionMask open, const Domains& dom, const Cliques& cliques,
                                  const GroupUse& use) const {
    bool ruledOut = false;
    forEachPosition(open, [&](int seed) {
        if (ruledOut)
            return;
        const PositionMask letterClique = cliques.letter[seed];
        if (bitCount(letterClique) > 1) {
            LetterSet letters;
            forEachPosition(letterClique, [&](int q) { letters |= dom[q]; });
            ruledOut = letters.count() < bitCount(letterClique);
        }
        const PositionMask groupClique = cliques.group[seed];
        if (!ruledOut && bitCount(groupClique) > 1) {
            int needed = 0;
            std::uint64_t offered = 0;
            forEachPosition(groupClique, [&](int q) {
                needed += use[q].least;
                offered |= use[q].offered;
            });
            ruledOut = needed > bitCount(offered);
        }
    });
    return ruledOut;
}

// Puts letter e at position q and searches the positions of rest.
Completion::Outcome Completion::assign(int q, unsigned char e, PositionMask rest, const Domains& dom) {
    Domains child = dom;
    forEachPosition(m_model.neighbours[q] & rest,
                    [&](int r) { child[r].remove(m_model.forbidden(q, r, e)); });
    const Outcome outcome = search(rest, child);
    if (outcome == Outcome::Filled) {
        (*m_letters)[q] = static_cast<char>(e);
        m_filled |= PositionMask(1u << q);
    }
    return outcome;
}

// Fills the positions set aside, last set aside first: each was set aside
// because the positions still open then could not use up all its letters,
// and exactly those are the ones filled before it.
void Completion::fillDropped(const int* dropped, int count, const Domains& dom) {
    for (int i = count - 1; i >= 0; --i) {
        const int q = dropped[i];
        LetterSet left = dom[q];
        forEachPosition(m_model.neighbours[q] & m_filled, [&](int r) {
            left.remove(m_model.forbidden(r, q, static_cast<unsigned char>((*m_letters)[r])));
        });
        unsigned char pick = 0;
        bool found = false;
        left.forEach([&](unsigned char e) {
            if (!found) {
                pick = e;
                found = true;
            }
        });
        (*m_letters)[q] = static_cast<char>(pick);
        m_filled |= PositionMask(1u << q);
    }
}

// The letters of position q that the search has to try. Letter e can
// stand in for letter f when whatever fits beside f fits beside e too:
// e rules out no letter by a!b (it is offered by no open position that
// must differ from q), and the groups of e that count for a!!b are among
// those of f. Then f is left out, and of letters with equal such groups
// only the first is kept.
LetterSet Completion::worthTrying(int q, PositionMask rest, const Domains& dom) const {
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
              [](std::uint64_t a, std::uint64_t b) { return bitCount(a) < bitCount(b); });
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

}  // namespace generator
