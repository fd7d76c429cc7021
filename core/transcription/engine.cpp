#include "core/transcription/engine.h"

#include "core/transcription/enginepasses.h"
#include "core/transcription/enginesweeps.h"
#include "core/transcription/settingssource.h"

void LatinToTengwar(std::string_view source, bool raw, TConvertData& settings, bool settingsReady,
                    std::string& result, const PassTrace& trace) {
    const std::less<const char*> less;
    if (!less(source.data(), result.data()) && less(source.data(), result.data() + result.capacity())) {
        // The source lies in the result's own buffer: work on a copy.
        const std::string copy(source);
        LatinToTengwar(copy, raw, settings, settingsReady, result, trace);
        return;
    }
    result.clear();
    if (source.empty()) {
        return;
    }
    if (raw) {
        engine::rawToFontCodes(source, result);
        if (trace) {
            trace(11, result);
        }
        return;
    }
    if (!settingsReady) {
        loadSettings(settings);
    }
    if (trace) {
        // The passes one by one, so that the trace sees each of them.
        engine::transcribeByPasses(source, settings, result, trace);
        return;
    }
    thread_local engine::SweepBuffers buffers;
    engine::transcribeBySweeps(source, settings, result, buffers);
    // One huge piece should not hold its memory for the rest of the thread.
    constexpr std::size_t kKeptCapacity = std::size_t{1} << 20;
    buffers.trim(kKeptCapacity);
}

std::string LatinToTengwar(std::string_view source, bool raw, TConvertData& settings, bool settingsReady,
                           const PassTrace& trace) {
    std::string result;
    LatinToTengwar(source, raw, settings, settingsReady, result, trace);
    return result;
}
