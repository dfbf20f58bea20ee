// The output conversion at each depth: stores, a transparent result, the weighting's inverse, the vignette.

#include <limits>

#include "OutputConversion.h"
#include "Outputter.h"
#include "../blend/pixel_support.h"
#include "blur_support.h"

namespace {

using namespace BlurTest;
using Nerevo::BlendingMode;

template <typename Pixel>
class Conversions : public HostTest {
protected:
    Pixel convert(const Sample& v, double m) {
        Pixel result{};
        host.withCommandData([&](PF_InData& in, PF_OutData&) { result = Output::Conversion<Pixel>(&in, p)(v, m); });
        return result;
    }

    OutputterParameters p{false, 1.0, 0.0, Nerevo::Color<float>{1.0f, 0.0f, 0.0f, 0.0f}, BlendingMode::normal,
                          nullptr, nullptr, nullptr};
};

using Conversion8 = Conversions<PF_Pixel>;

TEST_F(Conversion8, WeightedAverageOfBlackAndWhiteIsTwoThirtyTwo) {
    host.log().setRecording(true);
    p.weighted = true;
    p.weight = 1.03;
    // ln((1 + 1.03^255) / 2) / ln(1.03) + 0.5; blue holds 1.0, the weight of 0.
    const double mean = 255.0 * (1.0 + std::pow(1.03, 255)) / 2.0;
    EXPECT_EQ(convert(Sample{255.0, mean, mean, 255.0}, 0.0), (PF_Pixel{255, 232, 232, 0}));
    EXPECT_GT(host.log().count("log"), 0u) << "the host's maths";
}

// Work values and their pixels without vignette: stores add one half, clamp and truncate after the division by
// alpha; float colours pass beyond 0..1 and not-a-number becomes 0, while alpha is clamped.
template <typename Pixel>
std::vector<std::pair<Sample, Pixel>> examples() {
    if constexpr (std::is_same_v<Pixel, PF_Pixel>) {
        return {{{200.0, 200.0 * 10.0, 200.0 * 100.0, 200.0 * 250.0}, {200, 10, 100, 250}},
                {{127.5, 127.5 * 100.25, 127.5 * 100.5, 127.5 * 300.0}, {128, 100, 101, 255}},
                {{300.0, -5.0, 0.0, 300.0 * 254.49}, {255, 0, 0, 254}}};
    } else if constexpr (std::is_same_v<Pixel, PF_Pixel16>) {
        return {{{2e4, 2e4 * 1000.0, 2e4 * 2000.0, 2e4 * 30000.0}, {20000, 1000, 2000, 30000}},
                {{24576.0, 24576.0 * 16384.5, 24576.0 * 40000.0, 24576.0 * 0.49}, {24576, 16385, 32768, 0}},
                {{40000.0, 0.0, 0.0, 0.0}, {32768, 0, 0, 0}}};
    } else {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return {{{0.5, 0.5 * 0.25, 0.5 * 1.5, 0.5 * -1.0}, {0.5f, 0.25f, 1.5f, 0.0f}},
                {{2.0, 2.0 * 3.5, 2.0 * -0.25, 2.0 * 0.5}, {1.0f, 3.5f, 0.0f, 0.5f}},
                {{0.25, 0.25 * 0.75, nan, 0.25 * 1e6}, {0.25f, 0.75f, 0.0f, 1e6f}},
                {{-1.0, 0.0, 0.0, 0.0}, {0.0f, 0.0f, 0.0f, 0.0f}}};
    }
}

TYPED_TEST_SUITE(Conversions, PixelTypes);

TYPED_TEST(Conversions, ASharpPixelIsStoredAsItIsInEveryBlendMode) {
    for (const auto& [v, expected] : examples<TypeParam>()) {
        this->p.vignetting = 1.0;
        this->p.vignettingColor = Nerevo::Color<float>{1.0f, 0.9f, 0.1f, 0.6f};
        for (int mode = -1; mode <= 31; ++mode) {
            this->p.blendingMode = static_cast<BlendingMode>(mode);
            for (const double m : {0.0, std::nan("")}) {
                EXPECT_EQ(this->convert(v, m), expected) << "mode " << mode;
            }
        }
        this->p.vignetting = 0.0;
        EXPECT_EQ(this->convert(v, std::numeric_limits<double>::infinity()), expected) << "no vignetting";
    }
}

// The opacity, vignetting × mat at full scale, and the colour store as the depth stores: 51.5 and 128 at 8 bits,
// 6554.1 and 16384.5 at 16, both truncated; past full opacity the vignette covers the pixel, keeping its alpha.
TYPED_TEST(Conversions, TheVignetteGrowsWithTheMatInTheBlendModeAndLendsNoCover) {
    using Pixel = TypeParam;
    const double s = Nerevo::PixelTraits<Pixel>::fullScale;
    this->p.vignetting = 0.4;
    this->p.vignettingColor = Nerevo::Color<float>{1.0f, 0.5f, 0.2f, 1.0f};
    const Pixel bottom = Nerevo::toPixel<Pixel>(Nerevo::Color<float>{1.0f, 0.04f, 0.4f, 0.8f});
    const Pixel top = Nerevo::toPixel<Pixel>(Nerevo::Color<float>{0.2f, 0.5f, 0.2f, 1.0f});
    for (const BlendingMode mode : {BlendingMode::multiply, BlendingMode::normal}) {
        this->p.blendingMode = mode;
        EXPECT_EQ(this->convert(Sample{s, s * bottom.red, s * bottom.green, s * bottom.blue}, 0.5),
                  Nerevo::getBlendFunc<Pixel>(mode)(bottom, top)) << "mode " << int(mode);
    }
    EXPECT_EQ(this->convert(Sample{s / 2, s / 2 * bottom.red, 0.0, 0.0}, 20.0),
              Nerevo::toPixel<Pixel>(Nerevo::Color<float>{0.5f, 0.5f, 0.2f, 1.0f})) << "covered";
    EXPECT_EQ(this->convert(Sample{0.0, 0.0, 0.0, 0.0}, 0.0), (Pixel{0, 0, 0, 0}));
    const Pixel covered = this->convert(Sample{0.0, 0.0, 0.0, 0.0}, 20.0);
    EXPECT_EQ(covered.alpha, 0) << "the vignette lends no cover";
    EXPECT_GT(covered.red, 0) << "but its colour";
}

}  // namespace
