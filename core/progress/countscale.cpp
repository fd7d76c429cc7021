#include "core/progress/countscale.h"

#include <algorithm>

namespace progress {

CountScale countScale(int most) {
    constexpr int kMostSteps = 5;
    most = std::max(most, 1);
    for (long long power = 1;; power *= 10) {
        for (const int factor : {1, 2, 5}) {
            const long long step = factor * power;
            if (most <= step * kMostSteps) {
                const long long steps =
                    std::max<long long>((most + step - 1) / step, step == 1 ? kMostSteps : 1);
                return {static_cast<int>(steps * step), static_cast<int>(step)};
            }
        }
    }
}

}  // namespace progress
