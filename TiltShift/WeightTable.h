#pragma once
// Highlight weighting: channel values are raised into an exponential domain
// (weight to the power of the value in 8-bit units) before blurring, so that
// bright values dominate any average. The table holds the powers for every
// integer channel value of the 8- and 16-bit depths, where it is exact;
// float values are weighted exactly, each with its own power, so that no
// float is rounded to the table's steps.

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

// Empty unless weighted, and at float. At 8 bits 256 entries, weight^i; at
// 16 bits 32769 entries, weight^(i × 255 / 32768). The powers come from the
// host's maths callbacks.
std::vector<double> makeWeightTable(PF_InData* in_data, Nerevo::Bpc bpc, double weight);

// A channel value in the work buffer's domain: its weight when weighting is
// on, else the value itself. Only reads the table, so bands share it.
struct Weighting {
    bool weighted;
    double weight;
    const double* table;  // the depth's full table when weighted at 8 or 16 bits
    double log2Weight;    // for the floats whose weight passes the double range

    double operator()(A_u_char v) const { return weighted ? table[v] : v; }

    // 32768 is full scale; anything above it is no valid 16-bit channel and
    // weighs like full scale rather than reading past the table.
    double operator()(A_u_short v) const { return weighted ? table[v < 32768 ? v : 32768] : v; }

    // Floats are not clamped: below 0 (and NaN) weigh like 0, and above 1
    // the exponential goes on. The standard library's pow is what the host
    // computes, without a call through the host's table per channel.
    double operator()(PF_FpShort v) const {
        if (!weighted) {
            return v;
        }
        if (!(v >= 0.0f)) {
            return 1.0;
        }
        return std::pow(weight, 255.0 * v);
    }
};

// Entries of a weighted table: one per 8-bit value, one per 16-bit value up
// to full scale, none for floats.
template <typename Pixel>
constexpr std::size_t weightTableSize() {
    return std::is_same_v<Pixel, PF_Pixel> ? 256 : std::is_same_v<Pixel, PF_Pixel16> ? 32769 : 0;
}
