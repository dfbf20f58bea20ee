// Clicking and dragging the handles. A click picks the handle under the
// pointer and asks the host for drags; every drag recomputes the grabbed
// parameter from the pointer's position alone, so the result does not
// depend on the path the pointer took.

#include <algorithm>

#include "AE_EffectCB.h"
#include "Params.h"
#include "PluginUI.h"
#include "color/color.h"
#include "custom_ui/fixed.h"
#include "parameter/units.h"

namespace UI {

namespace {

constexpr double ONE_OVER_TWO_PI = 0.15915494309189535;
constexpr double TWO_PI = 6.283185307179586;
constexpr double SNAP_DEGREES = 45.0;
// The inner semi-axis never reaches zero, so the ellipse tests and the
// elliptical radius stay defined when "Inner Width" is 0.
constexpr double MIN_INNER_WIDTH = 1e-6;

// The pointer on the layer: in pixels, and in 16.16 as the click record keeps it.
struct Pointer {
    Vector2<double> at;
    PF_FixedPoint fixed;
};

Pointer pointerOf(PF_InData* in_data, PF_EventExtra* extra, PointConverter convert) {
    PF_Point screen = extra->u.do_click.screen_point;
    PF_Point whole{};
    PF_FixedPoint work{};
    convert(in_data, extra, &screen, &whole, &work);
    return {{Nerevo::fixedToDouble(work.x), Nerevo::fixedToDouble(work.y)}, work};
}

bool shiftHeld(const PF_EventExtra* extra) {
    return (extra->u.do_click.modifiers & PF_Mod_SHIFT_KEY) != 0;
}

Handle grabbedHandle(const PF_EventExtra* extra) {
    return static_cast<Handle>(extra->u.do_click.continue_refcon[0]);
}

// A hit: ask for drags and remember the handle and where it was grabbed.
bool grab(PF_EventExtra* extra, Handle handle, const Pointer& pointer) {
    PF_DoClickEventInfo& click = extra->u.do_click;
    click.send_drag = true;
    click.continue_refcon[0] = handle;
    click.continue_refcon[1] = pointer.fixed.x;
    click.continue_refcon[2] = pointer.fixed.y;
    click.continue_refcon[3] = 0;
    return true;
}

// After every drag: remember the pointer; the last drag ends the gesture.
void follow(PF_EventExtra* extra, const Pointer& pointer) {
    PF_DoClickEventInfo& click = extra->u.do_click;
    click.continue_refcon[1] = pointer.fixed.x;
    click.continue_refcon[2] = pointer.fixed.y;
    if (click.last_time) {
        click.continue_refcon[0] = handleNone;
        click.send_drag = false;
    }
}

// The host takes a value from the entry only when it is flagged as changed.
void setFloat(PF_ParamDef* params[], int index, double value) {
    params[index]->u.fs_d.value = value;
    params[index]->uu.change_flags |= PF_ChangeFlag_CHANGED_VALUE;
}

void setAngle(PF_ParamDef* params[], int index, double degrees) {
    params[index]->u.ad.value = Nerevo::doubleToFixed(degrees);
    params[index]->uu.change_flags |= PF_ChangeFlag_CHANGED_VALUE;
}

// The pointer strictly inside the arrow's head; its edges and corners are
// outside, so they fall through to the outline tests.
bool onArrowHead(const Geometry& g, Vector2<double> m) {
    const ArrowHead head = arrowHead(g);
    const Vector2<double> corner[3] = {head.tip, head.left, head.right};
    for (int i = 0; i < 3; ++i) {
        const Vector2<double> e = corner[(i + 1) % 3] - corner[i];
        const Vector2<double> w = m - corner[i];
        if (!(w.y * e.x - e.y * w.x < 0)) {
            return false;
        }
    }
    return true;
}

// Near the ellipse with semi-axes a (along dir) and b, measured across the
// direction axis at the pointer's own u; beyond ±a the ellipse is not there.
bool onEllipse(const PF_ANSICallbacks& ansi, double u, double v, double a, double b, double eps) {
    if (ansi.fabs(u) > a) {
        return false;
    }
    const double h = b * ansi.sqrt(1 - u * u / (a * a));
    return ansi.fabs(h - ansi.fabs(v)) < eps;
}

// The direction whose arrow points at the pointer, moved by whole turns to
// the one nearest the current "Direction" so that the parameter keeps
// counting revolutions; Shift snaps it to multiples of 45 degrees.
void dragDirection(PF_InData* in_data, PF_ParamDef* params[], const Geometry& g, Vector2<double> d, bool snap) {
    const PF_ANSICallbacks& ansi = in_data->utils->ansi;
    double phi = ansi.atan2(d.x, -d.y);
    const double theta = g.theta;
    if (phi > theta) {
        phi -= TWO_PI * ansi.floor((phi - theta) * ONE_OVER_TWO_PI + 0.5);
    } else {
        phi += TWO_PI * ansi.floor((theta - phi) * ONE_OVER_TWO_PI + 0.5);
    }
    double degrees = Nerevo::radiansToDegrees(phi);
    if (snap) {
        degrees = degrees > 0 ? SNAP_DEGREES * ansi.floor(degrees / SNAP_DEGREES + 0.5)
                              : -SNAP_DEGREES * ansi.floor(-degrees / SNAP_DEGREES + 0.5);
    }
    setAngle(params, Param::Direction, degrees);
}

}  // namespace

PF_Err HandleEvent(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                   PF_EventExtra* extra) {
    if (!extra) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    switch (extra->e_type) {
        case PF_Event_DRAW: return DoDraw(in_data, out_data, params, output, extra);
        case PF_Event_DO_CLICK:
            // A click while a gesture is under way continues it.
            if (extra->u.do_click.send_drag) {
                extra->e_type = PF_Event_DRAG;
                return DoDrag(in_data, out_data, params, output, extra);
            }
            return DoClick(in_data, out_data, params, output, extra);
        case PF_Event_DRAG: return DoDrag(in_data, out_data, params, output, extra);
        default: return PF_Err_NONE;
    }
}

PF_Err DoClick(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef*,
               PF_EventExtra* extra) {
    const PointConverter convert = frameToLayerConverter(extra);
    if (convert && ClickUI(in_data, out_data, params, convert, extra)) {
        extra->evt_out_flags = PF_EO_HANDLED_EVENT;
    }
    return PF_Err_NONE;
}

PF_Err DoDrag(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef*,
              PF_EventExtra* extra) {
    const PointConverter convert = frameToLayerConverter(extra);
    if (convert && DragUI(in_data, out_data, params, convert, extra)) {
        extra->evt_out_flags = PF_EO_HANDLED_EVENT;
    }
    return PF_Err_NONE;
}

bool ClickUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PointConverter convert,
             PF_EventExtra* extra) {
    switch (params[Param::Type]->u.pd.value) {
        case typeLinear: return ClickLinearUI(in_data, out_data, params, convert, extra);
        case typeRadial: return ClickRadialUI(in_data, out_data, params, convert, extra);
        default: return false;
    }
}

