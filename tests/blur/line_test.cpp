// The kernel on short lines: its arithmetic at the ends and edges, against a
// plain sum of the samples, in place, and for radii no line is long enough
// for.

#include <cfloat>
#include <cstdint>
#include <limits>

#include "blur_support.h"

namespace {

using namespace BlurTest;
using BoxBlur::Line;

// Ends at 1 − w, edge samples repeated or missing, a line of one sample.
TEST(Line, EveryPositionAgreesWithThePlainSum) {
    const double radii[] = {1.01e-5, 0.3, 0.5, 1.0, 1.75, 2.5, 3.0, 4.2, 8.0, 8.5, 9.0};
    for (const int length : {1, 9}) for (const bool repeat : {false, true}) {
        const std::vector<Sample> samples = length == 1 ? std::vector<Sample>{patternSample(1)} : patternLine(length);
        const Line line = loaded(samples, repeat);
        for (const double r : radii) {
            for (int x = 0; x < length; ++x) {
                expectNear(line.blurred(x, r), slowBlur(samples, x, r, repeat), largest(samples),
                           "x " + std::to_string(x) + ", r " + std::to_string(r) + (repeat ? ", repeated" : ""));
            }
        }
    }
}

// The radius written into the mat directly (amount 1, no offset).
BlurParameters radiusIsMat(bool repeat) {
    BlurParameters p{};
    p.passAmount = 1.0;
    p.repeatEdgePixels = repeat;
    return p;
}

// Blurred in place, at the strides the passes use (a column's samples one
// apart in its block, its mat values a row apart): no value is read back
// from an entry already rewritten.
TEST(Line, InPlaceAtAnyStridesEqualsTheLoadedLine) {
    const std::vector<Sample> source = patternLine(11);
    const std::vector<double> radii = {0.0, 1.0, 3.5, 1e-5, 0.4, 12.0, 2.0, std::nan(""), 0.9, 5.0, 1.0};
    const struct {
        std::ptrdiff_t samples, mat;
    } strides[] = {{1, 1}, {1, 9}, {3, 1}};
    for (const bool repeat : {false, true}) {
        const BlurParameters p = radiusIsMat(repeat);
        const Line reference = loaded(source, repeat);
        for (const auto& stride : strides) {
            std::vector<Sample> samples(source.size() * static_cast<std::size_t>(stride.samples));
            std::vector<double> mat(radii.size() * static_cast<std::size_t>(stride.mat), -1.0);
            for (std::size_t k = 0; k < source.size(); ++k) {
                samples[k * static_cast<std::size_t>(stride.samples)] = source[k];
                mat[k * static_cast<std::size_t>(stride.mat)] = radii[k];
            }
            Line line(source.size(), repeat);
            BoxBlur::blurLine(line, samples.data(), stride.samples, mat.data(), stride.mat, nullptr, 0, p);
            for (std::size_t k = 0; k < source.size(); ++k) {
                const auto x = static_cast<std::ptrdiff_t>(k);
                const Sample want = BoxBlur::blurs(radii[k]) ? reference.blurred(x, radii[k]) : source[k];
                EXPECT_TRUE(sameBits(samples[k * static_cast<std::size_t>(stride.samples)], want))
                    << k << " at strides " << stride.samples << ", " << stride.mat;
            }
        }
    }
}

TEST(Line, RadiiUpToOneHundredThousandthAndNaNLeaveTheirSampleBitForBit) {
    const Sample marker{-1.0, std::nan(""), -0.0, DBL_MAX};
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> mat = {1e-5, 0.0, -3.0, std::nan(""), -inf};
    std::vector<Sample> samples(5, marker);
    Line line(5, true);
    BoxBlur::blurLine(line, samples.data(), 1, mat.data(), 1, nullptr, 0, radiusIsMat(true));
    for (const Sample& t : samples) {
        EXPECT_TRUE(sameBits(t, marker));
    }
    EXPECT_TRUE(BoxBlur::blurs(1.0000001e-5));
}

TEST(Line, RadiiBeyondTheLineGiveTheFormulasValueWithoutAnIntegerN) {
    const std::vector<Sample> samples = patternLine(7);
    const double radii[] = {7.25, 8.0, 1000.3, 123456.789, 3e9 + 0.5, 0x1p40 + 0.5, 0x1p52};
    for (const bool repeat : {false, true}) {
        const Line line = loaded(samples, repeat);
        for (const double r : radii) {
            for (int x = 0; x < 7; ++x) {
                EXPECT_TRUE(sameBits(line.blurred(x, r), prefixSumBlurred(samples, x, r, repeat)))
                    << "x " << x << ", r " << r << (repeat ? ", repeated" : "");
            }
        }
    }
}

TEST(Line, HugeAndInfiniteRadiiTendToTheMeanOfTheEdges) {
    const std::vector<Sample> samples = patternLine(7);
    const Sample edges{(samples[0].a + samples[6].a) / 2, (samples[0].r + samples[6].r) / 2,
                       (samples[0].g + samples[6].g) / 2, (samples[0].b + samples[6].b) / 2};
    const Line repeated = loaded(samples, true);
    const Line clear = loaded(samples, false);
    for (int x = 0; x < 7; ++x) {
        for (const double r : {1e150, 0x1p512, 1e200, DBL_MAX}) {
            expectNear(repeated.blurred(x, r), edges, largest(samples), "repeated, r " + std::to_string(r));
            const Sample faded = clear.blurred(x, r);
            EXPECT_TRUE(std::isfinite(faded.a) && faded.a >= 0.0 && faded.a < 1e-100) << r;
        }
        EXPECT_TRUE(sameBits(repeated.blurred(x, std::numeric_limits<double>::infinity()), edges)) << x;
        const Sample gone = clear.blurred(x, std::numeric_limits<double>::infinity());
        EXPECT_EQ(gone.a, 0.0);
        EXPECT_EQ(gone.r, 0.0);
    }
}

}  // namespace
