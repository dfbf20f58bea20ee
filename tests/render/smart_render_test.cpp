// The render command on its own: what it needs from the host before it
// renders, and the handles it makes and lets go.

#include "SmartRender.h"
#include "render_support.h"

namespace {

using host::Image;
using test::fake;

class SmartRender : public test::EffectHost {
protected:
    void SetUp() override {
        test::EffectHost::SetUp();
        setPopup("Type", 3);  // no stage: the frame alone
        fake().checkoutAnswer.result_rect = PF_LRect{0, 0, 100, 100};
        fake().input = input.world();
        fake().output = output.world();
    }

    // Inside one command: the pre-render, `prepare` on the render's data,
    // the render, then the record let go as the host does.
    PF_Err preAndRender(const std::function<void(PF_InData&, test::RenderCall&)>& prepare) {
        PF_Err err = PF_Err_NONE;
        run([&](PF_InData& in, PF_OutData& out) {
            test::PreRenderCall pre;
            ASSERT_EQ(smartPreRender(&in, &out, &pre.extra), PF_Err_NONE);
            test::RenderCall call;
            call.input.pre_render_data = pre.output.pre_render_data;
            prepare(in, call);
            err = smartRender(&in, &out, &call.extra);
            pre.output.delete_pre_render_data_func(pre.output.pre_render_data);
        });
        return err;
    }

    Image input{PF_PixelFormat_ARGB32, 100, 100};
    Image output{PF_PixelFormat_ARGB32, 100, 100};
};

TEST_F(SmartRender, WithoutTheGlobalOrThePreRenderRecordItRefusesWithBadCallbackParam) {
    EXPECT_EQ(preAndRender([](PF_InData& in, test::RenderCall&) { in.global_data = nullptr; }),
              PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(preAndRender([](PF_InData&, test::RenderCall& call) { call.input.pre_render_data = nullptr; }),
              PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host.log().count("AEGP_GetNumThreads"), 0u) << "nothing rendered";
    EXPECT_TRUE(host.problems().empty()) << problems();
}

TEST_F(SmartRender, NoHandleForTheValuesIsStructDamage) {
    // The pre-render's record is the first handle, the render's values the second.
    host.faults().failCall("host_new_handle", 2, PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(preAndRender([](PF_InData&, test::RenderCall&) {}), PF_Err_INTERNAL_STRUCT_DAMAGED);
    EXPECT_EQ(host.log().count("AEGP_GetNumThreads"), 0u);
    EXPECT_EQ(extraHandles(), 0u);
    EXPECT_TRUE(host.problems().empty()) << problems();
}

TEST_F(SmartRender, WithoutHostHandleCallbacksThePlatformsHandlesServe) {
    EXPECT_EQ(preAndRender([this](PF_InData& in, test::RenderCall&) {
                  in.utils->host_new_handle = nullptr;
                  host.log().clear();
              }),
              PF_Err_NONE);
    EXPECT_EQ(host.log().count("AEGP_GetNumThreads"), 1u) << "rendered";
    EXPECT_EQ(host.log().count("host_new_handle") + host.log().count("host_lock_handle"), 0u);
    EXPECT_EQ(extraHandles(), 0u);
}

}  // namespace
