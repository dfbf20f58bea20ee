// The on-composition controls: what they look like and where they lie, grabbing and dragging
// them, failures part-way, and the fixed-point conversions they are placed with.

#include <array>
#include <cmath>
#include <limits>
#include <map>

#include "AEFX_SuiteHelper.h"
#include "command_host.h"
#include "custom_ui/fixed.h"
#include "custom_ui/frame_func.h"
#include "host/drawing.h"
#include "host/panel.h"

namespace {

// A 400 × 300 layer and the values the controls are built from.
class UiHost : public test::CommandHost {
protected:
    void TearDown() override { expectAllGivenBack(); }
    void SetUp() override {
        CommandHost::SetUp();
        host.frame().width = 400;
        host.frame().height = 300;
        setPopup("Type", 1);
        def("Center").u.td.x_value = def("Center").u.td.y_value = 100 * 65536;
        setDirection(0);
        set("Inner Width", 100);
        set("Ratio", 0.5);
        set("Blur Amount", 50);
    }

    void setDirection(int degrees) { def("Direction").u.ad.value = degrees * 65536; }
    double direction() { return def("Direction").u.ad.value / 65536.0; }

    // Unscrolled: frame = layer × zoom.
    static host::Panel layerPanel(double zoom = 1, PF_WindowType type = PF_Window_LAYER) {
        host::Panel panel;
        panel.windowType = type;
        panel.width = 800;
        panel.height = 600;
        panel.zoom = zoom;
        return panel;
    }
};

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

std::vector<DRAWBOT_PointF32> anchors(const host::Stroke& stroke) {
    std::vector<DRAWBOT_PointF32> points;
    for (const host::PathSegment& s : stroke.path) {
        points.push_back(s.kind == host::PathSegment::BezierTo ? s.points[2] : s.points[0]);
    }
    return points;
}

void expectPoints(const std::vector<DRAWBOT_PointF32>& points, const std::vector<std::pair<double, double>>& expected) {
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
        k ? host.faults().failCall(failing, k, PF_Err_OUT_OF_MEMORY) : host.faults().makeUnavailable(failing);
        drawing = draw();
        return result;
    }
    host::EventResult result;
    host::Drawing drawing{0, 0};
};

TEST_F(Draw, RadialStrokesInnerThenOuterEllipseThenArrow) {
    const host::Drawing drawing = draw();
    EXPECT_EQ(std::make_pair(result.err, result.handled()), std::make_pair(PF_Err{PF_Err_NONE}, true));
    EXPECT_EQ(colours(drawing), (std::vector<std::string>{"yellow", "cyan", "red", "red"}));
    const host::Stroke& inner = drawing.strokes()[0];
    ASSERT_EQ(inner.path.size(), 5u);
    EXPECT_EQ(inner.path[0].kind, host::PathSegment::MoveTo);
    expectPoints(anchors(inner), {{100, 150}, {200, 100}, {100, 50}, {0, 100}, {100, 150}});
    expectPoints({inner.path[1].points[0], inner.path[1].points[1]},
                 {{100 + kKappa * 100, 150}, {200, 100 + kKappa * 50}});
    expectPoints(anchors(drawing.strokes()[1]), {{100, 175}, {250, 100}, {100, 25}, {-50, 100}, {100, 175}});
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
    for (std::size_t i = 0; i < 5; ++i) {
        expectPoints(anchors(drawing.strokes()[i]), {{350, expectedY[i]}, {-150, expectedY[i]}});
    }
}

TEST_F(Draw, NothingToDrawIsHandledAndOtherPanelsAreLeftToTheHost) {
    const host::EventResult r = host.ui().send(layerPanel(), PF_Event_DRAW);
    EXPECT_EQ(std::make_pair(r.err, r.handled()), std::make_pair(PF_Err{PF_Err_NONE}, true));
    EXPECT_EQ(host.log().count("PF_GetDrawingReference"), 1u);
    EXPECT_EQ(host.log().count("NewPen"), 0u);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
    setPopup("Type", 3);
    EXPECT_TRUE(draw().strokes().empty());
    EXPECT_TRUE(result.handled());
    host.log().clear();
    EXPECT_TRUE(draw(layerPanel(1, PF_Window_EFFECT)).strokes().empty());
    EXPECT_EQ(std::make_pair(result.err, result.handled()), std::make_pair(PF_Err{PF_Err_NONE}, false));
    EXPECT_EQ(host.log().count("AcquireSuite"), 0u);
}

