#include "core/convert/grouppipeline.h"

#include <sched.h>

#include <algorithm>
#include <exception>
#include <system_error>

#include "core/convert/convertrun.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/engine.h"
#include "core/transcription/enginestream.h"
#include "core/transcription/settingssource.h"

namespace {

// Input bytes a batch gathers before it goes to a worker: large enough that
// handing it over costs nothing to speak of, small enough that a stop is
// written out at once.
constexpr std::size_t kBatchBytes = std::size_t{256} << 10;

// The cores this process may run on (fewer than the machine has when it is
// bound to some of them).
unsigned usableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        return static_cast<unsigned>(std::max(1, CPU_COUNT(&set)));
    }
    return std::max(1U, std::thread::hardware_concurrency());
}

}  // namespace

struct GroupPipeline::Batch {
    struct Item {
        std::size_t length;
        Kind kind;
    };

    std::string text;  // the runs one after another
    std::vector<Item> items;
    TConvertData switches;  // a copy, so workers never share it
    bool lowerCase = false;

    std::string groups;  // made by make()
    bool done = false;
    std::exception_ptr error;

    // The groups of the runs, with the scratch strings of this thread.
    void make() {
        thread_local std::string lowered;
        thread_local std::string codes;
        groups.clear();
        groups.reserve(text.size() + text.size() / 2 + 64);
        std::string_view rest = text;
        for (const Item& item : items) {
            if (item.kind == Kind::LineBreak) {
                groups += rtf::kLineBreak;
                continue;
            }
            const std::string_view run = rest.substr(0, item.length);
            rest.remove_prefix(item.length);
            if (item.kind == Kind::Letters) {
                std::string_view source = run;
                if (lowerCase) {
                    lowered.assign(run);
                    for (char& c : lowered) {
                        c = static_cast<char>(cp1250::toLower(static_cast<unsigned char>(c)));
                    }
                    source = lowered;
                }
                LatinToTengwar(source, false, switches, true, codes);
                groups += "{\\f1 ";
                rtf::appendEscaped(groups, codes);
            } else {
                groups += "{\\f0 ";
                rtf::appendEscaped(groups, run);
            }
            groups += '}';
        }
    }
};

struct GroupPipeline::LongRun {
    std::unique_ptr<LineTranscriber> engine;  // for letters
    std::string scratch;
};

GroupPipeline::GroupPipeline(BufferedWriter& out, const ConvertSettings& settings)
    : m_out(out), m_lowerCase(settings.lowerCase), m_gathering(std::make_unique<Batch>()) {
    if (settings.switches) {
        m_switches = *settings.switches;
        m_switchesReady = true;
    }
}

GroupPipeline::~GroupPipeline() {
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_workToDo.notify_all();
    // A worker finishes the batch in its hands before the batches go.
    for (std::thread& worker : m_workers) {
        worker.join();
    }
}

void GroupPipeline::readSwitches(bool letters) {
    if (letters && !m_switchesReady) {
        loadSettings(m_switches);
        m_switchesReady = true;
    }
}

void GroupPipeline::run(std::string_view text, bool letters) {
    if (m_longRun) {
        runPart(text, letters);
        endLongRun();
        return;
    }
    if (text.empty()) {
        return;
    }
    readSwitches(letters);
    m_gathering->text.append(text);
    add(text.size(), letters ? Kind::Letters : Kind::Latin);
}

void GroupPipeline::runPart(std::string_view text, bool letters) {
    if (!m_longRun) {
        readSwitches(letters);
        flush();
        m_longRun = std::make_unique<LongRun>();
        m_out.write(letters ? "{\\f1 " : "{\\f0 ");
        if (letters) {
            m_longRun->engine = std::make_unique<LineTranscriber>(
                m_switches, false, [this, escaped = std::string()](std::string_view codes) mutable {
                    escaped.clear();
                    rtf::appendEscaped(escaped, codes);
                    m_out.write(escaped);
                });
        }
    }
    std::string& scratch = m_longRun->scratch;
    scratch.clear();
    if (!m_longRun->engine) {
        rtf::appendEscaped(scratch, text);
        m_out.write(scratch);
        return;
    }
    std::string_view source = text;
    if (m_lowerCase) {
        scratch.assign(text);
        for (char& c : scratch) {
            c = static_cast<char>(cp1250::toLower(static_cast<unsigned char>(c)));
        }
        source = scratch;
    }
    m_longRun->engine->add(source);
}

