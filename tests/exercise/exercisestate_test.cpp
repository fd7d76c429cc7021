#include <gtest/gtest.h>

#include <limits>

#include "core/exercise/exercisestate.h"

TEST(ExerciseState, ClockDifferencesAreTakenModulo2To32) {
    struct Case {
        std::uint32_t start;
        std::uint32_t now;
        std::int32_t expected;
    };
    const Case cases[] = {
        {1000, 1250, 250},
        {0xFFFFFF00u, 0x100u, 0x200},
        {0xFFFFFFFFu, 0u, 1},
        {5, 5, 0},
    };
    for (const Case& c : cases) {
        ExerciseState s;
        s.startClock(c.start);
        s.startClock(c.start + 999);  // a running clock keeps its start
        EXPECT_EQ(s.stretch(c.now), c.expected) << c.start;
        EXPECT_EQ(s.stopClock(c.now), c.expected) << c.start;
        EXPECT_EQ(s.stopClock(c.now + 50), 0) << "stopped";
    }
}

TEST(ExerciseState, LongTimesStayAtTheTopInsteadOfTurningNegative) {
    ExerciseState s;
    s.item.answer = "a";
    s.totalTime = std::numeric_limits<std::int32_t>::max() - 10;
    s.answers = 1;
    s.startClock(0);
    EXPECT_TRUE(s.judge("a", 100));
    EXPECT_EQ(s.totalTime, std::numeric_limits<std::int32_t>::max());
    // A stretch longer than 2^31 ms counts as the longest time there is.
    s.itemTime = 0;
    s.startClock(0);
    s.holdClock(0x90000000u);
    EXPECT_EQ(s.itemTime, std::numeric_limits<std::int32_t>::max());
}
