// libFuzzer target for the string-list block: any block decodes without
// reading past its end, and what it decodes to survives a round trip.

#include <cstdlib>

#include "core/settings/options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly the input's size, so that reading past it is caught.
    const std::string block(reinterpret_cast<const char*>(data), size);
    const StringList list = storelayout::decodeStringList(block);
    if (!list.empty() && storelayout::decodeStringList(storelayout::encodeStringList(list)) != list) {
        std::abort();
    }
    return 0;
}
