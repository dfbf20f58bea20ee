#pragma once
// Colours and the host's pixel layouts.
//
// Channels are always in the host's order: alpha, red, green, blue. Full
// scale is 255 for PF_Pixel, 32768 (not 65535) for PF_Pixel16 and 1.0 for
// PF_PixelFloat, whose channels are never clamped. Integer stores add 0.5,
// clamp and truncate, so halves round up.

#include "AE_Effect.h"
#include "utility/clamp.h"
#include "world/pixels.h"

namespace Nerevo {

template <typename T>
struct Color {
    T a, r, g, b;
};

inline A_u_char toChannel8(float c) {
    return static_cast<A_u_char>(clamp(c * 255.0f + 0.5f, 0.0f, 255.0f));
}

inline A_u_short toChannel16(float c) {
    return static_cast<A_u_short>(clamp(c * 32768.0f + 0.5f, 0.0f, 32768.0f));
}

inline PF_Pixel toPixel8(const Color<float>& c) {
    return PF_Pixel{toChannel8(c.a), toChannel8(c.r), toChannel8(c.g), toChannel8(c.b)};
}

inline PF_Pixel16 toPixel16(const Color<float>& c) {
    return PF_Pixel16{toChannel16(c.a), toChannel16(c.r), toChannel16(c.g), toChannel16(c.b)};
}

inline PF_PixelFloat toPixelFloat(const Color<float>& c) {
    return PF_PixelFloat{c.a, c.r, c.g, c.b};
}

inline Color<float> toColor(const PF_Pixel& p) {
    return Color<float>{p.alpha / 255.0f, p.red / 255.0f, p.green / 255.0f, p.blue / 255.0f};
}

inline Color<float> toColor(const PF_Pixel16& p) {
    constexpr float k = 3.0517578125e-05f;  // exactly 1 / 32768
    return Color<float>{p.alpha * k, p.red * k, p.green * k, p.blue * k};
}

inline Color<float> toColor(const PF_PixelFloat& p) {
    return Color<float>{p.alpha, p.red, p.green, p.blue};
}

// Generic store, for code templated on the pixel type.
template <typename Pixel>
Pixel toPixel(const Color<float>& c);

template <>
inline PF_Pixel toPixel<PF_Pixel>(const Color<float>& c) {
    return toPixel8(c);
}

template <>
inline PF_Pixel16 toPixel<PF_Pixel16>(const Color<float>& c) {
    return toPixel16(c);
}

template <>
inline PF_PixelFloat toPixel<PF_PixelFloat>(const Color<float>& c) {
    return toPixelFloat(c);
}

// A colour parameter (red, green, blue in 0..1) as an opaque colour.
inline Color<float> colorFromRgb(const float rgb[3]) {
    return Color<float>{1.0f, rgb[0], rgb[1], rgb[2]};
}

// Host 16.16 fixed point to double; the factor is exactly 1 / 65536.
inline double fixedToDouble(PF_Fixed v) {
    return v * 1.52587890625e-05;
}

}  // namespace Nerevo
