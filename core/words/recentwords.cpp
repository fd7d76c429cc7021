#include "core/words/recentwords.h"

#include <algorithm>

namespace words {

bool RecentWords::contains(std::string_view word, std::size_t window) const {
    window = std::min({window, kKept, m_count});
    for (std::size_t back = 1; back <= window; ++back) {
        if (m_words[(m_count - back) % kKept] == word)
            return true;
    }
    return false;
}

void RecentWords::add(std::string_view word) {
    m_words[m_count % kKept].assign(word);
    ++m_count;
}

}  // namespace words
