// Colour conversions at their rounding edges.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "color/color.h"

namespace {

using Nerevo::Color;

TEST(Color, OpaqueWhiteReachesFullScaleAtEachDepth) {
    const Color<float> white{1, 1, 1, 1};
    const PF_Pixel p8 = Nerevo::toPixel8(white);
    EXPECT_EQ(p8.alpha, 255);
    EXPECT_EQ(p8.blue, 255);
    const PF_Pixel16 p16 = Nerevo::toPixel16(white);
    EXPECT_EQ(p16.alpha, 32768);
    EXPECT_EQ(p16.red, 32768);
}

TEST(Color, StoresClampAndTruncateAfterAddingAHalf) {
    const PF_Pixel p = Nerevo::toPixel8(Color<float>{-0.1f, 0.5f, 1.2f, 0.0019f});
    EXPECT_EQ(p.alpha, 0);
    EXPECT_EQ(p.red, 128);    // halves round up
    EXPECT_EQ(p.green, 255);  // above full scale clamps
    EXPECT_EQ(p.blue, 0);     // 0.98 truncates
    EXPECT_EQ(Nerevo::toPixel16(Color<float>{0.5f, 0, 0, 0}).alpha, 16384);
    EXPECT_EQ(Nerevo::toPixel16(Color<float>{2.0f, -1.0f, 0, 0}).alpha, 32768);
    EXPECT_EQ(Nerevo::toPixel16(Color<float>{2.0f, -1.0f, 0, 0}).red, 0);
}

TEST(Color, NotANumberStoresAsZero) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(Nerevo::toPixel8(Color<float>{nan, nan, 0, 0}).alpha, 0);
    EXPECT_EQ(Nerevo::toPixel16(Color<float>{nan, 0, 0, 0}).alpha, 0);
}

TEST(Color, LoadsScaleByFullScaleAndFloatPassesThrough) {
    const Color<float> c8 = Nerevo::toColor(PF_Pixel{255, 128, 0, 51});
    EXPECT_EQ(c8.a, 1.0f);
    EXPECT_FLOAT_EQ(c8.r, 128 / 255.0f);
    EXPECT_EQ(c8.b, 51 / 255.0f);
    const Color<float> c16 = Nerevo::toColor(PF_Pixel16{32768, 16384, 1, 0});
    EXPECT_EQ(c16.a, 1.0f);
    EXPECT_EQ(c16.r, 0.5f);
    EXPECT_EQ(c16.g, 1.0f / 32768);
    const Color<float> cf = Nerevo::toColor(PF_PixelFloat{2.5f, -1.0f, 0.25f, 8.0f});
    EXPECT_EQ(cf.a, 2.5f);
    EXPECT_EQ(cf.r, -1.0f);
    const PF_PixelFloat back = Nerevo::toPixelFloat(cf);
    EXPECT_EQ(back.blue, 8.0f);
}

TEST(Color, EveryEightBitValueSurvivesARoundTrip) {
    for (int v = 0; v <= 255; ++v) {
        const auto c = static_cast<A_u_char>(v);
        EXPECT_EQ(Nerevo::toPixel8(Nerevo::toColor(PF_Pixel{c, c, c, c})).red, v);
    }
    for (int v = 0; v <= 32768; v += 7) {
        const auto c = static_cast<A_u_short>(v);
        EXPECT_EQ(Nerevo::toPixel16(Nerevo::toColor(PF_Pixel16{c, c, c, c})).green, v);
    }
}

TEST(Color, FixedPointIsExact) {
    EXPECT_EQ(Nerevo::fixedToDouble(-32768), -0.5);
    EXPECT_EQ(Nerevo::fixedToDouble(6569984), 100.25);
}

}  // namespace
