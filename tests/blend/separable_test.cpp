// Modes that blend each colour channel on its own, at their edges: integer
// saturation, the width of 16-bit products, the middle test of the contrast
// modes and the extremes of dodge and burn.

#include <gtest/gtest.h>

#include "blend/blend.h"
#include "pixel_support.h"

namespace {

using Nerevo::BlendFunc;
namespace Blend = Nerevo::Blend;

// Over an opaque bottom the composite keeps full alpha and each channel is
// (c0 × (255 − a1) + B × a1) >> 8.
TEST(AdditiveModes, OpaqueBottomMixesBottomAndBlendByTopAlpha) {
    const PF_Pixel bottom{255, 200, 0, 255};
    const PF_Pixel top{100, 100, 255, 30};
    struct Case {
        const char* name;
        BlendFunc<PF_Pixel> blend;
        PF_Pixel expected;
    };
    const Case cases[] = {
        {"add", Blend::add, {255, 238, 99, 255}},
        {"multiply", Blend::multiply, {255, 151, 0, 165}},
        {"screen", Blend::screen, {255, 207, 99, 254}},
        {"darken", Blend::darken, {255, 160, 0, 166}},
        {"lighten", Blend::lighten, {255, 199, 99, 254}},
        {"difference", Blend::difference, {255, 160, 99, 242}},
        {"exclusion", Blend::exclusion, {255, 177, 99, 242}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.blend(bottom, top), c.expected) << c.name;
    }
}

// Half-covered layers put channel × weight near 2^43: beyond 32 bits, so a
// narrow intermediate would wrap into a wrong but plausible value.
TEST(AdditiveModes, SixteenBitProductsBeyondThirtyTwoBitsStayExact) {
    const PF_Pixel16 bottom{16384, 32768, 0, 20000};
    const PF_Pixel16 top{16384, 16384, 32768, 20000};
    EXPECT_EQ(Blend::screen(bottom, top), (PF_Pixel16{24576, 27306, 21845, 22597}));
    EXPECT_EQ(Blend::exclusion(bottom, top), (PF_Pixel16{24576, 21845, 21845, 18528}));
    const PF_Pixel16 white{32768, 32768, 32768, 32768};
    EXPECT_EQ(Blend::add(white, white), white);
}

// Overlay multiplies below the middle of the bottom channel and screens from
// it on; hard light takes the same decision on the top channel. The two
// branches meet at the middle, so the step just below it tells them apart.
TEST(ContrastModes, MiddleTestOnBottomForOverlayAndOnTopForHardLight) {
    const PF_Pixel opaque8{255, 0, 0, 0};
    const auto rgb8 = [](A_u_char r, A_u_char g, A_u_char b) { return PF_Pixel{255, r, g, b}; };
    // B(127, 200) = (200 × 127) >> 7 = 198 by multiply, 201 by screen.
    EXPECT_EQ(Blend::overlay(rgb8(127, 128, 0), rgb8(200, 200, 200)), rgb8(197, 200, 0));
    EXPECT_EQ(Blend::hardlight(rgb8(200, 200, 200), rgb8(127, 128, 0)), rgb8(197, 200, 0));
    // Black and white stay black and white below and above the middle.
    EXPECT_EQ(Blend::overlay(rgb8(0, 255, 0), rgb8(255, 0, 0)), rgb8(0, 254, 0));
    EXPECT_EQ(Blend::overlay(opaque8, opaque8), opaque8);

    const auto rgb16 = [](A_u_short r, A_u_short g, A_u_short b) { return PF_Pixel16{32768, r, g, b}; };
    EXPECT_EQ(Blend::overlay(rgb16(16383, 16384, 32768), rgb16(20000, 20000, 0)), rgb16(19998, 20000, 32768));
    EXPECT_EQ(Blend::hardlight(rgb16(20000, 20000, 0), rgb16(16383, 16384, 32768)), rgb16(19998, 20000, 32768));
}

// The integer dodge and burn saturate where the float ones meet 0 / 0.
TEST(DodgeAndBurn, ExtremesDifferBetweenIntegerAndFloat) {
    // Black under white dodges to full scale (254 after the 8-bit shift) at
    // the integer depths and stays black in float.
    EXPECT_EQ(Blend::dodge(PF_Pixel{255, 0, 0, 0}, PF_Pixel{255, 255, 255, 255}), (PF_Pixel{255, 254, 254, 254}));
    EXPECT_EQ(Blend::dodge(PF_Pixel16{32768, 0, 0, 0}, PF_Pixel16{32768, 32768, 32768, 32768}),
              (PF_Pixel16{32768, 32768, 32768, 32768}));
    EXPECT_EQ(Blend::dodge(PF_PixelFloat{1, 0, 0, 0}, PF_PixelFloat{1, 1, 1, 1}), (PF_PixelFloat{1, 0, 0, 0}));

    // White under black burns to black at the integer depths, stays white in float.
    EXPECT_EQ(Blend::burn(PF_Pixel{255, 255, 255, 255}, PF_Pixel{255, 0, 0, 0}), (PF_Pixel{255, 0, 0, 0}));
    EXPECT_EQ(Blend::burn(PF_Pixel16{32768, 32768, 32768, 32768}, PF_Pixel16{32768, 0, 0, 0}),
              (PF_Pixel16{32768, 0, 0, 0}));
    EXPECT_EQ(Blend::burn(PF_PixelFloat{1, 1, 1, 1}, PF_PixelFloat{1, 0, 0, 0}), (PF_PixelFloat{1, 1, 1, 1}));
}

TEST(DodgeAndBurn, DivideTowardsTheLimitAndSaturatePastIt) {
    // dodge: 100 × 255 / 155 = 164 within the limit; 100 ≥ 255 − 200 saturates.
    // burn: 255 − 155 × 255 / 200 = 58 within; 255 − 100 ≥ 100 gives 0; a
    // white bottom under the faintest top stays white.
    EXPECT_EQ(Blend::dodge(PF_Pixel{255, 100, 100, 1}, PF_Pixel{255, 100, 200, 255}), (PF_Pixel{255, 163, 254, 254}));
    EXPECT_EQ(Blend::burn(PF_Pixel{255, 100, 100, 255}, PF_Pixel{255, 200, 100, 1}), (PF_Pixel{255, 57, 0, 254}));
    EXPECT_EQ(Blend::burn(PF_Pixel16{32768, 10000, 32768, 0}, PF_Pixel16{32768, 30000, 1, 32768}),
              (PF_Pixel16{32768, 7900, 32768, 0}));
}

}  // namespace
