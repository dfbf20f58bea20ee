// A draw event that fails part-way: its error goes back to the host, no
// exception leaves the plug-in, and everything acquired is given back.

#include "strokes.h"
#include "ui_host.h"

namespace {

using test::UiHost;

class DrawFailure : public UiHost {
protected:
    host::EventResult drawWith(const char* failing, int k, PF_Err err = PF_Err_OUT_OF_MEMORY) {
        host.faults().failCall(failing, k, err);
        drawing = host::Drawing(800, 600);
        return host.ui().draw(layerPanel(), drawing);
    }
    host::Drawing drawing{0, 0};
};

TEST_F(DrawFailure, FirstFailingDrawbotCallEndsTheDrawingWithItsError) {
    // (call, k-th call failing, strokes made before it)
    const struct {
        const char* call;
        int k;
        std::size_t strokes;
    } cases[] = {
        {"PF_GetDrawingReference", 1, 0}, {"GetSurface", 1, 0},   {"GetSupplier", 1, 0},
        {"NewPen", 2, 1},                 {"NewPath", 3, 2},      {"RetainObject", 2, 3},
        {"MoveTo", 1, 0},                 {"BezierTo", 6, 1},     {"LineTo", 2, 3},
        {"StrokePath", 2, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        const host::EventResult r = drawWith(c.call, c.k);
        EXPECT_EQ(r.err, PF_Err_OUT_OF_MEMORY);
        EXPECT_TRUE(r.handled());
        EXPECT_EQ(drawing.strokes().size(), c.strokes);
        EXPECT_TRUE(host.problems().empty()) << host.problems().front();
        host.faults().clear();
    }
}

TEST_F(DrawFailure, FailedReleaseLeavesThePenWithTheHostWhichReportsIt) {
    EXPECT_EQ(drawWith("ReleaseObject", 1).err, PF_Err_NONE);
    EXPECT_EQ(drawing.strokes().size(), 4u);
    ASSERT_EQ(host.problems().size(), 1u);
    EXPECT_NE(host.problems()[0].find("still held"), std::string::npos) << host.problems()[0];
}

TEST_F(DrawFailure, MissingDrawbotSuiteIsReportedToTheUser) {
    host.faults().makeUnavailable("DRAWBOT Path Suite");
    host::Drawing drawing(800, 600);
    EXPECT_EQ(host.ui().draw(layerPanel(), drawing).err, PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_TRUE(drawing.strokes().empty());
    EXPECT_TRUE(host.outData().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE);
    EXPECT_STREQ(host.outData().return_msg, "Not able to acquire AEFX Suite.");
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

// The suite handler throws its missing-suite error; pens, paths and the
// Drawbot suites are given back on the way out.
TEST_F(DrawFailure, SuiteMissingFromTheSuiteHandlerUnwindsAndGivesEverythingBack) {
    host.faults().makeUnavailable("PF Effect Custom UI Suite");
    EXPECT_EQ(drawWith("none", 1).err, PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
    host.faults().clear();

    // The 7th acquisition is the surface suite's, at the first stroke, while
    // the inner ellipse's pen and path are held.
    EXPECT_EQ(drawWith("AcquireSuite", 7).err, PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_TRUE(drawing.strokes().empty());
    EXPECT_GT(host.log().count("NewPath"), 0u);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

}  // namespace
