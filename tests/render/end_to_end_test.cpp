// The effect as a user sees it: real-sized frames at every depth in both
// types and under both linear laws, sharp where the focus lies and blurred
// away from it; the same pixels on any number of threads; and a render that
// stops at the user's cancel or at the first stage that fails.

#include <cmath>
#include <memory>
#include <string>
#include <type_traits>

#include "host/render.h"
#include "render_support.h"

namespace {

using host::Image;

constexpr int kWidth = 640;
constexpr int kHeight = 360;

// How the focus region is laid out: "Type" and "Linear Mode" items.
struct Look {
    int type;
    int linearMode;
    const char* name;
};
constexpr Look kLooks[] = {{1, 1, "radial"}, {2, 1, "linear power"}, {2, 2, "linear focus distance"}};

// The source pixel, to the last bit at 8 and 16 bits. Weighting takes float
// channels from 0 to 1 in steps of 1 / 32768, so they come back to within one.
template <typename Pixel>
bool unblurred(const Pixel& out, const Pixel& source) {
    if constexpr (std::is_same_v<Pixel, PF_PixelFloat>) {
        const auto near = [](float a, float b) { return std::fabs(a - b) <= 1.0f / 32768.0f; };
        return out.alpha == source.alpha && near(out.red, source.red) && near(out.green, source.green) &&
               near(out.blue, source.blue);
    } else {
        return test::samePixel(out, source);
    }
}

template <typename Pixel>
class Rendering : public test::EffectHost {
protected:
    void SetUp() override {
        test::EffectHost::SetUp();
        host.log().setRecording(false);
        test::paint<Pixel>(layer);
        // A horizontal band (or a circle) through the middle; the focus
        // distance is short enough to blur the top and bottom rows fully.
        setCenter(kWidth / 2.0, kHeight / 2.0);
        setAngle("Direction", 0);
        set("Inner Width", 40);
        set("Blur Amount", 30);
        set("Focus Distance", 100);
    }

    std::unique_ptr<Image> render(const Look& look, int threads = 0) {
        setPopup("Type", look.type);
        setPopup("Linear Mode", look.linearMode);
        host::RenderOptions options;
        options.threads = threads;
        host::RenderResult result = host::renderFrame(host, layer, options);
        EXPECT_EQ(result.err, PF_Err_NONE) << look.name;
        EXPECT_TRUE(host.problems().empty()) << look.name << ": " << problems();
        return std::move(result.output);
    }

    // Pixels of the row that differ from the source.
    int changedInRow(const Image& output, int y) const {
        int changed = 0;
        for (int x = 0; x < kWidth; ++x) {
            changed += !test::samePixel(output.at<Pixel>(x, y), layer.at<Pixel>(x, y));
        }
        return changed;
    }

    Image layer{Nerevo::PixelTraits<Pixel>::format, kWidth, kHeight};
};

TYPED_TEST_SUITE(Rendering, test::PixelTypes);

TYPED_TEST(Rendering, SharpInTheFocusBlurredAwayFromItOpaqueWithin) {
    for (const Look& look : kLooks) {
        const std::unique_ptr<Image> output = this->render(look);
        ASSERT_TRUE(output) << look.name;
        ASSERT_EQ(output->width(), kWidth);
        ASSERT_EQ(output->height(), kHeight);
        const int middle = kHeight / 2;
        for (int y = middle - 5; y <= middle + 5; ++y) {
            for (int x = kWidth / 2 - 20; x < kWidth / 2 + 20; ++x) {
                ASSERT_TRUE(unblurred(output->template at<TypeParam>(x, y), this->layer.template at<TypeParam>(x, y)))
                    << look.name << ": the focus is sharp at (" << x << ", " << y << ")" ;
            }
        }
        EXPECT_GT(this->changedInRow(*output, 10), kWidth * 9 / 10) << look.name << ": the top is blurred";
        EXPECT_GT(this->changedInRow(*output, kHeight - 10), kWidth * 9 / 10) << look.name << ": the bottom is blurred";
        for (const int y : {10, middle, kHeight - 10}) {
            for (const int x : {kWidth / 4, kWidth / 2, 3 * kWidth / 4}) {
                EXPECT_EQ(output->template at<TypeParam>(x, y).alpha, test::channel<TypeParam>(1.0))
                    << look.name << ": an opaque layer stays opaque at (" << x << ", " << y << ")";
            }
        }
    }
}

TYPED_TEST(Rendering, AnyNumberOfThreadsGivesTheSamePixels) {
    const Look& radial = kLooks[0];
    const std::unique_ptr<Image> one = this->render(radial, 1);
    for (const int threads : {2, 7}) {
        const std::unique_ptr<Image> many = this->render(radial, threads);
        ASSERT_TRUE(one && many);
        EXPECT_TRUE(test::identical<TypeParam>(*one, *many)) << threads << " threads";
    }
}

class Stopping : public Rendering<PF_Pixel> {};

TEST_F(Stopping, TheUsersCancelEndsTheRenderWithTheHostsCode) {
    setPopup("Type", 1);
    for (const int check : {1, 50, 400}) {
        host.cancelAtAbortCheck(check);
        const host::RenderResult result = host::renderFrame(host, layer);
        EXPECT_EQ(result.err, PF_Interrupt_CANCEL) << "cancelled at abort check " << check;
        EXPECT_EQ(result.output, nullptr);
        EXPECT_EQ(extraHandles(), 0u);
        EXPECT_TRUE(host.problems().empty()) << problems();
    }
}

// Stages run one after another through iterate_generic: the mat, then three
// rounds of a column and a row blur.
TEST_F(Stopping, TheFirstFailingStageStopsTheRest) {
    setPopup("Type", 2);
    host.log().setRecording(true);
    for (const int stage : {1, 2, 5, 7}) {
        host.faults().clear();
        host.log().clear();
        host.faults().failCall("iterate_generic", stage, PF_Err_OUT_OF_MEMORY);
        const host::RenderResult result = host::renderFrame(host, layer);
        EXPECT_EQ(result.err, PF_Err_OUT_OF_MEMORY) << "stage " << stage;
        EXPECT_EQ(host.log().count("iterate_generic"), static_cast<std::size_t>(stage)) << "stage " << stage;
        EXPECT_TRUE(host.problems().empty()) << problems();
    }
}

}  // namespace
