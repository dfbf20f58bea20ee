// The frame every mode shares (a transparent layer leaves the other as it
// is) and the choice of function by mode value.

#include <gtest/gtest.h>

#include <climits>

#include "blend/blend.h"
#include "pixel_support.h"

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

using PixelTypes = ::testing::Types<PF_Pixel, PF_Pixel16, PF_PixelFloat>;
TYPED_TEST_SUITE(BlendFuncTest, PixelTypes);

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

TYPED_TEST(BlendFuncTest, EachModeValueSelectsItsOwnFunction) {
    struct Entry {
        BlendingMode mode;
        BlendFunc<TypeParam> func;
    };
    const Entry entries[] = {
        {BlendingMode::normal, Blend::normal},         {BlendingMode::add, Blend::add},
        {BlendingMode::multiply, Blend::multiply},     {BlendingMode::screen, Blend::screen},
        {BlendingMode::overlay, Blend::overlay},       {BlendingMode::softlight, Blend::softlight},
        {BlendingMode::hardlight, Blend::hardlight},   {BlendingMode::dodge, Blend::dodge},
        {BlendingMode::burn, Blend::burn},             {BlendingMode::darken, Blend::darken},
        {BlendingMode::lighten, Blend::lighten},       {BlendingMode::difference, Blend::difference},
        {BlendingMode::exclusion, Blend::exclusion},   {BlendingMode::hue, Blend::hue},
        {BlendingMode::saturation, Blend::saturation}, {BlendingMode::luminosity, Blend::luminosity},
        {BlendingMode::alpha_add, Blend::alpha_add},
    };
    for (const Entry& e : entries) {
        EXPECT_EQ(getBlendFunc<TypeParam>(e.mode), e.func) << "mode " << static_cast<int>(e.mode);
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
            EXPECT_LE(p.alpha, 32768) << "mode " << value;
            EXPECT_LE(p.red, 32768) << "mode " << value;
            EXPECT_LE(p.green, 32768) << "mode " << value;
            EXPECT_LE(p.blue, 32768) << "mode " << value;
        }
    }
    EXPECT_EQ(Blend::burn(PF_Pixel16{32768, 40000, 32768, 1}, PF_Pixel16{32768, 0, 0, 0}), (PF_Pixel16{32768, 0, 0, 0}));
    EXPECT_EQ(Blend::normal(PF_Pixel16{32768, 0, 0, 0}, overTop), (PF_Pixel16{32768, 0, 32768, 32768}));
}

}  // namespace
