// Which stages a tilt shifter runs, and how the first failure stops the
// rest: the outputter without blur, six passes with it, a failed sample or
// the user's abort ending the sequence with the host's code.

#include "shifter_support.h"

namespace {

using namespace ShifterTest;

template <typename Pixel>
class Stages : public Shifters {
protected:
    void SetUp() override {
        host.log().setRecording(true);  // the stages are counted in the call log
        paint<Pixel>(input, patternPixel<Pixel>);
        paint<Pixel>(output, marker<Pixel>);
    }

    // The stages a run started.
    std::size_t stagesRun() { return host.log().count("iterate_generic"); }

    bool outputUntouched() const {
        for (int y = 0; y < output.height(); ++y) {
            for (int x = 0; x < output.width(); ++x) {
                if (!samePixel(output.at<Pixel>(x, y), marker<Pixel>(x, y))) {
                    return false;
                }
            }
        }
        return true;
    }

    // Without blur the outputter writes what a blur too small to move any
    // pixel would, in two stages instead of seven.
    template <typename Shifter>
    void expectOutputterLikeAnUnmovingBlur(TiltShifterParameters p) {
        p.blurAmount = 0.0;
        p.blurOffset = 0.0;
        host.log().clear();
        ASSERT_EQ(execute<Shifter>(bpcOf<Pixel>(), input, output, p), PF_Err_NONE);
        EXPECT_EQ(stagesRun(), 2u);
        Image unmoved(host::pixelFormatOf<Pixel>(), input.width(), input.height());
        // Radii of 2e-6 / 3 × m stay below 1e-5 for m below 15.
        p.blurAmount = 2e-6;
        host.log().clear();
        ASSERT_EQ(execute<Shifter>(bpcOf<Pixel>(), input, unmoved, p), PF_Err_NONE);
        EXPECT_EQ(stagesRun(), 7u);
        EXPECT_TRUE(sameImage<Pixel>(output, unmoved));
    }

    Image input{host::pixelFormatOf<Pixel>(), 10, 8};
    Image output{host::pixelFormatOf<Pixel>(), 10, 8, PF_Point{-3, 5}};
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
        this->host.log().clear();
        EXPECT_EQ(this->template execute<LinearTiltShifter>(bpcOf<TypeParam>(), this->input, this->output, p),
                  PF_Err_OUT_OF_MEMORY);
        EXPECT_EQ(this->stagesRun(), 1u);
        EXPECT_TRUE(this->outputUntouched());
    }
}

TYPED_TEST(Stages, AnOpaqueSourceWithoutBlurWeightOrVignetteComesThroughUnchanged) {
    TiltShifterParameters p = parameters();
    p.blurAmount = 0.0;
    p.blurOffset = 0.0;
    p.weight = 1.0;
    p.vignetting = 0.0;
    paint<TypeParam>(this->input, [](int x, int y) {
        TypeParam pixel = patternPixel<TypeParam>(x, y);
        pixel.alpha = std::is_same_v<TypeParam, PF_Pixel> ? 255 : std::is_same_v<TypeParam, PF_Pixel16> ? 32768 : 1;
        return pixel;
    });
    ASSERT_EQ(this->template execute<RadialTiltShifter>(bpcOf<TypeParam>(), this->input, this->output, p), PF_Err_NONE);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x) {
            TypeParam want = this->input.template at<TypeParam>(x, y);
            if constexpr (std::is_same_v<TypeParam, PF_PixelFloat>) {
                want.green = std::max(want.green, 0.0f);  // negative floats come out as 0
            }
            EXPECT_TRUE(samePixel(this->output.template at<TypeParam>(x, y), want)) << x << ", " << y;
        }
    }
}

class Aborts : public Stages<PF_Pixel> {
protected:
    void SetUp() override {
        Stages::SetUp();
        host.setThreadCount(1);
    }

    // Cancels at abort check `check` and reports how many stages started.
    std::size_t cancelAt(int check, const TiltShifterParameters& p) {
        paint<PF_Pixel>(output, marker<PF_Pixel>);
        host.cancelAtAbortCheck(check);
        host.log().clear();
        EXPECT_EQ(execute<RadialTiltShifter>(Nerevo::bpc8, input, output, p), PF_Interrupt_CANCEL) << check;
        return stagesRun();
    }
};

// On one thread a stage over rows checks once before its band and after each
// of the 8 rows, a stage over columns before its band and after each of the
// 10 columns.
TEST_F(Aborts, TheStageThatSeesTheCancelIsTheLast) {
    const TiltShifterParameters p = parameters();
    EXPECT_EQ(cancelAt(1, p), 1u);
    EXPECT_EQ(cancelAt(9, p), 1u);
    EXPECT_EQ(cancelAt(10, p), 2u) << "before the first column band";
    EXPECT_EQ(cancelAt(9 + 11 + 9 + 11 + 5, p), 5u) << "amid the second row pass";
    EXPECT_TRUE(outputUntouched());
    EXPECT_EQ(cancelAt(9 + 3 * 11 + 2 * 9 + 4, p), 7u) << "after three rows of the last pass";
    for (int y = 0; y < 8; ++y) {
        EXPECT_EQ(samePixel(output.at<PF_Pixel>(5, y), marker<PF_Pixel>(5, y)), y >= 3) << "row " << y;
    }
}

TEST_F(Aborts, TheOutputterReturnsTheHostsCodeToo) {
    TiltShifterParameters p = parameters();
    p.blurAmount = 0.0;
    p.blurOffset = 0.0;
    EXPECT_EQ(cancelAt(9 + 2, p), 2u);
    for (int y = 0; y < 8; ++y) {
        EXPECT_EQ(samePixel(output.at<PF_Pixel>(0, y), marker<PF_Pixel>(0, y)), y >= 1) << "row " << y;
    }
}

}  // namespace
