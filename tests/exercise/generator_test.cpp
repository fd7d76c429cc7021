#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <sys/time.h>
#include <unistd.h>

#include "core/exercise/generator.h"
#include "core/exercise/generatorstateset.h"
#include "core/exercise/random.h"
#include "hardtasks.h"
#include "tasksamples.h"

using namespace samples;

namespace {

// The draw exactly as the program's documentation describes it: a plain
// exhaustive depth-first search, candidates rebuilt on every visit. Slow, but
// it is the yardstick for the generator's distribution.
class PlainSearch {
public:
    PlainSearch(const TaskDescriptions& d, int taskNumber, const RandomFunction& random)
        : m_d(d), m_task(d.tasks[taskNumber - 1]), m_random(random) {}

    std::optional<std::string> run() {
        m_s.assign(m_task.letterCount, '\0');
        if (!fill(1))
            return std::nullopt;
        return m_s;
    }

private:
    static bool holds(const std::string& letters, char c) { return letters.find(c) != std::string::npos; }

    bool fill(int d) {
        const int p = d - 1;
        std::string cand;
        for (int i = 0; i < m_d.groupCount(); ++i) {
            if ((m_task.positions[p] >> i) & 1)
                cand += m_d.groups[i].letters;
        }
        for (int c : m_task.conditions) {
            const int v = std::abs(c) - 1;
            const int x = v / 10;
            const int y = v % 10;
            if (p != x && p != y)
                continue;
            const int o = p == x ? y : x;
            if (o > p)
                continue;
            const char e = m_s[o];
            if (c > 0) {
                std::erase(cand, e);
            } else {
                for (int j = 0; j < m_d.groupCount(); ++j) {
                    const std::string& g = m_d.groups[j].letters;
                    if (holds(g, e) && ((m_task.positions[o] >> j) & 1) && ((m_task.positions[p] >> j) & 1)) {
                        std::erase_if(cand, [&](char l) { return holds(g, l); });
                    }
                }
            }
            if (cand.empty())
                return false;
        }
        int n = static_cast<int>(cand.size());
        while (n > 0) {
            const int i = m_random(n);
            m_s[p] = cand[i];
            if (d == m_task.letterCount)
                return true;
            if (fill(d + 1))
                return true;
            cand.erase(cand.begin() + i);
            --n;
        }
        return false;
    }

