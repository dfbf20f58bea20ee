#include <cstdint>

#include "blend/blend.h"
#include "blend/blend_color.h"
#include "integer_blend.h"

namespace Nerevo {
namespace Blend {

template <>
struct IntegerDepth<PF_Pixel> {
    using Wide = std::int32_t;
    static constexpr Wide max = 255;
    static constexpr Wide half = 128;
    static constexpr int shift = 8;
};

namespace {

using Depth8 = IntegerBlend<PF_Pixel>;

PF_Pixel composeNormal(const PF_Pixel& bottom, const PF_Pixel& top) {
    if (top.alpha == 255) return PF_Pixel{255, top.red, top.green, top.blue};
    const std::int32_t a0 = bottom.alpha;
    const std::int32_t a1 = top.alpha;
    const std::int32_t x = (255 - a1) * a0;
    // The bottom's remaining cover x / 255, rounded; the result alpha stays
    // within 255 without a clamp.
    const std::int32_t t = (x + (x >> 8) + 1) >> 8;
    const std::int32_t alpha = t + a1;
    const auto channel = [&](std::int32_t c0, std::int32_t c1) {
        return static_cast<A_u_char>((c1 * a1 + c0 * t) / alpha);
    };
    return PF_Pixel{static_cast<A_u_char>(alpha), channel(bottom.red, top.red), channel(bottom.green, top.green),
                    channel(bottom.blue, top.blue)};
}

// Alphas add up. While they fit, the colours mix in proportion to them; past
// full cover the top takes its share and the bottom the rest.
PF_Pixel composeAlphaAdd(const PF_Pixel& bottom, const PF_Pixel& top) {
    const std::int32_t a0 = bottom.alpha;
    const std::int32_t a1 = top.alpha;
    const std::int32_t sum = a0 + a1;
    const bool fits = sum < 256;
    const std::int32_t w0 = fits ? (a0 * 255) / sum : 255 - a1;
    const std::int32_t w1 = fits ? (a1 * 255) / sum : a1;
    const auto channel = [&](std::int32_t c0, std::int32_t c1) {
        return static_cast<A_u_char>(std::min((c1 * w1 + c0 * w0) / 255, 255));
    };
    return PF_Pixel{static_cast<A_u_char>(fits ? sum : 255), channel(bottom.red, top.red),
                    channel(bottom.green, top.green), channel(bottom.blue, top.blue)};
}

}  // namespace

PF_Pixel normal(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::framed<composeNormal>(bottom, top);
}

PF_Pixel add(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::separable<Depth8::add>(bottom, top);
}

PF_Pixel multiply(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::separable<Depth8::multiply>(bottom, top);
}

PF_Pixel screen(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::separable<Depth8::screen>(bottom, top);
}

PF_Pixel overlay(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::separable<Depth8::overlay>(bottom, top);
}

PF_Pixel softlight(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::viaColor<softlight<float>>(bottom, top);
}

PF_Pixel hardlight(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::separable<Depth8::hardlight>(bottom, top);
}

PF_Pixel dodge(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::separable<Depth8::dodge>(bottom, top);
}

PF_Pixel burn(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::separable<Depth8::burn>(bottom, top);
}

PF_Pixel darken(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::separable<Depth8::darken>(bottom, top);
}

PF_Pixel lighten(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::separable<Depth8::lighten>(bottom, top);
}

PF_Pixel difference(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::separable<Depth8::difference>(bottom, top);
}

PF_Pixel exclusion(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::separable<Depth8::exclusion>(bottom, top);
}

PF_Pixel hue(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::viaColor<hue<float>>(bottom, top);
}

PF_Pixel saturation(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::viaColor<saturation<float>>(bottom, top);
}

PF_Pixel luminosity(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::viaColor<luminosity<float>>(bottom, top);
}

PF_Pixel alpha_add(const PF_Pixel& bottom, const PF_Pixel& top) {
    return Depth8::framed<composeAlphaAdd>(bottom, top);
}

}  // namespace Blend

template BlendFunc<PF_Pixel> getBlendFunc<PF_Pixel>(BlendingMode mode);

}  // namespace Nerevo
