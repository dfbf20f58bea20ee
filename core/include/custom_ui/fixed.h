#pragma once
// 16.16 fixed-point values of the host's user-interface calls, and how they
// meet whole pixels and doubles (16.16 to double: fixedToDouble in
// color/color.h).

#include "AE_Effect.h"

namespace Nerevo {

// Whole pixels to 16.16. Pixels beyond what 16.16 can hold (±32767) are
// held at its limits rather than wrapped around to the other side.
PF_Fixed wholeToFixed(A_long v);

// 16.16 to whole pixels, rounding towards negative infinity.
A_long fixedToWhole(PF_Fixed v);

// Halves round away from zero. Values beyond the 16.16 range are held at its
// limits (NaN gives 0): a far-off handle must not become undefined behaviour.
PF_Fixed doubleToFixed(double v);

}  // namespace Nerevo
