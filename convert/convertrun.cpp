#include "convert/convertrun.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "transcription/engine.h"

int ConvertControl::percent() const {
    const std::uint64_t all = total.load(std::memory_order_relaxed);
    if (all == 0) {
        return 0;
    }
    const std::uint64_t done = scanned.load(std::memory_order_relaxed);
    return done >= all ? 100 : static_cast<int>(static_cast<double>(done) * 100.0 / static_cast<double>(all));
}

namespace {

// Emits the runs of one document into the writer, reusing its scratch strings.
class RunEmitter {
public:
    RunEmitter(BufferedWriter& out, const ConvertSettings& settings)
        : m_out(out), m_lowerCase(settings.lowerCase) {
        if (settings.switches) {
            m_switches = *settings.switches;
            m_switchesReady = true;
        }
    }

    void emit(std::string_view run, bool letters) {
        if (run.empty()) {
            return;
        }
        m_group.clear();
        if (letters) {
            std::string_view source = run;
            if (m_lowerCase) {
                m_lowered.assign(run);
                rtf::lowerCp1250(m_lowered);
                source = m_lowered;
            }
            LatinToTengwar(source, false, m_switches, m_switchesReady, m_codes);
            m_switchesReady = true;
            m_group += "{\\f1 ";
            rtf::appendEscaped(m_group, m_codes);
        } else {
            m_group += "{\\f0 ";
            rtf::appendEscaped(m_group, run);
        }
        m_group += '}';
        m_out.write(m_group);
    }

private:
    BufferedWriter& m_out;
    bool m_lowerCase;
    TConvertData m_switches;
    bool m_switchesReady = false;
    std::string m_lowered;
    std::string m_codes;
    std::string m_group;
};

// Progress is published this often (and at every run), so that a long run
// without a break still shows it moving.
constexpr std::uint64_t kProgressStep = 1u << 16;

}  // namespace

ConvertOutcome writeRtfDocument(std::span<const char> input, BufferedWriter& out,
                                const ConvertSettings& settings, ConvertControl& control) {
    const char* const data = input.data();
    const std::uint64_t size = input.size();
    control.total.store(size, std::memory_order_relaxed);
    out.write(rtf::header());

    RunEmitter emitter(out, settings);
    const auto& runChars = rtf::tengwarRunChars(settings.lowerCase);
    bool letters = true;  // the class of the current run
    std::uint64_t runStart = 0;
    std::uint64_t i = 0;
    const auto emitRun = [&] {
        emitter.emit(std::string_view(data + runStart, i - runStart), letters);
        runStart = i;
        control.scanned.store(i, std::memory_order_relaxed);
    };

    // The scan of the original algorithm, one byte at a time, with the stop
    // flag checked before every byte: a byte of the current run's class only
    // moves on, so those are passed over in a tight loop.
    const auto stopRequested = [&control] { return control.stopRequested.load(std::memory_order_relaxed); };
    while (i <= size && !stopRequested()) {
        if (i < size) {
            const auto byte = static_cast<unsigned char>(data[i]);
            if (byte == '\n' || byte == '\r') {
                emitRun();
                out.write(rtf::kLineBreak);
                if (byte == '\r' && i + 1 < size && data[i + 1] == '\n') {
                    ++i;
                }
                ++i;
                runStart = i;
                continue;
            }
            if (runChars[byte] == letters) {
                // Line breaks are never letters, so a letter run stops at
                // them by itself; a Latin run checks for them.
                const std::uint64_t limit = std::min(size, i + kProgressStep);
                ++i;
                if (letters) {
                    while (i < limit && runChars[static_cast<unsigned char>(data[i])] &&
                           !stopRequested()) {
                        ++i;
                    }
                } else {
                    while (i < limit && !runChars[static_cast<unsigned char>(data[i])] &&
                           data[i] != '\n' && data[i] != '\r' && !stopRequested()) {
                        ++i;
                    }
                }
                if (i == limit) {
                    control.scanned.store(i, std::memory_order_relaxed);
                }
                continue;
            }
        }
        emitRun();
        letters = !letters;
        ++i;
    }
    const bool stopped = i <= size;
    control.scanned.store(stopped ? i : size, std::memory_order_relaxed);
    out.write(rtf::kClosing);
    out.flush();
    return stopped ? ConvertOutcome::Stopped : ConvertOutcome::Finished;
}
