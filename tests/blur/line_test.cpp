// The kernel of one line against a plain sum and the prefix sums, windows no far sample can spoil, past the double
// range too; the column pass on wild mat values. (Ordinary pass results are the literal render's to guard.)

#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <limits>

#include "VerticalBlur.h"
#include "blur_support.h"

namespace {

using namespace BlurTest;
using BoxBlur::Line;

TEST(Line, EveryPositionAgreesWithThePlainSum) {
    for (const int length : {1, 9}) for (const bool repeat : {false, true}) {
        std::vector<Sample> samples;
        for (int i = 0; i < length; ++i) samples.push_back(patternSample(length == 1 ? 1 : i));
        const Line line = loaded(samples, repeat);
        for (const double r : {1.01e-5, 0.3, 0.5, 1.0, 1.75, 2.5, 3.0, 4.2, 8.0, 8.5, 9.0}) {
            for (int x = 0; x < length; ++x) {
                const Sample got = line.blurred(x, r);
                for (double Sample::*ch : {&Sample::a, &Sample::r, &Sample::g, &Sample::b}) {
                    const auto value = [&](std::int64_t k) { return samples[static_cast<std::size_t>(k)].*ch; };
                    // To the rounding of prefix sums of values up to 14000.
                    EXPECT_NEAR(got.*ch, double(literalWindow(length, x, r, repeat, value)), 2e-8)
                        << where(x, r, repeat);
                }
            }
        }
    }
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Weighted float footage as the mat generators leave it; `weight` 1 is unweighted.
Sample footage(int i, double weight) {
    const double a = i % 7 == 3 ? 0.0 : 0.25 + (i * 5 % 4) * 0.25;
    const auto f = [weight](double v) { return weight > 1.0 ? std::pow(weight, 255.0 * v) : v; };
    return Sample{a, a * f((i * 29 % 17) / 16.0), a * f((i * 7 % 11) / 10.0), a * f((i * 13 % 19) / 18.0)};
}

std::vector<Sample> footageLine(int length, double weight) {
    std::vector<Sample> line;
    for (int i = 0; i < length; ++i) line.push_back(footage(i, weight));
    return line;
}

// Whether the kernel of radius r at x takes any of the samples `at`, itself or as a repeated edge.
bool holds(std::int64_t x, double r, const std::vector<std::int64_t>& at, std::int64_t length, bool repeat) {
    const auto n = static_cast<std::int64_t>(std::ceil(r));
    return std::any_of(at.begin(), at.end(), [&](std::int64_t p) {
        const bool edge = repeat && ((p == 0 && x < n) || (p == length - 1 && x + n >= length));
        return (x - n <= p && p <= x + n) || edge;
    });
}

// Non-finite or huge samples, two largest doubles whose prefix sums overflow, highlights at "Weight" 3 and 5.
TEST(FarSpoilers, LeaveEveryWindowWithoutThemAsInTheLineWithoutThem) {
    const auto highlight = [](double weight, double value) {
        const double bright = std::pow(weight, 255.0 * value);
        return Sample{1.0, bright, 0.5 * bright, 1.0};
    };
    struct Case {
        double weight;
        std::vector<std::int64_t> at;
        Sample sample;
        std::string what;
    };
    std::vector<Case> cases = {
        {1.05, {30}, {1.0, kInf, 2.0, 3.0}, "an infinite colour"},
        {1.05, {30}, {1.0, -kInf, kInf, 3.0}, "infinities of both signs"},
        {1.05, {30}, {1.0, kNaN, 2.0, 3.0}, "a colour not a number"},
        {1.05, {30}, {kNaN, kNaN, kNaN, kNaN}, "an alpha not a number"},
        {1.05, {30}, {kInf, 0.0, 0.0, 0.0}, "an infinite alpha"},
        {1.05, {30}, {1.0, DBL_MAX, DBL_MAX, 1.0}, "the largest double"},
        {1.05, {30}, {1e30, 1e30, 1e30, 1e30}, "an alpha of 1e30"},
        {1.05, {30}, {1.0, -1e25, 0.2, 0.3}, "a huge negative colour"},
        {1.05, {40, 41}, {1.0, DBL_MAX, 1.0, 1.0}, "an overflow"},
    };
    for (const auto& [weight, value] : {std::pair{1.03, 6.0}, {1.05, 8.0}}) {
        for (const std::int64_t at : {0, 64, 129}) {
            cases.push_back({weight, {at}, highlight(weight, value), "a highlight at " + std::to_string(at)});
        }
    }
    for (const auto& c : cases) {
        const std::vector<Sample> clean = footageLine(130, c.weight);
        std::vector<Sample> spoilt = clean;
        for (const std::int64_t k : c.at) spoilt[static_cast<std::size_t>(k)] = c.sample;
        for (const bool repeat : {false, true}) {
            const Line withThem = loaded(spoilt, repeat);
            const Line without = loaded(clean, repeat);
            for (const double r : {0.3, 1.0, 2.5, 7.75, 19.2, 60.0}) {
                for (std::int64_t x = 0; x < 130; ++x) {
                    if (holds(x, r, c.at, 130, repeat)) continue;
                    const Sample got = withThem.blurred(x, r);
                    const Sample want = without.blurred(x, r);
                    for (double Sample::*ch : {&Sample::a, &Sample::r, &Sample::g, &Sample::b}) {
                        EXPECT_LE(std::fabs(got.*ch - want.*ch), 1e-9 * std::fabs(want.*ch))
                            << c.what << ", " << where(x, r, repeat);
                    }
                }
            }
        }
    }
}

// Weighted highlights past the double range: finite ones whose sums overflow, ones only their logs hold (infinite).
TEST(WideLines, FollowTheKernelBeyondTheDoubleRange) {
    const std::vector<Sample> clean = footageLine(100, 1.05);
    const Sample noLog{0.0, 0.0, 0.0, 0.0};
    const struct {
        std::vector<std::int64_t> at;
        Sample sample;
        Sample log;
        const char* what;
    } cases[] = {
        {{40, 41}, {1.0, DBL_MAX, 0.5 * DBL_MAX, 1.0}, noLog, "two of the largest doubles side by side"},
        {{0, 99}, {1.0, DBL_MAX, 2.0, DBL_MAX}, noLog, "the largest doubles on the edges, repeated"},
        {{50}, {0.5, kInf, -kInf, 3.0}, {0.0, 1500.0, 1100.0, 0.0}, "2^1500 and -2^1100"},
        {{0, 30, 31, 99}, {1.0, kInf, DBL_MAX, kInf}, {0.0, 16000.0, 0.0, 1024.5}, "2^16000 beside the largest double"},
        {{0, 99}, {1.0, 0x1p600, 1.0, 1.0}, noLog, "edges of 2^600, whose counts overflow at huge radii"},
    };
    for (const auto& c : cases) {
        std::vector<Sample> samples = clean;
        std::vector<Sample> logs(clean.size(), noLog);
        for (const std::int64_t k : c.at) {
            samples[static_cast<std::size_t>(k)] = c.sample;
            logs[static_cast<std::size_t>(k)] = c.log;
        }
        // Every colour as a long double, which holds them all.
        const auto value = [&](double Sample::*ch, std::int64_t k) -> long double {
            const auto i = static_cast<std::size_t>(k);
            const double s = samples[i].*ch;
            return std::isinf(s) ? std::copysign(std::exp2(static_cast<long double>(logs[i].*ch)), s) : s;
        };
        const auto length = static_cast<std::int64_t>(clean.size());
        for (const bool repeat : {false, true}) {
            Line wide(samples.size(), repeat);
            wide.load(samples.data(), 1, logs.data(), 1);
            ASSERT_TRUE(wide.wide()) << c.what;
            const Line plain = loaded(samples, repeat);
            for (const double r : {0.3, 2.5, 7.75, 60.0, 250.5, 1e150}) {
                // Beyond the line every window holds every sample, and the edges are counted, not visited.
                const bool whole = r > static_cast<double>(length);
                for (std::int64_t x = 0; x < length; ++x) {
                    const std::string at = std::string(c.what) + ", " + where(x, r, repeat);
                    const BoxBlur::WideSample got = wide.blurredWide(x, r);
                    if (!whole && !holds(x, r, c.at, length, repeat)) {
                        const Sample e{0.0, got.e.r, got.e.g, got.e.b};
                        ASSERT_TRUE(samePixel(got.s, plain.blurred(x, r)) && samePixel(e, noLog)) << at;
                        continue;
                    }
                    for (double Sample::*ch : {&Sample::r, &Sample::g, &Sample::b}) {
                        const auto v = [&](std::int64_t k) { return value(ch, k); };
                        long double want = 0.0L;
                        if (whole) {
                            for (std::int64_t k = 0; k < length; ++k) want += v(k);
                            if (repeat) want += (x - (length - 1) + r) * v(length - 1) + (r - x) * v(0);
                            want /= 2.0L * r + 1.0L;
                        } else {
                            want = literalWindow(length, x, r, repeat, v);
                        }
                        const long double scaled = std::ldexp(static_cast<long double>(got.s.*ch), int(got.e.*ch));
                        ASSERT_LE(std::fabs(scaled - want), 1e-12L * std::fabs(want)) << at;
                    }
                }
            }
        }
    }
}

TEST(OrdinaryLines, KeepThePrefixSumDifferencesToTheBit) {
    // The integer depths' widest spreads (weighted white beside black at one unit of alpha) and float footage.
    const double white8 = std::pow(1.05, 255.0);
    const std::vector<Sample> widest8 = {{255, 255 * white8, 255, 255 * white8}, {1, 1, 1, 1}, {0, 0, 0, 0},
                                         {255, 255, 255 * white8, 255},         {1, white8, 1, 1}};
    const std::vector<Sample> widest16 = {{65535, 65535.0 * 65535, 0, 65535}, {1, 0, 1, 0}, {0, 0, 0, 0},
                                          {32768, 32768 * white8, 32768, 32768}, {1, white8, white8, white8}};
    const std::vector<Sample> lines[] = {widest8, widest16, footageLine(40, 1.05), footageLine(40, 1.0)};
    for (const std::vector<Sample>& pattern : lines) {
        std::vector<Sample> samples;
        for (int i = 0; i < 60; ++i) {
            samples.push_back(pattern[static_cast<std::size_t>(i * 3) % pattern.size()]);
        }
        for (const bool repeat : {false, true}) {
            const Line line = loaded(samples, repeat);
            // Radii beyond the line too, up to those no integer n holds.
            for (const double r : {1.01e-5, 0.3, 1.0, 2.5, 7.75, 19.2, 60.0, 60.5, 1000.3, 123456.789, 3e9 + 0.5,
                                   0x1p40 + 0.5, 0x1p52}) {
                for (std::int64_t x = 0; x < 60; ++x) {
                    ASSERT_TRUE(samePixel(line.blurred(x, r), prefixSumBlurred(samples, x, r, repeat)))
                        << where(x, r, repeat);
                }
            }
        }
    }
}

template <typename Pixel>
class Passes : public HostTest {};
TYPED_TEST_SUITE(Passes, PixelTypes);

// Not a number and radii up to 1e-5 leave the sample; huge radii tend to the limit, the mean of the column's two
// ends or nothing, which an infinite radius (DBL_MAX doubled) gives exactly.
TYPED_TEST(Passes, MatValuesBeyondAnyRadiusArithmeticStaySound) {
    constexpr int kWidth = 9;
    constexpr int kHeight = 7;
    const double wild[] = {kNaN, kInf, 1e300, 3e9, DBL_MAX, -kInf, 1e20, 0.5e-5, 0.0, -3.0, 0.50000005e-5};
    std::vector<double> mat;
    std::vector<Sample> work;
    for (int i = 0; i < kWidth * kHeight; ++i) {
        mat.push_back(wild[i % 11]);
        work.push_back(patternSample(i));
    }
    BlurParameters p{};
    p.passAmount = 2.0;  // exact: 0.5e-5 gives 1e-5 to the bit
    p.mat = &mat;
    Image input{Nerevo::PixelTraits<TypeParam>::format, kWidth, kHeight, PF_Point{-4, 2}};
    for (const bool repeat : {false, true}) {
        p.repeatEdgePixels = repeat;
        std::vector<Sample> columns = work;
        p.work = &columns;
        ASSERT_EQ(this->template run<VerticalBlur>(bpcOf<TypeParam>(), input, nullptr, p), PF_Err_NONE);
        for (int x = 0; x < kWidth; ++x) {
            const Sample& top = work[static_cast<std::size_t>(x)];
            const Sample& bottom = work[static_cast<std::size_t>((kHeight - 1) * kWidth + x)];
            for (int y = 0; y < kHeight; ++y) {
                const auto i = static_cast<std::size_t>(y * kWidth + x);
                const double r = 2.0 * mat[i];
                if (!(r > 1e-5)) {
                    EXPECT_TRUE(samePixel(columns[i], work[i])) << "unblurred " << x << ", " << y;
                    continue;
                }
                EXPECT_TRUE(r > 1e-4 || !samePixel(columns[i], work[i])) << "just past 1e-5 blurs " << x << ", " << y;
                EXPECT_TRUE(std::isfinite(columns[i].a) && std::isfinite(columns[i].b)) << x << ", " << y;
                if (r >= 1e300) {
                    const auto limit = [&](double Sample::*ch) { return repeat ? (top.*ch + bottom.*ch) / 2 : 0.0; };
                    for (double Sample::*ch : {&Sample::a, &Sample::r, &Sample::b}) {
                        EXPECT_NEAR(columns[i].*ch, limit(ch), r == kInf ? 0.0 : 1e-12 * std::fabs(limit(ch)) + 1e-250)
                            << "the limit " << x << ", " << y;
                    }
                }
            }
        }
    }
}

}  // namespace
