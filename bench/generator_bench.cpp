#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <random>
#include <vector>

#include "../tests/exercise/hardtasks.h"
#include "../tests/exercise/tasksamples.h"
#include "core/exercise/generator.h"
#include "core/exercise/random.h"

using namespace samples;

namespace {

// One item of task 1 of the descriptions per iteration, from a fixed seed.
void drawItems(benchmark::State& state, const TaskDescriptions& d, int task, bool expectItem) {
    std::uint32_t seed = 2024;
    const RandomFunction random = [&](int n) { return random_source::draw(seed, n); };
    for (auto _ : state) {
        auto result = drawTaskString(d, task, random);
        if (result.has_value() != expectItem)
            state.SkipWithError("unexpected outcome");
        benchmark::DoNotOptimize(result);
    }
}

void BM_TypicalDefaultTask(benchmark::State& state) {
    drawItems(state, defaults(), 5, true);  // "2 razli\xE8ni \xE8rki"
}

void BM_TypicalTenLetters(benchmark::State& state) {
    TaskDescriptions d = defaults();
    d.tasks.push_back(makeTask({"ten",
                                std::vector<std::vector<int>>(10, {0, 1}),
                                {differ(1, 2), otherGroup(2, 3), differ(5, 9), otherGroup(10, 1)}}));
    drawItems(state, d, 6, true);
}

void BM_LetterPigeonholeTen(benchmark::State& state) {
    drawItems(state, letterPigeonhole(10), 1, false);
}

void BM_LetterPigeonholeNine(benchmark::State& state) {
    drawItems(state, letterPigeonhole(9), 1, true);
}

void BM_GroupPigeonholeTen(benchmark::State& state) {
    drawItems(state, groupPigeonhole(10), 1, false);
}

void BM_GroupPigeonholeNine(benchmark::State& state) {
    drawItems(state, groupPigeonhole(9), 1, true);
}

void BM_LastContradictsFirst(benchmark::State& state) {
    drawItems(state, lastContradictsFirst(), 1, false);
}

void BM_PairPackingTen(benchmark::State& state) {
    drawItems(state, pairPacking(10), 1, false);
}

void BM_PairPackingNine(benchmark::State& state) {
    drawItems(state, pairPacking(9), 1, true);
}

// Random tasks built to sit near the edge of what can be filled: ten or so
// positions, every pair under a!!b, letters in up to three groups each. One
// iteration draws one item of each; "worst_cpu_ms" is the slowest single draw
// in CPU time.
std::vector<TaskDescriptions> denseTasks() {
    std::mt19937 rng(7);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::vector<TaskDescriptions> tasks;
    for (int round = 0; round < 200; ++round) {
        const int groupCount = uniform(6, 25);
        std::vector<std::string> letters(groupCount);
        for (int l = uniform(20, 219), next = 0x21; l > 0 && next < 256; --l, ++next) {
            std::vector<int> owners;
            for (int k = uniform(1, 3); k > 0; --k) {
                const int g = uniform(0, groupCount - 1);
                if (std::find(owners.begin(), owners.end(), g) == owners.end())
                    owners.push_back(g);
            }
            for (int g : owners)
                letters[g] += static_cast<char>(next);
        }
        std::vector<std::pair<std::string, std::string>> groups;
        std::vector<int> all;
        for (int g = 0; g < groupCount; ++g) {
            groups.push_back({"g" + std::to_string(g), letters[g].empty() ? "!" : letters[g]});
            all.push_back(g);
        }
        const int positions = uniform(7, 10);
        tasks.push_back(makeDescriptions(
            groups, {{"x", std::vector<std::vector<int>>(positions, all), allPairs(positions, true)}}));
    }
    return tasks;
}

// CPU time of this thread in milliseconds: the machine may be shared, and a
// draw's own work is what is bounded.
double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void BM_DenseRandomTasks(benchmark::State& state) {
    const std::vector<TaskDescriptions> tasks = denseTasks();
    std::uint32_t seed = 2024;
    const RandomFunction random = [&](int n) { return random_source::draw(seed, n); };
    double worst = 0;
    int failures = 0;
    for (auto _ : state) {
        failures = 0;
        for (const TaskDescriptions& d : tasks) {
            const double start = threadCpuMs();
            const auto result = drawTaskString(d, 1, random);
            worst = std::max(worst, threadCpuMs() - start);
            failures += !result.has_value();
        }
    }
    state.counters["worst_cpu_ms"] = worst;
    state.counters["failing_tasks"] = failures;
}

// One draw per task (half of them with a planted solution); counters: the
// slowest draw in CPU ms, the share of draws refused, the share of planted (so
// satisfiable) tasks refused, which must be 0, and the peak memory of the
// whole benchmark process so far.
void drawHardTasks(benchmark::State& state, const std::vector<std::pair<TaskDescriptions, bool>>& tasks) {
    std::uint32_t seed = 2024;
    const RandomFunction random = [&](int n) { return random_source::draw(seed, n); };
    double worst = 0;
    int refused = 0;
    int plantedRefused = 0;
    for (auto _ : state) {
        refused = 0;
        plantedRefused = 0;
        for (const auto& [d, planted] : tasks) {
            const double start = threadCpuMs();
            const auto result = drawTaskString(d, 1, random);
            worst = std::max(worst, threadCpuMs() - start);
            refused += !result.has_value();
            plantedRefused += planted && !result.has_value();
        }
    }
    state.counters["worst_cpu_ms"] = worst;
    state.counters["refused_share"] = refused / static_cast<double>(tasks.size());
    state.counters["planted_refused_share"] = plantedRefused / std::ceil(tasks.size() / 2.0);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["max_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;  // the whole process
}

// The three families of hard random tasks, 300 seeded instances each.
void hardFamily(benchmark::State& state, HardFamily family) {
    std::mt19937 rng(1700 + static_cast<int>(family));
    std::vector<std::pair<TaskDescriptions, bool>> tasks;
    for (int i = 0; i < 300; ++i) {
        const bool planted = i % 2 == 0;
        tasks.push_back({hardTask(family, hardShape(family), rng, planted), planted});
    }
    drawHardTasks(state, tasks);
}

// Tighter packings than the families: every pair of positions under a
// condition, mostly a!!b, letters in as many groups as just fit (9 x 7 of 64,
// 8 x 6 of 48 with up to 190 letters, 10 x 4 of 40). Satisfiable ones are exact
// covers hidden among random letters; the slowest draws of all are here.
void BM_TightPackings(benchmark::State& state) {
    std::mt19937 rng(4242);
    std::vector<std::pair<TaskDescriptions, bool>> tasks;
    const HardShape shapes[] = {
        {30, 76, 64, 7, 7, 9, 9, 3}, {150, 190, 48, 6, 6, 8, 8, 4}, {30, 76, 40, 4, 4, 10, 10, 4}};
    for (const HardShape& shape : shapes) {
        for (int i = 0; i < 100; ++i) {
            const bool planted = i % 2 == 0;
            tasks.push_back({hardTask(HardFamily::AllPairs, shape, rng, planted), planted});
        }
    }
    drawHardTasks(state, tasks);
}

void BM_HardFirstAgainstMany(benchmark::State& state) {
    hardFamily(state, HardFamily::FirstAgainstMany);
}

void BM_HardAllPairs(benchmark::State& state) {
    hardFamily(state, HardFamily::AllPairs);
}

void BM_HardMixed(benchmark::State& state) {
    hardFamily(state, HardFamily::Mixed);
}

}  // namespace

BENCHMARK(BM_HardFirstAgainstMany)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_HardAllPairs)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_HardMixed)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TightPackings)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DenseRandomTasks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypicalDefaultTask)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypicalTenLetters)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LetterPigeonholeTen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LetterPigeonholeNine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GroupPigeonholeTen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GroupPigeonholeNine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LastContradictsFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PairPackingTen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PairPackingNine)->Unit(benchmark::kMillisecond);
