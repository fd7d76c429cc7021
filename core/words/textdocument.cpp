#include "core/words/textdocument.h"

#include <cstdint>
#include <cstdio>
#include <unordered_set>

#include "core/transcription/cp1250checked.h"
#include "core/words/wordtext.h"

namespace words {

std::string decodeText(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    std::string text;
    text.reserve(bytes.size());
    if (!cp1250::appendFromUtf8(bytes, text, true))
        return text;
    return std::string(bytes);
}

std::optional<WordSpan> nextWord(std::string_view text, std::size_t from, std::string* lowerWord) {
    const auto letter = [&text](std::size_t i) { return isLetter(static_cast<unsigned char>(text[i])); };
    std::size_t i = std::min(from, text.size());
    // Inside a word: its beginning was read already.
    if (i > 0 && i < text.size() && letter(i - 1)) {
        while (i < text.size() && letter(i))
            ++i;
    }
    std::string own;
    std::string& lower = lowerWord != nullptr ? *lowerWord : own;
    while (i < text.size()) {
        while (i < text.size() && !letter(i))
            ++i;
        const std::size_t begin = i;
        while (i < text.size() && letter(i))
            ++i;
        if (begin == i)
            break;
        lower = lowered(text.substr(begin, i - begin));
        if (writable(lower))
            return WordSpan{begin, i};
    }
    return std::nullopt;
}

void indexDocument(TextDocument& document) {
    document.words = 0;
    document.drillWords = WordList{};
    std::unordered_set<std::string> seen;
    std::string lower;
    for (auto span = nextWord(document.text, 0, &lower); span; span = nextWord(document.text, span->end, &lower)) {
        ++document.words;
        if (suitsDrill(lower) && !seen.contains(lower)) {
            document.drillWords.add(lower);
            seen.insert(std::move(lower));
        }
    }
    document.drillWords.sortUnique();
}

std::string pastedKey(std::string_view text) {
    // FNV-1a over the text: the same pasted text comes back to its place.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    char mark[24];
    std::snprintf(mark, sizeof mark, "#%016llx", static_cast<unsigned long long>(hash));
    return mark;
}

}  // namespace words
