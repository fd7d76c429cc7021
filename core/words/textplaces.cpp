#include "core/words/textplaces.h"

#include <algorithm>
#include <charconv>

namespace words {

TextPlaces TextPlaces::fromList(const std::vector<std::string>& list) {
    TextPlaces places;
    for (const std::string& entry : list) {
        const std::size_t tab = entry.find('\t');
        if (tab == std::string::npos || tab + 1 >= entry.size())
            continue;
        std::size_t offset = 0;
        const auto [end, error] = std::from_chars(entry.data(), entry.data() + tab, offset);
        if (error != std::errc{} || end != entry.data() + tab)
            continue;
        std::string key = entry.substr(tab + 1);
        const bool known = std::any_of(places.m_places.begin(), places.m_places.end(),
                                       [&key](const auto& place) { return place.first == key; });
        if (!known && places.m_places.size() < kKept)
            places.m_places.emplace_back(std::move(key), offset);
    }
    return places;
}

std::vector<std::string> TextPlaces::toList() const {
    std::vector<std::string> list;
    list.reserve(m_places.size());
    for (const auto& [key, offset] : m_places)
        list.push_back(std::to_string(offset) + '\t' + key);
    return list;
}

std::size_t TextPlaces::placeOf(const std::string& key) const {
    for (const auto& [known, offset] : m_places) {
        if (known == key)
            return offset;
    }
    return 0;
}

void TextPlaces::set(const std::string& key, std::size_t offset) {
    std::erase_if(m_places, [&key](const auto& place) { return place.first == key; });
    m_places.insert(m_places.begin(), {key, offset});
    if (m_places.size() > kKept)
        m_places.resize(kKept);
}

std::string TextPlaces::lastKey() const {
    return m_places.empty() ? std::string{} : m_places.front().first;
}

}  // namespace words
