#include "core/words/textrun.h"

#include "core/transcription/cp1250.h"

namespace {

std::string percentOf(std::size_t part, std::size_t whole) {
    return std::to_string(whole == 0 ? 0 : part * 100 / whole);
}

}  // namespace

TextRun::TextRun(std::shared_ptr<const words::TextDocument> document, std::size_t from, Remember remember)
    : m_document(std::move(document)), m_remember(std::move(remember)) {
    const std::string& text = m_document->text;
    if (from > 0 && words::nextWord(text, from)) {
        m_position = from;
        tell(cp1250::fromUtf8("Nadaljujete, kjer ste ostali (") + percentOf(from, text.size()) +
             cp1250::fromUtf8(" % besedila je prebranega)."));
    } else if (from > 0) {
        tell(cp1250::fromUtf8("Besedilo ste že prebrali do konca, zato začenjate znova."));
    }
}

std::string TextRun::name() const {
    return cp1250::fromUtf8("Moje besedilo: ") + m_document->title;
}

std::string TextRun::next() {
    const std::string& text = m_document->text;
    const auto span = words::nextWord(text, m_position);
    if (!span) {
        m_position = text.size();
        if (m_remember)
            m_remember(m_position);
        tell(cp1250::fromUtf8("Besedilo „") + m_document->title + cp1250::fromUtf8("“ je prebrano do konca."));
        return {};
    }
    m_position = span->end;
    m_currentEnd = span->end;
    return text.substr(span->begin, span->end - span->begin);
}

void TextRun::answered(bool) {
    if (m_remember)
        m_remember(m_currentEnd);
}
