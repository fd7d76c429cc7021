#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/exercise/generatorstateset.h"
#include "core/exercise/generatortaskmodel.h"

namespace generator {

// Decides whether the positions still open can all be filled, given what the
// letters already placed left to each, and when they can, gives one way to
// fill them. A complete search with no limit: forward checking, counting
// arguments that settle pigeonhole cases at once, remembered dead states, and
// a choice per state between trying every letter of the most constrained
// position and deciding who holds the scarcest group of positions that must
// not share groups (the way exact-cover problems are best searched).
class Completion {
public:
    explicit Completion(const TaskModel& model);

    // On success, letters[q] is set for every position q of `open`.
    bool possible(PositionMask open, const Domains& domains, std::string& letters);

private:
    enum class Outcome { Dead, Filled, Unknown };
    enum class Branching { Positions, Groups };
    static Branching other(Branching b) {
        return b == Branching::Positions ? Branching::Groups : Branching::Positions;
    }
    static constexpr long kFirstAllowance = 256;
    static constexpr long kOtherShare = 4;  // the other branching gets this share less

    static constexpr std::size_t kMaxDeadStateBytes = std::size_t{32} << 20;

    // Per open position: the fewest groups any of its letters holds among
    // the position's own groups, all groups its letters hold there, and (when
    // branching on groups) how many of its letters hold each of them.
    struct PositionGroups {
        int least = 0;
        std::uint64_t offered = 0;
        std::array<std::uint16_t, 64> holders{};
    };
    using GroupUse = std::array<PositionGroups, kPositions>;
    struct Cliques {
        bool known = false;
        std::array<PositionMask, kPositions> letter{};  // from each position: a!b between every pair
        std::array<PositionMask, kPositions> group{};   // from each position: no shared group possible
    };
    struct GroupChoice {
        int group = -1;  // none: branch on a position
        PositionMask clique = 0;
        PositionMask tried = 0;  // the clique's positions whose letters are tried
        int branches = 0;
    };

    Outcome search(PositionMask open, const Domains& dom);
    Outcome assign(int q, unsigned char e, PositionMask rest, const Domains& dom);
    void fillDropped(const int* dropped, int count, const Domains& dom);
    LetterSet worthTrying(int q, PositionMask rest, const Domains& dom) const;
    const Cliques& cliquesOf(PositionMask open);
    bool countingRulesOut(PositionMask open, const Domains& dom, const Cliques& cliques,
                          const GroupUse& use) const;
    void chooseGroup(PositionMask open, const Domains& dom, const Cliques& cliques, const GroupUse& use,
                     GroupChoice& choice) const;

    const TaskModel& m_model;
    std::string* m_letters = nullptr;
    PositionMask m_filled = 0;  // positions of *m_letters set on the way back from a success
    long m_allowance = 0;       // states the running search may still visit
    Branching m_branching = Branching::Positions;
    // Tasks tend to suit one way throughout, so the one that settled the
    // last question goes first and gets the larger allowance.
    Branching m_lastSettled = Branching::Positions;
    std::array<int, 4> m_usedWords{};  // the words of a LetterSet that the task's letters occupy
    int m_usedWordCount = 0;
    StateSet m_dead;
    std::vector<Cliques> m_cliques;  // by open positions, filled as met
};

}  // namespace generator
