#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/convert/rtfwriter.h"
#include "core/transcription/convertdata.h"

// Shared between a running conversion and whoever watches it, without a lock:
// the watcher may ask it to stop, and reads how far it has come.
struct ConvertControl {
    // Checked before every input byte; the conversion then ends with a
    // well-formed, shorter document.
    std::atomic<bool> stopRequested{false};
    // Input bytes scanned so far, and the input's size once it is known.
    std::atomic<std::uint64_t> scanned{0};
    std::atomic<std::uint64_t> total{0};

    void requestStop() { stopRequested.store(true, std::memory_order_relaxed); }
    // 0-100; 0 while the size is not known.
    int percent() const;
};

struct ConvertSettings {
    // Letter runs are lower-cased (Windows-1250 capitals, accented ones too)
    // before they are transcribed.
    bool lowerCase = false;
    // The switches for the whole document. Without them the stored switches
    // are read once, when the first letter run is transcribed.
    std::optional<TConvertData> switches;
};

enum class ConvertOutcome { Finished, Stopped };

class GroupPipeline;

// Writes the RTF document of a Windows-1250 text given in pieces of any size:
// the header, every line's runs as groups (letter runs transcribed by
// LatinToTengwar in the Tengwar font, everything else as Latin text), "\par"
// for each line break (CR LF, a lone CR, a lone LF), and at the end the
// closing brace. The document is the same however the text is cut into
// pieces. Memory does not grow with a line or a run: a long run is written
// as it comes. Raises ConvertError on a failed write, and passes on the
// transcription's errors.
class RtfDocument {
public:
    // Writes the header.
    RtfDocument(BufferedWriter& out, const ConvertSettings& settings, const ConvertControl& control);
    RtfDocument(const RtfDocument&) = delete;
    RtfDocument& operator=(const RtfDocument&) = delete;
    ~RtfDocument();

    // Takes the next piece of the text. The stop flag is checked before every
    // byte; once it is seen, false, and nothing more is taken.
    bool add(std::string_view text);
    // Writes the run in progress (unless a stop was seen: the document then
    // ends with the last whole run) and the closing brace, and flushes.
    void finish();

    bool stopped() const { return m_stopped; }
    // Bytes of text taken so far.
    std::uint64_t taken() const { return m_taken; }

private:
    BufferedWriter& m_out;
    const ConvertControl& m_control;
    std::unique_ptr<GroupPipeline> m_groups;
    const std::array<bool, 256>& m_runChars;  // the letter-run bytes (more when lowering capitals)
    std::string m_carry;   // the start of the run in progress, from earlier pieces
    bool m_letters = true;  // the class of the run in progress
    bool m_afterCr = false;  // the last piece ended with a CR: a LF first in the next one is its pair
    bool m_stopped = false;
    std::uint64_t m_taken = 0;
};

// The whole document of a text held in memory; sets the control's total and
// scanned bytes.
ConvertOutcome writeRtfDocument(std::span<const char> input, BufferedWriter& out,
                                const ConvertSettings& settings, ConvertControl& control);
