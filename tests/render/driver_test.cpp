// The render driver's preparations: parameter values in render units, the input in the output's frame.

#include <memory>
#include <tuple>
#include <vector>

#include "AEGP_SuiteHandler.h"
#include "App.h"
#include "render_support.h"
#include "world/pixels.h"

namespace {

using host::Image;
using WorldPtr = std::shared_ptr<Nerevo::World>;

class Driver : public test::EffectHost {
protected:
    ParameterUnionValue& value(int index) { return paramAt(values.data(), index).value; }

    TiltShifterParameters convert(double downsample, Image& output) {
        TiltShifterParameters p{};
        run([&](PF_InData& in, PF_OutData&) {
            in.width = 1920;
            in.height = 1080;
            p = renderParameters(&in, values.data(), downsample, std::make_shared<Nerevo::World>(output.world()));
        });
        return p;
    }

    std::vector<ParameterValue> values = test::defaultValues();
};

// At half resolution lengths halve; ratios, exponents, percentages and the centre (from the output's origin) not.
TEST_F(Driver, ParametersTakeTheirRenderForms) {
    value(Param::BlurAmount).d = 50;
    value(Param::InnerWidth).d = 100;
    value(Param::Weight).d = 3;
    value(Param::Direction).d = 90;
    value(Param::Center).point[0] = 480;
    value(Param::Center).point[1] = 270;
    value(Param::BlurOffset).d = 4;
    value(Param::FocusDistance).d = 1000;
    value(Param::ChromaticAberration).d = 3;
    value(Param::LinearMode).i = 2;
    value(Param::Vignetting).d = 250;
    value(Param::VignettingColor).color[1] = 0.5f;
    value(Param::BlendingMode).i = 9;  // the separator after "Hard Light"
    value(Param::RepeatEdgePixels).b = false;
    Image output(PF_PixelFormat_ARGB32, 100, 80, PF_Point{-10, -5});
    const TiltShifterParameters p = convert(0.5, output);
    EXPECT_NEAR(p.halfDiagonal, 550.727, 5e-4) << "a quarter of the full frame's diagonal";
    EXPECT_EQ(std::make_tuple(p.blurAmount, p.innerWidth, p.blurOffset, p.focusDistance, p.chromaticAberration),
              std::make_tuple(25.0, 50.0, 2.0, 500.0, 1.5));
    EXPECT_EQ(std::make_tuple(p.weight, p.direction, p.center.x, p.center.y, p.ratio, p.power),
              std::make_tuple(1.03, 1.5707963267948966, 490.0, 275.0, 1.0, 2.0));
    EXPECT_EQ(std::make_tuple(p.linearMode, p.vignetting, p.repeatEdgePixels, p.vignettingColor.a, p.vignettingColor.g),
              std::make_tuple(2, 2.5, false, 1.0f, 0.5f));
    EXPECT_EQ(p.blendingMode, Nerevo::BlendingMode::hardlight);
}

template <typename Pixel>
class Framing : public test::EffectHost {
protected:
    static constexpr PF_PixelFormat kFormat = Nerevo::PixelTraits<Pixel>::format;

    // The input framed for the output, or null when it was taken as it is.
    std::unique_ptr<Image> frame(Image* input, Image& output) {
        std::unique_ptr<Image> copy;
        run([&](PF_InData& in, PF_OutData& out) {
            AEGP_SuiteHandler suites(in.pica_basicP);
            const WorldPtr inputWorld = std::make_shared<Nerevo::World>(input ? input->world() : nullptr);
            const WorldPtr outputWorld = std::make_shared<Nerevo::World>(output.world());
            WorldPtr framed;
            ASSERT_EQ(frameInput(&in, &out, suites, test::bpcOf<Pixel>(), inputWorld, outputWorld, framed), 0);
            if (framed == inputWorld) {
                return;
            }
            const PF_LayerDef& world = *framed->world;
            copy = std::make_unique<Image>(kFormat, world.width, world.height);
            test::paint<Pixel>(*copy, [&](int x, int y) { return Nerevo::Pixels::at<Pixel>(world, x, y); });
        });
        EXPECT_TRUE(host.problems().empty()) << problems();
        return copy;
    }
};

TYPED_TEST_SUITE(Framing, test::PixelTypes);

TYPED_TEST(Framing, WorldsOfOneSizeAreTakenAsTheyAreOnlyInOnePlaceElseFramed) {
    Image input(this->kFormat, 20, 10, PF_Point{-4, 0});
    test::paint<TypeParam>(input);
    Image alike(this->kFormat, 20, 10, PF_Point{-4, 0});
    EXPECT_EQ(this->frame(&input, alike), nullptr);
    EXPECT_EQ(this->host.log().count("new_world") + this->host.log().count("PF_NewWorld"), 0u);

    // Apart: (0, 0) of the input is (4, 3) of the output.
    Image apart(this->kFormat, 20, 10, PF_Point{-8, -3});
    const std::unique_ptr<Image> framed = this->frame(&input, apart);
    ASSERT_TRUE(framed);
    const auto at = [&](int x, int y) { return framed->template at<TypeParam>(x, y); };
    EXPECT_TRUE(test::samePixel(at(3, 5), TypeParam{}) && test::samePixel(at(5, 2), TypeParam{})) << "outside";
    EXPECT_TRUE(test::samePixel(at(4, 5), input.at<TypeParam>(0, 2)) &&
                test::samePixel(at(19, 9), input.at<TypeParam>(15, 6)));

    const std::unique_ptr<Image> empty = this->frame(nullptr, alike);
    ASSERT_TRUE(empty && empty->width() == 20) << "an input without pixels leaves a transparent frame";
    EXPECT_TRUE(test::samePixel(empty->template at<TypeParam>(5, 5), TypeParam{}));
}

}  // namespace
