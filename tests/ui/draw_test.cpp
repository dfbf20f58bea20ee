// What the controls look like (strokes, their order, colours and widths,
// where they lie on the layer, how they follow the panel) and a drawing that
// fails part-way: its error goes back to the host, no exception leaves the
// plug-in, and everything acquired is given back.

#include <algorithm>
#include <cmath>

#include "AEFX_SuiteHelper.h"
#include "strokes.h"
#include "ui_host.h"

namespace {

using test::anchors;
using test::colours;
using test::expectPoints;
using test::UiHost;

constexpr double kKappa = 0.5522847498307936;

class Draw : public UiHost {
protected:
    host::Drawing draw(const host::Panel& panel = layerPanel()) {
        host::Drawing drawing(panel.width, panel.height);
        result = host.ui().draw(panel, drawing);
        return drawing;
    }
    host::EventResult drawWith(const char* failing, int k) {
        host.faults().failCall(failing, k, PF_Err_OUT_OF_MEMORY);
        drawing = draw();
        return result;
    }
    host::EventResult result;
    host::Drawing drawing{0, 0};
};

// Centre (100, 100), Direction 0, Inner Width 100, Ratio 0.5, Blur Amount 50.
TEST_F(Draw, RadialStrokesInnerThenOuterEllipseThenArrowWithOnePenWidth) {
    const host::Drawing drawing = draw();
    EXPECT_EQ(result.err, PF_Err_NONE);
    EXPECT_TRUE(result.handled());
    EXPECT_EQ(colours(drawing), (std::vector<std::string>{"yellow", "cyan", "red", "red"}));
    for (const host::Stroke& s : drawing.strokes()) {
        EXPECT_FLOAT_EQ(s.width, 2.5f);
    }
    // Inner: a = 100 along dir (x), b = 50 across; starts below the centre.
    const host::Stroke& inner = drawing.strokes()[0];
    ASSERT_EQ(inner.path.size(), 5u);
    EXPECT_EQ(inner.path[0].kind, host::PathSegment::MoveTo);
    expectPoints(anchors(inner), {{100, 150}, {200, 100}, {100, 50}, {0, 100}, {100, 150}});
    // The quarter curves leave and reach their anchors tangentially.
    expectPoints({inner.path[1].points[0], inner.path[1].points[1]}, {{100 + kKappa * 100, 150}, {200, 100 + kKappa * 50}});
    // Outer: a = "Blur Amount" + "Inner Width", b = "Ratio" × a.
    expectPoints(anchors(drawing.strokes()[1]), {{100, 175}, {250, 100}, {100, 25}, {-50, 100}, {100, 175}});
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

// A closed triangle: the tip, the base corners (in the order each mode
// walks them, along its own line direction) and the tip again.
TEST_F(Draw, ArrowPointsUpAtDirectionZeroInBothModesAndTurnsClockwise) {
    const struct {
        int type;
        double firstCornerX, secondCornerX;
    } cases[] = {{1, 92, 108}, {2, 108, 92}};
    for (const auto& c : cases) {
        setPopup("Type", c.type);
        const host::Drawing drawing = draw();
        const std::vector<host::Stroke>& s = drawing.strokes();
        ASSERT_GE(s.size(), 2u);
        SCOPED_TRACE(c.type);
        expectPoints(anchors(s[s.size() - 2]), {{100, 100}, {100, 20}});
        expectPoints(anchors(s.back()), {{100, 20}, {c.firstCornerX, 36}, {c.secondCornerX, 36}, {100, 20}});
    }
    setPopup("Type", 1);
    setDirection(90);
    expectPoints(anchors(draw().strokes()[2]), {{100, 100}, {180, 100}});
}

TEST_F(Draw, LinearLinesRunAcrossTheLayerAtPlusMinusTheWidths) {
    setPopup("Type", 2);
    set("Inner Width", 50);
    set("Focus Distance", 30);
    setPopup("Linear Mode", 1);
    EXPECT_EQ(colours(draw()), (std::vector<std::string>{"yellow", "yellow", "cyan", "cyan", "red", "red"}));
    setPopup("Linear Mode", 2);
    const host::Drawing drawing = draw();
    EXPECT_EQ(colours(drawing), (std::vector<std::string>{"yellow", "yellow", "cyan", "cyan", "green", "red", "red"}));
    // Horizontal at Direction 0, as long as the 400 × 300 layer's diagonal
    // (500) and centred on the centre; the focus line below the centre,
    // away from the arrow.
    const double expectedY[] = {150, 50, 200, 0, 180};
    for (int i = 0; i < 5; ++i) {
        expectPoints(anchors(drawing.strokes()[static_cast<std::size_t>(i)]), {{350, expectedY[i]}, {-150, expectedY[i]}});
    }
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(Draw, ZoomScalesLengthsButNotPenWidths) {
    const host::Drawing drawing = draw(layerPanel(2));
    expectPoints(anchors(drawing.strokes()[2]), {{200, 200}, {200, 40}});
    for (const host::Stroke& s : drawing.strokes()) {
        EXPECT_FLOAT_EQ(s.width, 2.5f);
    }
    // Drawn for real: the shaft is red, two pixels beside it nothing.
    const PF_Pixel on = drawing.pixel(200, 120);
    EXPECT_EQ((std::vector<int>{on.alpha, on.red, on.green, drawing.pixel(203, 120).alpha}),
              (std::vector<int>{255, 255, 0, 0}));
}

TEST_F(Draw, EveryPointPassesThroughTheCompositionOnlyInTheCompositionPanel) {
    const auto conversions = [&](PF_WindowType type) {
        host::Panel panel = layerPanel();
        panel.windowType = type;
        host.log().clear();
        draw(panel);
        std::vector<std::string> names;
        for (const std::string& name : host.log().names()) {
            if (name.find("_to_") != std::string::npos) {
                names.push_back(name);
            }
        }
        return names;
    };
    const std::vector<std::string> layerCalls = conversions(PF_Window_LAYER);
    ASSERT_FALSE(layerCalls.empty());
    EXPECT_EQ(std::count(layerCalls.begin(), layerCalls.end(), "source_to_frame"),
              static_cast<long>(layerCalls.size()));
    const std::vector<std::string> compCalls = conversions(PF_Window_COMP);
    ASSERT_EQ(compCalls.size(), 2 * layerCalls.size());
    for (std::size_t i = 0; i < compCalls.size(); i += 2) {
        EXPECT_EQ(compCalls[i], "layer_to_comp");
        EXPECT_EQ(compCalls[i + 1], "source_to_frame");
    }
}

// A null drawing reference or an unknown "Type" draws nothing, handled; the
// effect's own panel is left to the host without a suite acquired.
TEST_F(Draw, NothingToDrawIsHandledAndOtherPanelsAreLeftToTheHost) {
    const host::EventResult r = host.ui().send(layerPanel(), PF_Event_DRAW);
    EXPECT_EQ(r.err, PF_Err_NONE);
    EXPECT_TRUE(r.handled());
    EXPECT_EQ(host.log().count("PF_GetDrawingReference"), 1u);
    EXPECT_EQ(host.log().count("NewPen"), 0u);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();

    setPopup("Type", 3);
    EXPECT_TRUE(draw().strokes().empty());
    EXPECT_TRUE(result.handled());

    host::Panel effectPanel = layerPanel();
    effectPanel.windowType = PF_Window_EFFECT;
    host.log().clear();
    EXPECT_TRUE(draw(effectPanel).strokes().empty());
    EXPECT_EQ(result.err, PF_Err_NONE);
    EXPECT_FALSE(result.handled());
    EXPECT_EQ(host.log().count("AcquireSuite"), 0u);
}

TEST_F(Draw, FirstFailingDrawbotCallEndsTheDrawingWithItsError) {
    const struct {
        const char* call;
        int k;                // the failing call
        std::size_t strokes;  // made before it
    } cases[] = {
        {"PF_GetDrawingReference", 1, 0}, {"GetSurface", 1, 0}, {"GetSupplier", 1, 0}, {"NewPen", 2, 1},
        {"NewPath", 3, 2},                {"RetainObject", 2, 3}, {"MoveTo", 1, 0},    {"BezierTo", 6, 1},
        {"LineTo", 2, 3},                 {"StrokePath", 2, 1},
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
    EXPECT_EQ(drawWith("ReleaseObject", 1).err, PF_Err_NONE);
    EXPECT_EQ(drawing.strokes().size(), 4u);
    ASSERT_EQ(host.problems().size(), 1u);
    EXPECT_NE(host.problems()[0].find("still held"), std::string::npos) << "the pen the release failed on";
}

TEST_F(Draw, MissingSuitesAreReportedAndEverythingHeldIsGivenBack) {
    host.faults().makeUnavailable("DRAWBOT Path Suite");
    EXPECT_EQ(drawWith("none", 1).err, PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_TRUE(drawing.strokes().empty());
    EXPECT_TRUE(host.outData().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE);
    EXPECT_STREQ(host.outData().return_msg, "Not able to acquire AEFX Suite.");
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
    host.faults().clear();

    // The suite handler throws its missing-suite error; pens, paths and the
    // Drawbot suites are given back on the way out.
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

// Without the host's data there is no suite and no way to write a message;
// the failure is still marked for display.
TEST(SuiteHelper, AcquiringWithoutTheHostsDataFailsWithoutTouchingIt) {
    PF_InData noUtils{};
    for (PF_InData* in : {static_cast<PF_InData*>(nullptr), &noUtils}) {
        PF_OutData out{};
        void* suite = &out;
        EXPECT_EQ(AEFX_AcquireSuite(in, &out, "PF Handle Suite", 2, "no suite", &suite), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(suite, nullptr);
        EXPECT_TRUE(out.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE);
        EXPECT_STREQ(out.return_msg, "");
        EXPECT_EQ(AEFX_ReleaseSuite(in, &out, "PF Handle Suite", 2, "no suite"), PF_Err_BAD_CALLBACK_PARAM);
    }
}

}  // namespace
