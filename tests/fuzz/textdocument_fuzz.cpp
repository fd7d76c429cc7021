// libFuzzer target for the learner's own text: any bytes decode, and the
// walk from word to word stays inside the text, moves forward, gives only
// words of letters, and finds as many as the document counted.

#include <cstdlib>

#include "core/words/textdocument.h"
#include "core/words/wordtext.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    words::TextDocument document;
    document.text = words::decodeText(std::string_view(reinterpret_cast<const char*>(data), size));
    words::indexDocument(document);
    // A copy of exactly the text's size, so that reading past it is caught.
    const std::string text = document.text;
    std::size_t found = 0;
    std::size_t from = 0;
    std::string lower;
    while (const auto word = words::nextWord(text, from, &lower)) {
        if (word->begin < from || word->begin >= word->end || word->end > text.size() ||
            lower.size() != word->end - word->begin) {
            std::abort();
        }
        for (std::size_t i = word->begin; i < word->end; ++i) {
            if (!words::isLetter(static_cast<unsigned char>(text[i]))) {
                std::abort();
            }
        }
        ++found;
        from = word->end;
    }
    if (found != document.words || document.drillWords.size() > found) {
        std::abort();
    }
    return 0;
}
