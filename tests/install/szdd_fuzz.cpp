// libFuzzer target for the SZDD unpacker, built with -DOSTREL_FUZZ=ON by clang:
//   szdd_fuzz <corpus-dir> -max_total_time=600
// Every input is checked against the plain reference decoder of the tests.

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "core/install/szdd.h"
#include "szddtestdata.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto out = DecompressSzdd(size == 0 ? nullptr : data, size);
    static const std::uint8_t kHeader[9] = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33, 0x41};
    if (size <= szdd::kHeaderSize || !std::equal(kHeader, kHeader + 9, data)) {
        if (out) {
            std::abort();
        }
        return 0;
    }
    const szddtest::Bytes file(data, data + size);
    const std::uint32_t declared = szddtest::declaredLength(file);
    const szddtest::Bytes all = szddtest::referenceExpand(file);
    const bool expected = declared <= szdd::kMaxUnpackedLength && all.size() >= declared;
    if (out.has_value() != expected) {
        std::abort();
    }
    if (out && (out->size() != declared || !std::equal(out->begin(), out->end(), all.begin()))) {
        std::abort();
    }
    return 0;
}
