// Transcription speed on long lines of Latin prose, called the way the file
// conversion calls it: the switches loaded once, then reused for every line.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "transcription/convertdata.h"
#include "transcription/cp1250.h"
#include "transcription/engine.h"
#include "transcription/settingssource.h"

namespace {

constexpr std::size_t kLineLength = 1000;
constexpr std::size_t kLineCount = 64;

// Lines of exactly kLineLength bytes cut from running prose.
std::vector<std::string> proseLines() {
    const std::string prose = cp1250::fromUtf8(
        "Nekoč je živel mlad kovač, ki je vsak dan hodil čez goro v dolino, kjer je stala stara "
        "kovačnica ob potoku. Ob poti so rasle smreke in bukve, zjutraj pa je nad vodo ležala megla. "
        "Ko je prišel do mostu, se je ustavil, pogledal proti gozdu in zaslišal ptice, ki so pele "
        "tiho pesem o dolgih poletjih in kratkih zimah. Ai! laurië lantar lassi súrinen, yéni "
        "únótimë ve rámar aldaron! In the quiet of the evening the smith thought of the road that "
        "goes ever on and on, down from the door where it began; the shadows lengthened, and the "
        "light of the stars shone through the branches. Dzveneči zvonovi so se oglasili v daljavi, "
        "ljudje so se vračali domov in ognji so zagoreli v ognjiščih. Rhudaur, Mordor, Lothlórien, "
        "Isildur in Elendil so imena iz starih zgodb, ki jih pripovedujejo ob dolgih nočeh.  ");
    std::string stream;
    while (stream.size() < kLineLength * kLineCount) {
        stream += prose;
    }
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < kLineCount; ++i) {
        lines.push_back(stream.substr(i * kLineLength, kLineLength));
    }
    return lines;
}

void BM_LatinToTengwarLine(benchmark::State& state) {
    const auto lines = proseLines();
    TConvertData settings;
    loadDefaultSettings(settings);
    std::size_t next = 0;
    for (auto _ : state) {
        std::string codes = LatinToTengwar(lines[next], false, settings, true);
        benchmark::DoNotOptimize(codes.data());
        next = (next + 1) % lines.size();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLineLength));
}
BENCHMARK(BM_LatinToTengwarLine);

// The same with one result buffer reused from line to line.
void BM_LatinToTengwarLineReused(benchmark::State& state) {
    const auto lines = proseLines();
    TConvertData settings;
    loadDefaultSettings(settings);
    std::string codes;
    std::size_t next = 0;
    for (auto _ : state) {
        LatinToTengwar(lines[next], false, settings, true, codes);
        benchmark::DoNotOptimize(codes.data());
        next = (next + 1) % lines.size();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLineLength));
}
BENCHMARK(BM_LatinToTengwarLineReused);

// Letters straight to glyphs (the test pane's "med" mode), for comparison.
void BM_LatinToTengwarRawLine(benchmark::State& state) {
    const auto lines = proseLines();
    TConvertData settings;
    std::string codes;
    std::size_t next = 0;
    for (auto _ : state) {
        LatinToTengwar(lines[next], true, settings, true, codes);
        benchmark::DoNotOptimize(codes.data());
        next = (next + 1) % lines.size();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLineLength));
}
BENCHMARK(BM_LatinToTengwarRawLine);

}  // namespace
