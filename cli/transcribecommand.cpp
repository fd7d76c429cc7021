#include "cli/transcribecommand.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <exception>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "cli/decodefault.h"
#include "cli/fileio.h"
#include "cli/stdoutput.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/cp1250checked.h"
#include "core/transcription/engine.h"
#include "core/transcription/enginestream.h"
#include "core/transcription/tengwarunicode.h"

namespace {

// Input is taken in batches of the whole lines that are there to read, up to
// this size, and the batches are transcribed on several threads at once (the
// engine keeps nothing between calls). A batch never waits for more input: a
// line typed at a terminal is written as soon as it is read. A line that does
// not end within a batch is transcribed as it comes, in pieces, so that memory
// stays the same whatever the length of a line.
constexpr std::size_t kBatchSize = 1 << 20;
constexpr std::size_t kReadSize = 1 << 16;

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

void appendCodes(std::string& out, std::string_view codes, const Job& job) {
    if (job.form == TengwarForm::Unicode) {
        tengwarunicode::appendUtf8(out, codes);
    } else {
        out += codes;
    }
}

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
        appendCodes(batch.output, codes, job);
        batch.output += lineBreak;
        ++line;
    }
    return batch;
}

// Writes the batches' results in their order on a thread of its own, so that
// reading never waits for a write and a result is written as soon as it is
// ready.
class OrderedWriter {
public:
    OrderedWriter(std::string name, std::size_t limit)
        : m_name(std::move(name)), m_limit(limit), m_thread([this] { run(); }) {}
    ~OrderedWriter() {
        try {
            finish();
        } catch (...) {
            // Reported by the finish() the reading thread calls; not here.
        }
    }

    // Waits while the limit of batches is on its way.
    void push(std::future<Batch> batch) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_queue.size() < m_limit; });
        m_queue.push_back(std::move(batch));
        m_changed.notify_all();
    }
    void push(Batch ready) {
        std::promise<Batch> done;
        done.set_value(std::move(ready));
        push(done.get_future());
    }
    // Waits until everything is written; false after a reported failure.
    bool finish() {
        {
            std::lock_guard lock(m_mutex);
            m_closed = true;
            m_changed.notify_all();
        }
        if (m_thread.joinable()) {
            m_thread.join();
        }
        if (m_error) {
            std::rethrow_exception(std::exchange(m_error, nullptr));
        }
        return !m_failed;
    }
    bool failed() const { return m_failed; }

private:
    void run() {
        for (;;) {
            std::future<Batch> next;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this] { return !m_queue.empty() || m_closed; });
                if (m_queue.empty()) {
                    return;
                }
                next = std::move(m_queue.front());
                m_queue.pop_front();
                m_changed.notify_all();
            }
            Batch done;
            try {
                done = next.get();
            } catch (...) {
                // A batch that could not be transcribed (out of memory): the
                // error is raised again on the reading thread, which reports it.
                if (!m_failed) {
                    m_error = std::current_exception();
                    m_failed = true;
                }
                continue;
            }
            if (m_failed) {
                continue;
            }
            if (!writeStdout(done.output)) {
                m_failed = true;
            } else if (done.fault) {
                std::fprintf(stderr, "ostrel: %s\n",
                             describeDecodeFault(m_name, done.fault->line, done.fault->fault).c_str());
                m_failed = true;
            }
        }
    }

    std::string m_name;
    std::size_t m_limit;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::future<Batch>> m_queue;
    bool m_closed = false;
    std::atomic<bool> m_failed{false};
    std::exception_ptr m_error;  // set before m_failed, read after the join
    std::thread m_thread;
};

