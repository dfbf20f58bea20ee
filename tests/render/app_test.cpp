// The frame every command of the core library runs in: what it fetches and
// checks out before the plug-in's part runs, stopping at the first error,
// and what it gives back; and the library's pass-through render commands.

#include <vector>

#include "AEGP_SuiteHandler.h"
#include "default/command.h"
#include "plugin/app.h"
#include "render_support.h"

namespace {

using host::Image;
using test::fake;

class RecordingApp : public Nerevo::Plugin::App {
public:
    using App::App;

    PF_Err command() override {
        ++commands;
        return PF_Err_NONE;
    }
    PF_Err render() override {
        ++renders;
        return PF_Err_NONE;
    }

    int commands = 0;
    int renders = 0;
};

class Frame : public test::EffectHost {
protected:
    void SetUp() override {
        test::EffectHost::SetUp();
        fake().input = input.world();
        fake().output = output.world();
    }

    Image input{PF_PixelFormat_ARGB64, 8, 6};
    Image output{PF_PixelFormat_ARGB64, 8, 6};
    // Any values do: the frame passes them on unread.
    std::vector<ParameterValue> values = test::defaultValues();
};

TEST_F(Frame, SmartRenderHasWorldsDepthThreadsAndTimeBeforeRendering) {
    host.setThreadCount(3);
    host.frame().downsampleX = PF_RationalScale{1, 2};
    host.frame().downsampleY = PF_RationalScale{1, 4};
    host.frame().currentTime = 12;
    run([&](PF_InData& in, PF_OutData& out) {
        test::RenderCall call;
        RecordingApp app(1, &in, &out, &call.extra, values.data(), false);
        ASSERT_EQ(app.execute(), PF_Err_NONE);
        EXPECT_TRUE(app.renders == 1 && app.commands == 0);
        EXPECT_TRUE(app.numThreads == 3 && app.bpc == Nerevo::bpc16);
        EXPECT_TRUE(app.input->world == input.world() && app.output->world == output.world());
        EXPECT_TRUE(app.layer && app.comp && app.effect.get());
        EXPECT_TRUE(app.downsampleX == 0.5 && app.downsampleY == 0.25);
        EXPECT_TRUE(app.currentTime == 12 && app.timeScale == host.frame().timeScale);
    });
    EXPECT_TRUE(host.problems().empty()) << problems();
}

TEST_F(Frame, UserChangedParamRunsTheCommandWithoutWorlds) {
    run([&](PF_InData& in, PF_OutData& out) {
        PF_UserChangedParamExtra extra{Param::BlurAmount};
        RecordingApp app(1, &in, &out, &extra, values.data());
        ASSERT_EQ(app.execute(), PF_Err_NONE);
        EXPECT_TRUE(app.commands == 1 && app.renders == 0);
        EXPECT_TRUE(app.comp && !app.input);
    });
    EXPECT_EQ(host.log().count("AEGP_GetNumThreads"), 0u);
    EXPECT_TRUE(host.problems().empty()) << problems();
}

// The last is the output's checkout.
TEST_F(Frame, TheFirstErrorStopsTheFrameBeforeRendering) {
    for (const std::string failing : {"AEGP_GetEffectLayer", "AEGP_GetLayerParentComp", "AEGP_GetNewEffectForEffect",
                                      "AEGP_GetNumThreads", "PF_GetPixelFormat", "checkout_output"}) {
        host.faults().clear();
        if (failing == "checkout_output") {
            fake().outputErr = PF_Err_INVALID_INDEX;
        } else {
            host.faults().failCall(failing, 1, PF_Err_INVALID_INDEX);
        }
        run([&](PF_InData& in, PF_OutData& out) {
            test::RenderCall call;
            RecordingApp app(1, &in, &out, &call.extra, values.data(), false);
            EXPECT_EQ(app.execute(), PF_Err_INVALID_INDEX) << failing;
            EXPECT_EQ(app.renders, 0) << failing;
        });
        EXPECT_TRUE(host.problems().empty()) << failing << ": " << problems();
    }
}

TEST_F(Frame, LibraryPreRenderTakesTheRequestAsItIs) {
    fake().checkoutAnswer.result_rect = PF_LRect{20, 30, 80, 90};
    fake().checkoutAnswer.max_result_rect = PF_LRect{0, 0, 100, 100};
    test::PreRenderCall call;
    call.input.output_request.rect = PF_LRect{20, 30, 80, 90};
    call.output.result_rect = PF_LRect{0, 0, 30, 40};
    run([&](PF_InData& in, PF_OutData& out) {
        EXPECT_EQ(Nerevo::Default::PreRender(&in, &out, &call.extra), PF_Err_NONE);
    });
    ASSERT_EQ(fake().requests.size(), 1u);
    EXPECT_TRUE(test::sameRect(fake().requests[0].rect, PF_LRect{20, 30, 80, 90}) &&
                fake().requests[0].preserve_rgb_of_zero_alpha);
    EXPECT_TRUE(test::sameRect(call.output.result_rect, PF_LRect{0, 0, 80, 90})) << test::show(call.output.result_rect);
    EXPECT_TRUE(test::sameRect(call.output.max_result_rect, PF_LRect{0, 0, 100, 100}));
    EXPECT_EQ(call.output.pre_render_data, nullptr);
}

TEST_F(Frame, LibraryRenderPassesTheInputThrough) {
    input.at<PF_Pixel16>(3, 2) = PF_Pixel16{32768, 100, 200, 300};
    input.at<PF_Pixel16>(7, 5) = PF_Pixel16{1, 7, 0, 0};
    run([&](PF_InData& in, PF_OutData& out) {
        test::RenderCall call;
        EXPECT_EQ(Nerevo::Default::SmartRender(&in, &out, &call.extra), PF_Err_NONE);
    });
    EXPECT_EQ(output.at<PF_Pixel16>(3, 2).blue, 300);
    EXPECT_EQ(output.at<PF_Pixel16>(7, 5).red, 7);
}

}  // namespace
