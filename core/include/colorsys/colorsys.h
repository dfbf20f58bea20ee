#pragma once
// Conversions between red-green-blue and hue-lightness-saturation.
//
// An HLS colour travels in a Color<T> as (alpha, hue, lightness, saturation):
// `r` holds the hue in degrees, `g` the lightness and `b` the saturation, both
// in 0..1. Alpha passes through untouched.

#include <algorithm>
#include <cmath>

#include "color/color.h"
#include "utility/clamp.h"

namespace Nerevo {
namespace Colorsys {

// An angle in degrees brought into [0, 360); the remainder is taken toward
// zero, so negative angles need one more turn.
template <typename T>
T wrapDegrees(T degrees) {
    T wrapped = degrees - std::trunc(degrees / T(360)) * T(360);
    if (wrapped < T(0)) wrapped += T(360);
    return wrapped;
}

template <typename T>
Color<T> rgbToHls(const Color<T>& rgb) {
    const T mx = std::max({rgb.r, rgb.g, rgb.b});
    const T mn = std::min({rgb.r, rgb.g, rgb.b});
    const T lightness = (mx + mn) / T(2);
    if (mx == mn) return Color<T>{rgb.a, T(0), lightness, T(0)};

    const T d = mx - mn;
    const T saturation = lightness < T(0.5) ? d / (mx + mn) : d / (T(2) - mx - mn);
    T hue;
    if (mx == rgb.r) {
        hue = T(60) * (rgb.g - rgb.b) / d;
    } else if (mx == rgb.g) {
        hue = T(60) * (rgb.b - rgb.r) / d + T(120);
    } else {
        hue = T(60) * (rgb.r - rgb.g) / d + T(240);
    }
    return Color<T>{rgb.a, wrapDegrees(hue), lightness, saturation};
}

template <typename T>
Color<T> hlsToRgb(const Color<T>& hls) {
    const T hue = wrapDegrees(hls.r);
    const T lightness = clamp(hls.g, T(0), T(1));
    if (hls.b <= T(0)) return Color<T>{hls.a, lightness, lightness, lightness};

    const T saturation = std::min(hls.b, T(1));
    // The largest and smallest channel of the colour.
    const T m2 = lightness < T(0.5) ? lightness * (T(1) + saturation)
                                    : lightness + saturation - lightness * saturation;
    const T m1 = T(2) * lightness - m2;
    // Each channel rises over 60 degrees, holds for 120, falls over 60 and
    // rests for 120; the three channels are 120 degrees apart.
    const auto channel = [m1, m2](T angle) {
        const T k = wrapDegrees(angle);
        if (k < T(60)) return m1 + (m2 - m1) * k / T(60);
        if (k < T(180)) return m2;
        if (k < T(240)) return m1 + (m2 - m1) * (T(240) - k) / T(60);
        return m1;
    };
    return Color<T>{hls.a, channel(hue + T(120)), channel(hue), channel(hue - T(120))};
}

}  // namespace Colorsys
}  // namespace Nerevo