    const TaskDescriptions& m_d;
    const TaskDescription& m_task;
    const RandomFunction& m_random;
    std::string m_s;
};

using Distribution = std::map<std::optional<std::string>, double>;

// The exact distribution of a draw's outcomes: every sequence of answers the
// random source could give is played out, each weighted by its probability.
// Returns nullopt when there are more than `limit` sequences.
template <class Run>
std::optional<Distribution> exactDistribution(Run run, long limit = 400000) {
    Distribution dist;
    std::vector<std::pair<int, int>> script;  // (answer, n) per call
    for (long runs = 0;; ++runs) {
        if (runs > limit)
            return std::nullopt;
        std::size_t call = 0;
        double weight = 1.0;
        const RandomFunction scripted = [&](int n) {
            if (call == script.size())
                script.push_back({0, n});
            weight /= n;
            return script[call++].first;
        };
        dist[run(scripted)] += weight;
        script.resize(call);
        while (!script.empty() && script.back().first + 1 >= script.back().second)
            script.pop_back();
        if (script.empty())
            return dist;
        ++script.back().first;
    }
}

Distribution generatorDistribution(const TaskDescriptions& d, int task) {
    auto dist = exactDistribution([&](const RandomFunction& r) { return drawTaskString(d, task, r); });
    EXPECT_TRUE(dist.has_value());
    return dist.value_or(Distribution{});
}

void expectSameDistribution(const Distribution& expected, const Distribution& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (const auto& [outcome, p] : expected) {
        auto it = actual.find(outcome);
        ASSERT_NE(it, actual.end()) << (outcome ? *outcome : "<fail>");
        EXPECT_NEAR(p, it->second, 1e-9) << (outcome ? *outcome : "<fail>");
    }
}

// A fixed-seed generator source for statistical checks.
RandomFunction lcg(std::uint32_t seed) {
    return [seed](int n) mutable { return random_source::draw(seed, n); };
}

// Whether s fills the task: each letter offered by a group its position
// allows, every condition met. Read straight from the descriptions.
bool meetsTask(const TaskDescriptions& d, const TaskDescription& task, const std::string& s) {
    auto inGroup = [&](int g, char c) { return d.groups[g].letters.find(c) != std::string::npos; };
    if (static_cast<int>(s.size()) != task.letterCount)
        return false;
    for (int p = 0; p < task.letterCount; ++p) {
        bool offered = false;
        for (int g = 0; g < d.groupCount(); ++g)
            offered = offered || (((task.positions[p] >> g) & 1) && inGroup(g, s[p]));
        if (!offered)
            return false;
    }
    for (int code : task.conditions) {
        const Condition c = decodeCondition(code);
        const char x = s[c.first - 1];
        const char y = s[c.second - 1];
        if (!c.differentGroups && x == y)
            return false;
        for (int g = 0; g < d.groupCount() && c.differentGroups; ++g) {
            const bool bothAllow = ((task.positions[c.first - 1] & task.positions[c.second - 1]) >> g) & 1;
            if (bothAllow && inGroup(g, x) && inGroup(g, y))
                return false;
        }
    }
    return true;
}

// Whether any string fills the task: every string over the letters of the
// groups is tried, a prefix given up as soon as the conditions among its own
// positions fail.
bool anyStringFits(const TaskDescriptions& d, const TaskDescription& task) {
    std::string letters;
    for (const LetterGroup& g : d.groups)
        letters += g.letters;
    std::sort(letters.begin(), letters.end());
    letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
    TaskDescription prefixTask = task;
    std::string s;
    auto extend = [&](auto& self) -> bool {
        if (static_cast<int>(s.size()) == task.letterCount)
            return true;
        for (char c : letters) {
            s.push_back(c);
            prefixTask.letterCount = static_cast<int>(s.size());
            prefixTask.conditions.clear();
            for (int code : task.conditions) {
                const Condition k = decodeCondition(code);
                if (k.first <= prefixTask.letterCount && k.second <= prefixTask.letterCount)
                    prefixTask.conditions.push_back(code);
            }
            if (meetsTask(d, prefixTask, s) && self(self))
                return true;
            s.pop_back();
        }
        return false;
    };
    return extend(extend);
}

bool isVowel(char c) {
    return kVowels.find(c) != std::string::npos;
}

// A random task over the first `alphabet` letters from 'a': two to five groups
// of up to four letters, each position allowing about two thirds of them, and
// a condition of either kind on about a third of the ordered pairs of positions.
TaskDescriptions randomTask(std::mt19937& rng, int alphabet, int minPositions, int maxPositions) {
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int groupCount = uniform(2, 5);
    std::vector<std::pair<std::string, std::string>> groups;
    for (int g = 0; g < groupCount; ++g) {
        std::string letters;
        for (int i = uniform(1, 4); i > 0; --i)
            letters += static_cast<char>('a' + uniform(0, alphabet - 1));
        groups.push_back({"g" + std::to_string(g), letters});
    }
    TaskShape shape{"t", {}, {}};
    const int positions = uniform(minPositions, maxPositions);
    for (int p = 0; p < positions; ++p) {
        std::vector<int> allowed;
        for (int g = 0; g < groupCount; ++g) {
            if (uniform(0, 2) != 0)
                allowed.push_back(g);
        }
        if (allowed.empty())
            allowed.push_back(uniform(0, groupCount - 1));
        shape.positions.push_back(allowed);
    }
    for (int a = 1; a <= positions; ++a) {
        for (int b = 1; b <= positions; ++b) {
            const int kind = uniform(0, 9);
            if (a != b && kind < 3)
                shape.conditions.push_back(kind == 0 ? differ(a, b) : otherGroup(a, b));
        }
    }
    return makeDescriptions(groups, {shape});
}

// A draw that does not come back must fail its test at once rather than hang
// the suite until its time-out: while a bound is set, a timer of the
// processor time used (not of the clock, so a busy machine does not trip it)
// ends the run.
void drawsTookTooLong(int) {
    static const char kMessage[] = "\nThe generator did not finish within its bound.\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
    std::_Exit(1);
}

class CpuTimeBound {
public:
    explicit CpuTimeBound(int seconds) {
        std::signal(SIGVTALRM, drawsTookTooLong);
        set(seconds);
    }
    CpuTimeBound(const CpuTimeBound&) = delete;
    CpuTimeBound& operator=(const CpuTimeBound&) = delete;
    ~CpuTimeBound() { set(0); }

private:
    static void set(int seconds) {
        itimerval timer{};
        timer.it_value.tv_sec = seconds;
        ::setitimer(ITIMER_VIRTUAL, &timer, nullptr);
    }
};

}  // namespace

