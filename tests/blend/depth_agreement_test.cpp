// The integer depths approximate the float arithmetic: on the same inputs
// every mode lands within a few steps of the float result (float results
// beyond 0..1 taken at the integer depth's limits).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "blend/blend.h"
#include "color/color.h"
#include "pixel_support.h"

namespace {

using Nerevo::BlendingMode;
using Nerevo::getBlendFunc;

// Where the integer dodge and burn deliberately part from the float ones:
// black under full white dodges to full scale, white under black burns to 0.
bool knownExtreme(BlendingMode mode, float bottom, float top) {
    if (mode == BlendingMode::dodge) return bottom == 0.0f && top == 1.0f;
    if (mode == BlendingMode::burn) return bottom == 1.0f && top == 0.0f;
    return false;
}

// Layers of at least 40/255 cover: below that the truncated result alpha
// ((s >> 8) + a0 at 8 bits) loses a large share of a tiny alpha and the
// integer colour drifts far from the float one, on pixels too faint to
// matter.
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
            const Pixel bottom = BlendTest::pixel<Pixel>(a0, x, y, 1.0f - x);
            const Pixel top = BlendTest::pixel<Pixel>(a1, y, x, 0.5f);
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

// The result alpha is truncated before it divides the colour sum, which lifts
// a channel by up to c / A, and the 8-bit shifts stand in for division by
// 255: at these covers both stay within two and a half steps.
TEST(DepthAgreement, IntegerDepthsFollowFloatWithinTheirTruncation) {
    expectIntegerFollowsFloat<PF_Pixel>(2.5);
    expectIntegerFollowsFloat<PF_Pixel16>(2.5);
}

}  // namespace
