// File conversion of 100 MiB of prose, the way the program does it (input
// read in pieces, buffered output), in Windows-1250 and in UTF-8 (read through
// twice: once to tell the encoding and find faults, once to convert), beside
// iconv recoding the same file in the same run as a yardstick for plain
// byte-by-byte text work.
//
// Run: build/bench/bench_convert --benchmark_min_time=1
// (the file goes to $TMPDIR or /tmp and is removed afterwards).

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/convert/convertfile.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/settingssource.h"

namespace {

constexpr std::size_t kFileSize = 100u << 20;

std::filesystem::path tempDir() {
    const char* dir = std::getenv("TMPDIR");
    return dir != nullptr ? dir : "/tmp";
}

// Slovenian, Quenya and English prose in lines of about 80 bytes, CR LF.
class ProseFile {
public:
    explicit ProseFile(bool utf8)
        : m_input(tempDir() / (utf8 ? "ostrel-bench-input-utf8.txt" : "ostrel-bench-input.txt")),
          m_output(tempDir() / "ostrel-bench-output.rtf") {
        const std::string utf8Prose = (
            "Nekoč je živel mlad kovač, ki je vsak dan hodil čez goro v dolino, kjer je stala stara\r\n"
            "kovačnica ob potoku. Ob poti so rasle smreke in bukve, zjutraj pa je nad vodo ležala megla.\r\n"
            "Ko je prišel do mostu, se je ustavil, pogledal proti gozdu in zaslišal ptice, ki so pele\r\n"
            "tiho pesem o dolgih poletjih in kratkih zimah. Ai! laurië lantar lassi súrinen, yéni\r\n"
            "únótimë ve rámar aldaron! In the quiet of the evening the smith thought of the road that\r\n"
            "goes ever on and on, down from the door where it began; the shadows lengthened, and the\r\n"
            "light of the stars shone through the branches. Čez 12 let (leta 1954) so zvonovi\r\n"
            "zvonili v daljavi; ljudje so se vračali domov in ognji so zagoreli v ognjiščih.\r\n");
        const std::string prose = utf8 ? utf8Prose : cp1250::fromUtf8(utf8Prose);
        std::ofstream out(m_input, std::ios::binary);
        // The UTF-8 file ends after a whole line, so no letter is cut.
        for (std::size_t written = 0; written < kFileSize; written += prose.size()) {
            const std::size_t size = utf8 ? prose.size() : std::min(prose.size(), kFileSize - written);
            out.write(prose.data(), static_cast<std::streamsize>(size));
        }
    }
    ~ProseFile() {
        std::filesystem::remove(m_input);
        std::filesystem::remove(m_output);
    }
    const std::filesystem::path& input() const { return m_input; }
    const std::filesystem::path& output() const { return m_output; }

private:
    std::filesystem::path m_input;
    std::filesystem::path m_output;
};

const ProseFile& proseFile(bool utf8 = false) {
    static const ProseFile cp1250File(false);
    if (!utf8) {
        return cp1250File;
    }
    static const ProseFile utf8File(true);
    return utf8File;
}

double peakMiB(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The page's way: the encoding is told from the file.
void convertProse(benchmark::State& state, bool utf8) {
    const ProseFile& file = proseFile(utf8);
    setSettingsSource(loadDefaultSettings);
    const double before = peakMiB(RUSAGE_SELF);
    for (auto _ : state) {
        ConvertControl control;
        ConvertJob job{file.input().string(), file.output().string(), {}};
        const auto outcome = convertFile(job, control, [](const std::string&) { return true; });
        if (outcome != ConvertFileOutcome::Finished) {
            state.SkipWithError("conversion did not finish");
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
    state.counters["peak_MiB_before"] = before;
    state.counters["peak_MiB"] = peakMiB(RUSAGE_SELF);
}
void BM_ConvertFile(benchmark::State& state) {
    convertProse(state, false);
}
BENCHMARK(BM_ConvertFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ConvertUtf8File(benchmark::State& state) {
    convertProse(state, true);
}
BENCHMARK(BM_ConvertUtf8File)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_IconvSameFile(benchmark::State& state) {
    const ProseFile& file = proseFile();
    const std::string command =
        "iconv -f CP1250 -t UTF-8 '" + file.input().string() + "' > '" + file.input().string() + ".utf8'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("iconv failed");
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
    state.counters["peak_MiB"] = peakMiB(RUSAGE_CHILDREN);
    std::filesystem::remove(file.input().string() + ".utf8");
}
BENCHMARK(BM_IconvSameFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
