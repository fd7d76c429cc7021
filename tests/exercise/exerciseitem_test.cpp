#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/exercise/exerciseitem.h"
#include "core/exercise/random.h"
#include "core/readback/readbackrules.h"
#include "core/transcription/engine.h"
#include "core/transcription/settingssource.h"
#include "tasksamples.h"

using namespace samples;

namespace {

TaskDescriptions tenLetterTasks() {
    // c takes two font codes; \xE1 (long a) reads as "aa".
    return makeDescriptions({{"c", "c"}, {"long", "\xE1"}, {"one", "a"}},
                            {{"ten c", std::vector<std::vector<int>>(10, {0}), {}},
                             {"ten long a", std::vector<std::vector<int>>(10, {1}), {}},
                             {"R&D", {{2}, {2}}, {differ(1, 2)}}});
}

}  // namespace

TEST(PrepareItem, KeepsTheWholeTengwarTextAndExpectedAnswer) {
    const TaskDescriptions d = tenLetterTasks();
    for (int task : {1, 2}) {
        int running = task;
        const ExerciseItem item = PrepareItem(d, running, readback::defaultRules(), {});
        EXPECT_EQ(running, task);
        ASSERT_EQ(item.letters.size(), 10u);
        TConvertData settings;
        EXPECT_EQ(item.tengwar, LatinToTengwar(item.letters, false, settings, false));
        EXPECT_EQ(item.answer, TengwarToLatin(item.letters, readback::defaultRules()));
    }
    int running = 1;
    EXPECT_GT(PrepareItem(d, running, readback::defaultRules(), {}).tengwar.size(), 10u);
    running = 2;
    EXPECT_EQ(PrepareItem(d, running, readback::defaultRules(), {}).answer, std::string(20, 'a'));
}

TEST(PrepareItem, FailureTellsTheTaskNameAndStopsTheTask) {
    const TaskDescriptions d = tenLetterTasks();
    std::vector<std::string> told;
    int running = 3;
    const ExerciseItem item = PrepareItem(d, running, readback::defaultRules(),
                                          [&](const std::string& name) { told.push_back(name); });
    EXPECT_EQ(told, std::vector<std::string>{"R&D"});
    EXPECT_EQ(running, 0);
    EXPECT_TRUE(item.empty());
    EXPECT_EQ(drawFailureMessage("R&D"),
              "Ne morem najti primernega niza za vajo R&D.  Verjetno ste postavili prehude omejitve.");
}

TEST(PrepareItem, NoTaskGivesTheEmptyItemWithoutDrawing) {
    const TaskDescriptions d = tenLetterTasks();
    random_source::setSeed(99);
    int running = 0;
    bool told = false;
    EXPECT_TRUE(
        PrepareItem(d, running, readback::defaultRules(), [&](const std::string&) { told = true; }).empty());
    EXPECT_FALSE(told);
    EXPECT_EQ(random_source::seed(), 99u);
}

TEST(PrepareItem, ReadsTheStoredSwitchesAtEveryItem) {
    const TaskDescriptions d = defaults();
    int reads = 0;
    setSettingsSource([&](TConvertData& s) {
        loadDefaultSettings(s);
        ++reads;
    });
    int running = 3;
    PrepareItem(d, running, readback::defaultRules(), {});
    PrepareItem(d, running, readback::defaultRules(), {});
    setSettingsSource({});
    EXPECT_EQ(reads, 2);
}