TEST(Random, FollowsTheLinearCongruentialRecurrence) {
    random_source::setSeed(1);
    EXPECT_EQ(Random(100), 3);
    EXPECT_EQ(random_source::seed(), 134775814u);
    EXPECT_EQ(Random(7), 6);
    EXPECT_EQ(random_source::seed(), 3698175007u);
    EXPECT_EQ(Random(1 << 30), 217519655);  // (870078620 * 2^30) >> 32
    EXPECT_EQ(random_source::seed(), 870078620u);
    random_source::setSeed(0xFFFFFFFFu);
    EXPECT_EQ(Random(1), 0);
}

TEST(Random, RandomizeSeedsFromUtcMillisecondsSinceMidnight) {
    using namespace std::chrono;
    const auto day = sys_days{year{2024} / March / 9};
    const auto time = day + hours{13} + minutes{45} + seconds{12} + milliseconds{345};
    EXPECT_EQ(random_source::millisecondsSinceMidnight(time), 49512345u);
    EXPECT_EQ(random_source::millisecondsSinceMidnight(day), 0u);
    EXPECT_EQ(random_source::millisecondsSinceMidnight(day - milliseconds{1}), 86399999u);

    random_source::setClock([time] { return time; });
    random_source::setSeed(7);
    Randomize();
    EXPECT_EQ(random_source::seed(), 49512345u);
    random_source::setClock({});
}

TEST(Random, EqualSeedsGiveEqualItems) {
    const TaskDescriptions d = defaults();
    std::vector<std::string> first;
    random_source::setSeed(4242);
    for (int i = 0; i < 50; ++i)
        first.push_back(DrawTaskString(d, 5).value());
    random_source::setSeed(4242);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(DrawTaskString(d, 5).value(), first[i]);
}

// While no letter is a dead end the generator asks the random source exactly
// what the plain search asks, so the same seed gives the same items.
TEST(Generator, SameItemsAsThePlainSearchWhenNothingFails) {
    const TaskDescriptions d = defaults();
    for (int task = 1; task <= d.taskCount(); ++task) {
        std::uint32_t a = 1000u + task;
        std::uint32_t b = a;
        const RandomFunction ra = [&](int n) { return random_source::draw(a, n); };
        const RandomFunction rb = [&](int n) { return random_source::draw(b, n); };
        for (int i = 0; i < 300; ++i) {
            EXPECT_EQ(drawTaskString(d, task, ra), PlainSearch(d, task, rb).run()) << task;
        }
    }
}

