// The two render commands one at a time, and the frame the core library's App sets up around a render.

#include <functional>
#include <vector>

#include "SmartRender.h"
#include "default/command.h"
#include "plugin/app.h"
#include "render_support.h"

namespace {

using host::Image;
using test::box;
using test::fake;
using test::PreRenderCall;
using test::RenderCall;

class PreRender : public test::EffectHost {
protected:
    // Runs the pre-render on `call`, then lets its record go as the host does.
    PF_Err preRender(PreRenderCall& call) {
        PF_Err err = PF_Err_NONE;
        run([&](PF_InData& in, PF_OutData& out) {
            try {
                err = smartPreRender(&in, &out, &call.extra);
            } catch (PF_Err thrown) {  // a missing suite, as the entry point would catch it
                err = thrown;
            }
            if (auto* handle = static_cast<PF_Handle>(call.output.pre_render_data)) {
                ASSERT_NE(call.output.delete_pre_render_data_func, nullptr);
                call.output.delete_pre_render_data_func(handle);
                call.output.delete_pre_render_data_func(nullptr);  // nothing to let go: no harm
            }
        });
        return err;
    }

    static void answer(const PF_LRect& result) {
        fake().checkoutAnswer.result_rect = fake().checkoutAnswer.max_result_rect = result;
    }
};

// At half resolution odd sizes round down, as the layer's own downsampled size does.
TEST_F(PreRender, AsksForTheWholeLayerWhateverPartIsRequested) {
    const struct {
        PF_LRect request;
        int width, height, downsample;
        test::Box widened;
    } cases[] = {{{20, 30, 80, 90}, 100, 100, 1, {0, 0, 100, 100}}, {{-10, 5, 120, 50}, 100, 100, 1, {-10, 0, 120, 100}},
                 {{0, 0, 0, 0}, 100, 100, 1, {0, 0, 100, 100}},     {{10, 10, 20, 20}, 100, 100, 2, {0, 0, 50, 50}},
                 {{0, 0, 0, 0}, 101, 33, 2, {0, 0, 50, 16}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(box(c.request)) + " at 1/" + std::to_string(c.downsample));
        fake().requests.clear();
        host.frame().width = c.width;
        host.frame().height = c.height;
        host.frame().downsampleX = host.frame().downsampleY = PF_RationalScale{1, static_cast<A_u_long>(c.downsample)};
        PreRenderCall call;
        call.input.output_request.rect = c.request;
        answer({0, 0, 100, 100});
        ASSERT_EQ(preRender(call), PF_Err_NONE);
        ASSERT_EQ(fake().requests.size(), 1u);
        EXPECT_EQ(box(fake().requests[0].rect), c.widened);
        EXPECT_TRUE(fake().requests[0].preserve_rgb_of_zero_alpha &&
                    (call.output.flags & PF_RenderOutputFlag_RETURNS_EXTRA_PIXELS));
    }
}

// On a layer with content or none, joined to what the output already states.
TEST_F(PreRender, GrowBoundsWidensTextAndShapeLayersWithContentOnly) {
    const PF_LRect content{10, 10, 60, 40};
    const PF_LRect none{0, 0, 0, 0};
    const struct {
        AEGP_ObjectType type;
        bool grow;
        PF_LRect content, stated;
        test::Box result;
    } cases[] = {{AEGP_ObjectType_AV, true, content, none, {10, 10, 60, 40}},
                 {AEGP_ObjectType_TEXT, true, content, none, {0, 0, 100, 100}},
                 {AEGP_ObjectType_VECTOR, true, content, none, {0, 0, 100, 100}},
                 {AEGP_ObjectType_TEXT, false, content, none, {10, 10, 60, 40}},
                 {AEGP_ObjectType_TEXT, true, none, none, {0, 0, 0, 0}},
                 {AEGP_ObjectType_AV, true, content, {-5, 0, 20, 20}, {-5, 0, 60, 40}}};
    for (const auto& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type) + (c.grow ? " growing " : " not growing ") +
                     ::testing::PrintToString(box(c.content)) + " stated " + ::testing::PrintToString(box(c.stated)));
        host.project().target().layer().type = c.type;
        setCheckbox("Grow Bounds", c.grow);
        answer(c.content);
        PreRenderCall call;
        call.output.result_rect = call.output.max_result_rect = c.stated;
        ASSERT_EQ(preRender(call), PF_Err_NONE);
        EXPECT_EQ(box(call.output.result_rect), c.result);
        EXPECT_EQ(box(call.output.max_result_rect), c.result);
    }
}

// A call of -1 makes the suite unavailable; the last failure is the layer's checkout.
TEST_F(PreRender, AFailureOrAMissingSuiteLeavesNoRecordBehind) {
    host.project().target().layer().type = AEGP_ObjectType_TEXT;
    answer({10, 10, 60, 40});
    const struct {
        const char* call;
        int nth;
        PF_Err err;
    } cases[] = {{"host_new_handle", 1, PF_Err_OUT_OF_MEMORY}, {"host_lock_handle", 1, PF_Err_OUT_OF_MEMORY},
                 {"checkout_param", 5, PF_Err_INVALID_INDEX}, {"AEGP_GetLayerObjectType", 1, PF_Err_INVALID_CALLBACK},
                 {"AEGP Layer Suite", -1, PF_Err_BAD_CALLBACK_PARAM}, {"checkout_layer", 1, PF_Err_OUT_OF_MEMORY}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        host.faults().clear();
        if (std::string(c.call) == "checkout_layer") {
            fake().checkoutErr = c.err;
        } else if (c.nth < 0) {
            host.faults().makeUnavailable(c.call);
        } else {
            host.faults().failCall(c.call, c.nth, c.err);
        }
        PreRenderCall call;
        EXPECT_EQ(preRender(call), c.err);
        EXPECT_EQ(call.output.pre_render_data, nullptr);
        EXPECT_EQ(extraHandles(), 0u);
        EXPECT_TRUE(host.problems().empty()) << problems();
    }
}

