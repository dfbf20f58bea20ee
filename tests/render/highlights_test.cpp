// Float frames with highlights far above white, as linear compositing has
// them, and with pixels that are infinite or not a number: every pixel
// beyond the blur's reach of them comes out as it does without them.

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "host/render.h"
#include "render_support.h"

namespace {

using host::Image;

constexpr int kWidth = 160;
constexpr int kHeight = 120;


struct Spot {
    int x;
    int y;
};
// Apart from each other and from the edges by more than any reach below.
constexpr Spot kSpots[] = {{40, 35}, {41, 35}, {41, 36}, {118, 84}};

class Highlights : public test::EffectHost {
protected:
    void SetUp() override {
        test::EffectHost::SetUp();
        host.log().setRecording(false);
        test::paint<PF_PixelFloat>(plain);
        test::paint<PF_PixelFloat>(lit);
        setPopup("Type", 1);
        // "Blur Offset" alone: every pass blurs every pixel with a third of
        // it, three passes each way reaching ceil(8) pixels each.
        set("Blur Amount", 0);
        set("Blur Offset", 24);
        reach = 3 * 8;
    }

    std::unique_ptr<Image> render(const Image& layer) {
        host::RenderResult result = host::renderFrame(host, layer);
        EXPECT_EQ(result.err, PF_Err_NONE);
        EXPECT_TRUE(host.problems().empty()) << problems();
        return std::move(result.output);
    }

    bool withinReach(int x, int y) const {
        return std::any_of(std::begin(kSpots), std::end(kSpots), [&](const Spot& s) {
            return std::abs(x - s.x) <= reach && std::abs(y - s.y) <= reach;
        });
    }

    // Renders the layer with `pixel` at every spot and without; the frames
    // agree to 1e-6 beyond the reach, and differ somewhere within it.
    void expectOnlyWithinReach(const PF_PixelFloat& pixel, const std::string& what) {
        for (const Spot& s : kSpots) {
            lit.at<PF_PixelFloat>(s.x, s.y) = pixel;
        }
        const std::unique_ptr<Image> without = render(plain);
        const std::unique_ptr<Image> with = render(lit);
        ASSERT_TRUE(without && with) << what;
        const auto close = [](float u, float v) { return std::fabs(u - v) <= 1e-6f * std::max(1.0f, std::fabs(v)); };
        int beyond = 0;
        int changed = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const PF_PixelFloat& u = with->at<PF_PixelFloat>(x, y);
                const PF_PixelFloat& v = without->at<PF_PixelFloat>(x, y);
                if (withinReach(x, y)) {
                    changed += !test::samePixel(u, v);
                    continue;
                }
                ++beyond;
                ASSERT_TRUE(close(u.alpha, v.alpha) && close(u.red, v.red) && close(u.green, v.green) &&
                            close(u.blue, v.blue))
                    << what << " at (" << x << ", " << y << "): (" << u.alpha << ", " << u.red << ", " << u.green
                    << ", " << u.blue << ") against (" << v.alpha << ", " << v.red << ", " << v.green << ", "
                    << v.blue << ")";
            }
        }
        EXPECT_GT(beyond, kWidth * kHeight / 2) << what;
        EXPECT_GT(changed, 0) << what << ": the spots show within the reach";
    }

    int reach = 0;
    Image plain{PF_PixelFormat_ARGB128, kWidth, kHeight};
    Image lit{PF_PixelFormat_ARGB128, kWidth, kHeight};
};

TEST_F(Highlights, OfSixAtTheDefaultWeightStayWithinTheBlursReach) {
    expectOnlyWithinReach(PF_PixelFloat{1.0f, 6.0f, 6.0f, 4.0f}, "6.0 at \"Weight\" 3");
}

TEST_F(Highlights, OfEightAtTheLargestWeightStayWithinTheBlursReach) {
    set("Weight", 5);
    expectOnlyWithinReach(PF_PixelFloat{1.0f, 8.0f, 8.0f, 8.0f}, "8.0 at \"Weight\" 5");
    setCheckbox("Repeat Edge Pixels", false);
    expectOnlyWithinReach(PF_PixelFloat{0.5f, 8.0f, 0.0f, 8.0f}, "half-transparent 8.0, edges transparent");
}

// Radii from the mat: a circle around the middle, the mat growing linearly
// to 1 at the corners (half the diagonal away), so no pass blurs by more
// than 10 pixels.
TEST_F(Highlights, OfEightStayWithinTheReachOfTheMatsRadii) {
    set("Weight", 5);
    setCenter(kWidth / 2.0, kHeight / 2.0);
    set("Inner Width", 0);
    set("Power", 1);
    set("Blur Amount", 30);
    set("Blur Offset", 0);
    reach = 3 * 10;
    expectOnlyWithinReach(PF_PixelFloat{1.0f, 8.0f, 8.0f, 8.0f}, "8.0 at \"Weight\" 5");
}

// Weighted, an infinite channel or one beyond 57 at "Weight" 5 becomes an
// infinite sample; an alpha that is not a number makes every channel one.
TEST_F(Highlights, InfiniteAndNotANumberPixelsSpoilOnlyTheirReach) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const double weight : {0.0, 5.0}) {
        set("Weight", weight);
        const std::string at = ", \"Weight\" " + std::to_string(static_cast<int>(weight));
        expectOnlyWithinReach(PF_PixelFloat{1.0f, inf, 0.5f, 0.5f}, "an infinite red" + at);
        expectOnlyWithinReach(PF_PixelFloat{1.0f, 100.0f, 0.5f, 3e38f}, "red 100, blue 3e38" + at);
        expectOnlyWithinReach(PF_PixelFloat{nan, 0.5f, 0.5f, 0.5f}, "an alpha not a number" + at);
    }
}

}  // namespace
