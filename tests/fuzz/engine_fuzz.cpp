// libFuzzer target for the transcription engine: the first five bytes are the
// switches, the sixth chooses raw input, the rest is one line of Latin text.
// The result must be font codes only.

#include <cstdlib>

#include "core/transcription/engine.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    TConvertData settings;
    for (int byteIndex = 0; byteIndex < 5; ++byteIndex) {
        const std::uint8_t bits = input.byte();
        for (int bit = 0; bit < 8 && byteIndex * 8 + bit < TConvertData::kFlagCount; ++bit) {
            settings.Flags[static_cast<std::size_t>(byteIndex * 8 + bit)] = ((bits >> bit) & 1) != 0;
        }
    }
    const bool raw = (input.byte() & 1) != 0;
    settings.BrezTilde = std::string(input.part().substr(0, 8));
    const std::string codes = LatinToTengwar(input.rest(), raw, settings, true);
    for (const char c : codes) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) {
            std::abort();
        }
    }
    return 0;
}
