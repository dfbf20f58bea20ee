// The pre-render command: the request widened to the whole layer, "Grow
// Bounds", and no record left behind when anything fails. (The record's
// values at the frame's time are the host render tests' and fingerprints'.)

#include <functional>

#include "SmartRender.h"
#include "render_support.h"

namespace {

bool contains(const PF_LRect& outer, const PF_LRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

using test::fake;
using test::PreRenderCall;
using test::sameRect;
using test::show;

class PreRender : public test::EffectHost {
protected:
    // Runs the pre-render on `call`, then lets its record go as the host
    // does; `inspect` sees the record in between.
    PF_Err preRender(PreRenderCall& call, const std::function<void(const PreRenderRecord&)>& inspect = {}) {
        PF_Err err = PF_Err_NONE;
        run([&](PF_InData& in, PF_OutData& out) {
            err = smartPreRender(&in, &out, &call.extra);
            if (auto* handle = static_cast<PF_Handle>(call.output.pre_render_data)) {
                if (inspect) {
                    inspect(*static_cast<const PreRenderRecord*>(*handle));
                }
                ASSERT_NE(call.output.delete_pre_render_data_func, nullptr);
                call.output.delete_pre_render_data_func(handle);
                call.output.delete_pre_render_data_func(nullptr);  // nothing to let go: no harm
            }
        });
        return err;
    }

    // A checkout of the layer that yields `result`, as its maximum too.
    static void answer(const PF_LRect& result) {
        fake().checkoutAnswer.result_rect = result;
        fake().checkoutAnswer.max_result_rect = result;
    }

    PF_LRect checkedOut() const { return fake().requests.at(0).rect; }
};

// At half resolution the layer is half as large, odd sizes rounding down as
// the layer's own downsampled size does.
TEST_F(PreRender, AsksForTheWholeLayerWhateverPartIsRequested) {
    const struct {
        PF_LRect request;
        int width, height, downsample;
        PF_LRect widened;
    } cases[] = {{{20, 30, 80, 90}, 100, 100, 1, {0, 0, 100, 100}}, {{-10, 5, 120, 50}, 100, 100, 1, {-10, 0, 120, 100}},
                 {{0, 0, 0, 0}, 100, 100, 1, {0, 0, 100, 100}},     {{10, 10, 20, 20}, 100, 100, 2, {0, 0, 50, 50}},
                 {{0, 0, 0, 0}, 101, 33, 2, {0, 0, 50, 16}}};
    for (const auto& c : cases) {
        fake().requests.clear();
        host.frame().width = c.width;
        host.frame().height = c.height;
        host.frame().downsampleX = host.frame().downsampleY = PF_RationalScale{1, static_cast<A_u_long>(c.downsample)};
        PreRenderCall call;
        call.input.output_request.rect = c.request;
        answer({0, 0, 100, 100});
        ASSERT_EQ(preRender(call), PF_Err_NONE);
        ASSERT_EQ(fake().requests.size(), 1u);
        EXPECT_TRUE(sameRect(checkedOut(), c.widened)) << show(c.request) << " became " << show(checkedOut());
        EXPECT_TRUE(fake().requests[0].preserve_rgb_of_zero_alpha);
        EXPECT_TRUE(call.output.flags & PF_RenderOutputFlag_RETURNS_EXTRA_PIXELS);
    }
}

// "Grow Bounds" by layer type, on a layer whose content is (10, 10, 60, 40)
// or nothing at all, joined to what the output already states.
TEST_F(PreRender, GrowBoundsWidensTextAndShapeLayersWithContentOnly) {
    const PF_LRect content{10, 10, 60, 40};
    const PF_LRect none{0, 0, 0, 0};
    const PF_LRect whole{0, 0, 100, 100};
    const struct {
        AEGP_ObjectType type;
        bool grow;
        PF_LRect content, stated, result;
    } cases[] = {{AEGP_ObjectType_AV, true, content, none, content},
                 {AEGP_ObjectType_TEXT, true, content, none, whole},
                 {AEGP_ObjectType_VECTOR, true, content, none, whole},
                 {AEGP_ObjectType_TEXT, false, content, none, content},
                 {AEGP_ObjectType_TEXT, true, none, none, none},
                 {AEGP_ObjectType_AV, true, content, {-5, 0, 20, 20}, {-5, 0, 60, 40}}};
    for (const auto& c : cases) {
        host.project().target().layer().type = c.type;
        setCheckbox("Grow Bounds", c.grow);
        answer(c.content);
        PreRenderCall call;
        call.output.result_rect = call.output.max_result_rect = c.stated;
        ASSERT_EQ(preRender(call), PF_Err_NONE);
        const PF_LRect& result = call.output.result_rect;
        SCOPED_TRACE("type " + std::to_string(c.type) + (c.grow ? " growing " : " not growing ") + show(c.content) +
                     " stated " + show(c.stated));
        EXPECT_TRUE(sameRect(result, c.result)) << show(result);
        EXPECT_TRUE(contains(call.output.max_result_rect, result)) << show(call.output.max_result_rect);
    }
}

// Every failure is returned as it came, and leaves no record for anyone to
// free; the last is the layer's checkout.
TEST_F(PreRender, AFailureLeavesNoRecordBehind) {
    host.project().target().layer().type = AEGP_ObjectType_TEXT;
    answer({10, 10, 60, 40});
    const struct {
        const char* call;
        int nth;
        PF_Err err;
    } cases[] = {{"host_new_handle", 1, PF_Err_OUT_OF_MEMORY}, {"host_lock_handle", 1, PF_Err_OUT_OF_MEMORY},
                 {"checkout_param", 5, PF_Err_INVALID_INDEX}, {"AEGP_GetLayerObjectType", 1, PF_Err_INVALID_CALLBACK},
                 {"checkout_layer", 1, PF_Err_OUT_OF_MEMORY}};
    for (const auto& c : cases) {
        host.faults().clear();
        if (std::string(c.call) == "checkout_layer") {
            fake().checkoutErr = c.err;
        } else {
            host.faults().failCall(c.call, c.nth, c.err);
        }
        PreRenderCall call;
        EXPECT_EQ(preRender(call), c.err) << c.call;
        EXPECT_EQ(call.output.pre_render_data, nullptr) << c.call;
        EXPECT_EQ(extraHandles(), 0u) << c.call;
        EXPECT_TRUE(host.problems().empty()) << c.call << ": " << problems();
    }
}

TEST_F(PreRender, AMissingSuiteThrowsWithNothingHeld) {
    host.project().target().layer().type = AEGP_ObjectType_TEXT;
    host.faults().makeUnavailable("AEGP Layer Suite");
    PreRenderCall call;
    run([&](PF_InData& in, PF_OutData& out) {
        EXPECT_THROW(smartPreRender(&in, &out, &call.extra), PF_Err);
    });
    EXPECT_EQ(call.output.pre_render_data, nullptr);
    EXPECT_EQ(extraHandles(), 0u);
    EXPECT_TRUE(host.problems().empty()) << problems();
}

}  // namespace
