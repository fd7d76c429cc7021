// The descriptions are parsed again on every keystroke in either field: this
// measures one parse of the defaults and of texts at every limit.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/exercise/defaultdescriptions.h"
#include "core/exercise/descriptionsparser.h"

namespace {

void BM_ParseDefaults(benchmark::State& state) {
    TaskDescriptions result;
    DescriptionErrors errors;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ParseDescriptions(kDefaultLetterGroups, kDefaultTaskDescriptions, result, errors));
    }
}
BENCHMARK(BM_ParseDefaults);

// 64 groups, 64 tasks of 10 positions with 8 alternatives each and 64 conditions.
void BM_ParseFullTexts(benchmark::State& state) {
    std::vector<std::string> groups;
    for (int g = 0; g < 64; ++g) {
        groups.push_back("skupina" + std::to_string(g) + "=abcdefghijklmnopqrstuvwxyz");
    }
    std::string position;
    for (int a = 0; a < 8; ++a) {
        position += (a > 0 ? "|skupina" : "skupina") + std::to_string(56 + a);
    }
    std::string letters;
    for (int p = 0; p < 10; ++p) {
        letters += (p > 0 ? "+" : "") + position;
    }
    std::string conditions;
    for (int c = 0; c < 64; ++c) {
        conditions += (c > 0 ? "," : "") + std::to_string(c % 9 + 1) + (c % 2 ? "!!" : "!") + "10";
    }
    std::vector<std::string> tasks;
    for (int t = 0; t < 64; ++t) {
        tasks.push_back("naloga " + std::to_string(t) + "=" + letters + ";" + conditions);
    }
    TaskDescriptions result;
    DescriptionErrors errors;
    if (!ParseDescriptions(groups, tasks, result, errors)) {
        state.SkipWithError("the full texts should parse without faults");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseDescriptions(groups, tasks, result, errors));
    }
}
BENCHMARK(BM_ParseFullTexts);

// Every line faulty: the cost of formatting messages.
void BM_ParseFaultyTexts(benchmark::State& state) {
    std::vector<std::string> groups(200, "ime z presledkom=abc");
    std::vector<std::string> tasks(200, "naloga=neznana+neznana;1!x");
    TaskDescriptions result;
    DescriptionErrors errors;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseDescriptions(groups, tasks, result, errors));
    }
}
BENCHMARK(BM_ParseFaultyTexts);

}  // namespace
