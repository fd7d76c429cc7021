#include "core/words/wordindex.h"

#include <algorithm>
#include <bit>
#include <string>

#include "core/progress/course.h"
#include "core/words/wordtext.h"

namespace words {

namespace {

// The number of letters of the order a word needs unlocked: one past its
// latest letter; past the whole order when it has another letter.
int needed(LetterMask mask) {
    if ((mask & kOtherLetter) != 0)
        return course::letterCount() + 1;
    return mask == 0 ? 0 : 64 - std::countl_zero(mask);
}

}  // namespace

LetterMask lettersOf(std::string_view phonetic) {
    LetterMask mask = 0;
    for (const char c : phonetic) {
        const int place = course::position(static_cast<unsigned char>(c));
        mask |= place < 0 ? kOtherLetter : LetterMask{1} << place;
    }
    return mask;
}

std::shared_ptr<const WordIndex> forSwitches(const std::shared_ptr<const WordIndex>& index,
                                             const TConvertData& settings) {
    if (!index || index->madeFor(settings))
        return index;
    return std::make_shared<const WordIndex>(index->list(), settings, index->common());
}

WordIndex::WordIndex(std::shared_ptr<const WordList> words, const TConvertData& settings,
                     std::shared_ptr<const CommonWords> common)
    : m_words(std::move(words)), m_common(std::move(common)), m_settings(settings) {
    const std::size_t n = m_words ? m_words->size() : 0;
    const int orderSize = course::letterCount();
    // Counting sort by the letters needed: a stable order, words of earlier
    // letters first.
    std::vector<LetterMask> maskOf(n);
    std::vector<std::uint32_t> count(static_cast<std::size_t>(orderSize) + 2, 0);
    for (std::size_t i = 0; i < n; ++i) {
        maskOf[i] = lettersOf(phoneticLetters((*m_words)[i], m_settings));
        ++count[static_cast<std::size_t>(needed(maskOf[i]))];
    }
    std::vector<std::uint32_t> start(count.size() + 1, 0);
    for (std::size_t k = 0; k < count.size(); ++k)
        start[k + 1] = start[k] + count[k];
    m_order.resize(n);
    m_masks.resize(n);
    std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
    for (std::size_t i = 0; i < n; ++i) {
        const auto slot = next[static_cast<std::size_t>(needed(maskOf[i]))]++;
        m_order[slot] = static_cast<std::uint32_t>(i);
        m_masks[slot] = maskOf[i];
    }
    // Words needing at most k letters are the first start[k + 1].
    m_usable.resize(static_cast<std::size_t>(orderSize) + 1);
    m_reach.assign(static_cast<std::size_t>(orderSize) + 1, 0);
    m_commonUsable.assign(static_cast<std::size_t>(orderSize) + 1, 0);
    LetterMask reach = 0;
    std::size_t at = 0;
    for (int k = 0; k <= orderSize; ++k) {
        const std::uint32_t end = start[static_cast<std::size_t>(k) + 1];
        for (; at < end; ++at) {
            reach |= m_masks[at];
            if (m_common && m_common->rankOf(word(at)) != kNotCommon)
                m_commonPlaces.push_back(static_cast<std::uint32_t>(at));
        }
        m_usable[static_cast<std::size_t>(k)] = end;
        m_reach[static_cast<std::size_t>(k)] = reach;
        m_commonUsable[static_cast<std::size_t>(k)] = static_cast<std::uint32_t>(m_commonPlaces.size());
        // Words that need exactly k letters have the letter at place k - 1.
        if (k > 0 && end > start[static_cast<std::size_t>(k)])
            m_openable |= LetterMask{1} << (k - 1);
    }
    m_commonPlaces.shrink_to_fit();
}

std::size_t WordIndex::usable(int unlocked) const {
    if (m_usable.empty())
        return 0;
    unlocked = std::clamp(unlocked, 0, static_cast<int>(m_usable.size()) - 1);
    return m_usable[static_cast<std::size_t>(unlocked)];
}

LetterMask WordIndex::reach(int unlocked) const {
    if (m_reach.empty())
        return 0;
    unlocked = std::clamp(unlocked, 0, static_cast<int>(m_reach.size()) - 1);
    return m_reach[static_cast<std::size_t>(unlocked)];
}

std::size_t WordIndex::commonUsable(int unlocked) const {
    if (m_commonUsable.empty())
        return 0;
    unlocked = std::clamp(unlocked, 0, static_cast<int>(m_commonUsable.size()) - 1);
    return m_commonUsable[static_cast<std::size_t>(unlocked)];
}

std::size_t WordIndex::bytes() const {
    return m_order.capacity() * sizeof(std::uint32_t) + m_masks.capacity() * sizeof(LetterMask) +
           m_usable.capacity() * sizeof(std::uint32_t) + m_reach.capacity() * sizeof(LetterMask) +
           (m_commonPlaces.capacity() + m_commonUsable.capacity()) * sizeof(std::uint32_t);
}

}  // namespace words
