// Grabbing the handles and dragging them, through the clicks and drags the host sends.

#include <cmath>

#include "ui_host.h"

namespace {

using test::UiHost;

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
    const struct { int type, mode; double inner, focus, zoom; A_long h, v; A_intptr_t handle; } cases[] = {
        {1, 1, 100, 30, 1, 100, 30, kArrow}, {1, 1, 100, 30, 1, 250, 102, kOuter}, {1, 1, 100, 30, 1, 200, 102, kInner},
        {1, 1, 100, 30, 1, 100, 148, kInner}, {1, 1, 100, 30, 1, 100, 174, kOuter},
        // Between the outlines, beyond both along the direction, the centre.
        {1, 1, 100, 30, 1, 240, 100, kNone}, {1, 1, 100, 30, 1, 300, 100, kNone}, {1, 1, 100, 30, 1, 100, 100, kNone},
        // The head's edge and tip are no hit: the outlines come next.
        {1, 1, 128, 30, 1, 100, 36, kInner}, {1, 1, 128, 30, 1, 100, 35, kArrow}, {1, 1, 128, 30, 1, 100, 20, kNone},
        {2, 1, 50, 30, 1, 100, 153, kInner}, {2, 1, 50, 30, 1, 0, 47, kInner},   {2, 1, 50, 30, 1, 100, 200, kOuter},
        {2, 1, 50, 30, 1, 100, 2, kOuter},   {2, 1, 50, 30, 1, 100, 180, kNone}, {2, 1, 50, 30, 1, 100, 30, kArrow},
        {2, 2, 50, 30, 1, 100, 180, kFocus}, {2, 2, 50, 30, 1, 100, 20, kNone},
        // Where the focus line lies on the outer line, the focus line wins.
        {2, 2, 50, 50, 1, 100, 200, kFocus}, {2, 2, 50, 50, 1, 100, 0, kOuter},
        {2, 1, 50, 30, 1, 349, 150, kInner}, {2, 1, 50, 30, 1, 350, 150, kNone}, {2, 1, 50, 30, 1, -149, 150, kInner},
        {2, 1, 50, 30, 1, -150, 150, kNone},
        {2, 1, 50, 30, 2, 100, 304, kInner}, {2, 1, 50, 30, 2, 100, 306, kNone},  // 2 and 3 layer pixels off
        {2, 1, 50, 30, 0.5, 100, 79, kInner}, {2, 1, 50, 30, 0.5, 100, 80, kNone},  // 8 and 10
    };
    for (const auto& c : cases) {
        setPopup("Type", c.type);
        setPopup("Linear Mode", c.mode);
        set("Inner Width", c.inner);
        set("Focus Distance", c.focus);
        EXPECT_EQ(grabbed(c.h, c.v, layerPanel(c.zoom)), c.handle)
            << "type " << c.type << " mode " << c.mode << " zoom " << c.zoom << " at (" << c.h << ", " << c.v << ")";
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

TEST_F(Edit, GestureEndsWithTheLastDrag) {
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
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(Edit, ClickArrivingWhileDraggingIsADrag) {
    const host::EventResult r = host.ui().send(layerPanel(), PF_Event_DO_CLICK, draggingOuter());
    EXPECT_EQ(r.extra.e_type, PF_Event_DRAG);
    EXPECT_TRUE(r.handled());
    EXPECT_EQ(r.changed, (std::vector<int>{index("Blur Amount")}));
    EXPECT_DOUBLE_EQ(get("Blur Amount"), 80);
}

TEST_F(Edit, OtherEventsAndPanelsAreLeftToTheHost) {
    for (const PF_EventType type : {PF_Event_NEW_CONTEXT, PF_Event_ACTIVATE, PF_Event_DEACTIVATE,
                                    PF_Event_CLOSE_CONTEXT, PF_Event_IDLE, PF_Event_ADJUST_CURSOR,
                                    PF_Event_KEYDOWN, PF_Event_MOUSE_EXITED}) {
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
        host::Panel p;
        p.windowType = PF_Window_COMP;
        p.width = 800;
        p.height = 600;
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

TEST_F(CompositionEdit, ControlsFollowTheLayerAndClicksAndDragsFindThemAgain) {
    host::Drawing drawing(800, 600);
    ASSERT_EQ(host.ui().draw(panel(), drawing).err, PF_Err_NONE);
    const A_FloatPoint tip = panel().layerToFrame({100, 20});
    const DRAWBOT_PointF32 drawn = drawing.strokes()[2].path[1].points[0];
    EXPECT_TRUE(std::abs(drawn.x - tip.x) < 1e-3 && std::abs(drawn.y - tip.y) < 1e-3) << drawn.x << ", " << drawn.y;
    const host::EventResult r = host.ui().click(panel(), onScreen({100, 28}));
    EXPECT_EQ(r.click().continue_refcon[0], kArrow);
    EXPECT_NEAR(r.click().continue_refcon[1] / 65536.0, 100, 1);
    EXPECT_NEAR(r.click().continue_refcon[2] / 65536.0, 28, 1);
    const host::Gesture g = drag(onScreen({250, 100}), onScreen({270, 100}), PF_Mod_NONE, 5, panel());
    EXPECT_EQ(g.events[0].click().continue_refcon[0], kOuter);
    EXPECT_NEAR(get("Blur Amount"), 70, 1);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

}  // namespace
