#include "core/text/plural.h"

namespace plural {

Form slovenian(std::int64_t count) {
    // A negative count is said as its size; the last two digits decide.
    const std::uint64_t size =
        count < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(count) : static_cast<std::uint64_t>(count);
    switch (size % 100) {
        case 1:
            return Form::One;
        case 2:
            return Form::Two;
        case 3:
        case 4:
            return Form::Few;
        default:
            return Form::Other;
    }
}

std::string_view choose(std::int64_t count, std::string_view one, std::string_view two, std::string_view few,
                        std::string_view other) {
    switch (slovenian(count)) {
        case Form::One:
            return one;
        case Form::Two:
            return two;
        case Form::Few:
            return few;
        case Form::Other:
            break;
    }
    return other;
}

}  // namespace plural
