#include <gtest/gtest.h>

#include "core/words/worditem.h"
#include "core/words/wordtext.h"
#include "tests/words/wordsupport.h"

namespace {

struct JudgeCase {
    const char* word;
    const char* typed;
    bool right;
    bool complete;  // judged without Enter
    TConvertData settings = switches();
};

TEST(WordJudging, AnAnswerIsRightWhenItWritesTheSameTengwar) {
    const JudgeCase cases[] = {
        {"konj", "konj", true, true},
        // Case is ignored, also of the letters with a caron.
        {"konj", "KONJ", true, true},
        {"šola", "Šola", true, true},
        {"Šola", "šOLA", true, true},
        // nj, ng and nk are one letter under the default switches: homographs.
        {"konj", "kong", true, true},
        {"konj", "konk", true, true},
        // ... but not when their switches are off.
        {"konj", "kong", false, true, switches({{flag::Ng, false}})},
        // One wrong letter; a letter left out; a letter typed in addition.
        {"konj", "kanj", false, true},
        {"konj", "koj", false, false},
        {"konj", "konjj", false, true},
        // ts writes c only under its switch; the longer spelling is typed to
        // its end before it is judged.
        {"koc", "kots", true, true, switches({{flag::Ts, true}})},
        {"koc", "kot", false, false, switches({{flag::Ts, true}})},
        {"koc", "kots", false, true},
        // An empty answer is wrong and waits for Enter.
        {"ne", "", false, false},
    };
    for (const JudgeCase& c : cases) {
        const ExerciseItem item = words::makeWordItem(cp(c.word), c.settings);
        EXPECT_EQ(words::answerMatches(item, cp(c.typed), c.settings), c.right) << c.word << " / " << c.typed;
        EXPECT_EQ(words::answerComplete(item, cp(c.typed), c.settings), c.complete)
            << c.word << " / " << c.typed;
    }
}

TEST(WordJudging, TheItemShowsTheWordAndSpellsEachLetter) {
    struct Case {
        const char* word;
        const char* letters;
        std::vector<std::string> spellings;
        TConvertData settings = switches();
    };
    const Case cases[] = {
        {"Konj", "koN", {"k", "o", "nj"}},
        {"masa", "masa", {"m", "a", "s", "a"}},
        {"massa", "masSa", {"m", "a", "ss", "", "a"}},
        {"mize", "miz\xC4\x9B", {"m", "i", "z", "e"}, switches({{flag::FinalSilentE, true}})},
        {"ljubezen", "Lubezen", {"lj", "u", "b", "e", "z", "e", "n"}},
    };
    for (const Case& c : cases) {
        const ExerciseItem item = words::makeWordItem(cp(c.word), c.settings);
        EXPECT_EQ(item.answer, cp(c.word));
        EXPECT_EQ(item.letters, cp(c.letters)) << c.word;
        std::vector<std::string> spellings;
        for (const std::string& s : c.spellings)
            spellings.push_back(cp(s));
        EXPECT_EQ(item.spellings, spellings) << c.word;
        EXPECT_FALSE(item.tengwar.empty());
    }
}

TEST(WordJudging, LettersAndCaseOfWindows1250) {
    const std::string upper = cp("ABCČDĐŠŽĆÁÜ");
    EXPECT_EQ(words::lowered(upper), cp("abcčdđšžćáü"));
    for (const char c : upper) {
        EXPECT_TRUE(words::isLetter(static_cast<unsigned char>(c)));
        EXPECT_FALSE(words::isLower(static_cast<unsigned char>(c)));
    }
    for (const char c : cp("0 -'.,»«")) {
        EXPECT_FALSE(words::isLetter(static_cast<unsigned char>(c))) << int(static_cast<unsigned char>(c));
    }
    EXPECT_TRUE(words::writable(cp("čžš")));
    // ć has no Tengwar of its own here: it would be dropped.
    EXPECT_FALSE(words::writable(cp("matić")));
    EXPECT_FALSE(words::writable(""));
}

}  // namespace
