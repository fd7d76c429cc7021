#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "core/transcription/engine.h"
#include "core/transcription/enginetables.h"

// The transcription pass by pass, each pass sweeping the whole working text W:
// the plain statement of the rules, used when a trace watches the passes, and
// the pieces that the fused sweeps reuse for the passes that are seldom on.
namespace engine {

void fold(std::string_view source, const Switches& on, std::string& w);
void doubledVowels(std::string& text, bool quenya);
template <bool Quenya>
void insertCarriers(const std::string& w, std::string& out);
void doubledConsonants(std::string& text, const std::array<bool, 256>& excluded);
void sindarinOrder(std::span<char> w);
void sBeforeVowels(std::span<char> w, bool quenya);
bool carriersForY(std::string_view w, std::string& out);
void sBeforeTilde(std::string& w);
void markForms(std::string& w, bool quenyaOu);
void tildeForms(std::string& w);
void toFontCodes(std::string_view w, std::string& result);

// Passes 1-11 over the whole source, each reported to the trace (if any).
void transcribeByPasses(std::string_view source, const TConvertData& settings, std::string& result,
                        const PassTrace& trace);

}  // namespace engine
