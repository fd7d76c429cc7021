#pragma once

#include <memory>

#include "core/words/commonwords.h"
#include "core/words/recentwords.h"
#include "core/words/worddraw.h"
#include "core/words/wordlist.h"
#include "core/words/wordrun.h"

// "Besede iz slovarja": mostly common words, the more common the more often,
// now and then any word of the dictionary; none again within a short window.
class DictionaryRun : public WordRun {
public:
    // common: the common words that the dictionary holds (may be null).
    DictionaryRun(std::shared_ptr<const words::WordList> words, std::shared_ptr<const words::CommonWords> common,
                  words::RandomFunction random);

    std::string name() const override;
    std::string next() override;

private:
    std::string_view drawOne() const;

    std::shared_ptr<const words::WordList> m_words;
    std::shared_ptr<const words::CommonWords> m_common;
    words::RandomFunction m_random;
    words::RecentWords m_recent;
};
