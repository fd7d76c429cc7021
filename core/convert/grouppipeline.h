#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/convert/rtfwriter.h"
#include "core/transcription/convertdata.h"

struct ConvertSettings;

// Turns the runs of a document into RTF groups and writes them in order.
// Transcribing letter runs is most of a conversion's work, and runs do not
// depend on one another, so runs are gathered into batches that worker
// threads transcribe while the caller reads on; the groups still reach the
// writer in the order of the runs, so the document is the same as one made
// run by run. A document too short to fill a batch starts no thread.
class GroupPipeline {
public:
    GroupPipeline(BufferedWriter& out, const ConvertSettings& settings);
    GroupPipeline(const GroupPipeline&) = delete;
    GroupPipeline& operator=(const GroupPipeline&) = delete;
    ~GroupPipeline();

    // A run of letters (transcribed into the Tengwar font) or of Latin text.
    // The stored switches are read here, at the first letter run, unless the
    // settings gave them.
    void run(std::string_view text, bool letters);
    // A part of a run that goes on after it (a run too long to hold): the
    // groups before it are written, then its group is written as its parts
    // come, letters through the streamed line transcriber, so that memory
    // does not grow with the run. The next run() (of any text, even none),
    // lineBreak() or flush() ends it; the document is the same as for the
    // whole run given to run().
    void runPart(std::string_view text, bool letters);
    void lineBreak();
    // Writes every group taken so far. Raises ConvertError on a failed write
    // and passes on a transcription's error.
    void flush();

private:
    enum class Kind : std::uint8_t { Latin, Letters, LineBreak };
    struct Batch;
    struct LongRun;

    std::unique_ptr<Batch> newBatch();
    void add(std::size_t length, Kind kind);
    void dispatch();
    void writeOldest();
    void work();
    void readSwitches(bool letters);
    void endLongRun();

    BufferedWriter& m_out;
    bool m_lowerCase;
    TConvertData m_switches;
    bool m_switchesReady = false;
    std::unique_ptr<LongRun> m_longRun;  // the run being written as it comes
    std::unique_ptr<Batch> m_gathering;
    std::deque<std::unique_ptr<Batch>> m_inFlight;  // oldest first
    std::vector<std::unique_ptr<Batch>> m_spare;

    std::mutex m_mutex;
    std::condition_variable m_workToDo;
    std::condition_variable m_batchDone;
    std::deque<Batch*> m_queue;
    bool m_closing = false;
    std::vector<std::thread> m_workers;
    bool m_noWorkers = false;
};
