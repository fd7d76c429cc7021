#include "core/words/commonwords.h"

#include "core/transcription/cp1250.h"
#include "core/words/wordtext.h"

namespace words {

CommonWords CommonWords::parse(std::string_view utf8Text) {
    CommonWords common;
    std::size_t at = 0;
    while (at < utf8Text.size()) {
        std::size_t end = utf8Text.find('\n', at);
        if (end == std::string_view::npos)
            end = utf8Text.size();
        const std::string_view line = trimmed(utf8Text.substr(at, end - at));
        at = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        std::string word = lowered(cp1250::fromUtf8(line));
        if (suitsDrill(word))
            common.add(std::move(word));
    }
    return common;
}

void CommonWords::add(std::string word) {
    const auto rank = static_cast<std::uint32_t>(m_words.size());
    if (m_ranks.emplace(word, rank).second)
        m_words.push_back(std::move(word));
}

std::uint32_t CommonWords::rankOf(std::string_view word) const {
    const auto found = m_ranks.find(std::string(word));
    return found == m_ranks.end() ? kNotCommon : found->second;
}

CommonWords CommonWords::presentIn(const WordList& sorted) const {
    CommonWords present;
    for (const std::string& word : m_words) {
        if (sorted.contains(word))
            present.add(word);
    }
    return present;
}

}  // namespace words