// True when a read would not wait.
bool inputReady(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

// How many bytes at the end of text begin a UTF-8 character that is not
// complete yet.
std::size_t unfinishedUtf8(std::string_view text) {
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, text.size()); ++back) {
        const auto c = static_cast<unsigned char>(text[text.size() - back]);
        if ((c & 0xC0) == 0x80) {
            continue;  // a continuation byte: look further back
        }
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

// A line longer than a batch, transcribed as it comes; its codes go to the
// writer as they are ready.
class LongLine {
public:
    LongLine(const Job& job, std::size_t line, OrderedWriter& writer)
        : m_job(job), m_line(line), m_engine(job.switches, job.raw, [this, &writer](std::string_view codes) {
              Batch batch;
              appendCodes(batch.output, codes, m_job);
              writer.push(std::move(batch));
          }) {}

    // Takes text of the line (without its line break); false after a
    // character that cannot be read, with the fault in the returned batch.
    std::optional<LineFault> add(std::string_view text) {
        std::string_view source = text;
        if (m_job.encoding == TextEncoding::Utf8) {
            m_latin.clear();
            if (auto fault = cp1250::appendFromUtf8(text, m_latin, m_job.replace)) {
                fault->column += m_column;
                return LineFault{m_line, *fault};
            }
            m_column += m_latin.size();  // one byte per character
            source = m_latin;
        }
        m_engine.add(source);
        return std::nullopt;
    }
    void finish() { m_engine.finish(); }

private:
    const Job& m_job;
    std::size_t m_line;
    std::size_t m_column = 0;
    LineTranscriber m_engine;
    std::string m_latin;
};

// Streams one input to the standard output. Returns false after reporting a
// failure.
bool transcribeStream(int fd, const std::string& name, const Job& job) {
    const unsigned workers = std::max(1U, std::thread::hardware_concurrency());
    OrderedWriter writer(name, workers + 1);
    std::string input;  // read and not yet handed on: the start of a line
    std::size_t nextLine = 1;
    std::optional<LongLine> longLine;
    bool first = true;
    bool atEnd = false;
    bool readFailed = false;

    while (!atEnd && !writer.failed()) {
        // Read what is there, at least one read, up to a batch.
        std::size_t before = input.size();
        do {
            const std::size_t have = input.size();
            input.resize(have + kReadSize);
            const long n = fileio::readSome(fd, input.data() + have, kReadSize);
            input.resize(have + static_cast<std::size_t>(std::max(n, 0L)));
            if (n < 0) {
                std::fprintf(stderr, "ostrel: %s ni mogoče brati: %s\n", name.c_str(),
                             fileio::lastError().c_str());
                readFailed = true;
            }
            atEnd = n <= 0;
        } while (!atEnd && input.size() - before < kBatchSize && inputReady(fd));

        if (first && job.encoding == TextEncoding::Utf8) {
            if (input.size() < 3 && !atEnd && std::string_view("\xEF\xBB\xBF").starts_with(input)) {
                continue;  // perhaps a byte order mark, not yet whole
            }
            if (input.starts_with("\xEF\xBB\xBF")) {
                input.erase(0, 3);  // a byte order mark is no text
                before = 0;         // all that is left was read just now
            }
        }
        first = false;

        if (longLine) {
            std::optional<LineFault> fault;
            std::size_t taken = 0;
            if (const std::size_t end = input.find('\n'); end != std::string::npos) {
                // The long line ends at the first line break.
                std::string_view text(input.data(), end);
                const bool crlf = text.ends_with('\r');
                if (crlf) {
                    text.remove_suffix(1);
                }
                fault = longLine->add(text);
                if (!fault) {
                    longLine->finish();
                    Batch lineBreak;
                    lineBreak.output = crlf ? "\r\n" : "\n";
                    writer.push(std::move(lineBreak));
                }
                taken = end + 1;
                ++nextLine;
                longLine.reset();
            } else {
                // Keep back what may still change: a CR before a line break,
                // the start of a UTF-8 character.
                std::string_view text = input;
                if (!atEnd) {
                    if (text.ends_with('\r')) {
                        text.remove_suffix(1);
                    }
                    if (job.encoding == TextEncoding::Utf8) {
                        text.remove_suffix(unfinishedUtf8(text));
                    }
                }
                fault = longLine->add(text);
                if (!fault && atEnd) {
                    longLine->finish();
                    longLine.reset();
                }
                taken = text.size();
            }
            input.erase(0, taken);
            if (fault) {
                Batch failed;
                failed.fault = fault;
                writer.push(std::move(failed));
                break;
            }
            if (longLine) {
                continue;
            }
            before = 0;  // what is left was all read just now
        }

        // Whole lines (all that is left at the end) go out as a batch. Only
        // the bytes just read can hold a line break.
        std::size_t batchSize = input.size();
        if (!atEnd) {
            const void* lastBreak = ::memrchr(input.data() + before, '\n', input.size() - before);
            batchSize =
                lastBreak == nullptr
                    ? 0
                    : static_cast<std::size_t>(static_cast<const char*>(lastBreak) - input.data()) + 1;
        }
        if (batchSize != 0) {
            Batch batch;
            batch.input.assign(input, 0, batchSize);
            input.erase(0, batchSize);
            batch.firstLine = nextLine;
            nextLine += static_cast<std::size_t>(std::count(batch.input.begin(), batch.input.end(), '\n'));
            writer.push(std::async(std::launch::async, transcribeBatch, std::move(batch), std::cref(job)));
        }
        // A line as long as a batch is not gathered further.
        if (!atEnd && input.size() >= kBatchSize) {
            longLine.emplace(job, nextLine, writer);
        }
    }
    const bool written = writer.finish();
    return written && !readFailed;
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
