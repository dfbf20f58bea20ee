// The kernel on short lines: its arithmetic at the ends and edges against a
// plain sum of the samples, and radii no line is long enough for.

#include <cfloat>
#include <cstdint>
#include <limits>

#include "blur_support.h"

namespace {

using namespace BlurTest;
using BoxBlur::Line;

std::vector<Sample> patternLine(int length) {
    std::vector<Sample> line(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) {
        line[static_cast<std::size_t>(i)] = patternSample(i);
    }
    return line;
}

// The kernel written out sample by sample: x − n … x + n, the two ends at
// 1 − w, outside the line the edge sample or nothing; in long double.
Sample slowBlur(const std::vector<Sample>& line, int x, double r, bool repeat) {
    const int length = static_cast<int>(line.size());
    const int n = static_cast<int>(std::ceil(r));
    const double w = n - r;
    long double sum[4] = {};
    for (int j = x - n; j <= x + n; ++j) {
        const long double weight = j == x - n || j == x + n ? 1.0L - w : 1.0L;
        Sample c{0.0, 0.0, 0.0, 0.0};
        if (j >= 0 && j < length) {
            c = line[static_cast<std::size_t>(j)];
        } else if (repeat) {
            c = line[j < 0 ? 0 : static_cast<std::size_t>(length - 1)];
        }
        sum[0] += weight * c.a;
        sum[1] += weight * c.r;
        sum[2] += weight * c.g;
        sum[3] += weight * c.b;
    }
    const long double d = 2.0L * r + 1.0L;
    return Sample{static_cast<double>(sum[0] / d), static_cast<double>(sum[1] / d), static_cast<double>(sum[2] / d),
                  static_cast<double>(sum[3] / d)};
}

// Equal to the rounding of prefix sums against a plain sum, relative to the
// line's largest value.
void expectNear(const Sample& actual, const Sample& expected, double scale, const std::string& where) {
    const double tolerance = 1e-12 * std::max(scale, 1.0);
    EXPECT_NEAR(actual.a, expected.a, tolerance) << where;
    EXPECT_NEAR(actual.r, expected.r, tolerance) << where;
    EXPECT_NEAR(actual.g, expected.g, tolerance) << where;
    EXPECT_NEAR(actual.b, expected.b, tolerance) << where;
}

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

TEST(Line, RadiiUpToOneHundredThousandthAndNaNLeaveTheirSampleBitForBit) {
    const Sample marker{-1.0, std::nan(""), -0.0, DBL_MAX};
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> mat = {1e-5, 0.0, -3.0, std::nan(""), -inf};
    std::vector<Sample> samples(5, marker);
    Line line(5, true);
    BlurParameters p{};
    p.passAmount = 1.0;  // the radius is the mat value
    BoxBlur::blurLine(line, samples.data(), 1, mat.data(), 1, nullptr, 0, p);
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
