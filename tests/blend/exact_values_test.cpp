// Each depth's arithmetic worked out at its edges, and the integer depths near float elsewhere.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "blend/blend.h"
#include "color/color.h"
#include "pixel_support.h"

namespace {

using Nerevo::BlendFunc;
using Nerevo::BlendingMode;
using Nerevo::getBlendFunc;
namespace Blend = Nerevo::Blend;

// Alpha add is no popup item: chosen by its value here.
template <typename Pixel>
const BlendFunc<Pixel> alphaAdd = Nerevo::getBlendFunc<Pixel>(Nerevo::BlendingMode::alpha_add);

template <typename Pixel>
struct Example {
    const char* what;
    BlendFunc<Pixel> blend;
    Pixel bottom, top, expected;
};

template <typename Pixel>
void expectExamples(std::initializer_list<Example<Pixel>> examples) {
    for (const Example<Pixel>& e : examples) {
        EXPECT_EQ(e.blend(e.bottom, e.top), e.expected) << e.what;
    }
}

TEST(ExactValues, EightBit) {
    // Each channel of b under t is (c0 × (255 − a1) + B × a1) >> 8.
    const PF_Pixel b{255, 200, 0, 255};
    const PF_Pixel t{100, 100, 255, 30};
    expectExamples<PF_Pixel>({
        {"add", Blend::add, b, t, {255, 238, 99, 255}},
        {"multiply", Blend::multiply, b, t, {255, 151, 0, 165}},
        {"screen", Blend::screen, b, t, {255, 207, 99, 254}},
        {"darken", Blend::darken, b, t, {255, 160, 0, 166}},
        {"lighten", Blend::lighten, b, t, {255, 199, 99, 254}},
        {"difference", Blend::difference, b, t, {255, 160, 99, 242}},
        {"exclusion", Blend::exclusion, b, t, {255, 177, 99, 242}},
        {"opaque white adds up to white", Blend::add, {255, 255, 255, 255}, {255, 255, 255, 255},
         {255, 255, 255, 255}},
        // B(127, 200) = (200 × 127) >> 7 = 198 by multiply, 201 by screen.
        {"overlay decides on the bottom's middle", Blend::overlay, {255, 127, 128, 0}, {255, 200, 200, 200},
         {255, 197, 200, 0}},
        {"hard light decides on the top's", Blend::hardlight, {255, 200, 200, 200}, {255, 127, 128, 0},
         {255, 197, 200, 0}},
        {"overlay keeps black and white", Blend::overlay, {255, 0, 255, 0}, {255, 255, 0, 0}, {255, 0, 254, 0}},
        {"black under white dodges to full scale", Blend::dodge, {255, 0, 0, 0}, {255, 255, 255, 255},
         {255, 254, 254, 254}},
        {"white under black burns to black", Blend::burn, {255, 255, 255, 255}, {255, 0, 0, 0}, {255, 0, 0, 0}},
        // 100 × 255 / 155 = 164 within the limit; 100 ≥ 255 − 200 saturates.
        {"dodge divides, then saturates", Blend::dodge, {255, 100, 100, 1}, {255, 100, 200, 255},
         {255, 163, 254, 254}},
        // 255 − 155 × 255 / 200 = 58; 255 − 100 ≥ 100 gives 0; white stays.
        {"burn divides, then saturates", Blend::burn, {255, 100, 100, 255}, {255, 200, 100, 1},
         {255, 57, 0, 254}},
        {"an opaque top replaces", Blend::normal, {7, 200, 100, 0}, {255, 10, 20, 30}, {255, 10, 20, 30}},
        {"a top at 128: (c1 × 128 + c0 × 127) / 255", Blend::normal, {255, 200, 0, 255}, {128, 50, 255, 0},
         {255, 124, 128, 127}},
        // The bottom keeps 128 × 127 / 255 = 63.75 of its cover, 63 by shifts.
        {"both at 128", Blend::normal, {128, 200, 255, 0}, {128, 50, 0, 255}, {191, 99, 84, 170}},
        {"the faintest: the bottom's share rounds away", Blend::normal, {1, 200, 255, 0}, {1, 50, 0, 255},
         {1, 50, 0, 255}},
        {"200 + 100 does not: the top weighs 100, the bottom 155", alphaAdd<PF_Pixel>, {200, 200, 255, 0},
         {100, 50, 255, 255}, {255, 141, 255, 100}},
        {"255 still fits: 128:127", alphaAdd<PF_Pixel>, {128, 0, 0, 0}, {127, 255, 255, 255}, {255, 127, 127, 127}},
        {"256 no longer: 127:128", alphaAdd<PF_Pixel>, {128, 0, 0, 0}, {128, 255, 255, 255}, {255, 128, 128, 128}},
    });
}

TEST(ExactValues, SixteenBit) {
    // Channel × weight near 2^43: a 32-bit intermediate would wrap into a wrong but plausible value.
    const PF_Pixel16 half{16384, 32768, 0, 20000};
    const PF_Pixel16 otherHalf{16384, 16384, 32768, 20000};
    const PF_Pixel16 white{32768, 32768, 32768, 32768};
    const PF_Pixel16 black{32768, 0, 0, 0};
    expectExamples<PF_Pixel16>({
        {"screen beyond 32 bits", Blend::screen, half, otherHalf, {24576, 27306, 21845, 22597}},
        {"exclusion beyond 32 bits", Blend::exclusion, half, otherHalf, {24576, 21845, 21845, 18528}},
        {"white adds up to white", Blend::add, white, white, white},
        {"overlay decides on the bottom's middle", Blend::overlay, {32768, 16383, 16384, 32768},
         {32768, 20000, 20000, 0}, {32768, 19998, 20000, 32768}},
        {"hard light decides on the top's", Blend::hardlight, {32768, 20000, 20000, 0},
         {32768, 16383, 16384, 32768}, {32768, 19998, 20000, 32768}},
        {"black under white dodges to full scale", Blend::dodge, black, white, white},
        {"white under black burns to black", Blend::burn, white, black, black},
        {"burn divides, then saturates", Blend::burn, {32768, 10000, 32768, 0}, {32768, 30000, 1, 32768},
         {32768, 7900, 32768, 0}},
        {"an opaque top replaces", Blend::normal, {7, 200, 100, 0}, {32768, 10, 20000, 32768},
         {32768, 10, 20000, 32768}},
        {"a half-covered top mixes", Blend::normal, {32768, 32768, 30000, 0}, {16384, 32768, 5000, 32768},
         {32768, 32768, 17500, 16384}},
        {"both partly covered", Blend::normal, {20000, 32768, 30000, 0}, {10000, 32768, 5000, 32768},
         {23896, 32768, 19537, 13712}},
        {"past full scale", alphaAdd<PF_Pixel16>, {30000, 32768, 32768, 10000}, {10000, 0, 32768, 20000},
         {32768, 22768, 32768, 13051}},
        {"within full scale", alphaAdd<PF_Pixel16>, {10000, 32768, 32768, 10000}, {6000, 0, 32768, 20000},
         {16000, 20480, 32768, 13750}},
    });
}

TEST(ExactValues, Float) {
    expectExamples<PF_PixelFloat>({
        {"black under white stays black", Blend::dodge, {1, 0, 0, 0}, {1, 1, 1, 1}, {1, 0, 0, 0}},
        {"white under black stays white", Blend::burn, {1, 1, 1, 1}, {1, 0, 0, 0}, {1, 1, 1, 1}},
        {"an opaque top replaces, beyond 0..1 too", Blend::normal, {0.3f, 0.2f, 0.1f, 0.0f},
         {1.0f, 0.1f, 1.5f, -0.25f}, {1.0f, 0.1f, 1.5f, -0.25f}},
        {"alphas whose sum rounds to 1 still fit: 1 − 0.9 would not weigh 0.1", alphaAdd<PF_PixelFloat>,
         {0.1f, 1.0f, 0.0f, 0.0f}, {0.9f, 0.0f, 1.0f, 0.0f}, {1.0f, 0.1f, 0.9f, 0.0f}},
    });
}

// Where the integer dodge and burn part from float on purpose (the examples above).
bool knownExtreme(BlendingMode mode, float bottom, float top) {
    if (mode == BlendingMode::dodge) return bottom == 0.0f && top == 1.0f;
    if (mode == BlendingMode::burn) return bottom == 1.0f && top == 0.0f;
    return false;
}

// Covers of at least 40/255: below, the truncated result alpha loses a large share of a tiny alpha, and colour drifts.
template <typename Pixel>
void expectIntegerFollowsFloat(double toleranceSteps) {
    const float levels[] = {0.0f, 1.0f / 255, 0.145f, 0.25f, 0.498f, 0.502f, 0.784f, 0.996f, 1.0f};
    const float alphas[] = {1.0f, 0.5f, 40.0f / 255};
    const double scale = Nerevo::PixelTraits<Pixel>::fullScale;
    for (int m = BlendTest::firstPixelMode; m <= BlendTest::lastPixelMode; ++m) {
        const auto mode = static_cast<BlendingMode>(m);
        const auto blendInteger = getBlendFunc<Pixel>(mode);
        const auto blendFloat = getBlendFunc<PF_PixelFloat>(mode);
        for (float a0 : alphas) for (float a1 : alphas) for (float x : levels) for (float y : levels) {
            const Pixel bottom = Nerevo::toPixel<Pixel>(Nerevo::Color<float>{a0, x, y, 1.0f - x});
            const Pixel top = Nerevo::toPixel<Pixel>(Nerevo::Color<float>{a1, y, x, 0.5f});
            const Nerevo::Color<float> b = Nerevo::toColor(bottom);
            const Nerevo::Color<float> t = Nerevo::toColor(top);
            const Nerevo::Color<float> got = Nerevo::toColor(blendInteger(bottom, top));
            const PF_PixelFloat want = blendFloat(Nerevo::toPixelFloat(b), Nerevo::toPixelFloat(t));
            const auto expectClose = [&](const char* channel, float g, float w, float c0, float c1) {
                if (knownExtreme(mode, c0, c1)) return;
                EXPECT_NEAR(g * scale, std::clamp(w, 0.0f, 1.0f) * scale, toleranceSteps)
                    << "mode " << m << " " << channel << " bottom " << bottom << " top " << top;
            };
            expectClose("alpha", got.a, want.alpha, 0.5f, 0.5f);
            expectClose("red", got.r, want.red, b.r, t.r);
            expectClose("green", got.g, want.green, b.g, t.g);
            expectClose("blue", got.b, want.blue, b.b, t.b);
        }
    }
}

// The truncated alpha lifts a channel by up to c / A, and 8-bit shifts stand in for / 255: 2.5 steps at most.
TEST(DepthAgreement, IntegerDepthsFollowFloatWithinTheirTruncation) {
    expectIntegerFollowsFloat<PF_Pixel>(2.5);
    expectIntegerFollowsFloat<PF_Pixel16>(2.5);
}

}  // namespace
