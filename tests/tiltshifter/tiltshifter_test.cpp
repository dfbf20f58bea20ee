// The tilt shifters on the headless host: what the whole sequence writes against a literal render, what stops it.

#include <cmath>
#include <limits>
#include <memory>
#include <type_traits>
#include <utility>

#include "../blur/blur_support.h"
#include "LinearMatGenerator.h"
#include "OutputConversion.h"
#include "Params.h"
#include "RadialMatGenerator.h"
#include "TiltShifter.h"
#include "WeightTable.h"
#include "filter/bands.h"

namespace {

using BlurTest::Sample;
using host::Image;
using test::bpcOf;
using test::paint;
using test::PixelTypes;
using test::sameImage;
using test::samePixel;

template <typename Pixel>
Pixel patternPixel(int x, int y) {
    const int i = x * 7 + y * 13;
    if constexpr (std::is_same_v<Pixel, PF_Pixel>) {
        return PF_Pixel{static_cast<A_u_char>(i % 3 ? 255 : (i * 41) % 256), static_cast<A_u_char>((i * 67) % 256),
                        static_cast<A_u_char>((x * 101 + 30) % 256), static_cast<A_u_char>((y * 89) % 256)};
    } else if constexpr (std::is_same_v<Pixel, PF_Pixel16>) {
        return PF_Pixel16{static_cast<A_u_short>(i % 3 ? 32768 : (i * 4099) % 32769),
                          static_cast<A_u_short>((i * 7919) % 32769), static_cast<A_u_short>((x * 3001) % 32769),
                          static_cast<A_u_short>((y * 12007 + 5) % 32769)};
    } else {
        return PF_PixelFloat{i % 3 ? 1.0f : (i % 10) * 0.1f, (i % 9) * 0.2f, (x % 4) * 0.3f - 0.1f, (y % 5) * 0.25f};
    }
}

template <typename Pixel>
Pixel marker(int, int) {
    return Pixel{1, 2, 3, 4};
}

TiltShifterParameters parameters() {
    return {8.0, 9.0, 0.4, 1.03, {4.5, 3.2}, 0.4, 0.7, 1.5, linearPower, 2.0, 10.0, 0.0, 0.3,
            Nerevo::Color<float>{1.0f, 0.1f, 0.2f, 0.9f}, Nerevo::BlendingMode::multiply, true};
}

class Shifters : public BlurTest::HostTest {
protected:
    template <typename Shifter>
    PF_Err execute(Nerevo::Bpc bpc, Image& input, Image& output, const TiltShifterParameters& p) {
        PF_Err err = PF_Err_NONE;
        host.withCommandData([&](PF_InData& in, PF_OutData&) {
            AEGP_SuiteHandler suites(in.pica_basicP);
            Shifter shifter(&in, suites, bpc, std::make_shared<Nerevo::World>(input.world()),
                            std::make_shared<Nerevo::World>(output.world()), p);
            err = shifter.execute();
        });
        EXPECT_TRUE(host.problems().empty()) << host.problems().front();
        EXPECT_TRUE(output.untouchedOutside());
        return err;
    }
};

template <typename Pixel>
class Results : public Shifters {};
TYPED_TEST_SUITE(Results, PixelTypes);

// The render one literal line at a time: the mat stage, three rounds of every column and row copied out, blurred
// by the prefix-sum formula (a line of its own where sums need care) and written back, then the output conversion.
template <typename Pixel>
void literalRender(host::Host& host, bool linear, const TiltShifterParameters& p, Image& input, Image& result) {
    const int width = input.width();
    const int height = input.height();
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    host.setThreadCount(1);
    host.withCommandData([&](PF_InData& in, PF_OutData&) {
        AEGP_SuiteHandler suites(in.pica_basicP);
        const bool weighted = isWeighted(p.weight);
        const std::vector<double> table = makeWeightTable(&in, bpcOf<Pixel>(), p.weight);
        std::vector<double> mat(pixels);
        std::vector<Sample> work(pixels);
        const auto fillShared = [&](auto& mats) {
            mats.halfDiagonal = p.halfDiagonal;
            mats.weighted = weighted;
            mats.weight = p.weight;
            mats.center = p.center;
            mats.direction = p.direction;
            mats.innerWidth = p.innerWidth;
            mats.power = p.power;
            mats.chromaticAberrationOn = p.chromaticAberration > 1e-6;
            mats.chromaticAberration = p.chromaticAberration;
            mats.weightTable = &table;
            mats.mat = &mat;
            mats.work = &work;
        };
        if (linear) {
            LinearMatGeneratorParameters mats{};
            fillShared(mats);
            mats.blurAmount = p.blurAmount;
            mats.linearMode = p.linearMode;
            mats.focusDistance = p.focusDistance;
            const LinearMatGenerator generator(&in, suites, bpcOf<Pixel>(), input.world(), nullptr, &mats);
            ASSERT_EQ(Nerevo::Filter::runFilter(generator), PF_Err_NONE);
        } else {
            RadialMatGeneratorParameters mats{};
            fillShared(mats);
            mats.ratio = p.ratio;
            const RadialMatGenerator generator(&in, suites, bpcOf<Pixel>(), input.world(), nullptr, &mats);
            ASSERT_EQ(Nerevo::Filter::runFilter(generator), PF_Err_NONE);
        }
        const double amount = p.blurAmount * 0.3333333333333333;
        const double offset = p.blurOffset * 0.3333333333333333;
        BlurParameters blur{};
        blur.weighted = weighted;
        blur.weight = p.weight;
        blur.vignetting = p.vignetting;
        blur.vignettingColor = p.vignettingColor;
        blur.blendingMode = p.blendingMode;
        const Output::Conversion<Pixel> convert(&in, blur);
        const auto pass = [&](bool rows, bool last) {
            const int lines = rows ? height : width;
            const int length = rows ? width : height;
            const auto index = [&](int l, int k) {
                return static_cast<std::size_t>(rows ? l * width + k : k * width + l);
            };
            for (int l = 0; l < lines; ++l) {
                std::vector<Sample> line;
                for (int k = 0; k < length; ++k) {
                    line.push_back(work[index(l, k)]);
                }
                BoxBlur::Line loaded(line.size(), p.repeatEdgePixels);
                loaded.load(line.data(), 1);
                const bool plain = BlurTest::largest(line) < 1e6;
                for (int k = 0; k < length; ++k) {
                    const double r = amount * mat[index(l, k)] + offset;
                    Sample blurred = line[static_cast<std::size_t>(k)];
                    if (r > 1e-5) {
                        blurred = plain ? BlurTest::prefixSumBlurred(line, k, r, p.repeatEdgePixels)
                                        : loaded.blurred(k, r);
                    }
                    if (last) {
                        result.at<Pixel>(k, l) = convert(blurred, mat[index(l, k)]);
                    } else {
                        work[index(l, k)] = blurred;
                    }
                }
            }
        };
        for (int round = 1; round <= 3; ++round) {
            pass(false, false);
            pass(true, round == 3);
        }
    });
}

// Sizes around the column blocks, single lines and one pixel, more bands than lines on seven threads; without
// blur, the outputter alone. Float highlights far above white take the careful sums.
TYPED_TEST(Results, EveryScheduleWritesTheLiteralRenderToTheBit) {
    const struct {
        int width, height;
        bool blur;
    } sizes[] = {{2 * Nerevo::Filter::kColumnBlock + 5, 9, true}, {Nerevo::Filter::kColumnBlock, 4, true},
                 {1, 6, true}, {13, 1, true}, {1, 1, true}, {10, 8, false}};
    this->host.log().setRecording(false);  // tens of thousands of table powers per render
    TiltShifterParameters p = parameters();
    for (const auto& size : sizes) {
        for (const bool linear : {false, true}) {
            for (const bool repeat : {true, false}) {
                SCOPED_TRACE(::testing::Message() << size.width << " x " << size.height << (linear ? " linear" : "")
                                                  << (repeat ? " repeated" : "") << (size.blur ? "" : " unblurred"));
                Image input(Nerevo::PixelTraits<TypeParam>::format, size.width, size.height);
                paint<TypeParam>(input, patternPixel<TypeParam>);
                if constexpr (std::is_same_v<TypeParam, PF_PixelFloat>) {
                    input.at<TypeParam>(size.width / 2, size.height / 2) = PF_PixelFloat{1.0f, 9.0f, 0.5f, 4.0f};
                }
                p.repeatEdgePixels = repeat;
                p.linearMode = repeat ? linearPower : linearFocusDistance;
                p.chromaticAberration = repeat ? 0.0 : 0.6;
                p.center = {size.width * 0.4, size.height * 0.6};
                p.blurAmount = size.blur ? 9.0 : 0.0;
                p.blurOffset = size.blur ? 0.4 : 0.0;
                Image want(Nerevo::PixelTraits<TypeParam>::format, size.width, size.height);
                literalRender<TypeParam>(this->host, linear, p, input, want);
                for (const int threads : {1, 2, 7}) {
                    this->host.setThreadCount(threads);
                    Image output(Nerevo::PixelTraits<TypeParam>::format, size.width, size.height);
                    const PF_Err err =
                        linear ? this->template execute<LinearTiltShifter>(bpcOf<TypeParam>(), input, output, p)
                               : this->template execute<RadialTiltShifter>(bpcOf<TypeParam>(), input, output, p);
                    ASSERT_EQ(err, PF_Err_NONE);
                    EXPECT_TRUE(sameImage<TypeParam>(output, want)) << threads << " threads";
                }
            }
        }
    }
}

// A render that starts while another holds the spare buffers makes its own.
TEST_F(Shifters, RendersSideBySideWriteWhatEachWouldAlone) {
    Image input(PF_PixelFormat_ARGB32, 12, 9);
    paint<PF_Pixel>(input, patternPixel<PF_Pixel>);
    Image alone(PF_PixelFormat_ARGB32, 12, 9);
    ASSERT_EQ(execute<RadialTiltShifter>(Nerevo::bpc8, input, alone, parameters()), PF_Err_NONE);
    Image first(PF_PixelFormat_ARGB32, 12, 9);
    Image second(PF_PixelFormat_ARGB32, 12, 9);
    host.withCommandData([&](PF_InData& in, PF_OutData&) {
        AEGP_SuiteHandler suites(in.pica_basicP);
        const auto world = [](Image& image) { return std::make_shared<Nerevo::World>(image.world()); };
        RadialTiltShifter holding(&in, suites, Nerevo::bpc8, world(input), world(first), parameters());
        RadialTiltShifter beside(&in, suites, Nerevo::bpc8, world(input), world(second), parameters());
        EXPECT_EQ(beside.execute(), PF_Err_NONE);
        EXPECT_EQ(holding.execute(), PF_Err_NONE);
    });
    EXPECT_TRUE(sameImage<PF_Pixel>(first, alone) && sameImage<PF_Pixel>(second, alone));
}

template <typename Pixel>
class Stages : public Shifters {
protected:
    void SetUp() override {
        host.log().setRecording(true);
        paint<Pixel>(input, patternPixel<Pixel>);
        paint<Pixel>(output, marker<Pixel>);
        paint<Pixel>(marked, marker<Pixel>);
    }

