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

RtfDocument::RtfDocument(BufferedWriter& out, const ConvertSettings& settings, const ConvertControl& control)
    : m_out(out), m_control(control), m_emitter(std::make_unique<RunEmitter>(out, settings)) {
    m_out.write(rtf::header());
}

RtfDocument::~RtfDocument() = default;

bool RtfDocument::add(std::string_view text) {
    if (m_stopped) {
        return false;
    }
    const char* const data = text.data();
    const std::size_t size = text.size();
    std::size_t i = 0;
    if (m_afterCr && size > 0) {
        m_afterCr = false;
        i = data[0] == '\n' ? 1 : 0;
    }
    std::size_t runStart = i;
    const auto emitRun = [&] {
        if (m_carry.empty()) {
            m_emitter->emit(std::string_view(data + runStart, i - runStart), m_letters);
        } else {
            m_carry.append(data + runStart, i - runStart);
            m_emitter->emit(m_carry, m_letters);
            m_carry.clear();
        }
        runStart = i;
    };
    const auto stopRequested = [this] { return m_control.stopRequested.load(std::memory_order_relaxed); };

    // The scan of the original algorithm, one byte at a time, with the stop
    // flag checked before every byte: a byte of the current run's class only
    // moves on, so those are passed over in a tight loop.
    while (i < size) {
        if (stopRequested()) {
            m_stopped = true;
            m_taken += i;
            return false;
        }
        const auto byte = static_cast<unsigned char>(data[i]);
        if (byte == '\n' || byte == '\r') {
            emitRun();
            m_out.write(rtf::kLineBreak);
            if (byte == '\r') {
                if (i + 1 == size) {
                    m_afterCr = true;
                } else if (data[i + 1] == '\n') {
                    ++i;
                }
            }
            ++i;
            runStart = i;
            continue;
        }
        if (rtf::isTengwarRunChar(byte) != m_letters) {
            emitRun();
            m_letters = !m_letters;
        }
        // Line breaks are never letters, so a letter run stops at them by
        // itself; a Latin run checks for them.
        ++i;
        if (m_letters) {
            while (i < size && rtf::isTengwarRunChar(static_cast<unsigned char>(data[i])) && !stopRequested()) {
                ++i;
            }
        } else {
            while (i < size && !rtf::isTengwarRunChar(static_cast<unsigned char>(data[i])) && data[i] != '\n' &&
                   data[i] != '\r' && !stopRequested()) {
                ++i;
            }
        }
    }
    m_carry.append(data + runStart, size - runStart);
    m_taken += size;
    return true;
}

void RtfDocument::finish() {
    if (!m_stopped && m_control.stopRequested.load(std::memory_order_relaxed)) {
        m_stopped = true;
    }
    if (!m_stopped) {
        m_emitter->emit(m_carry, m_letters);
    }
    m_carry.clear();
    m_out.write(rtf::kClosing);
    m_out.flush();
}

ConvertOutcome writeRtfDocument(std::span<const char> input, BufferedWriter& out,
                                const ConvertSettings& settings, ConvertControl& control) {
    control.total.store(input.size(), std::memory_order_relaxed);
    RtfDocument document(out, settings, control);
    document.add(std::string_view(input.data(), input.size()));
    document.finish();
    control.scanned.store(document.taken(), std::memory_order_relaxed);
    return document.stopped() ? ConvertOutcome::Stopped : ConvertOutcome::Finished;
}
