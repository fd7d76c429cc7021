#pragma once

#include <functional>
#include <memory>

#include "core/words/textdocument.h"
#include "core/words/wordrun.h"

// "Moje besedilo": the learner's text, word by word in reading order, from
// where the learner stopped last time.
class TextRun : public WordRun {
public:
    // Called after every answer with the place to go on from.
    using Remember = std::function<void(std::size_t offset)>;

    // Starts at `from`; at the beginning when no word is left after it (the
    // text was read to its end).
    TextRun(std::shared_ptr<const words::TextDocument> document, std::size_t from, Remember remember);

    std::string name() const override;
    std::string next() override;
    void answered(bool right) override;

    // Where the run stands: the end of the last word given.
    std::size_t position() const { return m_position; }

private:
    std::shared_ptr<const words::TextDocument> m_document;
    Remember m_remember;
    std::size_t m_position = 0;
    std::size_t m_currentEnd = 0;
};
