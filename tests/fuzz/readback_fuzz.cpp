// libFuzzer target for TengwarToLatin: font codes under the default rules, and
// under rules read from a list (lines before the first zero byte).

#include "core/readback/readbackrules.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const ReadBackRules rules = readback::fromList(FuzzInput::lines(input.part()));
    const std::string_view letters = input.rest();
    (void)TengwarToLatin(letters, readback::defaultRules());
    (void)TengwarToLatin(letters, rules);
    return 0;
}
