#include "core/words/dictionaryrun.h"

#include "core/transcription/cp1250.h"

DictionaryRun::DictionaryRun(std::shared_ptr<const words::WordList> words, words::RandomFunction random)
    : m_words(std::move(words)), m_random(std::move(random)) {}

std::string DictionaryRun::name() const {
    return cp1250::fromUtf8("Besede iz slovarja");
}

std::string DictionaryRun::next() {
    if (!m_words || m_words->empty()) {
        tell(cp1250::fromUtf8("V slovarju ni besede, ki bi jo program znal zapisati v tengwarju."));
        return {};
    }
    const int n = static_cast<int>(m_words->size());
    auto pick = static_cast<std::size_t>(m_random(n));
    // The same word twice in a row looks like a fault.
    if (pick == m_last && n > 1)
        pick = (pick + 1 + static_cast<std::size_t>(m_random(n - 1))) % static_cast<std::size_t>(n);
    m_last = pick;
    return std::string((*m_words)[pick]);
}
