// Transcription speed on Latin prose, called the way the file conversion calls
// it: the switches loaded once, then reused for every line. Two proses (a
// Slovenian story and the English of the GNU GPL-3 and Apache-2.0 licence texts,
// gathered in the build), each cut into lines of 1,000 and of 80 bytes, and one
// long input that also reports the heap it needs per input byte.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "core/transcription/convertdata.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/engine.h"
#include "core/transcription/settingssource.h"

// Heap accounting for the whole program: the bytes live now and the most live
// since the last reset.
namespace {
std::atomic<std::size_t> g_liveBytes{0};
std::atomic<std::size_t> g_peakBytes{0};

void* allocate(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    const std::size_t live = g_liveBytes += malloc_usable_size(block);
    std::size_t peak = g_peakBytes.load();
    while (live > peak && !g_peakBytes.compare_exchange_weak(peak, live)) {
    }
    return block;
}

void release(void* block) noexcept {
    if (block != nullptr) {
        g_liveBytes -= malloc_usable_size(block);
        std::free(block);
    }
}
}  // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void operator delete(void* block) noexcept {
    release(block);
}
void operator delete[](void* block) noexcept {
    release(block);
}
void operator delete(void* block, std::size_t) noexcept {
    release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    release(block);
}

namespace {

constexpr std::size_t kSlovenianLines = 64;

// Running prose in Windows-1250, line breaks read as spaces.
std::string slovenianProse() {
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
    while (stream.size() < 1000 * kSlovenianLines) {
        stream += prose;
    }
    return stream;
}

// The licence texts as the build gathered them (plain ASCII).
std::string englishProse() {
    std::ifstream file(OSTREL_ENGLISH_PROSE, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

enum class Prose { Slovenian, English };

const std::string& prose(Prose which) {
    static const std::string slovenian = slovenianProse();
    static const std::string english = englishProse();
    return which == Prose::Slovenian ? slovenian : english;
}

// The prose cut into lines of exactly length bytes.
std::vector<std::string> lines(Prose which, std::size_t length) {
    const std::string& text = prose(which);
    std::vector<std::string> cut;
    for (std::size_t at = 0; at + length <= text.size(); at += length) {
        cut.push_back(text.substr(at, length));
    }
    return cut;
}

// Line after line with one result buffer reused, as the file conversion does.
void BM_Lines(benchmark::State& state, Prose which, std::size_t length, bool raw) {
    const auto cut = lines(which, length);
    if (cut.empty()) {
        state.SkipWithError("no prose");
        return;
    }
    TConvertData settings;
    loadDefaultSettings(settings);
    std::string codes;
    std::size_t next = 0;
    for (auto _ : state) {
        LatinToTengwar(cut[next], raw, settings, true, codes);
        benchmark::DoNotOptimize(codes.data());
        next = next + 1 == cut.size() ? 0 : next + 1;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * length));
}
BENCHMARK_CAPTURE(BM_Lines, slovenian_1000, Prose::Slovenian, 1000, false);
BENCHMARK_CAPTURE(BM_Lines, slovenian_80, Prose::Slovenian, 80, false);
BENCHMARK_CAPTURE(BM_Lines, english_1000, Prose::English, 1000, false);
BENCHMARK_CAPTURE(BM_Lines, english_80, Prose::English, 80, false);
// Letters straight to glyphs (the test pane's "med" mode), for comparison.
BENCHMARK_CAPTURE(BM_Lines, raw_slovenian_1000, Prose::Slovenian, 1000, true);

// A fresh result string for every line.
void BM_LinesFreshResult(benchmark::State& state) {
    const auto cut = lines(Prose::Slovenian, 1000);
    TConvertData settings;
    loadDefaultSettings(settings);
    std::size_t next = 0;
    for (auto _ : state) {
        std::string codes = LatinToTengwar(cut[next], false, settings, true);
        benchmark::DoNotOptimize(codes.data());
        next = next + 1 == cut.size() ? 0 : next + 1;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 1000));
}
BENCHMARK(BM_LinesFreshResult);

// One 16 MiB input of English prose, as a file without digits or punctuation
// gives the conversion. heap_per_byte: the most heap held at once during the
// calls, over what was held before the first (the result and anything the
// engine keeps between calls included), per input byte.
void BM_LongInput(benchmark::State& state) {
    std::string input;
    while (input.size() < (std::size_t{16} << 20)) {
        input += prose(Prose::English);
    }
    TConvertData settings;
    loadDefaultSettings(settings);
    const std::size_t before = g_liveBytes.load();
    g_peakBytes = before;
    for (auto _ : state) {
        std::string codes = LatinToTengwar(input, false, settings, true);
        benchmark::DoNotOptimize(codes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
    state.counters["heap_per_byte"] =
        static_cast<double>(g_peakBytes.load() - before) / static_cast<double>(input.size());
}
// A fixed count, so that no earlier run of this case leaves buffers behind.
BENCHMARK(BM_LongInput)->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace
