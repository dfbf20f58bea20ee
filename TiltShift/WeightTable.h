#pragma once
// Highlight weighting: channel values are raised into an exponential domain
// (weight to the power of the value in 8-bit units) before blurring, so that
// bright values dominate any average. The table holds the powers for every
// integer channel value of a render's depth.

#include <cmath>
#include <cstddef>
#include <type_traits>
#include <vector>

#include "AE_Effect.h"
#include "utility/bpc.h"

// Weighting is on only for a weight above 1 by more than rounding noise.
inline bool isWeighted(double weight) {
    return weight > 1.000001;
}

// Empty unless weighted. At 8 bits 256 entries, weight^i; at 16 bits and
// float 32769 entries, weight^(i × 255 / 32768). The powers come from the
// host's maths callbacks.
std::vector<double> makeWeightTable(PF_InData* in_data, Nerevo::Bpc bpc, double weight);

// A channel value in the work buffer's domain: its weight when weighting is
// on, else the value itself. Only reads the table, so bands share it.
struct Weighting {
    bool weighted;
    double weight;
    const double* table;  // the depth's full table when weighted

    double operator()(A_u_char v) const { return weighted ? table[v] : v; }

    // 32768 is full scale; anything above it is no valid 16-bit channel and
    // weighs like full scale rather than reading past the table.
    double operator()(A_u_short v) const { return weighted ? table[v < 32768 ? v : 32768] : v; }

    // Floats are not clamped: below 0 (and NaN) weigh like 0, above 1 the
    // exponential goes on beyond the table.
    double operator()(PF_FpShort v) const {
        if (!weighted) {
            return v;
        }
        if (!(v >= 0.0f)) {
            return 1.0;
        }
        if (v <= 1.0f) {
            return table[static_cast<int>(32768.0 * v)];
        }
        return std::pow(weight, 255.0 * v);
    }
};

// Entries of a weighted table: one per 8-bit value, or one per 16-bit value
// up to full scale, which also serves floats in 0..1.
template <typename Pixel>
constexpr std::size_t weightTableSize() {
    return std::is_same_v<Pixel, PF_Pixel> ? 256 : 32769;
}