class SmartRender : public test::EffectHost {
protected:
    void SetUp() override {
        test::EffectHost::SetUp();
        setPopup("Type", 3);  // no stage: the frame alone
        fake().checkoutAnswer.result_rect = PF_LRect{0, 0, 100, 100};
        fake().input = input.world();
        fake().output = output.world();
    }

    // In one command: the pre-render, `prepare`, the render, then the record let go as the host does.
    PF_Err preAndRender(const std::function<void(PF_InData&, RenderCall&)>& prepare) {
        PF_Err err = PF_Err_NONE;
        run([&](PF_InData& in, PF_OutData& out) {
            PreRenderCall pre;
            ASSERT_EQ(smartPreRender(&in, &out, &pre.extra), PF_Err_NONE);
            RenderCall call;
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

// Without the global or the pre-render's record, or without a handle for the values (the first handle is the
// pre-render's record), nothing renders and nothing is left behind.
TEST_F(SmartRender, AMissingRecordOrHandleIsRefusedBeforeRendering) {
    EXPECT_EQ(preAndRender([](PF_InData& in, RenderCall&) { in.global_data = nullptr; }), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(preAndRender([](PF_InData&, RenderCall& call) { call.input.pre_render_data = nullptr; }),
              PF_Err_BAD_CALLBACK_PARAM);
    host.faults().failCall("host_new_handle", 2, PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(preAndRender([](PF_InData&, RenderCall&) {}), PF_Err_INTERNAL_STRUCT_DAMAGED);
    EXPECT_EQ(host.log().count("AEGP_GetNumThreads"), 0u) << "nothing rendered";
    EXPECT_EQ(extraHandles(), 0u);
    EXPECT_TRUE(host.problems().empty()) << problems();
}

TEST_F(SmartRender, WithoutHostHandleCallbacksThePlatformsHandlesServe) {
    EXPECT_EQ(preAndRender([this](PF_InData& in, RenderCall&) {
                  in.utils->host_new_handle = nullptr;
                  host.log().clear();
              }),
              PF_Err_NONE);
    EXPECT_EQ(host.log().count("AEGP_GetNumThreads"), 1u) << "rendered";
    EXPECT_EQ(host.log().count("host_new_handle") + host.log().count("host_lock_handle"), 0u);
    EXPECT_EQ(extraHandles(), 0u);
}

class RecordingApp : public Nerevo::Plugin::App {
public:
    using App::App;

    PF_Err render() override {
        ++renders;
        return PF_Err_NONE;
    }

    int renders = 0;
};

// The core library's frame around a render, before the plug-in's part runs.
TEST_F(SmartRender, TheFirstErrorStopsTheAppsFrameBeforeRendering) {
    const std::vector<ParameterValue> values = test::defaultValues();
    for (const std::string failing : {"AEGP_GetEffectLayer", "AEGP_GetLayerParentComp", "AEGP_GetNewEffectForEffect",
                                      "AEGP_GetNumThreads", "PF_GetPixelFormat", "checkout_output"}) {
        SCOPED_TRACE(failing);
        host.faults().clear();
        if (failing == "checkout_output") {
            fake().outputErr = PF_Err_INVALID_INDEX;
        } else {
            host.faults().failCall(failing, 1, PF_Err_INVALID_INDEX);
        }
        run([&](PF_InData& in, PF_OutData& out) {
            RenderCall call;
            RecordingApp app(1, &in, &out, &call.extra, values.data(), false);
            EXPECT_EQ(app.execute(), PF_Err_INVALID_INDEX);
            EXPECT_EQ(app.renders, 0);
        });
        EXPECT_TRUE(host.problems().empty()) << problems();
    }
}

// Kept in the core library for other effects, though this plug-in renders with its own commands.
TEST_F(SmartRender, TheLibraryDefaultsAskForTheRequestAsItIsAndPassTheInputThrough) {
    fake().checkoutAnswer.result_rect = PF_LRect{20, 30, 80, 90};
    fake().checkoutAnswer.max_result_rect = PF_LRect{0, 0, 100, 100};
    input.at<PF_Pixel>(7, 5) = PF_Pixel{1, 7, 8, 9};
    PreRenderCall pre;
    pre.input.output_request.rect = PF_LRect{20, 30, 80, 90};
    pre.output.result_rect = PF_LRect{0, 0, 30, 40};
    run([&](PF_InData& in, PF_OutData& out) {
        EXPECT_EQ(Nerevo::Default::PreRender(&in, &out, &pre.extra), PF_Err_NONE);
        RenderCall call;
        EXPECT_EQ(Nerevo::Default::SmartRender(&in, &out, &call.extra), PF_Err_NONE);
    });
    ASSERT_EQ(fake().requests.size(), 1u);
    EXPECT_EQ(box(fake().requests[0].rect), (test::Box{20, 30, 80, 90}));
    EXPECT_TRUE(fake().requests[0].preserve_rgb_of_zero_alpha);
    EXPECT_EQ(std::make_pair(box(pre.output.result_rect), box(pre.output.max_result_rect)),
              std::make_pair(test::Box{0, 0, 80, 90}, test::Box{0, 0, 100, 100}));
    EXPECT_EQ(pre.output.pre_render_data, nullptr);
    EXPECT_TRUE(test::samePixel(output.at<PF_Pixel>(7, 5), PF_Pixel{1, 7, 8, 9}));
}

}  // namespace
