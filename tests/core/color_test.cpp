// Colour conversions at their rounding edges.

#include <gtest/gtest.h>

#include <limits>

#include "color/color.h"
#include "pixel_types.h"

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

// Loads scale by the depth's full scale: each value comes back from its store.
TEST(Color, EveryIntegerValueSurvivesARoundTrip) {
    for (int v = 0; v <= 32768; ++v) {
        const auto c = static_cast<A_u_short>(v);
        const PF_Pixel p8{static_cast<A_u_char>(c), 0, static_cast<A_u_char>(c), 9};
        const PF_Pixel16 p16{c, 1, c, 0};
        EXPECT_TRUE(v > 255 || test::samePixel(Nerevo::toPixel8(Nerevo::toColor(p8)), p8)) << v;
        EXPECT_TRUE(test::samePixel(Nerevo::toPixel16(Nerevo::toColor(p16)), p16)) << v;
    }
}

}  // namespace
