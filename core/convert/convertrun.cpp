#include "core/convert/convertrun.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "core/convert/grouppipeline.h"

namespace {

// The most of an unfinished run that is held before its parts are written.
constexpr std::size_t kLongRunBytes = std::size_t{1} << 20;

}  // namespace

int ConvertControl::percent() const {
    const std::uint64_t all = total.load(std::memory_order_relaxed);
    if (all == 0) {
        return 0;
    }
    const std::uint64_t done = scanned.load(std::memory_order_relaxed);
    return done >= all ? 100 : static_cast<int>(static_cast<double>(done) * 100.0 / static_cast<double>(all));
}

RtfDocument::RtfDocument(BufferedWriter& out, const ConvertSettings& settings, const ConvertControl& control)
    : m_out(out),
      m_control(control),
      m_groups(std::make_unique<GroupPipeline>(out, settings)),
      m_runChars(rtf::tengwarRunChars(settings.lowerCase)) {
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
            m_groups->run(std::string_view(data + runStart, i - runStart), m_letters);
        } else {
            m_carry.append(data + runStart, i - runStart);
            m_groups->run(m_carry, m_letters);
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
            m_groups->lineBreak();
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
        if (m_runChars[byte] != m_letters) {
            emitRun();
            m_letters = !m_letters;
        }
        // Line breaks are never letters, so a letter run stops at them by
        // itself; a Latin run checks for them.
        ++i;
        if (m_letters) {
            while (i < size && m_runChars[static_cast<unsigned char>(data[i])] && !stopRequested()) {
                ++i;
            }
        } else {
            while (i < size && !m_runChars[static_cast<unsigned char>(data[i])] && data[i] != '\n' &&
                   data[i] != '\r' && !stopRequested()) {
                ++i;
            }
        }
    }
    m_carry.append(data + runStart, size - runStart);
    // A run that goes on and on (a file without spaces or line breaks) is
    // written as it comes instead of being held.
    if (m_carry.size() >= kLongRunBytes) {
        m_groups->runPart(m_carry, m_letters);
        m_carry.clear();
    }
    m_taken += size;
    return true;
}

void RtfDocument::finish() {
    if (!m_stopped && m_control.stopRequested.load(std::memory_order_relaxed)) {
        m_stopped = true;
    }
    if (!m_stopped) {
        m_groups->run(m_carry, m_letters);
    }
    m_carry.clear();
    m_groups->flush();
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