// A missing suite makes the suite handler throw; pens, paths and suites are given back on the
// way out. The 7th acquisition is the surface suite's, while the inner ellipse's pen and path are held.
TEST_F(Draw, FirstFailingCallOrMissingSuiteEndsTheDrawingWithItsError) {
    constexpr PF_Err kMemory = PF_Err_OUT_OF_MEMORY, kMissing = PF_Err_BAD_CALLBACK_PARAM;
    const struct { const char* call; int k; std::size_t strokes; PF_Err err; } cases[] = {  // strokes made before
        {"PF_GetDrawingReference", 1, 0, kMemory}, {"GetSurface", 1, 0, kMemory}, {"GetSupplier", 1, 0, kMemory},
        {"NewPen", 2, 1, kMemory}, {"NewPath", 3, 2, kMemory}, {"RetainObject", 2, 3, kMemory},
        {"MoveTo", 1, 0, kMemory}, {"BezierTo", 6, 1, kMemory}, {"LineTo", 2, 3, kMemory},
        {"StrokePath", 2, 1, kMemory}, {"AcquireSuite", 7, 0, kMissing}, {"PF Effect Custom UI Suite", 0, 0, kMissing},
        {"DRAWBOT Path Suite", 0, 0, kMissing},
    };
    EXPECT_EQ(drawWith("ReleaseObject", 1).err, PF_Err_NONE);
    EXPECT_EQ(drawing.strokes().size(), 4u);
    ASSERT_EQ(host.problems().size(), 1u);
    EXPECT_NE(host.problems()[0].find("still held"), std::string::npos) << "the pen the release failed on";
    host.faults().clear();
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
    constexpr PF_Fixed max = std::numeric_limits<PF_Fixed>::max(), min = std::numeric_limits<PF_Fixed>::min();
    using Nerevo::doubleToFixed, Nerevo::wholeToFixed, Nerevo::fixedToWhole;
    EXPECT_EQ((std::vector<PF_Fixed>{doubleToFixed(0.5 / 65536), doubleToFixed(-0.5 / 65536),
                                     doubleToFixed(0.49 / 65536), doubleToFixed(1.25), doubleToFixed(-1.25),
                                     doubleToFixed(105000.0), doubleToFixed(-105000.0),
                                     doubleToFixed(std::numeric_limits<double>::quiet_NaN())}),
              (std::vector<PF_Fixed>{1, -1, 0, 81920, -81920, max, min, 0}));
    EXPECT_EQ((std::vector<PF_Fixed>{wholeToFixed(32767), wholeToFixed(-32768), wholeToFixed(40000),
                                     wholeToFixed(-40000)}),
              (std::vector<PF_Fixed>{32767 * 65536, min, max, min}));
    EXPECT_EQ((std::vector<int>{fixedToWhole(-98304), fixedToWhole(163840), fixedToWhole(-65536), fixedToWhole(-1)}),
              (std::vector<int>{-2, 2, -1, -1}));
    EXPECT_EQ(Nerevo::windowType(nullptr), PF_Window_NONE);
    PF_Context* none = nullptr;
    PF_EventExtra extra{};
    extra.contextH = &none;
    EXPECT_EQ(Nerevo::windowType(&extra), PF_Window_NONE);
}

constexpr A_intptr_t kNone = 0, kOuter = 1, kArrow = 2, kInner = 3, kFocus = 4;

class Edit : public UiHost {
protected:
    A_intptr_t grabbed(A_long h, A_long v, const host::Panel& panel = layerPanel()) {
        const host::EventResult r = host.ui().click(panel, PF_Point{h, v});
        EXPECT_EQ(r.err, PF_Err_NONE);
        EXPECT_EQ(r.handled(), r.click().send_drag != 0) << "at (" << h << ", " << v << ")";
        return r.click().send_drag ? r.click().continue_refcon[0] : kNone;
    }
    host::Gesture drag(PF_Point from, PF_Point to, PF_Modifiers modifiers = PF_Mod_NONE, int steps = 4,
                       const host::Panel& panel = layerPanel()) {
        return host.ui().drag(panel, from, to, steps, modifiers);
    }
    // Degrees run clockwise from straight up; 70 pixels out lies within the arrow head.
    static PF_Point at(double degrees, double radius = 60) {
        const double a = degrees * 3.14159265358979323846 / 180;
        return PF_Point{static_cast<A_long>(std::lround(100 + radius * std::sin(a))),
                        static_cast<A_long>(std::lround(100 - radius * std::cos(a)))};
    }
    PF_Point arrowHead() { return at(direction(), 70); }
    static PF_EventUnion draggingOuter() {
        PF_EventUnion info{};
        info.do_click.screen_point = PF_Point{280, 100};
        info.do_click.send_drag = true;
        info.do_click.continue_refcon[0] = kOuter;
        return info;
    }
};

