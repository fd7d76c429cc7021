// The drills of real words: loading and indexing the dictionary, drawing a
// word under the course's letters, and reading a large text of one's own.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "core/exercise/random.h"
#include "core/progress/course.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/settingssource.h"
#include "core/words/textdocument.h"
#include "core/words/worddraw.h"
#include "core/words/wordindex.h"
#include "core/words/wordlist.h"

namespace {

const char* const kDictionary = "/usr/share/hunspell/sl_SI.dic";

TConvertData defaults() {
    TConvertData settings;
    loadDefaultSettings(settings);
    return settings;
}

// Resident memory in bytes, from the kernel's own count.
long residentBytes() {
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * 4096;
}

std::shared_ptr<const words::WordIndex> loadIndex() {
    auto list = words::readDictionary(kDictionary);
    if (!list)
        return nullptr;
    return std::make_shared<const words::WordIndex>(std::make_shared<const words::WordList>(std::move(*list)),
                                                    defaults());
}

void BM_DictionaryLoadAndIndex(benchmark::State& state) {
    std::size_t words = 0;
    std::size_t bytes = 0;
    long grown = 0;
    for (auto _ : state) {
        const long before = residentBytes();
        auto index = loadIndex();
        if (!index) {
            state.SkipWithError("no dictionary: install hunspell-sl");
            return;
        }
        grown = residentBytes() - before;
        words = index->size();
        bytes = index->list()->bytes() + index->bytes();
        benchmark::DoNotOptimize(index);
    }
    state.counters["words"] = static_cast<double>(words);
    state.counters["MB_held"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
    state.counters["MB_resident_growth"] = static_cast<double>(grown) / (1024.0 * 1024.0);
}
BENCHMARK(BM_DictionaryLoadAndIndex)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_DrawCourseWord(benchmark::State& state) {
    static const auto index = loadIndex();
    if (!index) {
        state.SkipWithError("no dictionary: install hunspell-sl");
        return;
    }
    const int unlocked = static_cast<int>(state.range(0));
    std::array<double, 64> weights{};
    for (std::size_t i = 0; i < weights.size(); ++i)
        weights[i] = 1.0 + static_cast<double>(i % 7);
    std::uint32_t seed = 1;
    const words::RandomFunction random = [&seed](int n) { return random_source::draw(seed, n); };
    words::RecentWords recent;
    const std::size_t usable = index->usable(unlocked);
    for (auto _ : state) {
        const std::size_t pick = words::drawWeighted(*index, unlocked, weights, random, recent);
        recent.add(index->word(pick));
        benchmark::DoNotOptimize(pick);
    }
    state.counters["usable_words"] = static_cast<double>(usable);
}
BENCHMARK(BM_DrawCourseWord)->Arg(course::kStartLetters)->Arg(12)->Arg(25)->Arg(42)->Unit(benchmark::kMicrosecond);

// A 10 MB text of dictionary words in sentences, as UTF-8.
const std::string& largeText() {
    static const std::string text = [] {
        std::string out;
        auto list = words::readDictionary(kDictionary);
        if (!list || list->empty())
            return out;
        std::uint32_t seed = 7;
        int inSentence = 0;
        while (out.size() < 10u * 1024 * 1024) {
            const auto word = (*list)[static_cast<std::size_t>(random_source::draw(seed, static_cast<int>(list->size())))];
            out += word;
            out += ++inSentence % 12 == 0 ? ".\n" : " ";
        }
        return cp1250::toUtf8(out);
    }();
    return text;
}

void BM_OpenLargeText(benchmark::State& state) {
    const std::string& bytes = largeText();
    if (bytes.empty()) {
        state.SkipWithError("no dictionary: install hunspell-sl");
        return;
    }
    std::size_t count = 0;
    for (auto _ : state) {
        words::TextDocument document;
        document.text = words::decodeText(bytes);
        words::indexDocument(document);
        auto shared = std::make_shared<const words::TextDocument>(std::move(document));
        const words::WordIndex index(std::shared_ptr<const words::WordList>(shared, &shared->drillWords),
                                     defaults());
        count = shared->words;
        benchmark::DoNotOptimize(index);
    }
    state.counters["MB"] = static_cast<double>(bytes.size()) / (1024.0 * 1024.0);
    state.counters["words"] = static_cast<double>(count);
}
BENCHMARK(BM_OpenLargeText)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
