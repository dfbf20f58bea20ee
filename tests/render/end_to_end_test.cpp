// Whole frames through the host, stopped: by the user's cancel, or at the
// first stage that fails. (What a finished frame holds is the fingerprints'
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
