// The two modes with their own alpha arithmetic: normal (the top laid over
// the bottom) and alpha add (coverage summed).

#include <gtest/gtest.h>

#include "blend/blend.h"
#include "pixel_support.h"

namespace {

namespace Blend = Nerevo::Blend;

TEST(NormalMode, OpaqueTopReplacesTheBottomAtEveryDepth) {
    const PF_Pixel top8{255, 10, 20, 30};
    EXPECT_EQ(Blend::normal(PF_Pixel{255, 200, 100, 0}, top8), top8);
    EXPECT_EQ(Blend::normal(PF_Pixel{7, 200, 100, 0}, top8), top8);

    const PF_Pixel16 top16{32768, 10, 20000, 32768};
    EXPECT_EQ(Blend::normal(PF_Pixel16{32768, 200, 100, 0}, top16), top16);
    EXPECT_EQ(Blend::normal(PF_Pixel16{7, 200, 100, 0}, top16), top16);

    const PF_PixelFloat top{1.0f, 0.1f, 1.5f, -0.25f};
    EXPECT_EQ(Blend::normal(PF_PixelFloat{0.3f, 0.2f, 0.1f, 0.0f}, top), top);
}

TEST(NormalMode, PartialTopMixesByCoverage) {
    // Opaque bottom, top at 128: (c1 × 128 + c0 × 127) / 255.
    EXPECT_EQ(Blend::normal(PF_Pixel{255, 200, 0, 255}, PF_Pixel{128, 50, 255, 0}), (PF_Pixel{255, 124, 128, 127}));
    // Both at 128: the bottom keeps 128 × 127 / 255 = 63.75 of its cover, 63 by
    // the depth's shift arithmetic, so alpha 191.
    EXPECT_EQ(Blend::normal(PF_Pixel{128, 200, 255, 0}, PF_Pixel{128, 50, 0, 255}), (PF_Pixel{191, 99, 84, 170}));
    // The faintest layers: the bottom's share rounds away.
    EXPECT_EQ(Blend::normal(PF_Pixel{1, 200, 255, 0}, PF_Pixel{1, 50, 0, 255}), (PF_Pixel{1, 50, 0, 255}));

    EXPECT_EQ(Blend::normal(PF_Pixel16{32768, 32768, 30000, 0}, PF_Pixel16{16384, 32768, 5000, 32768}),
              (PF_Pixel16{32768, 32768, 17500, 16384}));
    EXPECT_EQ(Blend::normal(PF_Pixel16{20000, 32768, 30000, 0}, PF_Pixel16{10000, 32768, 5000, 32768}),
              (PF_Pixel16{23896, 32768, 19537, 13712}));

    EXPECT_EQ(Blend::normal(PF_PixelFloat{1.0f, 1.0f, 0.0f, 0.5f}, PF_PixelFloat{0.5f, 0.0f, 1.0f, 0.5f}),
              (PF_PixelFloat{1.0f, 0.5f, 0.5f, 0.5f}));
    const PF_PixelFloat both = Blend::normal(PF_PixelFloat{0.5f, 1.0f, 0.0f, 0.5f}, PF_PixelFloat{0.5f, 0.0f, 1.0f, 0.5f});
    EXPECT_FLOAT_EQ(both.alpha, 0.75f);
    EXPECT_FLOAT_EQ(both.red, 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(both.green, 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(both.blue, 0.5f);
}

TEST(AlphaAddMode, CoverageAddsUpAndSaturatesAtFullScale) {
    // 100 + 100 fits: both weigh 25500 / 200 = 127.
    EXPECT_EQ(Blend::alpha_add(PF_Pixel{100, 200, 255, 0}, PF_Pixel{100, 50, 255, 255}), (PF_Pixel{200, 124, 254, 127}));
    // 200 + 100 does not: the top weighs 100, the bottom the remaining 155.
    EXPECT_EQ(Blend::alpha_add(PF_Pixel{200, 200, 255, 0}, PF_Pixel{100, 50, 255, 255}), (PF_Pixel{255, 141, 255, 100}));
    // 255 still fits, 256 no longer: the weights swap from 128:127 to 127:128.
    EXPECT_EQ(Blend::alpha_add(PF_Pixel{128, 0, 0, 0}, PF_Pixel{127, 255, 255, 255}), (PF_Pixel{255, 127, 127, 127}));
    EXPECT_EQ(Blend::alpha_add(PF_Pixel{128, 0, 0, 0}, PF_Pixel{128, 255, 255, 255}), (PF_Pixel{255, 128, 128, 128}));

    // Exactly full scale still fits at 16 bits.
    EXPECT_EQ(Blend::alpha_add(PF_Pixel16{16384, 32768, 32768, 10000}, PF_Pixel16{16384, 0, 32768, 20000}),
              (PF_Pixel16{32768, 16384, 32768, 15000}));
    EXPECT_EQ(Blend::alpha_add(PF_Pixel16{30000, 32768, 32768, 10000}, PF_Pixel16{10000, 0, 32768, 20000}),
              (PF_Pixel16{32768, 22768, 32768, 13051}));
    EXPECT_EQ(Blend::alpha_add(PF_Pixel16{10000, 32768, 32768, 10000}, PF_Pixel16{6000, 0, 32768, 20000}),
              (PF_Pixel16{16000, 20480, 32768, 13750}));

    EXPECT_EQ(Blend::alpha_add(PF_PixelFloat{0.75f, 1.0f, 0.0f, 0.5f}, PF_PixelFloat{0.75f, 0.0f, 1.0f, 0.5f}),
              (PF_PixelFloat{1.0f, 0.25f, 0.75f, 0.5f}));
    const PF_PixelFloat fits =
        Blend::alpha_add(PF_PixelFloat{0.25f, 1.0f, 0.0f, 0.5f}, PF_PixelFloat{0.5f, 0.0f, 1.0f, 0.5f});
    EXPECT_FLOAT_EQ(fits.alpha, 0.75f);
    EXPECT_FLOAT_EQ(fits.red, 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(fits.green, 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(fits.blue, 0.5f);
}

}  // namespace
