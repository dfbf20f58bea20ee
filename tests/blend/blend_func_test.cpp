// The frame every mode shares (a transparent layer leaves the other as it
// is), the choice of function by mode value, and the popup's items.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Params.h"
#include "blend/blend.h"
#include "pixel_support.h"
#include "pixel_types.h"

namespace {

using Nerevo::BlendFunc;
using Nerevo::BlendingMode;
using Nerevo::getBlendFunc;
namespace Blend = Nerevo::Blend;

// Pixels whose every channel differs, including values a renderer can
// produce at the depth but a clamp would change (float beyond 0..1, 16-bit
// beyond full scale).
template <typename Pixel>
struct Samples;

template <>
struct Samples<PF_Pixel> {
    static constexpr PF_Pixel visible{200, 10, 250, 3};
    static constexpr PF_Pixel other{255, 90, 0, 180};
    static constexpr PF_Pixel transparent{0, 40, 120, 255};
};

template <>
struct Samples<PF_Pixel16> {
    static constexpr PF_Pixel16 visible{20000, 40000, 32768, 7};
    static constexpr PF_Pixel16 other{32768, 1000, 0, 30000};
    static constexpr PF_Pixel16 transparent{0, 12345, 32768, 65535};
};

template <>
struct Samples<PF_PixelFloat> {
    static constexpr PF_PixelFloat visible{1.5f, -0.25f, 2.0f, 0.3f};
    static constexpr PF_PixelFloat other{0.5f, 0.9f, 0.0f, 0.7f};
    static constexpr PF_PixelFloat transparent{0.0f, 0.4f, -1.0f, 3.0f};
};

template <typename Pixel>
class BlendFuncTest : public ::testing::Test {};
TYPED_TEST_SUITE(BlendFuncTest, test::PixelTypes);

TYPED_TEST(BlendFuncTest, TransparentLayerLeavesTheOtherUnchangedInEveryMode) {
    using S = Samples<TypeParam>;
    for (int value = -1; value <= 40; ++value) {
        SCOPED_TRACE(::testing::Message() << "mode " << value);
        const BlendFunc<TypeParam> blend = getBlendFunc<TypeParam>(static_cast<BlendingMode>(value));
        EXPECT_EQ(blend(S::transparent, S::visible), S::visible);
        EXPECT_EQ(blend(S::transparent, S::other), S::other);
        EXPECT_EQ(blend(S::visible, S::transparent), S::visible);
        EXPECT_EQ(blend(S::other, S::transparent), S::other);
        // With both transparent the bottom's case decides: the top comes back.
        const TypeParam alsoTransparent{0, S::visible.red, S::visible.green, S::visible.blue};
        EXPECT_EQ(blend(S::transparent, alsoTransparent), alsoTransparent);
    }
}

TYPED_TEST(BlendFuncTest, ModesWithoutPixelFunctionFallBackToNormal) {
    const BlendFunc<TypeParam> normal = Blend::normal;
    for (int value : {INT_MIN, -2, -1, 1, 18, 25, 31, 32, 1000, INT_MAX}) {
        EXPECT_EQ(getBlendFunc<TypeParam>(static_cast<BlendingMode>(value)), normal) << "mode " << value;
    }
}

// Each item of the "Blending Mode" popup, on opaque float layers, against
// the blend its label names, written out here per channel; a separator
// cannot be picked but may be stored, and then blends like the item above.
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
    const std::map<std::string, BlendTest::ColorMode> byColor = {{"Hue", BlendTest::ColorMode::hue},
                                                                 {"Saturation", BlendTest::ColorMode::saturation},
                                                                 {"Luminosity", BlendTest::ColorMode::luminosity}};
    // Every channel on either side of the middle, and of the other layer.
    const BlendTest::Rgb pairs[][2] = {{{0.2, 0.6, 0.9}, {0.7, 0.3, 0.1}}, {{0.5, 0.05, 1.0}, {0.25, 0.9, 0.5}}};

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
            BlendTest::Rgb want = byColor.count(label) ? BlendTest::blended(byColor.at(label), b, t) : BlendTest::Rgb{};
            for (int i = 0; i < 3 && byChannel.count(label); ++i) want[i] = byChannel.at(label)(b[i], t[i]);
            EXPECT_EQ(got.alpha, 1.0f);
            EXPECT_NEAR(got.red, want[0], 1e-6);
            EXPECT_NEAR(got.green, want[1], 1e-6);
            EXPECT_NEAR(got.blue, want[2], 1e-6);
        }
    }
    // Past the last item nothing is read, however far.
    for (const int stray : {0, -3, static_cast<int>(items.size()) + 1, 64, 200, 320}) {
        EXPECT_EQ(convertBlendingMode(stray), BlendingMode::normal) << stray;
    }
}

// A 16-bit channel above 32768 is malformed, but must neither wrap the
// integer arithmetic nor divide by zero (burn of such a bottom under a black
// top would): it reads as full scale.
TEST(SixteenBitInput, ChannelsAboveFullScaleReadAsFullScaleInEveryMode) {
    const PF_Pixel16 overBottom{40000, 65535, 32769, 0};
    const PF_Pixel16 overTop{65535, 0, 50000, 32768};
    for (int value = BlendTest::firstPixelMode; value <= BlendTest::lastPixelMode; ++value) {
        const BlendFunc<PF_Pixel16> blend = getBlendFunc<PF_Pixel16>(static_cast<BlendingMode>(value));
        for (const PF_Pixel16& p : {blend(overBottom, overTop), blend(overTop, overBottom)}) {
            EXPECT_TRUE(std::max({p.alpha, p.red, p.green, p.blue}) <= 32768) << "mode " << value << ": " << p;
        }
    }
    EXPECT_EQ(Blend::burn(PF_Pixel16{32768, 40000, 32768, 1}, PF_Pixel16{32768, 0, 0, 0}), (PF_Pixel16{32768, 0, 0, 0}));
    EXPECT_EQ(Blend::normal(PF_Pixel16{32768, 0, 0, 0}, overTop), (PF_Pixel16{32768, 0, 32768, 32768}));
}

}  // namespace
