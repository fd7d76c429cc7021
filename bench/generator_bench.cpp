#include <benchmark/benchmark.h>

#include <cstdint>

#include "../tests/exercise/tasksamples.h"
#include "exercise/generator.h"
#include "exercise/random.h"

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

}  // namespace

BENCHMARK(BM_TypicalDefaultTask)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypicalTenLetters)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LetterPigeonholeTen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LetterPigeonholeNine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GroupPigeonholeTen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GroupPigeonholeNine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LastContradictsFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PairPackingTen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PairPackingNine)->Unit(benchmark::kMillisecond);
