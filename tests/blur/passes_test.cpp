// The column pass on mat values no radius arithmetic may trip on, at the three depths. (The passes' ordinary
// results are the literal render's to guard.)

#include <cfloat>
#include <limits>

#include "VerticalBlur.h"
#include "blur_support.h"

namespace {

using namespace BlurTest;

template <typename Pixel>
class Passes : public HostTest {};
TYPED_TEST_SUITE(Passes, PixelTypes);

// Not a number and radii up to 1e-5 leave the sample; huge radii tend to the limit, the mean of the column's two
// ends or nothing, which an infinite radius (DBL_MAX doubled) gives exactly.
TYPED_TEST(Passes, MatValuesBeyondAnyRadiusArithmeticStaySound) {
    constexpr int kWidth = 9;
    constexpr int kHeight = 7;
    const double inf = std::numeric_limits<double>::infinity();
    const double wild[] = {std::nan(""), inf, 1e300, 3e9, DBL_MAX, -inf, 1e20, 0.5e-5, 0.0, -3.0, 0.50000005e-5};
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
                    EXPECT_TRUE(sameBits(columns[i], work[i])) << "unblurred " << at(x, y);
                    continue;
                }
                EXPECT_TRUE(r > 1e-4 || !sameBits(columns[i], work[i])) << "just past 1e-5 blurs " << at(x, y);
                EXPECT_TRUE(std::isfinite(columns[i].a) && std::isfinite(columns[i].b)) << at(x, y);
                if (r >= 1e300) {
                    const auto limit = [&](double Sample::*ch) { return repeat ? (top.*ch + bottom.*ch) / 2 : 0.0; };
                    for (double Sample::*ch : {&Sample::a, &Sample::r, &Sample::b}) {
                        EXPECT_NEAR(columns[i].*ch, limit(ch), r == inf ? 0.0 : 1e-12 * std::fabs(limit(ch)) + 1e-250)
                            << "the limit " << at(x, y);
                    }
                }
            }
        }
    }
}

}  // namespace
