// The frame every mode shares, the function by mode value, the popup's items, the colour-space modes' HLS model.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Params.h"
#include "blend/blend.h"
#include "colorsys/colorsys.h"
#include "pixel_support.h"
#include "pixel_types.h"

namespace {

using Nerevo::BlendFunc;
using Nerevo::BlendingMode;
using Nerevo::Color;
using Nerevo::getBlendFunc;
namespace Blend = Nerevo::Blend;
using namespace BlendTest;

// Visible, other, transparent: every channel differs, and some hold values a clamp would change.
template <typename Pixel>
std::array<Pixel, 3> samples() {
    if constexpr (std::is_same_v<Pixel, PF_Pixel>) {
        return {{{200, 10, 250, 3}, {255, 90, 0, 180}, {0, 40, 120, 255}}};
    } else if constexpr (std::is_same_v<Pixel, PF_Pixel16>) {
        return {{{20000, 40000, 32768, 7}, {32768, 1000, 0, 30000}, {0, 12345, 32768, 65535}}};
    } else {
        return {{{1.5f, -0.25f, 2.0f, 0.3f}, {0.5f, 0.9f, 0.0f, 0.7f}, {0.0f, 0.4f, -1.0f, 3.0f}}};
    }
}

template <typename Pixel>
class BlendFuncTest : public ::testing::Test {};
TYPED_TEST_SUITE(BlendFuncTest, test::PixelTypes);

TYPED_TEST(BlendFuncTest, TransparentLayerLeavesTheOtherUnchangedAndModesWithoutAFunctionBlendNormally) {
    const auto [visible, other, transparent] = samples<TypeParam>();
    for (int value = -1; value <= 40; ++value) {
        SCOPED_TRACE(::testing::Message() << "mode " << value);
        const BlendFunc<TypeParam> blend = getBlendFunc<TypeParam>(static_cast<BlendingMode>(value));
        for (const TypeParam& p : {visible, other}) {
            EXPECT_EQ(blend(transparent, p), p);
            EXPECT_EQ(blend(p, transparent), p);
        }
        // With both transparent the bottom's case decides: the top comes back.
        const TypeParam alsoTransparent{0, visible.red, visible.green, visible.blue};
        EXPECT_EQ(blend(transparent, alsoTransparent), alsoTransparent);
    }
    const BlendFunc<TypeParam> normal = Blend::normal;
    for (int value : {INT_MIN, -2, -1, 1, 18, 25, 31, 32, 1000, INT_MAX}) {
        EXPECT_EQ(getBlendFunc<TypeParam>(static_cast<BlendingMode>(value)), normal) << "mode " << value;
    }
}

// Opaque float layers against each label's blend; a separator, never picked but storable, blends like the one above.
TEST(BlendingModeItems, EachBlendsAsItsLabelSays) {
    using Channel = double (*)(double b, double t);
    const std::map<std::string, Channel> byChannel = {
        {"Normal", [](double, double t) { return t; }},
        {"Add", [](double b, double t) { return b + t; }},
        {"Multiply", [](double b, double t) { return b * t; }},
        {"Screen", [](double b, double t) { return 1 - (1 - b) * (1 - t); }},
        {"Overlay", [](double b, double t) { return b < 0.5 ? 2 * b * t : 1 - 2 * (1 - b) * (1 - t); }},
        {"Soft Light", [](double b, double t) { return std::pow(b, t < 0.5 ? 2 * (1 - t) : 1 / (2 * t)); }},
        {"Hard Light", [](double b, double t) { return t < 0.5 ? 2 * b * t : 1 - 2 * (1 - b) * (1 - t); }},
        {"Color Dodge", [](double b, double t) { return b == 0 ? 0 : std::min(1.0, b / (1 - t)); }},
        {"Color Burn", [](double b, double t) { return b >= 1 ? 1 : std::max(0.0, 1 - (1 - b) / t); }},
        {"Darken", [](double b, double t) { return std::min(b, t); }},
        {"Lighten", [](double b, double t) { return std::max(b, t); }},
        {"Difference", [](double b, double t) { return std::fabs(b - t); }},
        {"Exclusion", [](double b, double t) { return b + t - 2 * b * t; }},
    };
    const std::map<std::string, ColorMode> byColor = {
        {"Hue", ColorMode::hue}, {"Saturation", ColorMode::saturation}, {"Luminosity", ColorMode::luminosity}};
    // Every channel on either side of the middle, and of the other layer.
    const Rgb pairs[][2] = {{{0.2, 0.6, 0.9}, {0.7, 0.3, 0.1}}, {{0.5, 0.05, 1.0}, {0.25, 0.9, 0.5}}};

    std::vector<std::string> items;
    std::stringstream list(paramAt(PARAM_UI, Param::BlendingMode).items);
    for (std::string item; std::getline(list, item, '|');) items.push_back(item);
    ASSERT_EQ(static_cast<int>(items.size()), paramAt(PARAM_DEFS, Param::BlendingMode).validMax.i);
    for (int item = 1; item <= static_cast<int>(items.size()); ++item) {
        const std::string& label = items[static_cast<std::size_t>(item - 1)];
        SCOPED_TRACE(label);
        if (label == "(-") {
            EXPECT_EQ(convertBlendingMode(item), convertBlendingMode(item - 1)) << "separator " << item;
            continue;
        }
        ASSERT_EQ(byChannel.count(label) + byColor.count(label), 1u);
        const BlendFunc<PF_PixelFloat> blend = getBlendFunc<PF_PixelFloat>(convertBlendingMode(item));
        for (const auto& [b, t] : pairs) {
            const PF_PixelFloat got = blend(PF_PixelFloat{1, float(b[0]), float(b[1]), float(b[2])},
                                            PF_PixelFloat{1, float(t[0]), float(t[1]), float(t[2])});
            Rgb want = byColor.count(label) ? blended(byColor.at(label), b, t) : Rgb{};
            for (int i = 0; i < 3 && byChannel.count(label); ++i) want[i] = byChannel.at(label)(b[i], t[i]);
            EXPECT_EQ(got.alpha, 1.0f);
            const Rgb rgb{got.red, got.green, got.blue};
            for (int i = 0; i < 3; ++i) EXPECT_NEAR(rgb[i], want[i], 1e-6) << "channel " << i;
        }
    }
    for (const int stray : {0, -3, static_cast<int>(items.size()) + 1, 64, 200, 320}) {
        EXPECT_EQ(convertBlendingMode(stray), BlendingMode::normal) << stray;
    }
}

// Malformed: no wrapped integer arithmetic, no division by zero (burn of such a bottom under black would divide).
TEST(SixteenBitInput, ChannelsAboveFullScaleReadAsFullScaleInEveryMode) {
    const PF_Pixel16 overBottom{40000, 65535, 32769, 0};
    const PF_Pixel16 overTop{65535, 0, 50000, 32768};
    for (int value = firstPixelMode; value <= lastPixelMode; ++value) {
        const BlendFunc<PF_Pixel16> blend = getBlendFunc<PF_Pixel16>(static_cast<BlendingMode>(value));
        for (const PF_Pixel16& p : {blend(overBottom, overTop), blend(overTop, overBottom)}) {
            EXPECT_TRUE(std::max({p.alpha, p.red, p.green, p.blue}) <= 32768) << "mode " << value << ": " << p;
        }
    }
    const PF_Pixel16 black{32768, 0, 0, 0};
    EXPECT_EQ(Blend::burn(PF_Pixel16{32768, 40000, 32768, 1}, black), black);
    EXPECT_EQ(Blend::normal(PF_Pixel16{32768, 0, 0, 0}, overTop), (PF_Pixel16{32768, 0, 32768, 32768}));
}

struct Layer {
    double a;
    Rgb c;
};

// Straight-alpha compositing of the model's blend where both layers cover.
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

template <typename Pixel>
void expectAgreementWithModel(double tolerance) {
    const Layer layers[] = {
        {1.0, {0.8, 0.1, 0.35}},  {1.0, {0.1, 0.1, 0.1}}, {0.7, {0.05, 0.8, 0.45}}, {1.0, {1.0, 0.0, 0.0}},
        {1.0, {0.0, 0.0, 1.0}},   {0.4, {0.5, 0.5, 0.5}}, {1.0, {0.98, 0.94, 0.02}}, {0.25, {0.0, 0.0, 0.0}},
        {1.0, {1.0, 1.0, 1.0}},   {0.9, {0.3, 0.6, 0.9}},
    };
    const auto toPixel = [](const Layer& l) {
        return Nerevo::toPixel<Pixel>(Color<float>{float(l.a), float(l.c[0]), float(l.c[1]), float(l.c[2])});
    };
    // The model is fed the values the pixels really hold.
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

TEST(ColorSpaceModes, FloatAlphaIsCoverageForColorSpaceModesOnly) {
    const PF_PixelFloat bottom{2.0f, 0.8f, 0.1f, 0.35f};
    const PF_PixelFloat top{0.5f, 0.3f, 0.6f, 0.9f};
    for (const ColorMode mode : {ColorMode::hue, ColorMode::saturation, ColorMode::luminosity}) {
        EXPECT_EQ(getBlendFunc<PF_PixelFloat>(mode)(bottom, top).alpha, 1.0f);
    }
    EXPECT_EQ(Blend::softlight(bottom, top).alpha, 1.5f);
}

// Float footage beyond 0..1 brings lightness and saturation beyond it too.
TEST(HlsToRgb, PrimariesGreysAndWrappedHuesMatchTheModel) {
    for (float hue : {-400.0f, -120.0f, -30.0f, 0.0f, 30.0f, 59.0f, 60.0f, 90.0f, 179.0f, 180.0f, 200.0f, 239.0f,
                      240.0f, 300.0f, 359.0f, 360.0f, 480.0f, 725.0f}) {
        for (float lightness : {-0.5f, 0.0f, 0.1f, 0.25f, 0.5f, 0.6f, 0.9f, 1.0f, 1.5f}) {
            for (float saturation : {-1.0f, 0.0f, 0.3f, 0.5f, 1.0f, 2.0f}) {
                const Color<float> got = Nerevo::Colorsys::hlsToRgb(Color<float>{1.0f, hue, lightness, saturation});
                const Rgb want = toRgb({hue, lightness, saturation});
                SCOPED_TRACE(::testing::Message() << "hls " << hue << ", " << lightness << ", " << saturation);
                const Rgb rgb{got.r, got.g, got.b};
                for (int i = 0; i < 3; ++i) EXPECT_NEAR(rgb[i], want[i], 1e-6) << "channel " << i;
                EXPECT_TRUE(saturation > 0.0f || (got.r == got.g && got.g == got.b)) << "unsaturated is grey";
            }
        }
    }
}

}  // namespace
