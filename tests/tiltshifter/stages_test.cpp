// What a tilt shifter writes without blur, and what it leaves when it stops:
// worlds that do not fit are refused before any stage, a failed sample or
// the user's abort ends the render with the host's code and nothing written
// after it.

#include <cmath>
#include <limits>

#include "filter/bands.h"
#include "shifter_support.h"

namespace {

using namespace ShifterTest;

template <typename Pixel>
class Stages : public Shifters {
protected:
    void SetUp() override {
        host.log().setRecording(true);  // refused worlds run no stage: counted in the call log
        paint<Pixel>(input, patternPixel<Pixel>);
        paint<Pixel>(output, marker<Pixel>);
    }

    // The stages a run started.
    std::size_t stagesRun() { return host.log().count("iterate_generic"); }

    bool outputUntouched() const {
        Image marked(Nerevo::PixelTraits<Pixel>::format, output.width(), output.height());
        paint<Pixel>(marked, marker<Pixel>);
        return sameImage<Pixel>(output, marked);
    }

    // Without blur the outputter writes what a blur too small to move any
    // pixel would.
    template <typename Shifter>
    void expectOutputterLikeAnUnmovingBlur(TiltShifterParameters p) {
        p.blurAmount = 0.0;
        p.blurOffset = 0.0;
        ASSERT_EQ(execute<Shifter>(bpcOf<Pixel>(), input, output, p), PF_Err_NONE);
        Image unmoved(Nerevo::PixelTraits<Pixel>::format, input.width(), input.height());
        // Radii of 2e-6 / 3 × m stay below 1e-5 for m below 15.
        p.blurAmount = 2e-6;
        ASSERT_EQ(execute<Shifter>(bpcOf<Pixel>(), input, unmoved, p), PF_Err_NONE);
        EXPECT_TRUE(sameImage<Pixel>(output, unmoved));
    }

