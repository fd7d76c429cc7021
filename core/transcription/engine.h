#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/transcription/convertdata.h"

// Watches a transcription at work: called with the number of each pass that
// runs (1-10) and the working text after it, and finally with 11 and the font
// codes. Passes that are switched off or have nothing to do are not reported.
using PassTrace = std::function<void(int pass, std::string_view text)>;

// Transcribes a line of Latin text (Windows-1250) into the font codes of
// "Tengwar Quenya" (bytes 0x20-0x7E).
//
// - source: the Latin text; with raw, text already written in the letters of
//   the phonetic alphabet, which is only looked up in the glyph table.
// - settings: the switches to use. When settingsReady is false (and raw is
//   false and the source is not empty) they are first filled from the
//   installed settings source (loadSettings); when true they are used as the
//   caller filled them. With raw they are neither read nor filled.
// - trace: optional; see PassTrace.
//
// The routine keeps nothing between calls but reusable scratch buffers of its
// own thread, so it may run on several threads at once.
std::string LatinToTengwar(std::string_view source, bool raw, TConvertData& settings, bool settingsReady,
                           const PassTrace& trace = {});

// The same, writing into result (cleared first) so that a caller that
// transcribes many lines can reuse its capacity. The source may be a view of
// result itself.
void LatinToTengwar(std::string_view source, bool raw, TConvertData& settings, bool settingsReady,
                    std::string& result, const PassTrace& trace = {});
