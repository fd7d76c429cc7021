// libFuzzer target for the descriptions parser: group lines, a zero byte, task
// lines. A parse without faults must report no error.

#include <cstdlib>

#include "core/exercise/descriptionsparser.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const auto groups = FuzzInput::lines(input.part());
    const auto tasks = FuzzInput::lines(input.rest());
    TaskDescriptions result;
    DescriptionErrors errors;
    const bool clean = ParseDescriptions(groups, tasks, result, errors);
    if (clean != errors.empty()) {
        std::abort();
    }
    return 0;
}