// Radial: the inner ellipse reaches 100 along x and 50 along y, the outer 150 and 75; the arrow
// head's base runs from (92, 36) to (108, 36), where an Inner Width of 128 puts the inner ellipse.
// Linear (Inner Width 50): inner lines at y 150 and 50, outer at 200 and 0, the focus line (one
// side only) at 180, all spanning the layer's diagonal, x −150 to 350.
TEST_F(Edit, ClicksGrabTheHandleUnderThePointerWithinFiveScreenPixels) {
    using Clicks = std::vector<std::tuple<A_long, A_long, A_intptr_t>>;
    const struct { int type, mode; double inner, focus, zoom; Clicks clicks; } cases[] = {
        // Last three: between the outlines, beyond both along the direction, the centre.
        {1, 1, 100, 30, 1, {{100, 30, kArrow}, {250, 102, kOuter}, {200, 102, kInner}, {100, 148, kInner},
                            {100, 174, kOuter}, {240, 100, kNone}, {300, 100, kNone}, {100, 100, kNone}}},
        // The head's edge and tip are no hit: the outlines come next.
        {1, 1, 128, 30, 1, {{100, 36, kInner}, {100, 35, kArrow}, {100, 20, kNone}}},
        {2, 1, 50, 30, 1, {{100, 153, kInner}, {0, 47, kInner}, {100, 200, kOuter}, {100, 2, kOuter}, {100, 180, kNone},
                           {100, 30, kArrow}, {349, 150, kInner}, {350, 150, kNone}, {-149, 150, kInner},
                           {-150, 150, kNone}}},
        {2, 2, 50, 30, 1, {{100, 180, kFocus}, {100, 20, kNone}}},
        // Where the focus line lies on the outer line, the focus line wins.
        {2, 2, 50, 50, 1, {{100, 200, kFocus}, {100, 0, kOuter}}},
        {2, 1, 50, 30, 2, {{100, 304, kInner}, {100, 306, kNone}}},   // 2 and 3 layer pixels off
        {2, 1, 50, 30, 0.5, {{100, 79, kInner}, {100, 80, kNone}}},  // 8 and 10
    };
    for (const auto& c : cases) {
        setPopup("Type", c.type);
        setPopup("Linear Mode", c.mode);
        set("Inner Width", c.inner);
        set("Focus Distance", c.focus);
        for (const auto& [h, v, handle] : c.clicks) {
            EXPECT_EQ(grabbed(h, v, layerPanel(c.zoom)), handle)
                << "type " << c.type << " mode " << c.mode << " zoom " << c.zoom << " at (" << h << ", " << v << ")";
        }
    }
    setPopup("Type", 1);
    const host::EventResult miss = host.ui().click(layerPanel(), PF_Point{300, 250});
    EXPECT_FALSE(miss.handled() || miss.click().send_drag || miss.click().continue_refcon[0] || !miss.changed.empty());
}

