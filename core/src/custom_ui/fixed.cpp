#include "custom_ui/fixed.h"

#include <cstdint>
#include <limits>

namespace Nerevo {

namespace {

constexpr double ONE = 65536.0;

}  // namespace

PF_Fixed wholeToFixed(A_long v) {
    constexpr A_long limit = std::numeric_limits<PF_Fixed>::max() / 65536;
    if (v > limit) return std::numeric_limits<PF_Fixed>::max();
    if (v < -limit - 1) return std::numeric_limits<PF_Fixed>::min();
    return static_cast<PF_Fixed>(v * 65536);
}

A_long fixedToWhole(PF_Fixed v) {
    // An arithmetic shift; spelled as a division that rounds down, since
    // shifting a negative value is implementation-defined.
    return static_cast<A_long>((static_cast<int64_t>(v) - ((v < 0) ? 65535 : 0)) / 65536);
}

PF_Fixed doubleToFixed(double v) {
    const double scaled = v * ONE + (v >= 0 ? 0.5 : -0.5);
    if (scaled >= static_cast<double>(std::numeric_limits<PF_Fixed>::max())) {
        return std::numeric_limits<PF_Fixed>::max();
    }
    if (scaled <= static_cast<double>(std::numeric_limits<PF_Fixed>::min())) {
        return std::numeric_limits<PF_Fixed>::min();
    }
    if (!(scaled == scaled)) {
        return 0;
    }
    return static_cast<PF_Fixed>(scaled);
}

}  // namespace Nerevo
