// What the blur branch writes: three rounds of columns then rows, to the bit
// as the kernel's formula gives them taken one line at a time, on any number
// of threads, at sizes around the column blocks; uniform images at the
// edges. (Radii too large for any line are the blur tests'.)

#include <cmath>
#include <limits>

#include "../blur/blur_support.h"
#include "LinearMatGenerator.h"
#include "OutputConversion.h"
#include "Outputter.h"
#include "RadialMatGenerator.h"
#include "WeightTable.h"
#include "filter/bands.h"
#include "filter/run_filter.h"
#include "shifter_support.h"

namespace {

using namespace ShifterTest;
using BlurTest::Sample;

template <typename Pixel>
class Results : public Shifters {
protected:
    Image input{Nerevo::PixelTraits<Pixel>::format, 11, 7};
    Image output{Nerevo::PixelTraits<Pixel>::format, 11, 7};
};
TYPED_TEST_SUITE(Results, PixelTypes);

// The render as written, one literal line at a time: the mat stage alone,
// then three rounds of every column and every row copied out at their
// stride, blurred by the prefix-sum formula with a wide n (or, for lines
// that need careful sums, by a line loaded on its own) and written back;
// the last row pass through the output conversion.
template <typename Pixel>
std::vector<Pixel> literalRender(host::Host& host, bool linear, const TiltShifterParameters& p, Image& input) {
    const int width = input.width();
    const int height = input.height();
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<Pixel> result(pixels);
    host.setThreadCount(1);
    host.withCommandData([&](PF_InData& in, PF_OutData&) {
        AEGP_SuiteHandler suites(in.pica_basicP);
        const bool weighted = isWeighted(p.weight);
        const std::vector<double> table = makeWeightTable(&in, bpcOf<Pixel>(), p.weight);
        std::vector<double> mat(pixels);
        std::vector<Sample> work(pixels);
        // What both generators' records take alike.
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
                        result[index(l, k)] = convert(blurred, mat[index(l, k)]);
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
    return result;
}

// Both kinds at sizes around the column blocks (wider than one, and not a
// multiple of it), single rows and columns, and one pixel; with more bands
// than rows or columns on seven threads; with chromatic aberration, and the
// linear kind by either law. Float lines with highlights far above white
// take the careful sums.
TYPED_TEST(Results, EveryScheduleWritesTheLiteralRenderToTheBit) {
    const struct {
        int width, height;
    } sizes[] = {{2 * Nerevo::Filter::kColumnBlock + 5, 9}, {Nerevo::Filter::kColumnBlock, 4}, {1, 6}, {13, 1},
                 {1, 1}};
    this->host.log().setRecording(false);  // tens of thousands of table powers per render
    TiltShifterParameters p = parameters();
    for (const auto& size : sizes) {
        for (const bool linear : {false, true}) {
            for (const bool repeat : {true, false}) {
                SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height) +
                             (linear ? " linear" : " radial") + (repeat ? " repeated" : " transparent"));
                Image input(Nerevo::PixelTraits<TypeParam>::format, size.width, size.height);
                paint<TypeParam>(input, patternPixel<TypeParam>);
                if constexpr (std::is_same_v<TypeParam, PF_PixelFloat>) {
                    input.at<TypeParam>(size.width / 2, size.height / 2) = PF_PixelFloat{1.0f, 9.0f, 0.5f, 4.0f};
                }
                p.repeatEdgePixels = repeat;
                p.linearMode = repeat ? linearPower : linearFocusDistance;
                p.chromaticAberration = repeat ? 0.0 : 0.6;
                p.center = {size.width * 0.4, size.height * 0.6};
                const std::vector<TypeParam> want = literalRender<TypeParam>(this->host, linear, p, input);
                for (const int threads : {1, 2, 7}) {
                    this->host.setThreadCount(threads);
                    Image output(Nerevo::PixelTraits<TypeParam>::format, size.width, size.height);
                    const PF_Err err =
                        linear ? this->template execute<LinearTiltShifter>(bpcOf<TypeParam>(), input, output, p)
                               : this->template execute<RadialTiltShifter>(bpcOf<TypeParam>(), input, output, p);
                    ASSERT_EQ(err, PF_Err_NONE);
                    int differing = 0;
                    for (int y = 0; y < size.height; ++y) {
                        for (int x = 0; x < size.width; ++x) {
                            differing += !samePixel(output.at<TypeParam>(x, y),
                                                    want[static_cast<std::size_t>(y * size.width + x)]);
                        }
                    }
                    EXPECT_EQ(differing, 0) << threads << " threads";
                }
            }
        }
    }
}

// Repeated edges keep a uniform image as it is; transparent ones fade its
// edges but keep the hue.
TEST_F(Shifters, AUniformImageStaysUniformOnlyWithRepeatedEdges) {
    Image input(PF_PixelFormat_ARGB32, 12, 9);
    Image output(PF_PixelFormat_ARGB32, 12, 9);
    paint<PF_Pixel>(input, [](int, int) { return PF_Pixel{255, 30, 60, 90}; });
    TiltShifterParameters p = parameters();
    p.vignetting = 0.0;
    ASSERT_EQ(execute<RadialTiltShifter>(Nerevo::bpc8, input, output, p), PF_Err_NONE);
    EXPECT_TRUE(sameImage<PF_Pixel>(output, input));
    p.repeatEdgePixels = false;
    ASSERT_EQ(execute<RadialTiltShifter>(Nerevo::bpc8, input, output, p), PF_Err_NONE);
    EXPECT_TRUE(output.at<PF_Pixel>(0, 0).alpha < 255 && output.at<PF_Pixel>(11, 4).alpha < 255);
    paint<PF_Pixel>(input, [&](int x, int y) { return PF_Pixel{output.at<PF_Pixel>(x, y).alpha, 30, 60, 90}; });
    EXPECT_TRUE(sameImage<PF_Pixel>(output, input)) << "hue kept";
}

// The host may render frames side by side: a render that starts while
// another holds the spare buffers makes its own and writes what it would
// alone, and so does the one holding them.
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

}  // namespace
