#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace words {

// The words a drill gave last, so that none comes again within a short
// window.
class RecentWords {
public:
    // How many of the last words are kept.
    static constexpr std::size_t kKept = 20;

    // Whether the word is one of the last `window` given (at most kKept).
    bool contains(std::string_view word, std::size_t window = kKept) const;
    void add(std::string_view word);

private:
    std::array<std::string, kKept> m_words;
    std::size_t m_count = 0;  // all ever added; the newest is at (m_count - 1) % kKept
};

}  // namespace words
