// Whole frames through the entry point, as the host renders them, with a
// "Type" that runs no stage: the exchange of the two commands and what they
// leave behind.

#include <algorithm>
#include <string>
#include <vector>

#include "host/render.h"
#include "render_support.h"

namespace {

using host::Image;

// Position of the first logged call of `name`, or the log's length.
std::size_t firstCall(const std::vector<std::string>& names, const std::string& name) {
    return static_cast<std::size_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

class Frames : public test::EffectHost {
protected:
    void SetUp() override {
        test::EffectHost::SetUp();
        setPopup("Type", 3);
    }
};

template <typename Pixel>
class FramesAtDepth : public Frames {};

TYPED_TEST_SUITE(FramesAtDepth, test::PixelTypes);

TYPED_TEST(FramesAtDepth, PreRenderThenRenderThenTheRecordIsFreed) {
    Image layer(Nerevo::PixelTraits<TypeParam>::format, 100, 100);
    test::paint<TypeParam>(layer);
    const host::RenderResult result = host::renderFrame(this->host, layer);
    ASSERT_EQ(result.err, PF_Err_NONE);
    ASSERT_TRUE(result.output && result.output->width() == 100 && result.output->height() == 100);
    EXPECT_EQ(result.output->world()->origin_x, 0);
    EXPECT_TRUE(test::transparent(result.output->template at<TypeParam>(50, 50))) << "no stage ran";

    const std::vector<std::string> names = this->host.log().names();
    EXPECT_LT(firstCall(names, "checkout_param"), firstCall(names, "checkout_layer"));
    EXPECT_LT(firstCall(names, "checkout_layer"), firstCall(names, "checkout_layer_pixels"));
    EXPECT_LT(firstCall(names, "checkout_layer_pixels"), firstCall(names, "checkout_output"));
    EXPECT_LT(firstCall(names, "checkout_output"), firstCall(names, "PF_GetPixelFormat"));
    EXPECT_EQ(this->extraHandles(), 0u);
    EXPECT_TRUE(this->host.problems().empty()) << this->problems();
}

TEST_F(Frames, AMissingSuiteInTheRenderIsBadCallbackParamWithNothingLeft) {
    Image layer(PF_PixelFormat_ARGB32, 100, 100);
    host.faults().makeUnavailable("AEGP Iterate Suite");
    const host::RenderResult result = host::renderFrame(host, layer);
    EXPECT_EQ(result.err, PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(result.output, nullptr);
    EXPECT_EQ(extraHandles(), 0u);
    EXPECT_TRUE(host.problems().empty()) << problems();
}

}  // namespace
