// Whole frames through the host, stopped: by the user's cancel, a missing
// suite, or at the first stage that fails. (What a finished frame holds is the fingerprints'
// and the literal render's to guard.)

#include "host/render.h"
#include "render_support.h"

namespace {

using host::Image;

class Stopping : public test::EffectHost {
protected:
    void SetUp() override {
        test::EffectHost::SetUp();
        test::paint<PF_Pixel>(layer);
        set("Blur Amount", 30);
    }

    Image layer{PF_PixelFormat_ARGB32, 640, 360};
};

// The user's cancel at any abort check, a missing suite (bad callback
// param), or the first failing stage (the mat, then three rounds of a column
// and a row blur), ends the render with its code, no frame and nothing held;
// no stage runs after the failing one.
TEST_F(Stopping, TheUsersCancelOrAFailingStageEndsTheRenderWithItsCode) {
    const struct {
        int type, cancelAt, failingStage;
        bool noIterateSuite;
    } cases[] = {{1, 1, 0, false}, {1, 50, 0, false}, {1, 400, 0, false}, {2, 0, 1, false},
                 {2, 0, 2, false}, {2, 0, 5, false},  {2, 0, 7, false},   {3, 0, 0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE("cancel at " + std::to_string(c.cancelAt) + ", failing stage " + std::to_string(c.failingStage));
        setPopup("Type", c.type);
        host.faults().clear();
        host.log().clear();
        host.cancelAtAbortCheck(c.cancelAt);
        if (c.failingStage) {
            host.faults().failCall("iterate_generic", c.failingStage, PF_Err_OUT_OF_MEMORY);
        }
        if (c.noIterateSuite) {
            host.faults().makeUnavailable("AEGP Iterate Suite");
        }
        const host::RenderResult result = host::renderFrame(host, layer);
        EXPECT_EQ(result.err, c.noIterateSuite ? PF_Err_BAD_CALLBACK_PARAM
                              : c.failingStage ? PF_Err_OUT_OF_MEMORY
                                               : PF_Interrupt_CANCEL);
        EXPECT_EQ(result.output, nullptr);
        EXPECT_EQ(extraHandles(), 0u);
        EXPECT_TRUE(host.problems().empty()) << problems();
        if (c.failingStage) {
            EXPECT_EQ(host.log().count("iterate_generic"), static_cast<std::size_t>(c.failingStage));
        }
    }
}

}  // namespace
