// The hidden window's wave: building its tables when the window opens, and
// placing the 116 groups of one frame (every 50 ms).
#include <benchmark/benchmark.h>

#include "core/help/wavepath.h"

namespace {

void BM_WavePathTables(benchmark::State& state) {
    for (auto _ : state) {
        WavePath path(427, 247);
        benchmark::DoNotOptimize(path.period());
    }
}
BENCHMARK(BM_WavePathTables);

void BM_WaveFramePlaces(benchmark::State& state) {
    const WavePath path(427, 247);
    const std::vector<int> widths(116, 30);
    const std::vector<int> centres = WaveText::centres(widths);
    int offset = WaveText::startOffset(path.period());
    for (auto _ : state) {
        double sum = 0;
        for (const int centre : centres) {
            sum += path.placeAt(centre + offset).x;
        }
        benchmark::DoNotOptimize(sum);
        offset -= 5;
    }
}
BENCHMARK(BM_WaveFramePlaces);

}  // namespace
