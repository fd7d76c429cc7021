#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace generator {

// A set of search states, each a short run of 64-bit words. The runs are
// stored end to end in one array and found through an open-addressing table,
// so a state costs its words and two table slots, with no allocation of its
// own. The set never holds more than maxBytes: a state that would need more
// empties it first, as it serves as a cache.
class StateSet {
public:
    explicit StateSet(std::size_t maxBytes) : m_maxBytes(maxBytes) {}

    bool contains(const std::uint64_t* key, int length) const;
    void insert(const std::uint64_t* key, int length);
    void clear();
    std::size_t size() const { return m_count; }
    // Memory held: the words of the states and the table.
    std::size_t bytes() const { return (m_words.capacity() + m_slots.size()) * sizeof(std::uint64_t); }

private:
    static std::uint64_t hashOf(const std::uint64_t* key, int length);
    bool equalAt(std::uint32_t start, const std::uint64_t* key, int length) const;
    void growTable();

    std::vector<std::uint64_t> m_words;  // per state: its length, then its words
    std::vector<std::uint64_t> m_slots;  // upper half: hash bits; lower half: start + 1; 0 = empty
    std::size_t m_count = 0;
    std::size_t m_maxBytes;
};

}  // namespace generator