    Image input{Nerevo::PixelTraits<Pixel>::format, 10, 8};
    Image output{Nerevo::PixelTraits<Pixel>::format, 10, 8, PF_Point{-3, 5}};
};
TYPED_TEST_SUITE(Stages, PixelTypes);

TYPED_TEST(Stages, WithoutBlurTheOutputterStillWeighsVignettesAndAberrates) {
    TiltShifterParameters p = parameters();
    p.chromaticAberration = 0.8;
    this->template expectOutputterLikeAnUnmovingBlur<RadialTiltShifter>(p);
    p.linearMode = linearFocusDistance;
    this->template expectOutputterLikeAnUnmovingBlur<LinearTiltShifter>(p);
}

TYPED_TEST(Stages, AFailedSampleInTheMatStageEndsTheRender) {
    const char* const sampler = std::is_same_v<TypeParam, PF_Pixel>     ? "subpixel_sample"
                                : std::is_same_v<TypeParam, PF_Pixel16> ? "subpixel_sample16"
                                                                         : "subpixel_sample_float";
    TiltShifterParameters p = parameters();
    p.chromaticAberration = 0.8;
    for (const double blur : {9.0, 0.0}) {
        p.blurAmount = blur;
        p.blurOffset = 0.0;
        this->host.faults().failCall(sampler, 5, PF_Err_OUT_OF_MEMORY);
        EXPECT_EQ(this->template execute<LinearTiltShifter>(bpcOf<TypeParam>(), this->input, this->output, p),
                  PF_Err_OUT_OF_MEMORY);
        EXPECT_TRUE(this->outputUntouched());
    }
}

// The stages trust the buffers and worlds: what does not fit is refused
// before the first of them runs, with blur or without.
TYPED_TEST(Stages, WorldsThatDoNotFitAreRefusedBeforeAnyStage) {
    TiltShifterParameters p = parameters();
    const struct {
        int width, height;
    } sizes[] = {{9, 8}, {10, 7}, {11, 8}};
    for (const auto& size : sizes) {
        Image other(Nerevo::PixelTraits<TypeParam>::format, size.width, size.height);
        for (const double blur : {9.0, 0.0}) {
            p.blurAmount = blur;
            this->host.log().clear();
            EXPECT_EQ(this->template execute<RadialTiltShifter>(bpcOf<TypeParam>(), this->input, other, p),
                      PF_Err_INTERNAL_STRUCT_DAMAGED);
            EXPECT_EQ(this->template execute<LinearTiltShifter>(bpcOf<TypeParam>(), other, this->output, p),
                      PF_Err_INTERNAL_STRUCT_DAMAGED);
            EXPECT_EQ(this->stagesRun(), 0u);
            EXPECT_TRUE(this->outputUntouched());
        }
    }
}

// Weighted or not: the integer depths to the bit (their weights come back
// to the same channel value), floats within their own rounding, the
// smallest and those above white included.
TYPED_TEST(Stages, AnOpaqueSourceWithoutBlurOrVignetteComesThroughUnchanged) {
    TiltShifterParameters p = parameters();
    p.blurAmount = 0.0;
    p.blurOffset = 0.0;
    p.vignetting = 0.0;
    paint<TypeParam>(this->input, [](int x, int y) {
        TypeParam pixel = patternPixel<TypeParam>(x, y);
        pixel.alpha = std::is_same_v<TypeParam, PF_Pixel> ? 255 : std::is_same_v<TypeParam, PF_Pixel16> ? 32768 : 1;
        if constexpr (std::is_same_v<TypeParam, PF_PixelFloat>) {
            const float small[] = {1e-5f, 1e-4f, 0.3f, 3e-7f, 0.7000001f};
            pixel.blue = small[(x + 3 * y) % 5];
        }
        return pixel;
    });
    for (const double weight : {1.0, 1.03, 1.05}) {
        SCOPED_TRACE(weight);
        p.weight = weight;
        ASSERT_EQ(this->template execute<RadialTiltShifter>(bpcOf<TypeParam>(), this->input, this->output, p),
                  PF_Err_NONE);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 10; ++x) {
                const TypeParam& in = this->input.template at<TypeParam>(x, y);
                const TypeParam& out = this->output.template at<TypeParam>(x, y);
                if constexpr (std::is_same_v<TypeParam, PF_PixelFloat>) {
                    const auto near = [](float got, float source) {
                        const float want = std::max(source, 0.0f);  // negative floats come out as 0
                        return std::fabs(got - want) <= std::numeric_limits<float>::epsilon() * want;
                    };
                    EXPECT_EQ(out.alpha, in.alpha);
                    EXPECT_TRUE(near(out.red, in.red) && near(out.green, in.green) && near(out.blue, in.blue))
                        << x << ", " << y << ": " << out.red << " " << out.green << " " << out.blue << " from "
                        << in.red << " " << in.green << " " << in.blue;
                } else {
                    EXPECT_TRUE(samePixel(out, in)) << x << ", " << y;
                }
            }
        }
    }
}

class Aborts : public Stages<PF_Pixel> {};

// A cancel returns the host's code and writes nothing after it: on one
// thread a row stage polls before its band and after each of the 8 rows, a
// column stage after each block of columns, so these checks fall in the mat
// stage, amid the second row pass and after three rows of the last; without
// blur, after the outputter's first row.
TEST_F(Aborts, ACancelReturnsTheHostsCodeAndWritesNothingAfterIt) {
    constexpr int kRows = 1 + 8;
    constexpr int kColumns = 1 + (10 + Nerevo::Filter::kColumnBlock - 1) / Nerevo::Filter::kColumnBlock;
    const struct {
        bool blur;
        int check, firstUntouchedRow;
    } cases[] = {{true, 1, 0}, {true, kRows + 2 * kColumns + kRows + 5, 0},
                 {true, kRows + 3 * kColumns + 2 * kRows + 4, 3}, {false, kRows + 2, 1}};
    host.setThreadCount(1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.check);
        TiltShifterParameters p = parameters();
        if (!c.blur) {
            p.blurAmount = p.blurOffset = 0.0;
        }
        paint<PF_Pixel>(output, marker<PF_Pixel>);
        host.cancelAtAbortCheck(c.check);
        EXPECT_EQ(execute<RadialTiltShifter>(Nerevo::bpc8, input, output, p), PF_Interrupt_CANCEL);
        for (int y = 0; y < 8; ++y) {
            EXPECT_EQ(samePixel(output.at<PF_Pixel>(y, y), marker<PF_Pixel>(y, y)), y >= c.firstUntouchedRow) << y;
        }
    }
}

}  // namespace
