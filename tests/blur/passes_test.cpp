// The column pass and the row pass at every pixel of a small image against
// the plain sum, at the three depths; mat values no radius arithmetic may
// trip on.

#include <cfloat>
#include <limits>

#include "HorizontalBlur.h"
#include "VerticalBlur.h"
#include "blur_support.h"

namespace {

using namespace BlurTest;

constexpr int kWidth = 9;
constexpr int kHeight = 7;

// Sharp pixels, radii within and beyond both line lengths.
double patternMat(int i) {
    const double values[] = {0.0, 0.2, 1.0, 2.7, 0.05, 10.0, 4.4, 0.0, 1.6, 30.0, 0.8};
    return values[i % 11];
}

template <typename Pixel>
class Passes : public HostTest {
protected:
    void SetUp() override {
        for (int i = 0; i < kWidth * kHeight; ++i) {
            mat.push_back(patternMat(i));
            work.push_back(patternSample(i));
        }
        p.passAmount = 1.3;
        p.weighted = false;
        p.weight = 1.0;
        p.vignetting = 0.3;
        p.vignettingColor = Nerevo::Color<float>{1.0f, 0.2f, 0.9f, 0.5f};
        p.blendingMode = Nerevo::BlendingMode::multiply;
        p.mat = &mat;
        p.work = &work;
    }

    template <typename Pass>
    PF_Err runPass(std::vector<Sample>& buffer) {
        p.work = &buffer;
        const PF_Err err = this->template run<Pass>(bpcOf<Pixel>(), input, &output, p);
        p.work = &work;
        return err;
    }

    // Entry k of line `l` of `buffer`: rows run along x, columns along y.
    static std::size_t index(bool rows, int l, int k) {
        return static_cast<std::size_t>(rows ? l * kWidth + k : k * kWidth + l);
    }

    // The buffer a pass along rows or columns should leave.
    std::vector<Sample> expected(bool rows) const {
        std::vector<Sample> result = work;
        const int lines = rows ? kHeight : kWidth;
        const int length = rows ? kWidth : kHeight;
        for (int l = 0; l < lines; ++l) {
            std::vector<Sample> line;
            for (int k = 0; k < length; ++k) {
                line.push_back(work[index(rows, l, k)]);
            }
            for (int k = 0; k < length; ++k) {
                const double r = p.passAmount * mat[index(rows, l, k)] + p.passOffset;
                if (r > 1e-5) {
                    result[index(rows, l, k)] = slowBlur(line, k, r, p.repeatEdgePixels);
                }
            }
        }
        return result;
    }

    void expectBuffer(const std::vector<Sample>& actual, const std::vector<Sample>& want) const {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const std::size_t i = index(true, y, x);
                if (!(p.passAmount * mat[i] + p.passOffset > 1e-5)) {
                    EXPECT_TRUE(sameBits(actual[i], work[i])) << "unblurred " << at(x, y);
                } else {
                    expectNear(actual[i], want[i], largest(work), at(x, y));
                }
            }
        }
    }

    std::vector<double> mat;
    std::vector<Sample> work;
    BlurParameters p{};
    Image input{Nerevo::PixelTraits<Pixel>::format, kWidth, kHeight, PF_Point{-4, 2}};
    Image output{Nerevo::PixelTraits<Pixel>::format, kWidth, kHeight};
};
TYPED_TEST_SUITE(Passes, PixelTypes);

// With repeated edges an offset blurs the sharp pixels too.
TYPED_TEST(Passes, ColumnsAndRowsAgreeWithThePlainSumInEitherEdgeMode) {
    for (const bool repeat : {false, true}) {
        SCOPED_TRACE(repeat ? "repeated edges" : "transparent edges");
        this->p.repeatEdgePixels = repeat;
        this->p.passOffset = repeat ? 0.6 : 0.0;
        std::vector<Sample> columns = this->work;
        ASSERT_EQ(this->template runPass<VerticalBlur>(columns), PF_Err_NONE);
        this->expectBuffer(columns, this->expected(false));
        std::vector<Sample> rows = this->work;
        ASSERT_EQ(this->template runPass<HorizontalBlur>(rows), PF_Err_NONE);
        this->expectBuffer(rows, this->expected(true));
    }
    EXPECT_TRUE(this->output.untouchedOutside());
}

TYPED_TEST(Passes, MatValuesBeyondAnyRadiusArithmeticStaySound) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double wild[] = {nan, inf, 1e300, 3e9, DBL_MAX, -inf, 1e20};
    for (int i = 0; i < kWidth * kHeight; ++i) {
        this->mat[static_cast<std::size_t>(i)] = wild[i % 7];
    }
    this->p.passAmount = 5000.0 / 3.0;
    for (const bool repeat : {false, true}) {
        this->p.repeatEdgePixels = repeat;
        std::vector<Sample> columns = this->work;
        ASSERT_EQ(this->template runPass<VerticalBlur>(columns), PF_Err_NONE);
        for (int x = 0; x < kWidth; ++x) {
            const Sample& top = this->work[this->index(true, 0, x)];
            const Sample& bottom = this->work[this->index(true, kHeight - 1, x)];
            for (int y = 0; y < kHeight; ++y) {
                const std::size_t i = this->index(true, y, x);
                const double m = this->mat[i];
                if (!(m > 0.0)) {
                    EXPECT_TRUE(sameBits(columns[i], this->work[i])) << "unblurred " << at(x, y);
                    continue;
                }
                EXPECT_TRUE(std::isfinite(columns[i].a) && std::isfinite(columns[i].b)) << at(x, y);
                if (m == inf) {
                    const double a = repeat ? (top.a + bottom.a) / 2 : 0.0;
                    EXPECT_EQ(columns[i].a, a) << "the limit " << at(x, y);
                }
            }
        }
    }
}

}  // namespace
