#include <algorithm>
#include <cmath>

#include "blend/blend.h"
#include "blend/blend_color.h"
#include "utility/clamp.h"

namespace Nerevo {
namespace Blend {

namespace {

using ColorMode = Color<float> (*)(const Color<float>&, const Color<float>&);

// The transparent-layer cases, on the pixels exactly as they come; `compose`
// sees visible layers only. Float channels are never clamped here: values
// outside 0..1 are legitimate at this depth.
template <ColorMode compose>
PF_PixelFloat framed(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    if (bottom.alpha == 0.0f) return top;
    if (top.alpha == 0.0f) return bottom;
    return toPixelFloat(compose(toColor(bottom), toColor(top)));
}

template <float (*blend)(float cb, float cs)>
Color<float> composeSeparable(const Color<float>& bottom, const Color<float>& top) {
    return composite(bottom, top, blendChannels(bottom, top, blend));
}

template <float (*blend)(float cb, float cs)>
PF_PixelFloat separable(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return framed<composeSeparable<blend>>(bottom, top);
}

// The colour-space modes read alpha as coverage, so it must lie in 0..1.
template <ColorMode mode>
Color<float> withCoverageAlphas(const Color<float>& bottom, const Color<float>& top) {
    Color<float> b = bottom;
    Color<float> t = top;
    b.a = clamp(b.a, 0.0f, 1.0f);
    t.a = clamp(t.a, 0.0f, 1.0f);
    return mode(b, t);
}

Color<float> composeNormal(const Color<float>& bottom, const Color<float>& top) {
    const float t = bottom.a * (1.0f - top.a);
    const float alpha = top.a + t;
    const auto channel = [&](float c0, float c1) { return (c1 * top.a + c0 * t) / alpha; };
    return Color<float>{alpha, channel(bottom.r, top.r), channel(bottom.g, top.g), channel(bottom.b, top.b)};
}

// Alphas add up. While they fit, the colours mix in proportion to them; past
// full cover the top takes its share and the bottom the rest.
Color<float> composeAlphaAdd(const Color<float>& bottom, const Color<float>& top) {
    const float sum = bottom.a + top.a;
    const bool fits = sum <= 1.0f;
    const float w0 = fits ? bottom.a / sum : 1.0f - top.a;
    const float w1 = fits ? top.a / sum : top.a;
    const auto channel = [&](float c0, float c1) { return c1 * w1 + c0 * w0; };
    return Color<float>{clamp(sum, 0.0f, 1.0f), channel(bottom.r, top.r), channel(bottom.g, top.g),
                        channel(bottom.b, top.b)};
}

// Per-channel blends B(cb, cs) of a bottom and a top channel.
namespace channelBlend {

float add(float cb, float cs) { return cb + cs; }

float multiply(float cb, float cs) { return cb * cs; }

float screen(float cb, float cs) { return 1.0f - (1.0f - cs) * (1.0f - cb); }

// Multiply below the middle, screen above, each doubled to span the range.
float contrast(float cb, float cs, bool upper) {
    return upper ? 1.0f - 2.0f * (1.0f - cs) * (1.0f - cb) : 2.0f * cb * cs;
}

float overlay(float cb, float cs) { return contrast(cb, cs, cb >= 0.5f); }

float hardlight(float cb, float cs) { return contrast(cb, cs, cs >= 0.5f); }

float dodge(float cb, float cs) {
    if (cb == 0.0f) return 0.0f;
    return cb < 1.0f - cs ? cb / (1.0f - cs) : 1.0f;
}

float burn(float cb, float cs) {
    if (cb >= 1.0f) return 1.0f;
    return 1.0f - cb < cs ? 1.0f - (1.0f - cb) / cs : 0.0f;
}

float darken(float cb, float cs) { return std::min(cb, cs); }

float lighten(float cb, float cs) { return std::max(cb, cs); }

float difference(float cb, float cs) { return std::fabs(cb - cs); }

float exclusion(float cb, float cs) { return cb + cs - 2.0f * cb * cs; }

}  // namespace channelBlend

}  // namespace

PF_PixelFloat normal(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return framed<composeNormal>(bottom, top);
}

PF_PixelFloat add(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return separable<channelBlend::add>(bottom, top);
}

PF_PixelFloat multiply(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return separable<channelBlend::multiply>(bottom, top);
}

PF_PixelFloat screen(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return separable<channelBlend::screen>(bottom, top);
}

PF_PixelFloat overlay(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return separable<channelBlend::overlay>(bottom, top);
}

PF_PixelFloat softlight(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return framed<softlight<float>>(bottom, top);
}

PF_PixelFloat hardlight(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return separable<channelBlend::hardlight>(bottom, top);
}

PF_PixelFloat dodge(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return separable<channelBlend::dodge>(bottom, top);
}

PF_PixelFloat burn(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return separable<channelBlend::burn>(bottom, top);
}

PF_PixelFloat darken(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return separable<channelBlend::darken>(bottom, top);
}

PF_PixelFloat lighten(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return separable<channelBlend::lighten>(bottom, top);
}

PF_PixelFloat difference(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return separable<channelBlend::difference>(bottom, top);
}

PF_PixelFloat exclusion(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return separable<channelBlend::exclusion>(bottom, top);
}

PF_PixelFloat hue(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return framed<withCoverageAlphas<hue<float>>>(bottom, top);
}

PF_PixelFloat saturation(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return framed<withCoverageAlphas<saturation<float>>>(bottom, top);
}

PF_PixelFloat luminosity(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return framed<withCoverageAlphas<luminosity<float>>>(bottom, top);
}

PF_PixelFloat alpha_add(const PF_PixelFloat& bottom, const PF_PixelFloat& top) {
    return framed<composeAlphaAdd>(bottom, top);
}

}  // namespace Blend

template BlendFunc<PF_PixelFloat> getBlendFunc<PF_PixelFloat>(BlendingMode mode);

}  // namespace Nerevo
