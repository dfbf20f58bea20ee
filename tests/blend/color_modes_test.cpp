// Modes computed on whole colours: hue, saturation and luminosity through
// hue-lightness-saturation against the independent HLS model. (Soft light's
// formula is the popup items' test to guard, its integer framing the colour
// modes'.)

#include <gtest/gtest.h>

#include "blend/blend.h"
#include "blend/blend_color.h"
#include "colorsys/colorsys.h"
#include "pixel_support.h"

namespace {

using Nerevo::getBlendFunc;
using Nerevo::Color;
namespace Blend = Nerevo::Blend;

using namespace BlendTest;

struct Layer {
    double a;
    Rgb c;
};

// Straight-alpha compositing of the blended colour where both layers cover.
Layer expected(ColorMode mode, const Layer& bottom, const Layer& top) {
    const Rgb mix = blended(mode, bottom.c, top.c);
    const double both = bottom.a * top.a;
    const double alpha = bottom.a + top.a - both;
    Layer out{alpha, {}};
    for (int i = 0; i < 3; ++i) {
        out.c[i] = (top.c[i] * (top.a - both) + bottom.c[i] * (bottom.a - both) + mix[i] * both) / alpha;
    }
    return out;
}

// Every pair of these layers, in every colour-space mode, agrees with the
// independent model within one step of the depth.
template <typename Pixel>
void expectAgreementWithModel(double tolerance) {
    const Layer layers[] = {
        {1.0, {0.8, 0.1, 0.35}},  {1.0, {0.1, 0.1, 0.1}}, {0.7, {0.05, 0.8, 0.45}}, {1.0, {1.0, 0.0, 0.0}},
        {1.0, {0.0, 0.0, 1.0}},   {0.4, {0.5, 0.5, 0.5}}, {1.0, {0.98, 0.94, 0.02}}, {0.25, {0.0, 0.0, 0.0}},
        {1.0, {1.0, 1.0, 1.0}},   {0.9, {0.3, 0.6, 0.9}},
    };
    const auto toPixel = [](const Layer& l) {
        return BlendTest::pixel<Pixel>(float(l.a), float(l.c[0]), float(l.c[1]), float(l.c[2]));
    };
    // Compare against the model fed with the values the pixels really hold.
    const auto toLayer = [](const Pixel& p) {
        const Color<float> c = Nerevo::toColor(p);
        return Layer{c.a, {c.r, c.g, c.b}};
    };
    for (ColorMode mode : {ColorMode::hue, ColorMode::saturation, ColorMode::luminosity}) {
        for (const Layer& b : layers) {
            for (const Layer& t : layers) {
                const Pixel bottom = toPixel(b);
                const Pixel top = toPixel(t);
                const Layer want = expected(mode, toLayer(bottom), toLayer(top));
                const Layer got = toLayer(getBlendFunc<Pixel>(mode)(bottom, top));
                SCOPED_TRACE(::testing::Message() << "mode " << int(mode) << " bottom " << bottom << " top " << top);
                EXPECT_NEAR(got.a, want.a, tolerance);
                for (int i = 0; i < 3; ++i) EXPECT_NEAR(got.c[i], want.c[i], tolerance) << "channel " << i;
            }
        }
    }
}

TEST(ColorSpaceModes, AgreeWithIndependentHlsModelAtEveryDepth) {
    // One step of the depth, with room for the step's own representation.
    expectAgreementWithModel<PF_Pixel>(1.001 / 255);
    expectAgreementWithModel<PF_Pixel16>(1.001 / 32768);
    expectAgreementWithModel<PF_PixelFloat>(1e-5);
}

// Float pixels may carry alphas outside 0..1; the colour-space modes read
// them as coverage within 0..1, soft light takes them as they come.
TEST(ColorSpaceModes, FloatAlphaIsCoverageForColorSpaceModesOnly) {
    const PF_PixelFloat bottom{2.0f, 0.8f, 0.1f, 0.35f};
    const PF_PixelFloat top{0.5f, 0.3f, 0.6f, 0.9f};
    for (const ColorMode mode : {ColorMode::hue, ColorMode::saturation, ColorMode::luminosity}) {
        EXPECT_EQ(getBlendFunc<PF_PixelFloat>(mode)(bottom, top).alpha, 1.0f);
    }
    EXPECT_EQ(Blend::softlight(bottom, top).alpha, 1.5f);
}

TEST(HlsToRgb, PrimariesGreysAndWrappedHuesMatchTheModel) {
    using Nerevo::Colorsys::hlsToRgb;
    const Color<float> red = hlsToRgb(Color<float>{0.25f, 0.0f, 0.5f, 1.0f});
    EXPECT_TRUE(red.a == 0.25f && red.r == 1.0f && red.g == 0.0f && red.b == 0.0f) << "alpha kept, pure red";

    for (float hue : {-400.0f, -120.0f, -30.0f, 0.0f, 30.0f, 59.0f, 60.0f, 90.0f, 179.0f, 180.0f, 200.0f, 239.0f,
                      240.0f, 300.0f, 359.0f, 360.0f, 480.0f, 725.0f}) {
        for (float lightness : {-0.5f, 0.0f, 0.1f, 0.25f, 0.5f, 0.6f, 0.9f, 1.0f, 1.5f}) {
            for (float saturation : {-1.0f, 0.0f, 0.3f, 0.5f, 1.0f, 2.0f}) {
                const Color<float> got = hlsToRgb(Color<float>{1.0f, hue, lightness, saturation});
                const Rgb want = toRgb({hue, lightness, saturation});
                SCOPED_TRACE(::testing::Message() << "hls " << hue << ", " << lightness << ", " << saturation);
                EXPECT_NEAR(got.r, want[0], 1e-6);
                EXPECT_NEAR(got.g, want[1], 1e-6);
                EXPECT_NEAR(got.b, want[2], 1e-6);
                EXPECT_TRUE(saturation > 0.0f || (got.r == got.g && got.g == got.b)) << "unsaturated is grey";
            }
        }
    }
}

}  // namespace