// Hand-made small tasks with repeats, overlapping groups, dead ends and both
// kinds of condition: the outcome probabilities equal the plain search's.
TEST(Generator, DistributionEqualsThePlainSearch) {
    const TaskDescriptions d = makeDescriptions(
        {{"v", "ae"}, {"c", "bcd"}, {"w", "aab"}, {"one", "a"}},
        {
            {"vc 1!!2", {{0, 1}, {0}}, {otherGroup(1, 2)}},
            {"overlap", {{0, 2}, {1, 2}, {0, 1}}, {otherGroup(1, 2), differ(3, 2), otherGroup(3, 1)}},
            {"dead ends", {{0, 1, 2}, {3}, {0, 2}}, {differ(1, 2), differ(3, 1), otherGroup(2, 3)}},
            {"impossible", {{3}, {3}}, {differ(1, 2)}},
            {"repeats", {{2}, {2}, {2}}, {differ(1, 2), differ(2, 3)}},
            {"backward", {{0, 1}, {0, 1}, {2}}, {otherGroup(3, 1), differ(2, 1)}},
        });
    for (int task = 1; task <= d.taskCount(); ++task) {
        SCOPED_TRACE(d.tasks[task - 1].name);
        const auto expected =
            exactDistribution([&](const RandomFunction& r) { return PlainSearch(d, task, r).run(); });
        ASSERT_TRUE(expected.has_value());
        expectSameDistribution(*expected, generatorDistribution(d, task));
    }
}

// The same comparison over many small random tasks.
TEST(Generator, DistributionEqualsThePlainSearchOnRandomTasks) {
    std::mt19937 rng(20240309);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int compared = 0;
    int withFailure = 0;
    int withBacktracking = 0;
    for (int round = 0; round < 300; ++round) {
        std::vector<std::pair<std::string, std::string>> groups;
        const int groupCount = uniform(1, 3);
        for (int g = 0; g < groupCount; ++g) {
            std::string letters;
            for (int i = uniform(1, 3); i > 0; --i)
                letters += static_cast<char>('a' + uniform(0, 3));
            groups.push_back({"g" + std::to_string(g), letters});
        }
        TaskShape shape{"t", {}, {}};
        const int positions = uniform(2, 4);
        for (int p = 0; p < positions; ++p) {
            std::vector<int> allowed;
            for (int g = 0; g < groupCount; ++g) {
                if (uniform(0, 1) == 1)
                    allowed.push_back(g);
            }
            if (allowed.empty())
                allowed.push_back(uniform(0, groupCount - 1));
            shape.positions.push_back(allowed);
        }
        for (int c = uniform(0, 4); c > 0; --c) {
            const int a = uniform(1, positions);
            int b = uniform(1, positions - 1);
            if (b >= a)
                ++b;
            shape.conditions.push_back(uniform(0, 1) == 1 ? differ(a, b) : otherGroup(a, b));
        }
        const TaskDescriptions d = makeDescriptions(groups, {shape});
        long plainCalls = 0;
        long generatorCalls = 0;
        const auto expected = exactDistribution(
            [&](const RandomFunction& r) {
                return PlainSearch(d, 1,
                                   [&](int n) {
                                       ++plainCalls;
                                       return r(n);
                                   })
                    .run();
            },
            40000);
        if (!expected)
            continue;
        const auto actual = exactDistribution([&](const RandomFunction& r) {
            return drawTaskString(d, 1, [&](int n) {
                ++generatorCalls;
                return r(n);
            });
        });
        ASSERT_TRUE(actual.has_value());
        expectSameDistribution(*expected, *actual);
        ++compared;
        if (expected->count(std::nullopt) != 0)
            ++withFailure;
        if (plainCalls > generatorCalls)
            ++withBacktracking;
    }
    EXPECT_GT(compared, 250);
    EXPECT_GT(withFailure, 10);
    EXPECT_GT(withBacktracking, 10);
}

