#pragma once
// Blending on straight-alpha colours in 0..1.
//
// Every depth composes the same way: where only the bottom covers, its colour
// shows; where only the top covers, the top colour; where both cover, the
// mode's blend of the two. The modes whose blend is not a plain per-channel
// formula are written once here on Color<T> and shared by all depths.

#include <cmath>

#include "color/color.h"
#include "colorsys/colorsys.h"

namespace Nerevo {
namespace Blend {

// The composite of two visible layers, given the mode's blended colour (its
// alpha is not used).
template <typename T>
Color<T> composite(const Color<T>& bottom, const Color<T>& top, const Color<T>& blended) {
    const T both = bottom.a * top.a;
    const T bottomOnly = bottom.a - both;
    const T topOnly = top.a - both;
    const T alpha = top.a + bottomOnly;
    const auto channel = [&](T c0, T c1, T b) { return (c1 * topOnly + c0 * bottomOnly + b * both) / alpha; };
    return Color<T>{alpha, channel(bottom.r, top.r, blended.r), channel(bottom.g, top.g, blended.g),
                    channel(bottom.b, top.b, blended.b)};
}

// A transparent layer leaves the other one as it is; otherwise `blend` maps
// (bottom, top) to the blended colour.
template <typename T, typename Mode>
Color<T> blendColors(const Color<T>& bottom, const Color<T>& top, Mode blend) {
    if (bottom.a == T(0)) return top;
    if (top.a == T(0)) return bottom;
    return composite(bottom, top, blend(bottom, top));
}

// The blended colour of a mode that treats red, green and blue alike.
template <typename T, typename ChannelBlend>
Color<T> blendChannels(const Color<T>& bottom, const Color<T>& top, ChannelBlend blend) {
    return Color<T>{bottom.a, blend(bottom.r, top.r), blend(bottom.g, top.g), blend(bottom.b, top.b)};
}

// A top of one half keeps the bottom; darker tops darken it, lighter tops
// lighten it, without ever clipping.
template <typename T>
Color<T> softlight(const Color<T>& bottom, const Color<T>& top) {
    return blendColors(bottom, top, [](const Color<T>& b, const Color<T>& t) {
        return blendChannels(b, t, [](T c0, T c1) {
            const T exponent = c1 < T(0.5) ? T(2) * (T(1) - c1) : T(1) / (T(2) * c1);
            return std::pow(c0, exponent);
        });
    });
}

// The top's hue with the bottom's lightness and saturation. A grey top has no
// hue to give, so the bottom becomes grey at its luma instead.
template <typename T>
Color<T> hue(const Color<T>& bottom, const Color<T>& top) {
    return blendColors(bottom, top, [](const Color<T>& b, const Color<T>& t) {
        if (t.r == t.g && t.g == t.b) {
            const T luma = T(0.299) * b.r + T(0.587) * b.g + T(0.114) * b.b;
            return Color<T>{b.a, luma, luma, luma};
        }
        const Color<T> bottomHls = Colorsys::rgbToHls(b);
        const Color<T> topHls = Colorsys::rgbToHls(t);
        return Colorsys::hlsToRgb(Color<T>{b.a, topHls.r, bottomHls.g, bottomHls.b});
    });
}

// The top's saturation with the bottom's hue and lightness.
template <typename T>
Color<T> saturation(const Color<T>& bottom, const Color<T>& top) {
    return blendColors(bottom, top, [](const Color<T>& b, const Color<T>& t) {
        const Color<T> bottomHls = Colorsys::rgbToHls(b);
        const Color<T> topHls = Colorsys::rgbToHls(t);
        return Colorsys::hlsToRgb(Color<T>{b.a, bottomHls.r, bottomHls.g, topHls.b});
    });
}

// The top's lightness with the bottom's hue and saturation.
template <typename T>
Color<T> luminosity(const Color<T>& bottom, const Color<T>& top) {
    return blendColors(bottom, top, [](const Color<T>& b, const Color<T>& t) {
        const Color<T> bottomHls = Colorsys::rgbToHls(b);
        const Color<T> topHls = Colorsys::rgbToHls(t);
        return Colorsys::hlsToRgb(Color<T>{b.a, bottomHls.r, topHls.g, bottomHls.b});
    });
}

}  // namespace Blend
}  // namespace Nerevo