void GroupPipeline::endLongRun() {
    const std::unique_ptr<LongRun> run = std::move(m_longRun);
    if (run->engine) {
        run->engine->finish();
    }
    m_out.write("}");
}

void GroupPipeline::lineBreak() {
    if (m_longRun) {
        endLongRun();
    }
    add(0, Kind::LineBreak);
}

void GroupPipeline::add(std::size_t length, Kind kind) {
    Batch& batch = *m_gathering;
    batch.items.push_back({length, kind});
    // Line breaks count too: a file of empty lines fills batches as well.
    if (batch.text.size() + batch.items.size() >= kBatchBytes) {
        dispatch();
    }
}

// Batches are used again: their buffers are large, and fresh ones would
// cost the system new pages every time.
std::unique_ptr<GroupPipeline::Batch> GroupPipeline::newBatch() {
    if (m_spare.empty()) {
        return std::make_unique<Batch>();
    }
    std::unique_ptr<Batch> batch = std::move(m_spare.back());
    m_spare.pop_back();
    batch->text.clear();
    batch->items.clear();
    batch->done = false;
    return batch;
}

void GroupPipeline::dispatch() {
    std::unique_ptr<Batch> batch = std::move(m_gathering);
    m_gathering = newBatch();
    batch->switches = m_switches;
    batch->lowerCase = m_lowerCase;
    if (m_workers.empty() && !m_noWorkers) {
        const unsigned cores = usableCores();
        // On one core a worker would only take turns with the reading.
        m_noWorkers = cores < 2;
        try {
            for (unsigned i = 0; i < std::min(cores, 4U) && !m_noWorkers; ++i) {
                m_workers.emplace_back([this] { work(); });
            }
        } catch (const std::system_error&) {
            m_noWorkers = m_workers.empty();  // the system gives no thread: work here
        }
    }
    if (m_noWorkers) {
        batch->make();
        m_out.write(batch->groups);
        m_spare.push_back(std::move(batch));
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(batch.get());
    }
    m_workToDo.notify_one();
    m_inFlight.push_back(std::move(batch));
    // A few batches ahead keep every worker busy; more would only take memory.
    if (m_inFlight.size() > 2 * m_workers.size()) {
        writeOldest();
    }
}

void GroupPipeline::writeOldest() {
    std::unique_ptr<Batch> batch = std::move(m_inFlight.front());
    m_inFlight.pop_front();
    {
        std::unique_lock lock(m_mutex);
        m_batchDone.wait(lock, [&] { return batch->done; });
    }
    if (batch->error) {
        std::rethrow_exception(batch->error);
    }
    m_out.write(batch->groups);
    m_spare.push_back(std::move(batch));
}

void GroupPipeline::flush() {
    if (m_longRun) {
        endLongRun();  // its groups went out as they came
        return;
    }
    while (!m_inFlight.empty()) {
        writeOldest();
    }
    // The last, unfilled batch is made here: a short document starts no
    // thread at all.
    Batch& last = *m_gathering;
    last.switches = m_switches;
    last.lowerCase = m_lowerCase;
    last.make();
    m_out.write(last.groups);
    last.text.clear();
    last.items.clear();
}

void GroupPipeline::work() {
    while (true) {
        Batch* batch = nullptr;
        {
            std::unique_lock lock(m_mutex);
            m_workToDo.wait(lock, [&] { return m_closing || !m_queue.empty(); });
            if (m_closing) {
                return;
            }
            batch = m_queue.front();
            m_queue.pop_front();
        }
        try {
            batch->make();
        } catch (...) {
            batch->error = std::current_exception();
        }
        {
            const std::lock_guard lock(m_mutex);
            batch->done = true;
        }
        m_batchDone.notify_all();
    }
}
