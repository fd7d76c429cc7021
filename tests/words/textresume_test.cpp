// Coming back to an own text: the stored place is an offset into the file, and
// the file may have been edited since. Wherever the offset now falls, the
// learner goes on from the first word not begun before it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/words/textdocument.h"
#include "core/words/textrun.h"
#include "tests/words/wordsupport.h"

namespace {

std::shared_ptr<const words::TextDocument> edited() {
    auto document = std::make_shared<words::TextDocument>();
    // The text as it is now: a sentence added in front since the place was kept.
    document->text = cp("Nov začetek. Živel je kralj, ki je imel 3 hčere.\r\nNajmlajša je bila Špela.");
    document->key = "/tmp/zgodba.txt";
    document->title = "zgodba.txt";
    words::indexDocument(*document);
    return document;
}

TEST(TextResume, TheWordAtTheStoredPlaceIsGivenAndAWordBegunBeforeItIsNot) {
    const auto document = edited();
    const std::string& text = document->text;
    const auto at = [&text](const char* utf8) { return text.find(cp(utf8)); };
    const std::string resumed = cp("Nadaljujete");
    const std::string again = cp("Besedilo ste že prebrali do konca, zato začenjate znova.");
    const struct {
        const char* what;
        std::size_t from;
        const char* first;  // the first word given (UTF-8)
        bool told;          // "Nadaljujete ..." said
    } cases[] = {
        {"at a word's first letter", at("kralj"), "kralj", true},
        {"at the first letter of a line's first word", at("Najmlajša"), "Najmlajša", true},
        {"at a word after a number", at("hčere"), "hčere", true},
        {"on the blank before a word", at(" kralj"), "kralj", true},
        {"right after a word", at(", ki"), "ki", true},
        {"one letter into a word", at("ralj"), "ki", true},
        {"at a word's last letter", at("j, ki"), "ki", true},
        {"at the last word's first letter", at("Špela"), "Špela", true},
        {"inside the last word", at("pela"), "Nov", false},
        {"at the start", 0, "Nov", false},
        {"at the end", text.size(), "Nov", false},
        {"past the end (the file was shortened)", text.size() + 40, "Nov", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NE(c.from, std::string::npos);
        TextRun run(document, c.from, nullptr);
        const std::string notice = run.takeNotice();
        EXPECT_EQ(notice.starts_with(resumed), c.told) << notice;
        if (!c.told && c.from > 0) {
            EXPECT_EQ(notice, again);
        }
        EXPECT_EQ(run.next(), cp(c.first));
    }
}

// The place kept after an answer brings the learner back to the next word,
// also when the run comes back at that place.
TEST(TextResume, APlaceKeptAfterAnAnswerResumesAtTheNextWord) {
    const auto document = edited();
    std::size_t kept = 0;
    TextRun first(document, 0, [&kept](std::size_t offset) { kept = offset; });
    for (const char* word : {"Nov", "začetek", "Živel"}) {
        ASSERT_EQ(first.next(), cp(word));
        first.answered(true);
    }
    TextRun again(document, kept, nullptr);
    EXPECT_EQ(again.next(), "je");
}

}  // namespace
