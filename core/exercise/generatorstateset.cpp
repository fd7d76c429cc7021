#include "core/exercise/generatorstateset.h"

#include <algorithm>

namespace generator {

std::uint64_t StateSet::hashOf(const std::uint64_t* key, int length) {
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(length);
    for (int i = 0; i < length; ++i) {
        h ^= key[i];
        h *= 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    return h;
}

bool StateSet::equalAt(std::uint32_t start, const std::uint64_t* key, int length) const {
    return m_words[start] == static_cast<std::uint64_t>(length) &&
           std::equal(key, key + length, m_words.begin() + start + 1);
}

bool StateSet::contains(const std::uint64_t* key, int length) const {
    if (m_slots.empty())
        return false;
    const std::uint64_t h = hashOf(key, length);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
        const std::uint64_t slot = m_slots[i];
        if (slot == 0)
            return false;
        if ((slot >> 32) == (h >> 32) && equalAt(static_cast<std::uint32_t>(slot) - 1, key, length))
            return true;
    }
}

void StateSet::insert(const std::uint64_t* key, int length) {
    if (contains(key, length))
        return;
    const std::size_t words = m_words.size() + 1 + static_cast<std::size_t>(length);
    if (words > m_words.capacity()) {
        const std::size_t capacity = std::max<std::size_t>({1024, 2 * m_words.capacity(), words});
        if ((capacity + m_slots.size()) * sizeof(std::uint64_t) > m_maxBytes)
            clear();
        else
            m_words.reserve(capacity);
    }
    if (2 * (m_count + 1) > m_slots.size()) {
        if ((m_words.capacity() + std::max<std::size_t>(1024, 2 * m_slots.size())) * sizeof(std::uint64_t) >
            m_maxBytes)
            clear();
        if (2 * (m_count + 1) > m_slots.size())
            growTable();
    }
    const std::uint64_t h = hashOf(key, length);
    const auto start = static_cast<std::uint32_t>(m_words.size());
    m_words.push_back(static_cast<std::uint64_t>(length));
    m_words.insert(m_words.end(), key, key + length);
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = h & mask;
    while (m_slots[i] != 0)
        i = (i + 1) & mask;
    m_slots[i] = (h & 0xFFFFFFFF00000000ull) | (start + 1u);
    ++m_count;
}

void StateSet::growTable() {
    std::vector<std::uint64_t> old = std::move(m_slots);
    m_slots.assign(std::max<std::size_t>(1024, 2 * old.size()), 0);
    const std::size_t mask = m_slots.size() - 1;
    for (std::uint64_t slot : old) {
        if (slot == 0)
            continue;
        const std::uint32_t start = static_cast<std::uint32_t>(slot) - 1;
        const std::uint64_t h = hashOf(&m_words[start + 1], static_cast<int>(m_words[start]));
        std::size_t i = h & mask;
        while (m_slots[i] != 0)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

// Keeps the memory already taken, for the states to come.
void StateSet::clear() {
    m_words.clear();
    std::fill(m_slots.begin(), m_slots.end(), 0);
    m_count = 0;
}

}  // namespace generator
