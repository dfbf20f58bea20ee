#include <cstdint>

#include "blend/blend.h"
#include "blend/blend_color.h"
#include "integer_blend.h"

namespace Nerevo {
namespace Blend {

// 32768³ exceeds 32 bits, so everything is computed in 64.
template <>
struct IntegerDepth<PF_Pixel16> {
    using Wide = std::int64_t;
    static constexpr Wide max = 32768;
    static constexpr Wide half = 16384;
    static constexpr int shift = 15;
};

namespace {

using Depth16 = IntegerBlend<PF_Pixel16>;

// Full top alpha needs no case of its own: the bottom's share is then 0.
PF_Pixel16 composeNormal(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    const std::int64_t a0 = Depth16::load(bottom.alpha);
    const std::int64_t a1 = Depth16::load(top.alpha);
    const std::int64_t t = ((32768 - a1) * a0) >> 15;
    const std::int64_t alpha = t + a1;
    const auto channel = [&](A_u_short bottomChannel, A_u_short topChannel) {
        const std::int64_t c0 = Depth16::load(bottomChannel);
        const std::int64_t c1 = Depth16::load(topChannel);
        return Depth16::store((c1 * a1 + c0 * t) / alpha);
    };
    return PF_Pixel16{Depth16::store(alpha), channel(bottom.red, top.red), channel(bottom.green, top.green),
                      channel(bottom.blue, top.blue)};
}

// Alphas add up. While they fit, the colours mix in proportion to them; past
// full cover the top takes its share and the bottom the rest.
PF_Pixel16 composeAlphaAdd(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    const std::int64_t a0 = Depth16::load(bottom.alpha);
    const std::int64_t a1 = Depth16::load(top.alpha);
    const std::int64_t sum = a0 + a1;
    const bool fits = sum <= 32768;
    const std::int64_t w0 = fits ? (a0 * 32768) / sum : 32768 - a1;
    const std::int64_t w1 = fits ? (a1 * 32768) / sum : a1;
    const auto channel = [&](A_u_short bottomChannel, A_u_short topChannel) {
        const std::int64_t c0 = Depth16::load(bottomChannel);
        const std::int64_t c1 = Depth16::load(topChannel);
        return Depth16::store((c1 * w1 + c0 * w0) >> 15);
    };
    return PF_Pixel16{Depth16::store(sum), channel(bottom.red, top.red), channel(bottom.green, top.green),
                      channel(bottom.blue, top.blue)};
}

}  // namespace

PF_Pixel16 normal(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::framed<composeNormal>(bottom, top);
}

PF_Pixel16 add(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::separable<Depth16::add>(bottom, top);
}

PF_Pixel16 multiply(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::separable<Depth16::multiply>(bottom, top);
}

PF_Pixel16 screen(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::separable<Depth16::screen>(bottom, top);
}

PF_Pixel16 overlay(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::separable<Depth16::overlay>(bottom, top);
}

PF_Pixel16 softlight(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::viaColor<softlight<float>>(bottom, top);
}

PF_Pixel16 hardlight(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::separable<Depth16::hardlight>(bottom, top);
}

PF_Pixel16 dodge(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::separable<Depth16::dodge>(bottom, top);
}

PF_Pixel16 burn(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::separable<Depth16::burn>(bottom, top);
}

PF_Pixel16 darken(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::separable<Depth16::darken>(bottom, top);
}

PF_Pixel16 lighten(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::separable<Depth16::lighten>(bottom, top);
}

PF_Pixel16 difference(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::separable<Depth16::difference>(bottom, top);
}

PF_Pixel16 exclusion(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::separable<Depth16::exclusion>(bottom, top);
}

PF_Pixel16 hue(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::viaColor<hue<float>>(bottom, top);
}

PF_Pixel16 saturation(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::viaColor<saturation<float>>(bottom, top);
}

PF_Pixel16 luminosity(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::viaColor<luminosity<float>>(bottom, top);
}

PF_Pixel16 alpha_add(const PF_Pixel16& bottom, const PF_Pixel16& top) {
    return Depth16::framed<composeAlphaAdd>(bottom, top);
}

}  // namespace Blend

template BlendFunc<PF_Pixel16> getBlendFunc<PF_Pixel16>(BlendingMode mode);

}  // namespace Nerevo
