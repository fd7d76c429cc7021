#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <span>

#include "convert/rtfwriter.h"
#include "transcription/convertdata.h"

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

// Writes the RTF document of a Windows-1250 text: the header, every line's
// runs as groups (letter runs transcribed by LatinToTengwar in the Tengwar
// font, everything else as Latin text), "\par" for each line break (CR LF, a
// lone CR, a lone LF), the closing brace, and flushes the writer. Raises
// ConvertError on a failed write, and passes on the transcription's errors.
ConvertOutcome writeRtfDocument(std::span<const char> input, BufferedWriter& out,
                                const ConvertSettings& settings, ConvertControl& control);