// Larger random tasks, dense with conditions and with letters in several
// groups: the generator fails exactly when no string satisfies the task (found
// by trying every string), and what it draws satisfies it.
TEST(Generator, FailsExactlyWhenNoStringFits) {
    std::mt19937 rng(7);
    int fitting = 0;
    int impossible = 0;
    for (int round = 0; round < 300; ++round) {
        const TaskDescriptions d = randomTask(rng, 7, 3, 6);
        const TaskDescription& task = d.tasks[0];
        const int positions = task.letterCount;

        auto fits = [&](const std::string& s) { return meetsTask(d, task, s); };
        bool exists = false;
        std::string s(positions, 'a');
        for (long n = 0; !exists; ++n) {
            long rest = n;
            for (int p = 0; p < positions; ++p, rest /= 7)
                s[p] = static_cast<char>('a' + rest % 7);
            if (rest != 0)
                break;
            exists = fits(s);
        }
        const auto drawn = drawTaskString(d, 1, lcg(round));
        ASSERT_EQ(drawn.has_value(), exists) << round;
        if (drawn) {
            EXPECT_TRUE(fits(*drawn)) << *drawn;
            ++fitting;
        } else {
            ++impossible;
        }
    }
    EXPECT_GT(fitting, 50);
    EXPECT_GT(impossible, 50);
}

// Many random tasks up to the longest, each drawn with an ordinary source and
// with sources that always answer the first or the last: every string drawn
// keeps its task's rules, a draw asks at most one number per letter its
// positions offer, a refused task is refused before any number is asked, and
// all of it ends within a bound.
TEST(Generator, RandomTasksAreDrawnOrRefusedWithinABound) {
    const CpuTimeBound bound(5);
    std::mt19937 rng(29);
    struct Overdrawn {};
    int drawn = 0;
    int refused = 0;
    for (int round = 0; round < 400; ++round) {
        const TaskDescriptions d = randomTask(rng, 12, 3, TaskDescription::kMaxLetters);
        const TaskDescription& task = d.tasks[0];
        long offered = 0;
        for (int p = 0; p < task.letterCount; ++p) {
            for (int g = 0; g < d.groupCount(); ++g)
                offered += ((task.positions[p] >> g) & 1) ? static_cast<long>(d.groups[g].letters.size()) : 0;
        }
        const RandomFunction sources[] = {lcg(round), [](int) { return 0; }, [](int n) { return n - 1; }};
        for (const RandomFunction& source : sources) {
            long asked = 0;
            const RandomFunction counted = [&](int n) {
                if (++asked > offered)
                    throw Overdrawn{};
                return source(n);
            };
            try {
                if (const auto s = drawTaskString(d, 1, counted)) {
                    EXPECT_TRUE(meetsTask(d, task, *s)) << round << ": " << *s;
                    ++drawn;
                } else {
                    EXPECT_EQ(asked, 0) << round;
                    ++refused;
                }
            } catch (const Overdrawn&) {
                ADD_FAILURE() << round << ": more than " << offered << " numbers asked";
            }
        }
    }
    EXPECT_GT(drawn, 300);
    EXPECT_GT(refused, 300);
}