bool DragUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PointConverter convert,
            PF_EventExtra* extra) {
    switch (params[Param::Type]->u.pd.value) {
        case typeLinear: return DragLinearUI(in_data, out_data, params, convert, extra);
        case typeRadial: return DragRadialUI(in_data, out_data, params, convert, extra);
        default: return false;
    }
}

bool ClickRadialUI(PF_InData* in_data, PF_OutData*, PF_ParamDef* params[], PointConverter convert,
                   PF_EventExtra* extra) {
    const PF_ANSICallbacks& ansi = in_data->utils->ansi;
    const Geometry g = readGeometry(in_data, params);
    const Pointer pointer = pointerOf(in_data, extra, convert);
    const double eps = calculateEps(in_data, extra, convert);
    const Vector2<double> d = pointer.at - g.center;
    const double u = dot(d, g.dir);
    const double v = dot(d, g.perp);
    const double aIn = std::max(g.innerWidth, MIN_INNER_WIDTH);
    const double aOut = g.blurAmount + aIn;

    if (onArrowHead(g, pointer.at)) {
        return grab(extra, handleDirection, pointer);
    }
    if (onEllipse(ansi, u, v, aOut, g.ratio * aOut, eps)) {
        return grab(extra, handleOuter, pointer);
    }
    if (onEllipse(ansi, u, v, aIn, g.ratio * aIn, eps)) {
        return grab(extra, handleInner, pointer);
    }
    return false;
}