// Radial with Shift: the inner ellipse sets the ratio, unchanged where none fits, held at its
// minimum on the direction axis. Linear with Shift in focus-distance mode: the focus line stays.
TEST_F(Edit, DragsSetTheGrabbedParameterFromThePointersDistance) {
    const struct {
        int type, mode; double inner, focus; PF_Point from, to; PF_Modifiers modifiers;
        const char* param; double value; const char* kept; bool changes;  // kept: keeps its value, or null
    } cases[] = {
        {1, 1, 100, 30, {250, 100}, {270, 100}, PF_Mod_NONE, "Blur Amount", 70, "Inner Width", true},
        {1, 1, 100, 30, {250, 100}, {150, 100}, PF_Mod_NONE, "Blur Amount", 0, nullptr, true},
        {1, 1, 100, 30, {100, 50}, {100, 60}, PF_Mod_NONE, "Inner Width", 80, "Blur Amount", true},
        {1, 1, 100, 30, {100, 150}, {100, 180}, PF_Mod_SHIFT_KEY, "Ratio", 0.8, "Inner Width", true},
        {1, 1, 100, 30, {100, 150}, {260, 100}, PF_Mod_SHIFT_KEY, "Ratio", 0.5, nullptr, false},
        {1, 1, 100, 30, {100, 150}, {200, 120}, PF_Mod_SHIFT_KEY, "Ratio", 0.5, nullptr, false},
        {1, 1, 100, 30, {100, 150}, {150, 100}, PF_Mod_SHIFT_KEY, "Ratio", 0.0001, nullptr, true},
        {2, 2, 50, 30, {100, 200}, {100, 240}, PF_Mod_NONE, "Blur Amount", 90, "Inner Width", true},
        {2, 2, 50, 30, {100, 180}, {100, 260}, PF_Mod_NONE, "Focus Distance", 110, "Inner Width", true},
        {2, 2, 50, 30, {100, 50}, {100, 130}, PF_Mod_NONE, "Inner Width", 30, "Blur Amount", true},
        {2, 2, 100, 1000, {100, 200}, {100, 250}, PF_Mod_SHIFT_KEY, "Focus Distance", 950, nullptr, true},
        {2, 1, 100, 1000, {100, 200}, {100, 250}, PF_Mod_SHIFT_KEY, "Inner Width", 150, "Focus Distance", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "type " << c.type << " from (" << c.from.h << ", " << c.from.v
                                          << ") to (" << c.to.h << ", " << c.to.v << ")");
        setPopup("Type", c.type);
        setPopup("Linear Mode", c.mode);
        set("Inner Width", c.inner);
        set("Focus Distance", c.focus);
        set("Blur Amount", 50);
        set("Ratio", 0.5);
        const double kept = c.kept ? get(c.kept) : 0;
        const host::Gesture g = drag(c.from, c.to, c.modifiers, c.changes ? 4 : 1);
        EXPECT_EQ(g.err(), PF_Err_NONE);
        EXPECT_FLOAT_EQ(static_cast<float>(get(c.param)), static_cast<float>(c.value));
        EXPECT_EQ(g.changed.empty(), !c.changes);
        if (c.kept) {
            EXPECT_DOUBLE_EQ(get(c.kept), kept);
        }
    }
}

// Shift snaps to multiples of 45 degrees.
TEST_F(Edit, DirectionFollowsTheArrowHeadAcrossWholeTurns) {
    const struct { int start; double pointer; PF_Modifiers modifiers; double written; } cases[] = {
        {350, 10, PF_Mod_NONE, 370},   {-350, -10, PF_Mod_NONE, -370}, {350, 10, PF_Mod_SHIFT_KEY, 360},
        {0, 30, PF_Mod_SHIFT_KEY, 45}, {0, -30, PF_Mod_SHIFT_KEY, -45}, {0, 20, PF_Mod_SHIFT_KEY, 0},
        {0, -20, PF_Mod_SHIFT_KEY, 0}, {0, 100, PF_Mod_SHIFT_KEY, 90},  {0, 170, PF_Mod_SHIFT_KEY, 180}};
    for (const auto& c : cases) {
        setDirection(c.start);
        const host::Gesture g = drag(arrowHead(), at(c.pointer), c.modifiers);
        EXPECT_NEAR(direction(), c.written, c.modifiers ? 0 : 1) << "from " << c.start << " to " << c.pointer;
        EXPECT_EQ(g.changed, (std::vector<int>{index("Direction")}));
    }
}

TEST_F(Edit, GestureEndsWithTheLastDragAndAClickWhileDraggingIsADrag) {
    const host::Gesture g = drag({250, 100}, {262, 100}, PF_Mod_NONE, 3);
    std::vector<std::tuple<PF_EventType, bool, A_intptr_t, PF_Boolean>> events;
    for (const host::EventResult& e : g.events) {
        events.emplace_back(e.extra.e_type, e.handled(), e.click().continue_refcon[0], e.click().send_drag);
    }
    EXPECT_EQ(events, (decltype(events){{PF_Event_DO_CLICK, true, kOuter, true}, {PF_Event_DRAG, true, kOuter, true},
                                        {PF_Event_DRAG, true, kOuter, true}, {PF_Event_DRAG, true, kNone, false}}));
    const PF_DoClickEventInfo& last = g.events.back().click();
    EXPECT_EQ(std::make_pair(last.continue_refcon[1], last.continue_refcon[2]),
              std::make_pair(A_intptr_t{262 * 65536}, A_intptr_t{100 * 65536})) << "the pointer in 16.16";
    EXPECT_DOUBLE_EQ(get("Blur Amount"), 62);
    const host::EventResult r = host.ui().send(layerPanel(), PF_Event_DO_CLICK, draggingOuter());
    EXPECT_EQ(std::make_tuple(r.extra.e_type, r.handled(), r.changed),
              std::make_tuple(PF_Event_DRAG, true, std::vector<int>{index("Blur Amount")}));
    EXPECT_DOUBLE_EQ(get("Blur Amount"), 80);
}

