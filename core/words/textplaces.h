#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// Where the learner stopped in each of the texts read lately, most recent
// first, kept in the settings store as a list of "offset<TAB>key" entries.
namespace words {

class TextPlaces {
public:
    static constexpr std::size_t kKept = 30;

    static TextPlaces fromList(const std::vector<std::string>& list);
    std::vector<std::string> toList() const;

    // The offset where the text stopped; 0 for a text not read before.
    std::size_t placeOf(const std::string& key) const;
    // Remembers a text's place and makes it the most recent; the oldest beyond
    // kKept are forgotten.
    void set(const std::string& key, std::size_t offset);
    // The most recent text's key, empty when none.
    std::string lastKey() const;

private:
    std::vector<std::pair<std::string, std::size_t>> m_places;
};

}  // namespace words
