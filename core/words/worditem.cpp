#include "core/words/worditem.h"

#include "core/transcription/engine.h"
#include "core/words/wordtext.h"

namespace words {

namespace {

std::string tengwarOf(std::string_view text, const TConvertData& settings) {
    TConvertData copy = settings;
    return LatinToTengwar(lowered(text), false, copy, true);
}

}  // namespace

ExerciseItem makeWordItem(std::string_view word, const TConvertData& settings) {
    ExerciseItem item;
    const std::string lower = lowered(word);
    SpelledLetters spelled = spelledLetters(lower, settings);
    item.letters = std::move(spelled.letters);
    item.spellings = std::move(spelled.spellings);
    item.tengwar = tengwarOf(lower, settings);
    item.answer = std::string(word);
    return item;
}

bool answerMatches(const ExerciseItem& item, std::string_view typed, const TConvertData& settings) {
    return !item.tengwar.empty() && tengwarOf(typed, settings) == item.tengwar;
}

bool answerComplete(const ExerciseItem& item, std::string_view typed, const TConvertData& settings) {
    const std::string written = tengwarOf(typed, settings);
    if (!item.tengwar.empty() && written == item.tengwar)
        return true;
    return typed.size() >= item.answer.size() && item.tengwar.compare(0, written.size(), written) != 0;
}

}  // namespace words
