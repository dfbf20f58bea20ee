#pragma once
// Blending at the integer depths, shared by 8 and 16 bits.
//
// Division by the full scale is a right shift: exact for 32768 (by 15), a
// stand-in for 255 (by 8) that can leave 8-bit results a step low; that is
// the depth's arithmetic, not an error to correct. Each depth's source
// specialises IntegerDepth with its full scale and a signed type wide enough
// for the largest sum of products, a blend times a weight: 510 × 255² at 8
// bits, 2 × 32768³ at 16.

#include <algorithm>

#include "blend/blend_color.h"
#include "color/color.h"

namespace Nerevo {
namespace Blend {

template <typename Pixel>
struct IntegerDepth;  // Wide, max, half, shift

template <typename Pixel>
struct IntegerBlend {
    using Depth = IntegerDepth<Pixel>;
    using Wide = typename Depth::Wide;
    using Channel = typename PixelTraits<Pixel>::Channel;
    static constexpr Wide M = Depth::max;
    static constexpr int shift = Depth::shift;

    // A 16-bit channel above full scale is malformed; reading it as full
    // scale keeps every intermediate non-negative and every divisor non-zero.
    static Wide load(Channel v) { return std::min<Wide>(v, M); }

    static Channel store(Wide v) { return static_cast<Channel>(std::min(v, M)); }

    // The two transparent-layer cases; `compose` sees visible layers only.
    template <Pixel (*compose)(const Pixel&, const Pixel&)>
    static Pixel framed(const Pixel& bottom, const Pixel& top) {
        if (bottom.alpha == 0) return top;
        if (top.alpha == 0) return bottom;
        return compose(bottom, top);
    }

    template <Wide (*blend)(Wide cb, Wide cs)>
    static Pixel composeSeparable(const Pixel& bottom, const Pixel& top) {
        const Wide a0 = load(bottom.alpha);
        const Wide a1 = load(top.alpha);
        const Wide bottomOnly = (M - a1) * a0;
        const Wide topOnly = (M - a0) * a1;
        const Wide both = a1 * a0;
        const Wide alpha = std::min((topOnly >> shift) + a0, M);
        const auto channel = [&](Channel bottomChannel, Channel topChannel) {
            const Wide c0 = load(bottomChannel);
            const Wide c1 = load(topChannel);
            return store(((c1 * topOnly + c0 * bottomOnly + blend(c0, c1) * both) / alpha) >> shift);
        };
        return Pixel{static_cast<Channel>(alpha), channel(bottom.red, top.red), channel(bottom.green, top.green),
                     channel(bottom.blue, top.blue)};
    }

    template <Wide (*blend)(Wide cb, Wide cs)>
    static Pixel separable(const Pixel& bottom, const Pixel& top) {
        return framed<composeSeparable<blend>>(bottom, top);
    }

    template <Color<float> (*mode)(const Color<float>&, const Color<float>&)>
    static Pixel composeColor(const Pixel& bottom, const Pixel& top) {
        return toPixel<Pixel>(mode(toColor(bottom), toColor(top)));
    }

    // A mode computed on colours in 0..1, stored back with rounding.
    template <Color<float> (*mode)(const Color<float>&, const Color<float>&)>
    static Pixel viaColor(const Pixel& bottom, const Pixel& top) {
        return framed<composeColor<mode>>(bottom, top);
    }

    // Per-channel blends B(cb, cs) of a bottom and a top channel.

    static Wide add(Wide cb, Wide cs) { return cb + cs; }

    static Wide multiply(Wide cb, Wide cs) { return (cs * cb) >> shift; }

    static Wide screen(Wide cb, Wide cs) { return cs + cb - ((cs * cb) >> shift); }

    // Multiply below the middle, screen above, each doubled to span the range.
    static Wide contrast(Wide cb, Wide cs, bool upper) {
        return upper ? 2 * screen(cb, cs) - M : (cs * cb) >> (shift - 1);
    }

    static Wide overlay(Wide cb, Wide cs) { return contrast(cb, cs, cb >= Depth::half); }

    static Wide hardlight(Wide cb, Wide cs) { return contrast(cb, cs, cs >= Depth::half); }

    static Wide dodge(Wide cb, Wide cs) { return cb < M - cs ? (cb * M) / (M - cs) : M; }

    static Wide burn(Wide cb, Wide cs) { return M - cb < cs ? M - ((M - cb) * M) / cs : 0; }

    static Wide darken(Wide cb, Wide cs) { return std::min(cb, cs); }

    static Wide lighten(Wide cb, Wide cs) { return std::max(cb, cs); }

    static Wide difference(Wide cb, Wide cs) { return cs > cb ? cs - cb : cb - cs; }

    static Wide exclusion(Wide cb, Wide cs) { return cs + cb - ((cs * cb) >> (shift - 1)); }
};

}  // namespace Blend
}  // namespace Nerevo