// Hard random tasks of the three families of the benchmark. Shrunk to a size
// that can be decided by trying strings, every draw either meets the task or
// the task has no string at all; at full size, every task with a planted
// string gets a string that meets it.
TEST(Generator, HardTasksAreRefusedOnlyWhenNoStringFits) {
    int drawn = 0;
    int impossible = 0;
    for (HardFamily family : {HardFamily::FirstAgainstMany, HardFamily::AllPairs, HardFamily::Mixed}) {
        std::mt19937 rng(31 + static_cast<int>(family));
        HardShape small = hardShape(family);
        small.alphabetMin = 6;
        small.alphabetMax = 9;
        small.groupCount = family == HardFamily::Mixed ? 12 : 9;
        small.membershipMin = std::min(small.membershipMin, 2);
        small.membershipMax = std::min(small.membershipMax, 3);
        small.positionMin = std::min(small.positionMin, 3);
        small.positionMax = std::min(small.positionMax, 5);
        for (int i = 0; i < 150; ++i) {
            const TaskDescriptions d = hardTask(family, small, rng, i % 3 == 0);
            const auto result = drawTaskString(d, 1, lcg(i));
            if (result) {
                EXPECT_TRUE(meetsTask(d, d.tasks[0], *result)) << *result;
                ++drawn;
            } else {
                EXPECT_FALSE(anyStringFits(d, d.tasks[0])) << static_cast<int>(family) << " " << i;
                ++impossible;
            }
        }
        for (int i = 0; i < 20; ++i) {
            const TaskDescriptions d = hardTask(family, hardShape(family), rng, true);
            const auto result = drawTaskString(d, 1, lcg(i));
            ASSERT_TRUE(result.has_value()) << static_cast<int>(family) << " " << i;
            EXPECT_TRUE(meetsTask(d, d.tasks[0], *result)) << *result;
        }
    }
    EXPECT_GT(drawn, 100);
    EXPECT_GT(impossible, 50);
}

TEST(Generator, TwoDifferentLettersNeverEqual) {
    const TaskDescriptions d = defaults();
    const RandomFunction r = lcg(77);
    for (int i = 0; i < 3000; ++i) {
        const std::string s = drawTaskString(d, 5, r).value();
        ASSERT_EQ(s.size(), 2u);
        EXPECT_NE(s[0], s[1]);
    }
}

TEST(Generator, RepeatedLetterWeighsTheDraw) {
    const TaskDescriptions d =
        makeDescriptions({{"x", "aab"}, {"y", "aab"}}, {{"x", {{0}}, {}}, {"doubled mask", {{0, 1}}, {}}});
    const Distribution exact = generatorDistribution(d, 1);
    EXPECT_NEAR(exact.at("a"), 2.0 / 3.0, 1e-12);
    EXPECT_NEAR(exact.at("b"), 1.0 / 3.0, 1e-12);

    const RandomFunction r = lcg(12345);
    int a = 0;
    const int draws = 30000;
    for (int i = 0; i < draws; ++i)
        a += drawTaskString(d, 1, r).value() == "a";
    EXPECT_NEAR(static_cast<double>(a) / draws, 2.0 / 3.0, 0.015);

    // Both groups allowed: their letters are concatenated, so the weights stay 2:1.
    const Distribution both = generatorDistribution(d, 2);
    EXPECT_NEAR(both.at("a"), 2.0 / 3.0, 1e-12);
}

