// What the controls look like and where they lie, drawings that fail part-way, and the
// fixed-point conversions the controls are placed with.

#include <array>
#include <limits>
#include <map>

#include "AEFX_SuiteHelper.h"
#include "custom_ui/fixed.h"
#include "custom_ui/frame_func.h"
#include "host/drawing.h"
#include "ui_host.h"

namespace {

using test::UiHost;

constexpr double kKappa = 0.5522847498307936;

std::vector<std::string> colours(const host::Drawing& drawing) {
    static const std::map<std::array<float, 4>, std::string> names = {
        {{1, 1, 0, 1}, "yellow"}, {{0, 1, 1, 1}, "cyan"}, {{0, 1, 0, 1}, "green"}, {{1, 0, 0, 1}, "red"}};
    std::vector<std::string> found;
    for (const host::Stroke& s : drawing.strokes()) {
        const auto name = names.find({s.color.red, s.color.green, s.color.blue, s.color.alpha});
        found.push_back(name == names.end() ? "other" : name->second);
    }
    return found;
}

// The points a path passes through: every segment's end.
std::vector<DRAWBOT_PointF32> anchors(const host::Stroke& stroke) {
    std::vector<DRAWBOT_PointF32> points;
    for (const host::PathSegment& s : stroke.path) {
        points.push_back(s.kind == host::PathSegment::BezierTo ? s.points[2] : s.points[0]);
    }
    return points;
}

// The points are where expected, to a thousandth of a pixel, and no more.
void expectPoints(const std::vector<DRAWBOT_PointF32>& points,
                         const std::vector<std::pair<double, double>>& expected) {
    ASSERT_EQ(points.size(), expected.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_NEAR(points[i].x, expected[i].first, 1e-3) << "point " << i;
        EXPECT_NEAR(points[i].y, expected[i].second, 1e-3) << "point " << i;
    }
}

class Draw : public UiHost {
protected:
    host::Drawing draw(const host::Panel& panel = layerPanel()) {
        host::Drawing drawing(panel.width, panel.height);
        result = host.ui().draw(panel, drawing);
        return drawing;
    }
    // The k-th call of `failing` fails, or with k 0 the suite of that name is missing.
    host::EventResult drawWith(const char* failing, int k) {
        if (k) {
            host.faults().failCall(failing, k, PF_Err_OUT_OF_MEMORY);
        } else {
            host.faults().makeUnavailable(failing);
        }
        drawing = draw();
        return result;
    }
    host::EventResult result;
    host::Drawing drawing{0, 0};
};

TEST_F(Draw, RadialStrokesInnerThenOuterEllipseThenArrow) {
    const host::Drawing drawing = draw();
    EXPECT_EQ(result.err, PF_Err_NONE);
    EXPECT_TRUE(result.handled());
    EXPECT_EQ(colours(drawing), (std::vector<std::string>{"yellow", "cyan", "red", "red"}));
    const host::Stroke& inner = drawing.strokes()[0];
    ASSERT_EQ(inner.path.size(), 5u);
    EXPECT_EQ(inner.path[0].kind, host::PathSegment::MoveTo);
    expectPoints(anchors(inner), {{100, 150}, {200, 100}, {100, 50}, {0, 100}, {100, 150}});
    expectPoints({inner.path[1].points[0], inner.path[1].points[1]}, {{100 + kKappa * 100, 150}, {200, 100 + kKappa * 50}});
    expectPoints(anchors(drawing.strokes()[1]), {{100, 175}, {250, 100}, {100, 25}, {-50, 100}, {100, 175}});
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

// Each mode walks the base corners along its own line direction.
TEST_F(Draw, ArrowPointsUpAtDirectionZeroInBothModesAndTurnsClockwise) {
    const struct { int type; double firstCornerX, secondCornerX; } cases[] = {{1, 92, 108}, {2, 108, 92}};
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
    // As long as the layer's diagonal; the focus line away from the arrow.
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
    const PF_Pixel on = drawing.pixel(200, 120);
    EXPECT_EQ((std::vector<int>{on.alpha, on.red, on.green, drawing.pixel(203, 120).alpha}),
              (std::vector<int>{255, 255, 0, 0}));
}

TEST_F(Draw, EveryPointPassesThroughTheCompositionOnlyInTheCompositionPanel) {
    const auto conversions = [&](PF_WindowType type) {
        host.log().clear();
        draw(layerPanel(1, type));
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
    EXPECT_EQ(layerCalls, std::vector<std::string>(layerCalls.size(), "source_to_frame"));
    std::vector<std::string> compCalls;
    for (std::size_t i = 0; i < layerCalls.size(); ++i) {
        compCalls.insert(compCalls.end(), {"layer_to_comp", "source_to_frame"});
    }
    EXPECT_EQ(conversions(PF_Window_COMP), compCalls);
}

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

    host.log().clear();
    EXPECT_TRUE(draw(layerPanel(1, PF_Window_EFFECT)).strokes().empty());
    EXPECT_EQ(result.err, PF_Err_NONE);
    EXPECT_FALSE(result.handled());
    EXPECT_EQ(host.log().count("AcquireSuite"), 0u);
}

// A missing suite makes the suite handler throw; pens, paths and suites are given back on the
// way out. The 7th acquisition is the surface suite's, while the inner ellipse's pen and path are held.
TEST_F(Draw, FirstFailingCallOrMissingSuiteEndsTheDrawingWithItsError) {
    constexpr PF_Err kMemory = PF_Err_OUT_OF_MEMORY, kMissing = PF_Err_BAD_CALLBACK_PARAM;
    const struct {
        const char* call;
        int k;                // the failing call
        std::size_t strokes;  // made before it
        PF_Err err;
    } cases[] = {
        {"PF_GetDrawingReference", 1, 0, kMemory}, {"GetSurface", 1, 0, kMemory}, {"GetSupplier", 1, 0, kMemory},
        {"NewPen", 2, 1, kMemory}, {"NewPath", 3, 2, kMemory}, {"RetainObject", 2, 3, kMemory},
        {"MoveTo", 1, 0, kMemory}, {"BezierTo", 6, 1, kMemory}, {"LineTo", 2, 3, kMemory},
        {"StrokePath", 2, 1, kMemory}, {"AcquireSuite", 7, 0, kMissing}, {"PF Effect Custom UI Suite", 0, 0, kMissing},
        {"DRAWBOT Path Suite", 0, 0, kMissing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        const host::EventResult r = drawWith(c.call, c.k);
        EXPECT_EQ(r.err, c.err);
        EXPECT_TRUE(r.handled() || c.err == kMissing);
        EXPECT_EQ(drawing.strokes().size(), c.strokes);
        EXPECT_TRUE(host.problems().empty()) << host.problems().front();
        host.faults().clear();
    }
    EXPECT_TRUE(host.outData().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE);
    EXPECT_STREQ(host.outData().return_msg, "Not able to acquire AEFX Suite.") << "the Drawbot suites are named";
    EXPECT_EQ(drawWith("ReleaseObject", 1).err, PF_Err_NONE);
    EXPECT_EQ(drawing.strokes().size(), 4u);
    ASSERT_EQ(host.problems().size(), 1u);
    EXPECT_NE(host.problems()[0].find("still held"), std::string::npos) << "the pen the release failed on";
}

// Without the host's data there is no way to write a message; the failure is still marked.
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

// Halves round away from zero; whole pixels round down.
TEST(Fixed, ConversionsRoundAndHoldAtTheLimits) {
    constexpr PF_Fixed max = std::numeric_limits<PF_Fixed>::max();
    constexpr PF_Fixed min = std::numeric_limits<PF_Fixed>::min();
    const std::pair<double, PF_Fixed> fromDouble[] = {
        {0.5 / 65536, 1}, {-0.5 / 65536, -1}, {0.49 / 65536, 0}, {1.25, 81920}, {-1.25, -81920},
        {105000.0, max},  {-105000.0, min},   {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& [value, fixed] : fromDouble) {
        EXPECT_EQ(Nerevo::doubleToFixed(value), fixed) << value;
    }
    const std::pair<int, PF_Fixed> fromWhole[] = {{32767, 32767 * 65536}, {-32768, min}, {40000, max}, {-40000, min}};
    for (const auto& [value, fixed] : fromWhole) {
        EXPECT_EQ(Nerevo::wholeToFixed(value), fixed) << value;
    }
    const std::pair<PF_Fixed, int> toWhole[] = {{-98304, -2}, {163840, 2}, {-65536, -1}, {-1, -1}};
    for (const auto& [fixed, whole] : toWhole) {
        EXPECT_EQ(Nerevo::fixedToWhole(fixed), whole) << fixed;
    }
    EXPECT_EQ(Nerevo::windowType(nullptr), PF_Window_NONE);
    PF_Context* none = nullptr;
    PF_EventExtra extra{};
    extra.contextH = &none;
    EXPECT_EQ(Nerevo::windowType(&extra), PF_Window_NONE);
}

}  // namespace