bool ClickLinearUI(PF_InData* in_data, PF_OutData*, PF_ParamDef* params[], PointConverter convert,
                   PF_EventExtra* extra) {
    const PF_ANSICallbacks& ansi = in_data->utils->ansi;
    const Geometry g = readGeometry(in_data, params);
    const Pointer pointer = pointerOf(in_data, extra, convert);
    const double eps = calculateEps(in_data, extra, convert);
    const Vector2<double> d = pointer.at - g.center;

    if (onArrowHead(g, pointer.at)) {
        return grab(extra, handleDirection, pointer);
    }
    // Beyond the drawn ends of the lines nothing can be grabbed.
    if (ansi.fabs(dot(d, g.dir)) >= g.diagonal / 2) {
        return false;
    }
    // Signed: the focus line lies on the +n side only, and wins over the
    // outlines where it overlaps them.
    const double s = -dot(d, g.perp);
    if (g.linearMode == linearFocusDistance && ansi.fabs(s - (g.innerWidth + g.focusDistance)) < eps) {
        return grab(extra, handleFocus, pointer);
    }
    if (ansi.fabs(ansi.fabs(s) - (g.blurAmount + g.innerWidth)) < eps) {
        return grab(extra, handleOuter, pointer);
    }
    if (ansi.fabs(ansi.fabs(s) - g.innerWidth) < eps) {
        return grab(extra, handleInner, pointer);
    }
    return false;
}

bool DragRadialUI(PF_InData* in_data, PF_OutData*, PF_ParamDef* params[], PointConverter convert,
                  PF_EventExtra* extra) {
    const PF_ANSICallbacks& ansi = in_data->utils->ansi;
    const Geometry g = readGeometry(in_data, params);
    const Pointer pointer = pointerOf(in_data, extra, convert);
    const Vector2<double> d = pointer.at - g.center;
    const double u = dot(d, g.dir);
    const double v = dot(d, g.perp);
    const double aIn = std::max(g.innerWidth, MIN_INNER_WIDTH);
    // The pointer's elliptical radius, measured along dir.
    const double vScaled = v / g.ratio;
    const double r = ansi.sqrt(u * u + vScaled * vScaled);

    switch (grabbedHandle(extra)) {
        case handleOuter: setFloat(params, Param::BlurAmount, std::max(0.0, r - aIn)); break;
        case handleInner:
            if (!shiftHeld(extra)) {
                setFloat(params, Param::InnerWidth, r);
            } else {
                // The ratio that puts the inner ellipse through the pointer.
                // Beyond the ellipse's extent along dir none does, and the
                // ratio stays as it is.
                const double across = 1 - u * u / (aIn * aIn);
                if (across > 0) {
                    setFloat(params, Param::Ratio, ansi.fabs(v) / (aIn * ansi.sqrt(across)));
                }
            }
            break;
        case handleDirection: dragDirection(in_data, params, g, d, shiftHeld(extra)); break;
        default: break;
    }
    follow(extra, pointer);
    return true;
}

bool DragLinearUI(PF_InData* in_data, PF_OutData*, PF_ParamDef* params[], PointConverter convert,
                  PF_EventExtra* extra) {
    const PF_ANSICallbacks& ansi = in_data->utils->ansi;
    const Geometry g = readGeometry(in_data, params);
    const Pointer pointer = pointerOf(in_data, extra, convert);
    const Vector2<double> d = pointer.at - g.center;
    const double s = -dot(d, g.perp);

    switch (grabbedHandle(extra)) {
        case handleOuter: setFloat(params, Param::BlurAmount, std::max(0.0, ansi.fabs(s) - g.innerWidth)); break;
        case handleInner: {
            const double width = ansi.fabs(s);
            setFloat(params, Param::InnerWidth, width);
            // Shift keeps the focus line where it was.
            if (g.linearMode == linearFocusDistance && shiftHeld(extra)) {
                setFloat(params, Param::FocusDistance, std::max(0.0, g.focusDistance + g.innerWidth - width));
            }
            break;
        }
        case handleFocus: setFloat(params, Param::FocusDistance, std::max(0.0, s - g.innerWidth)); break;
        case handleDirection: dragDirection(in_data, params, g, d, shiftHeld(extra)); break;
        default: break;
    }
    follow(extra, pointer);
    return true;
}

}  // namespace UI