TEST(Generator, FailsWhenNoStringFits) {
    const CpuTimeBound bound(5);
    struct Case {
        const char* what;
        TaskDescriptions descriptions;
    };
    const std::vector<Case> cases = {
        {"one letter, 1!2", makeDescriptions({{"x", "a"}}, {{"x", {{0}, {0}}, {differ(1, 2)}}})},
        {"vowels, 1!!2", makeDescriptions({{"samoglasniki", kVowels}, {"soglasniki", kConsonants}},
                                          {{"x", {{0}, {0}}, {otherGroup(1, 2)}}})},
        {"ten letters from nine", letterPigeonhole(10)},
        {"ten groups from nine", groupPigeonhole(10)},
        {"last contradicts first", lastContradictsFirst()},
        {"disjoint pairs from nineteen groups", pairPacking(10)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(drawTaskString(c.descriptions, 1, lcg(5)), std::nullopt) << c.what;
    }
}

TEST(Generator, TightTasksStillFindTheirStrings) {
    {
        const TaskDescriptions d = letterPigeonhole(9);
        const std::string s = drawTaskString(d, 1, lcg(3)).value();
        EXPECT_EQ(std::set<char>(s.begin(), s.end()).size(), 9u);
    }
    {
        const TaskDescriptions d = groupPigeonhole(9);
        const std::string s = drawTaskString(d, 1, lcg(3)).value();
        std::set<int> groups;
        for (char c : s)
            groups.insert((c - 'A') / 5);
        EXPECT_EQ(groups.size(), 9u);
    }
    {
        const TaskDescriptions d = pairPacking(9);
        const std::string s = drawTaskString(d, 1, lcg(3)).value();
        std::set<int> groups;
        for (char c : s) {
            for (int g = 0; g < d.groupCount(); ++g) {
                if (d.groups[g].letters.find(c) != std::string::npos) {
                    EXPECT_TRUE(groups.insert(g).second);
                }
            }
        }
        EXPECT_EQ(groups.size(), 18u);
    }
}

TEST(Generator, DifferentGroupsConditionForcesTheOtherGroup) {
    const TaskDescriptions d = makeDescriptions(
        {{"samoglasniki", kVowels}, {"soglasniki", kConsonants}},
        {{"both", {{0, 1}, {0, 1}}, {otherGroup(1, 2)}}, {"x", {{0, 1}, {0}}, {otherGroup(1, 2)}}});
    const RandomFunction r = lcg(99);
    int vowelsFirst = 0;
    for (int i = 0; i < 2000; ++i) {
        const std::string s = drawTaskString(d, 1, r).value();
        EXPECT_NE(isVowel(s[0]), isVowel(s[1])) << s;
        vowelsFirst += isVowel(s[0]);
    }
    EXPECT_GT(vowelsFirst, 0);
    for (int i = 0; i < 2000; ++i) {
        const std::string s = drawTaskString(d, 2, r).value();
        EXPECT_FALSE(isVowel(s[0])) << s;
        EXPECT_TRUE(isVowel(s[1])) << s;
    }
}

TEST(Generator, ConditionOrderOfPositionsDoesNotMatter) {
    const TaskDescriptions d =
        makeDescriptions({{"g", "abc"}, {"h", "cd"}}, {{"1!2", {{0, 1}, {0}}, {differ(1, 2)}},
                                                       {"2!1", {{0, 1}, {0}}, {differ(2, 1)}},
                                                       {"1!!2", {{0, 1}, {0, 1}}, {otherGroup(1, 2)}},
                                                       {"2!!1", {{0, 1}, {0, 1}}, {otherGroup(2, 1)}}});
    expectSameDistribution(generatorDistribution(d, 1), generatorDistribution(d, 2));
    expectSameDistribution(generatorDistribution(d, 3), generatorDistribution(d, 4));
}

TEST(Generator, TaskOutOfRangeFails) {
    const TaskDescriptions d = defaults();
    EXPECT_EQ(drawTaskString(d, 0, lcg(1)), std::nullopt);
    EXPECT_EQ(drawTaskString(d, 6, lcg(1)), std::nullopt);
}

// The search's store of dead states: what is put in is found again, and the
// memory it holds stays under its bound however many states come.
TEST(StateSet, FindsWhatItHoldsAndKeepsToItsMemory) {
    const std::size_t limit = 1 << 16;
    generator::StateSet set(limit);
    std::mt19937_64 rng(5);
    for (int i = 0; i < 20000; ++i) {
        std::vector<std::uint64_t> key(1 + i % 7);
        for (auto& w : key)
            w = rng();
        set.insert(key.data(), static_cast<int>(key.size()));
        ASSERT_TRUE(set.contains(key.data(), static_cast<int>(key.size())));
        ASSERT_LE(set.bytes(), limit);
    }
    EXPECT_LT(set.size(), 20000u);  // it has started afresh at least once

    set.clear();
    const std::uint64_t key[] = {1, 2, 3, 0};
    set.insert(key, 3);
    EXPECT_TRUE(set.contains(key, 3));
    EXPECT_FALSE(set.contains(key, 2));
    EXPECT_FALSE(set.contains(key, 4));
}
