// Colour conversions at their rounding edges.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "color/color.h"

namespace {

using Nerevo::Color;

// Stores add a half, clamp and truncate, in every channel alike.
TEST(Color, StoresRoundClampAndTruncateAtEachDepth) {
    const struct {
        float v;
        int eight, sixteen;
        const char* what;
    } cases[] = {
        {1.0f, 255, 32768, "full scale"},
        {0.5f, 128, 16384, "halves round up"},
        {1.2f, 255, 32768, "above full scale clamps"},
        {-0.1f, 0, 0, "below 0 clamps"},
        {0.0019f, 0, 62, "0.48 and 62.26 truncate after the half"},
        {std::numeric_limits<float>::quiet_NaN(), 0, 0, "not a number stores as 0"},
    };
    for (const auto& c : cases) {
        const PF_Pixel p8 = Nerevo::toPixel8(Color<float>{c.v, c.v, c.v, c.v});
        const PF_Pixel16 p16 = Nerevo::toPixel16(Color<float>{c.v, c.v, c.v, c.v});
        for (const int channel : {p8.alpha, p8.red, p8.green, p8.blue}) EXPECT_EQ(channel, c.eight) << c.what;
        for (const int channel : {p16.alpha, p16.red, p16.green, p16.blue}) EXPECT_EQ(channel, c.sixteen) << c.what;
    }
}

TEST(Color, LoadsScaleByFullScaleAndFloatPassesThrough) {
    const Color<float> c8 = Nerevo::toColor(PF_Pixel{255, 128, 0, 51});
    EXPECT_TRUE(c8.a == 1.0f && c8.b == 51 / 255.0f);
    EXPECT_FLOAT_EQ(c8.r, 128 / 255.0f);
    const Color<float> c16 = Nerevo::toColor(PF_Pixel16{32768, 16384, 1, 0});
    EXPECT_TRUE(c16.a == 1.0f && c16.r == 0.5f && c16.g == 1.0f / 32768);
    const Color<float> cf = Nerevo::toColor(PF_PixelFloat{2.5f, -1.0f, 0.25f, 8.0f});
    EXPECT_TRUE(cf.a == 2.5f && cf.r == -1.0f && Nerevo::toPixelFloat(cf).blue == 8.0f);
}

TEST(Color, EveryIntegerValueSurvivesARoundTrip) {
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
