#include "core/exercise/generator.h"

#include "core/exercise/generatorcompletion.h"
#include "core/exercise/generatortaskmodel.h"
#include "core/exercise/random.h"

namespace {

using namespace generator;

class Draw {
public:
    Draw(const TaskModel& model, const RandomFunction& random)
        : m_model(model), m_random(random), m_completion(model), m_possible(model.domain) {
        const auto all = static_cast<PositionMask>((1u << model.letterCount) - 1);
        for (int q = 1; q < model.letterCount; ++q) {
            if (model.domain[q] == model.domain[0] && model.sameRelations(0, q, all))
                m_twinsOfFirst |= PositionMask(1u << q);
        }
    }

    std::optional<std::string> run() {
        m_letters.assign(m_model.letterCount, '\0');
        m_witness.assign(m_model.letterCount, '\0');
        if (m_model.letterCount == 0)
            return std::string();
        // A task that cannot be filled at all fails before any draw.
        if (!completable(-1) || !fill(0))
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

    // Whether positions p+1.. can be filled after the letters up to p. The
    // last way found to fill the later positions is kept: while it still fits
    // beside the letters drawn since, it answers without a search.
    bool completable(int p) {
        if (p >= 0 && !m_possible[p].test(static_cast<unsigned char>(m_letters[p])))
            return false;
        if (m_witnessFrom >= 0 && m_witnessFrom <= p + 1 && witnessFits(p))
            return true;
        Domains dom{};
        PositionMask open = 0;
        for (int q = p + 1; q < m_model.letterCount; ++q) {
            open |= PositionMask(1u << q);
            dom[q] = m_possible[q];
            forEachPosition(m_model.neighbours[q], [&](int o) {
                if (o <= p)
                    dom[q].remove(m_model.forbidden(o, q, static_cast<unsigned char>(m_letters[o])));
            });
        }
        m_witnessFrom = -1;
        if (!m_completion.possible(open, dom, m_witness)) {
            if (p == 0)
                ruleOutFirst(static_cast<unsigned char>(m_letters[0]));
            return false;
        }
        m_witnessFrom = p + 1;
        return true;
    }

    // Letter e as the first letter fits in no string at all. Neither does it
    // at a position that could swap letters with the first in every string.
    void ruleOutFirst(unsigned char e) {
        LetterSet letter;
        letter.set(e);
        m_possible[0].remove(letter);
        forEachPosition(m_twinsOfFirst, [&](int q) { m_possible[q].remove(letter); });
    }

    // Whether the kept letters of positions p+1.. meet every condition with
    // the letters drawn at 0..p.
    bool witnessFits(int p) const {
        for (int q = p + 1; q < m_model.letterCount; ++q) {
            bool fits = true;
            forEachPosition(m_model.neighbours[q], [&](int o) {
                if (o <= p) {
                    const LetterSet ruledOut =
                        m_model.forbidden(o, q, static_cast<unsigned char>(m_letters[o]));
                    fits = fits && !ruledOut.test(static_cast<unsigned char>(m_witness[q]));
                }
            });
            if (!fits)
                return false;
        }
        return true;
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
            cand.erase(cand.begin() + i);
        }
        return false;
    }

    const TaskModel& m_model;
    const RandomFunction& m_random;
    Completion m_completion;
    // Per position, the letters not yet known to fit in no string at all there.
    Domains m_possible;
    PositionMask m_twinsOfFirst = 0;  // positions that can swap letters with the first
    std::string m_letters;
    std::string m_witness;   // one valid way to fill positions m_witnessFrom.. after the drawn ones
    int m_witnessFrom = -1;  // -1: none kept
};

}  // namespace

std::optional<std::string> drawTaskString(const TaskDescriptions& descriptions, int taskNumber,
                                          const RandomFunction& random) {
    if (taskNumber < 1 || taskNumber > descriptions.taskCount())
        return std::nullopt;
    const TaskModel model(descriptions, descriptions.tasks[taskNumber - 1]);
    Draw draw(model, random);
    return draw.run();
}

std::optional<std::string> DrawTaskString(const TaskDescriptions& descriptions, int taskNumber) {
    static const RandomFunction processSource = [](int n) { return Random(n); };
    return drawTaskString(descriptions, taskNumber, processSource);
}
