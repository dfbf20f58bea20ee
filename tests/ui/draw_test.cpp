// What the controls look like: strokes, their order, colours and widths,
// where they lie on the layer, and how they follow the panel.

#include <algorithm>
#include <cmath>

#include "strokes.h"
#include "ui_host.h"

namespace {

using test::anchors;
using test::colours;
using test::UiHost;

#define EXPECT_POINT(p, px, py)      \
    do {                             \
        EXPECT_NEAR((p).x, px, 1e-3); \
        EXPECT_NEAR((p).y, py, 1e-3); \
    } while (0)

constexpr double kKappa = 0.5522847498307936;

class Draw : public UiHost {
protected:
    host::Drawing draw(const host::Panel& panel = layerPanel()) {
        host::Drawing drawing(panel.width, panel.height);
        result = host.ui().draw(panel, drawing);
        return drawing;
    }
    host::EventResult result;
};

TEST_F(Draw, RadialStrokesInnerThenOuterEllipseThenArrowWithOnePenWidth) {
    const host::Drawing drawing = draw();
    EXPECT_EQ(result.err, PF_Err_NONE);
    EXPECT_TRUE(result.handled());
    EXPECT_EQ(colours(drawing), (std::vector<std::string>{"yellow", "cyan", "red", "red"}));
    for (const host::Stroke& s : drawing.strokes()) {
        EXPECT_FLOAT_EQ(s.width, 2.5f);
    }
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(Draw, EllipsesLieAlongTheDirectionWithRatioAcrossIt) {
    const host::Drawing drawing = draw();
    ASSERT_EQ(drawing.strokes().size(), 4u);
    // Inner: a = 100 along dir (x), b = 50 across; starts below the centre.
    const host::Stroke& inner = drawing.strokes()[0];
    ASSERT_EQ(inner.path.size(), 5u);
    EXPECT_EQ(inner.path[0].kind, host::PathSegment::MoveTo);
    const std::vector<DRAWBOT_PointF32> q = anchors(inner);
    EXPECT_POINT(q[0], 100, 150);
    EXPECT_POINT(q[1], 200, 100);
    EXPECT_POINT(q[2], 100, 50);
    EXPECT_POINT(q[3], 0, 100);
    EXPECT_POINT(q[4], 100, 150);
    // The quarter curves leave and reach their anchors tangentially.
    EXPECT_POINT(inner.path[1].points[0], 100 + kKappa * 100, 150);
    EXPECT_POINT(inner.path[1].points[1], 200, 100 + kKappa * 50);
    // Outer: a = "Blur Amount" + "Inner Width", b = "Ratio" × a.
    const std::vector<DRAWBOT_PointF32> outer = anchors(drawing.strokes()[1]);
    EXPECT_POINT(outer[0], 100, 175);
    EXPECT_POINT(outer[1], 250, 100);
}

TEST_F(Draw, ArrowPointsUpAtDirectionZeroInBothModes) {
    for (const int type : {1, 2}) {
        setPopup("Type", type);
        const host::Drawing drawing = draw();
        const std::vector<host::Stroke>& s = drawing.strokes();
        ASSERT_GE(s.size(), 2u);
        const std::vector<DRAWBOT_PointF32> shaft = anchors(s[s.size() - 2]);
        ASSERT_EQ(shaft.size(), 2u) << "type " << type;
        EXPECT_POINT(shaft[0], 100, 100);
        EXPECT_POINT(shaft[1], 100, 20);
        // A closed triangle: tip, the two base corners, tip.
        std::vector<DRAWBOT_PointF32> head = anchors(s.back());
        ASSERT_EQ(head.size(), 4u) << "type " << type;
        EXPECT_POINT(head[0], 100, 20);
        EXPECT_POINT(head[3], 100, 20);
        std::sort(head.begin() + 1, head.begin() + 3, [](auto a, auto b) { return a.x < b.x; });
        EXPECT_POINT(head[1], 92, 36);
        EXPECT_POINT(head[2], 108, 36);
    }
}

TEST_F(Draw, ArrowTurnsClockwiseWithDirection) {
    setDirection(90);
    const host::Drawing drawing = draw();
    const std::vector<DRAWBOT_PointF32> shaft = anchors(drawing.strokes()[2]);
    EXPECT_POINT(shaft[1], 180, 100);
}

TEST_F(Draw, LinearLinesRunAcrossTheLayerAtPlusMinusTheWidths) {
    setPopup("Type", 2);
    set("Inner Width", 50);
    set("Focus Distance", 30);

    setPopup("Linear Mode", 1);
    EXPECT_EQ(colours(draw()), (std::vector<std::string>{"yellow", "yellow", "cyan", "cyan", "red", "red"}));

    setPopup("Linear Mode", 2);
    const host::Drawing drawing = draw();
    EXPECT_EQ(colours(drawing),
              (std::vector<std::string>{"yellow", "yellow", "cyan", "cyan", "green", "red", "red"}));
    // Horizontal at Direction 0, as long as the 400 × 300 layer's diagonal
    // (500) and centred on the centre; the focus line below the centre,
    // away from the arrow.
    const double expectedY[] = {150, 50, 200, 0, 180};
    for (int i = 0; i < 5; ++i) {
        const std::vector<DRAWBOT_PointF32> line = anchors(drawing.strokes()[static_cast<std::size_t>(i)]);
        ASSERT_EQ(line.size(), 2u);
        EXPECT_POINT(line[0], 350, expectedY[i]);
        EXPECT_POINT(line[1], -150, expectedY[i]);
    }
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(Draw, ZoomScalesLengthsButNotPenWidths) {
    const host::Drawing drawing = draw(layerPanel(2));
    const std::vector<DRAWBOT_PointF32> shaft = anchors(drawing.strokes()[2]);
    EXPECT_POINT(shaft[0], 200, 200);
    EXPECT_POINT(shaft[1], 200, 40);
    for (const host::Stroke& s : drawing.strokes()) {
        EXPECT_FLOAT_EQ(s.width, 2.5f);
    }
    // Drawn for real: the shaft is red, two pixels beside it nothing.
    const PF_Pixel on = drawing.pixel(200, 120);
    EXPECT_EQ(on.alpha, 255);
    EXPECT_EQ(on.red, 255);
    EXPECT_EQ(on.green, 0);
    EXPECT_EQ(drawing.pixel(203, 120).alpha, 0);
}

std::vector<std::string> conversions(const host::CallLog& log) {
    std::vector<std::string> names;
    for (const std::string& name : log.names()) {
        if (name.find("_to_") != std::string::npos) {
            names.push_back(name);
        }
    }
    return names;
}

TEST_F(Draw, EveryPointPassesThroughTheCompositionOnlyInTheCompositionPanel) {
    draw(layerPanel());
    const std::vector<std::string> layerCalls = conversions(host.log());
    ASSERT_FALSE(layerCalls.empty());
    EXPECT_EQ(std::count(layerCalls.begin(), layerCalls.end(), "source_to_frame"),
              static_cast<long>(layerCalls.size()));

    host.log().clear();
    host::Panel comp = layerPanel();
    comp.windowType = PF_Window_COMP;
    draw(comp);
    const std::vector<std::string> compCalls = conversions(host.log());
    ASSERT_EQ(compCalls.size(), 2 * layerCalls.size());
    for (std::size_t i = 0; i < compCalls.size(); i += 2) {
        EXPECT_EQ(compCalls[i], "layer_to_comp");
        EXPECT_EQ(compCalls[i + 1], "source_to_frame");
    }
}

TEST_F(Draw, NullDrawingReferenceDrawsNothingAndReleasesTheSuites) {
    const host::EventResult r = host.ui().send(layerPanel(), PF_Event_DRAW);
    EXPECT_EQ(r.err, PF_Err_NONE);
    EXPECT_TRUE(r.handled());
    EXPECT_EQ(host.log().count("PF_GetDrawingReference"), 1u);
    EXPECT_EQ(host.log().count("NewPen"), 0u);
    EXPECT_EQ(host.log().count("StrokePath"), 0u);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(Draw, UnknownTypeIsHandledWithoutDrawing) {
    setPopup("Type", 3);
    const host::Drawing drawing = draw();
    EXPECT_TRUE(result.handled());
    EXPECT_TRUE(drawing.strokes().empty());
}

TEST_F(Draw, OtherPanelsAreLeftToTheHost) {
    host::Panel effectPanel = layerPanel();
    effectPanel.windowType = PF_Window_EFFECT;
    const host::Drawing drawing = draw(effectPanel);
    EXPECT_EQ(result.err, PF_Err_NONE);
    EXPECT_FALSE(result.handled());
    EXPECT_TRUE(drawing.strokes().empty());
    EXPECT_EQ(host.log().count("AcquireSuite"), 0u);
}

}  // namespace
