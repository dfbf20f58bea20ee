#pragma once

namespace Nerevo {

// Clamp to [lo, hi]. A NaN compares false against both bounds and would slip
// through a plain min/max, so it maps to zero explicitly: integer stores must
// never see it.
template <typename T>
constexpr T clamp(T v, T lo, T hi) {
    if (v < lo) return lo;
    if (v > hi) return hi;
    if (!(v == v)) return T(0);
    return v;
}

}  // namespace Nerevo