TEST_F(Edit, OtherEventsAndPanelsAreLeftToTheHost) {
    for (const PF_EventType type : {PF_Event_NEW_CONTEXT, PF_Event_IDLE, PF_Event_ADJUST_CURSOR, PF_Event_KEYDOWN}) {
        host.log().clear();
        const host::EventResult r = host.ui().send(layerPanel(), type);
        EXPECT_EQ(r.err, PF_Err_NONE) << type;
        EXPECT_FALSE(r.handled()) << type;
        EXPECT_TRUE(host.log().calls().empty()) << type;
    }
    EXPECT_EQ(grabbed(100, 30, layerPanel(1, PF_Window_EFFECT)), kNone);
    EXPECT_FALSE(host.ui().send(layerPanel(1, PF_Window_EFFECT), PF_Event_DRAG, draggingOuter()).handled());
    setPopup("Type", 3);
    EXPECT_EQ(grabbed(100, 30), kNone);
    const host::EventResult r = host.ui().send(layerPanel(), PF_Event_DRAG, draggingOuter());
    EXPECT_FALSE(r.handled());
    EXPECT_TRUE(r.changed.empty());
}

// The layer turned, enlarged and moved within a scrolled composition panel.
class CompositionEdit : public Edit {
protected:
    static host::Panel panel() {
        host::Panel p = layerPanel(1, PF_Window_COMP);
        p.scroll = {-40, 30};
        p.layer.anchor = {200, 150};
        p.layer.position = {320, 260};
        p.layer.scale = {1.5, 1.5};
        p.layer.rotation = 30;
        return p;
    }
    static PF_Point onScreen(A_FloatPoint layer) {
        const A_FloatPoint f = panel().layerToFrame(layer);
        return PF_Point{static_cast<A_long>(std::lround(f.x)), static_cast<A_long>(std::lround(f.y))};
    }
};

TEST_F(CompositionEdit, ControlsFollowTheEnlargedLayerButNotTheirPensAndClicksAndDragsFindThemAgain) {
    host::Drawing plain(800, 600), drawing(800, 600);
    ASSERT_EQ(host.ui().draw(layerPanel(), plain).err, PF_Err_NONE);
    ASSERT_EQ(host.ui().draw(panel(), drawing).err, PF_Err_NONE);
    ASSERT_EQ(drawing.strokes().size(), plain.strokes().size());
    for (std::size_t s = 0; s < plain.strokes().size(); ++s) {  // every point, Bézier handles too
        const std::vector<host::PathSegment>& from = plain.strokes()[s].path;
        ASSERT_EQ(drawing.strokes()[s].path.size(), from.size());
        EXPECT_FLOAT_EQ(drawing.strokes()[s].width, 2.5f) << "pens keep their width in screen pixels";
        for (std::size_t i = 0; i < from.size(); ++i) {
            for (int k = 0; k < (from[i].kind == host::PathSegment::BezierTo ? 3 : 1); ++k) {
                const A_FloatPoint want = panel().layerToFrame({from[i].points[k].x, from[i].points[k].y});
                const DRAWBOT_PointF32 got = drawing.strokes()[s].path[i].points[k];
                EXPECT_TRUE(std::abs(got.x - want.x) < 1e-3 && std::abs(got.y - want.y) < 1e-3) << s << " " << i;
            }
        }
    }
    const host::EventResult r = host.ui().click(panel(), onScreen({100, 28}));
    EXPECT_EQ(r.click().continue_refcon[0], kArrow);
    EXPECT_NEAR(r.click().continue_refcon[1] / 65536.0, 100, 1);
    EXPECT_NEAR(r.click().continue_refcon[2] / 65536.0, 28, 1);
    const host::Gesture g = drag(onScreen({250, 100}), onScreen({270, 100}), PF_Mod_NONE, 5, panel());
    EXPECT_EQ(g.events[0].click().continue_refcon[0], kOuter);
    EXPECT_NEAR(get("Blur Amount"), 70, 1);
}

}  // namespace