    Image input{Nerevo::PixelTraits<Pixel>::format, 10, 8};
    Image output{Nerevo::PixelTraits<Pixel>::format, 10, 8, PF_Point{-3, 5}};
    Image marked{Nerevo::PixelTraits<Pixel>::format, 10, 8};
};
TYPED_TEST_SUITE(Stages, PixelTypes);

TYPED_TEST(Stages, AFailedSampleInTheMatStageEndsTheRender) {
    const char* const sampler = std::is_same_v<TypeParam, PF_Pixel>     ? "subpixel_sample"
                                : std::is_same_v<TypeParam, PF_Pixel16> ? "subpixel_sample16"
                                                                         : "subpixel_sample_float";
    TiltShifterParameters p = parameters();
    p.chromaticAberration = 0.8;
    this->host.faults().failCall(sampler, 5, PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(this->template execute<LinearTiltShifter>(bpcOf<TypeParam>(), this->input, this->output, p),
              PF_Err_OUT_OF_MEMORY);
    EXPECT_TRUE(sameImage<TypeParam>(this->output, this->marked));
}

TYPED_TEST(Stages, WorldsThatDoNotFitAreRefusedBeforeAnyStage) {
    const TiltShifterParameters p = parameters();
    for (const auto& [width, height] : {std::pair{9, 8}, {10, 7}}) {
        Image other(Nerevo::PixelTraits<TypeParam>::format, width, height);
        EXPECT_EQ(this->template execute<RadialTiltShifter>(bpcOf<TypeParam>(), this->input, other, p),
                  PF_Err_INTERNAL_STRUCT_DAMAGED);
        EXPECT_EQ(this->template execute<LinearTiltShifter>(bpcOf<TypeParam>(), other, this->output, p),
                  PF_Err_INTERNAL_STRUCT_DAMAGED);
    }
    // An input of the right size without pixels: the stages would read through its null rows.
    void* const pixels = std::exchange(this->input.world()->data, nullptr);
    EXPECT_EQ(this->template execute<RadialTiltShifter>(bpcOf<TypeParam>(), this->input, this->output, p),
              PF_Err_INTERNAL_STRUCT_DAMAGED);
    this->input.world()->data = pixels;
    EXPECT_EQ(this->host.log().count("iterate_generic"), 0u);
    EXPECT_TRUE(sameImage<TypeParam>(this->output, this->marked));
}

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
        if constexpr (!std::is_same_v<TypeParam, PF_PixelFloat>) {
            EXPECT_TRUE(sameImage<TypeParam>(this->output, this->input));
            continue;
        }
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 10; ++x) {
                const PF_PixelFloat& in = this->input.template at<PF_PixelFloat>(x, y);
                const PF_PixelFloat& out = this->output.template at<PF_PixelFloat>(x, y);
                const auto near = [](float got, float source) {
                    const float want = std::max(source, 0.0f);  // negative floats come out as 0
                    return std::fabs(got - want) <= std::numeric_limits<float>::epsilon() * want;
                };
                EXPECT_TRUE(out.alpha == in.alpha && near(out.red, in.red) && near(out.green, in.green) &&
                            near(out.blue, in.blue))
                    << x << ", " << y << ": " << out.red << " " << out.green << " " << out.blue;
            }
        }
    }
}

class Aborts : public Stages<PF_Pixel> {};

// On one thread a row stage polls before its band and after each of the 8 rows, a column stage after each block
// of columns: in the mat stage, amid the second row pass, after three rows of the last; unblurred, after one row.
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
