#pragma once

#include <memory>

#include "core/words/worddraw.h"
#include "core/words/wordlist.h"
#include "core/words/wordrun.h"

// "Besede iz slovarja": words drawn evenly from the dictionary.
class DictionaryRun : public WordRun {
public:
    DictionaryRun(std::shared_ptr<const words::WordList> words, words::RandomFunction random);

    std::string name() const override;
    std::string next() override;

private:
    std::shared_ptr<const words::WordList> m_words;
    words::RandomFunction m_random;
    std::size_t m_last = static_cast<std::size_t>(-1);
};
