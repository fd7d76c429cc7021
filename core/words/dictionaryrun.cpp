#include "core/words/dictionaryrun.h"

#include <algorithm>

#include "core/transcription/cp1250.h"

namespace {

// How often a word is drawn again when it was among the recent ones; as
// often again when it was the last one.
constexpr int kAttempts = 8;

}  // namespace

DictionaryRun::DictionaryRun(std::shared_ptr<const words::WordList> words,
                             std::shared_ptr<const words::CommonWords> common, words::RandomFunction random)
    : m_words(std::move(words)), m_common(std::move(common)), m_random(std::move(random)) {}

std::string DictionaryRun::name() const {
    return cp1250::fromUtf8("Besede iz slovarja");
}

std::string_view DictionaryRun::drawOne() const {
    if (m_common && !m_common->empty() && m_random(100) < words::kCommonPercent) {
        // Of two common words drawn evenly, the more common: the chance of a
        // rank falls evenly from the first word of the list to its last.
        const int n = static_cast<int>(m_common->size());
        const auto rank = static_cast<std::size_t>(std::min(m_random(n), m_random(n)));
        return m_common->word(rank);
    }
    return (*m_words)[static_cast<std::size_t>(m_random(static_cast<int>(m_words->size())))];
}

std::string DictionaryRun::next() {
    if (!m_words || m_words->empty()) {
        tell(cp1250::fromUtf8("V slovarju ni besede, ki bi jo program znal zapisati v tengwarju."));
        return {};
    }
    std::string_view word = drawOne();
    for (int attempt = 1;
         attempt < 2 * kAttempts && m_recent.contains(word, attempt < kAttempts ? words::RecentWords::kKept : 1);
         ++attempt)
        word = drawOne();
    m_recent.add(word);
    return std::string(word);
}
