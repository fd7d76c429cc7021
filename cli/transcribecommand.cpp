#include "cli/transcribecommand.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <future>
#include <optional>
#include <thread>

#include "cli/decodefault.h"
#include "cli/fileio.h"
#include "transcription/cp1250.h"
#include "transcription/cp1250checked.h"
#include "transcription/engine.h"
#include "transcription/tengwarunicode.h"

namespace {

// Input is taken in batches of whole lines, so that memory stays the same
// whatever the input's size and several batches can be transcribed at once
// (the engine keeps nothing between calls). A line longer than a batch makes
// its batch longer.
constexpr std::size_t kBatchSize = 1 << 20;

struct LineFault {
    std::size_t line = 0;  // within the input, from 1
    cp1250::DecodeFault fault;
};

struct Batch {
    std::string input;
    std::size_t firstLine = 1;
    std::string output;
    std::optional<LineFault> fault;
};

struct Job {
    bool raw = false;
    bool replace = false;
    TextEncoding encoding = TextEncoding::Utf8;
    TengwarForm form = TengwarForm::Codes;
    TConvertData switches;
};

// Transcribes the lines of one batch. A line break is kept as it was (LF or
// CR LF); a last line without one gets none.
Batch transcribeBatch(Batch batch, const Job& job) {
    TConvertData switches = job.switches;
    std::string latin;
    std::string codes;
    batch.output.reserve(batch.input.size() * (job.form == TengwarForm::Unicode ? 4 : 2));
    std::string_view rest = batch.input;
    std::size_t line = batch.firstLine;
    while (!rest.empty()) {
        const std::size_t newline = rest.find('\n');
        std::string_view text = rest.substr(0, newline);
        std::string_view lineBreak;
        if (newline == std::string_view::npos) {
            rest = {};
        } else {
            rest.remove_prefix(newline + 1);
            lineBreak = "\n";
            if (!text.empty() && text.back() == '\r') {
                text.remove_suffix(1);
                lineBreak = "\r\n";
            }
        }
        std::string_view source = text;
        if (job.encoding == TextEncoding::Utf8) {
            latin.clear();
            if (const auto fault = cp1250::appendFromUtf8(text, latin, job.replace)) {
                batch.fault = LineFault{line, *fault};
                return batch;
            }
            source = latin;
        }
        LatinToTengwar(source, job.raw, switches, true, codes);
        if (job.form == TengwarForm::Unicode) {
            tengwarunicode::appendUtf8(batch.output, codes);
        } else {
            batch.output += codes;
        }
        batch.output += lineBreak;
        ++line;
    }
    return batch;
}

// Streams one input to the standard output. Returns false after reporting a
// failure.
bool transcribeStream(int fd, const std::string& name, const Job& job) {
    const unsigned workers = std::max(1U, std::thread::hardware_concurrency());
    std::deque<std::future<Batch>> pending;
    bool failed = false;

    auto writeOldest = [&]() {
        Batch done = pending.front().get();
        pending.pop_front();
        if (failed) {
            return;
        }
        if (!fileio::writeAll(STDOUT_FILENO, done.output)) {
            std::fprintf(stderr, "ostrel: pisanje na standardni izhod ni uspelo: %s\n",
                         fileio::lastError().c_str());
            failed = true;
            return;
        }
        if (done.fault) {
            std::fprintf(stderr, "ostrel: %s\n",
                         describeDecodeFault(name, done.fault->line, done.fault->fault).c_str());
            failed = true;
        }
    };

    std::string carry;
    std::size_t nextLine = 1;
    bool first = true;
    bool atEnd = false;
    while (!atEnd && !failed) {
        Batch batch;
        batch.input = std::move(carry);
        carry.clear();
        // Fill the batch up to its size, then cut it after its last line break.
        for (;;) {
            const std::size_t have = batch.input.size();
            const std::size_t want = std::max(kBatchSize, have + kBatchSize / 4);
            batch.input.resize(want);
            const long n = fileio::readSome(fd, batch.input.data() + have, want - have);
            if (n < 0) {
                batch.input.resize(have);
                std::fprintf(stderr, "ostrel: %s ni mogoče brati: %s\n", name.c_str(),
                             fileio::lastError().c_str());
                failed = true;
                atEnd = true;
                break;
            }
            batch.input.resize(have + static_cast<std::size_t>(n));
            if (n == 0) {
                atEnd = true;
                break;
            }
            if (batch.input.size() >= kBatchSize) {
                const std::size_t cut = batch.input.rfind('\n');
                if (cut != std::string::npos) {
                    carry.assign(batch.input, cut + 1);
                    batch.input.resize(cut + 1);
                    break;
                }
            }
        }
        if (first && job.encoding == TextEncoding::Utf8 && batch.input.rfind("\xEF\xBB\xBF", 0) == 0) {
            batch.input.erase(0, 3);  // a byte order mark is no text
        }
        first = false;
        if (batch.input.empty()) {
            continue;
        }
        batch.firstLine = nextLine;
        nextLine += static_cast<std::size_t>(std::count(batch.input.begin(), batch.input.end(), '\n'));
        pending.push_back(std::async(std::launch::async, transcribeBatch, std::move(batch), std::cref(job)));
        while (pending.size() > workers) {
            writeOldest();
        }
    }
    while (!pending.empty()) {
        writeOldest();
    }
    return !failed;
}

}  // namespace

int runTranscribe(const CliArgs& args, const TConvertData& switches) {
    Job job;
    job.raw = args.raw;
    job.replace = args.replace;
    job.encoding = args.encoding;
    job.form = args.form;
    job.switches = switches;

    if (args.files.empty()) {
        return transcribeStream(STDIN_FILENO, "standardni vhod", job) ? 0 : 1;
    }
    for (const std::string& path : args.files) {
        if (path == "-") {
            if (!transcribeStream(STDIN_FILENO, "standardni vhod", job)) {
                return 1;
            }
            continue;
        }
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            std::fprintf(stderr, "ostrel: datoteke \"%s\" ni mogoče odpreti: %s\n", path.c_str(),
                         fileio::lastError().c_str());
            return 1;
        }
        const bool ok = transcribeStream(fd, path, job);
        ::close(fd);
        if (!ok) {
            return 1;
        }
    }
    return 0;
}
