// Drawing the handles with the host's Drawbot suites: ellipses in radial
// mode, lines in linear mode, and the direction arrow in both.

#include <initializer_list>
#include <vector>

#include "AE_EffectCB.h"
#include "Params.h"
#include "PluginUI.h"
#include "color/color.h"
#include "custom_ui/fixed.h"

namespace UI {

namespace {

// Pens are as wide in every zoom: their width is in screen pixels.
constexpr float PEN_WIDTH = 2.5f;
constexpr DRAWBOT_ColorRGBA INNER_COLOR = {1, 1, 0, 1};
constexpr DRAWBOT_ColorRGBA OUTER_COLOR = {0, 1, 1, 1};
constexpr DRAWBOT_ColorRGBA FOCUS_COLOR = {0, 1, 0, 1};
constexpr DRAWBOT_ColorRGBA DIRECTION_COLOR = {1, 0, 0, 1};

// The control-point factor of a quarter ellipse drawn as one cubic curve.
constexpr double KAPPA = 0.5522847498307936;

// What the shapes of one draw event need.
struct Canvas {
    PF_InData* in_data;
    AEGP_SuiteHandler& suites;
    PF_EventExtra* extra;
    DRAWBOT_Suites& drawbot;
    DRAWBOT_SurfaceRef& surface;
    DRAWBOT_SupplierRef& supplier;

    DRAWBOT_PenP pen(const DRAWBOT_ColorRGBA& color) const {
        return DRAWBOT_PenP(drawbot.supplier_suiteP, supplier, color, PEN_WIDTH);
    }
};

// A layer point in the panel, as the path calls take it.
DRAWBOT_PointF32 toFrame(PF_InData* in_data, PF_EventExtra* extra, Vector2<double> p) {
    PF_FixedPoint pt{Nerevo::doubleToFixed(p.x), Nerevo::doubleToFixed(p.y)};
    Nerevo::Source2FramePoint(in_data, extra, &pt);
    return {static_cast<float>(Nerevo::fixedToDouble(pt.x)), static_cast<float>(Nerevo::fixedToDouble(pt.y))};
}

// One path: its points are converted one after the other, and once a path
// call has failed no further one is made. A path without failure is stroked.
class PathBuilder {
public:
    PathBuilder(PF_InData* in_data, PF_EventExtra* extra, const DRAWBOT_Suites& drawbot,
                DRAWBOT_SupplierRef supplier)
        : in_data_(in_data),
          extra_(extra),
          suite_(drawbot.path_suiteP),
          path_(drawbot.supplier_suiteP, supplier) {}

    void moveTo(Vector2<double> p) {
        const DRAWBOT_PointF32 f = toFrame(in_data_, extra_, p);
        if (!err_) err_ = suite_->MoveTo(path_.get(), f.x, f.y);
    }
    void lineTo(Vector2<double> p) {
        const DRAWBOT_PointF32 f = toFrame(in_data_, extra_, p);
        if (!err_) err_ = suite_->LineTo(path_.get(), f.x, f.y);
    }
    void bezierTo(Vector2<double> c1, Vector2<double> c2, Vector2<double> end) {
        const DRAWBOT_PointF32 f1 = toFrame(in_data_, extra_, c1);
        const DRAWBOT_PointF32 f2 = toFrame(in_data_, extra_, c2);
        const DRAWBOT_PointF32 f3 = toFrame(in_data_, extra_, end);
        if (!err_) err_ = suite_->BezierTo(path_.get(), &f1, &f2, &f3);
    }

    PF_Err stroke(AEGP_SuiteHandler& suites, DRAWBOT_SurfaceRef surface, const DRAWBOT_PenP& pen) {
        if (err_) return err_;
        return suites.SurfaceSuite1()->StrokePath(surface, pen.get(), path_.get());
    }

private:
    PF_InData* in_data_;
    PF_EventExtra* extra_;
    const DRAWBOT_PathSuite1* suite_;
    DRAWBOT_PathP path_;
    PF_Err err_ = PF_Err_NONE;
};

// Strokes the four quarters from anchor q[i] to q[i + 1], each leaving its
// anchor along arm[i] and arriving at the next against arm[i + 1].
PF_Err strokeQuarters(const Canvas& c, const DRAWBOT_PenP& pen, const Vector2<double> (&q)[4],
                      const Vector2<double> (&arm)[4]) {
    PathBuilder path(c.in_data, c.extra, c.drawbot, c.supplier);
    path.moveTo(q[0]);
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        path.bezierTo(q[i] + arm[i], q[j] - arm[j], q[j]);
    }
    return path.stroke(c.suites, c.surface, pen);
}

// One pen for a group of polylines, stroked until the first fails.
PF_Err drawLines(const Canvas& c, const DRAWBOT_ColorRGBA& color,
                 std::initializer_list<std::vector<Vector2<double>>> polylines) {
    const DRAWBOT_PenP pen = c.pen(color);
    PF_Err err = PF_Err_NONE;
    for (const std::vector<Vector2<double>>& points : polylines) {
        if (!err) {
            err = DrawLine(c.in_data, c.suites, c.extra, c.drawbot, c.surface, c.supplier, pen, points);
        }
    }
    return err;
}

PF_Err drawEllipse(const Canvas& c, const DRAWBOT_ColorRGBA& color, const Geometry& g, double a, double b) {
    return DrawEllipse(c.in_data, c.suites, c.extra, c.drawbot, c.surface, c.supplier, c.pen(color), g.center, a,
                       b, g.dir, g.perp);
}

std::vector<Vector2<double>> arrowShaft(const Geometry& g) {
    return {g.center, arrowHead(g).tip};
}

// The frame both modes draw in. Pen and path failures arrive as
// DRAWBOT_Exception and end the drawing with their error.
template <typename Shapes>
PF_Err drawFrame(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_EventExtra* extra,
                 Shapes shapes) {
    AEGP_SuiteHandler suites(in_data->pica_basicP);
    DRAWBOT_Suites drawbot{};
    PF_Err err = AEFX_AcquireDrawbotSuites(in_data, out_data, &drawbot);
    if (err) {
        return err;
    }
    // Released on every path, also when a suite of the handler is missing
    // and its error unwinds to the entry point.
    struct Release {
        PF_InData* in_data;
        PF_OutData* out_data;
        ~Release() { AEFX_ReleaseDrawbotSuites(in_data, out_data); }
    } release{in_data, out_data};

    DRAWBOT_DrawRef drawing = nullptr;
    DRAWBOT_SurfaceRef surface = nullptr;
    DRAWBOT_SupplierRef supplier = nullptr;
    err = suites.EffectCustomUISuite1()->PF_GetDrawingReference(extra->contextH, &drawing);
    if (err || !drawing) {
        return err;
    }
    err = suites.DrawbotSuite1()->GetSurface(drawing, &surface);
    if (!err) {
        err = drawbot.drawbot_suiteP->GetSupplier(drawing, &supplier);
    }
    if (err) {
        return err;
    }
    try {
        return shapes(Canvas{in_data, suites, extra, drawbot, surface, supplier}, readGeometry(in_data, params));
    } catch (const Nerevo::DRAWBOT_Exception& e) {
        return e.error();
    }
}

PF_Err drawRadial(const Canvas& c, const Geometry& g) {
    const double outer = g.blurAmount + g.innerWidth;
    const ArrowHead head = arrowHead(g);
    PF_Err err = drawEllipse(c, INNER_COLOR, g, g.innerWidth, g.ratio * g.innerWidth);
    if (!err) err = drawEllipse(c, OUTER_COLOR, g, outer, g.ratio * outer);
    if (!err) err = drawLines(c, DIRECTION_COLOR, {arrowShaft(g), {head.tip, head.left, head.right, head.tip}});
    return err;
}

// Lines run along dir through their point, as long as the layer's diagonal,
// at signed distances along n = -perp: the focus line lies opposite the arrow.
PF_Err drawLinear(const Canvas& c, const Geometry& g) {
    const Vector2<double> n = -1.0 * g.perp;
    const Vector2<double> t = -1.0 * g.dir;
    const double half = g.diagonal / 2;
    auto line = [&](double distance) -> std::vector<Vector2<double>> {
        const Vector2<double> q = g.center + distance * n;
        return {q - half * t, q + half * t};
    };
    const double outer = g.blurAmount + g.innerWidth;
    const ArrowHead head = arrowHead(g);
    PF_Err err = drawLines(c, INNER_COLOR, {line(g.innerWidth), line(-g.innerWidth)});
    if (!err) err = drawLines(c, OUTER_COLOR, {line(outer), line(-outer)});
    if (!err && g.linearMode == linearFocusDistance) {
        err = drawLines(c, FOCUS_COLOR, {line(g.innerWidth + g.focusDistance)});
    }
    if (!err) err = drawLines(c, DIRECTION_COLOR, {arrowShaft(g), {head.tip, head.right, head.left, head.tip}});
    return err;
}

}  // namespace

PF_Err DoDraw(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
              PF_EventExtra* extra) {
    if (!frameToLayerConverter(extra)) {
        return PF_Err_NONE;
    }
    const PF_Err err = DrawUI(in_data, out_data, params, output, extra);
    extra->evt_out_flags = PF_EO_HANDLED_EVENT;
    return err;
}

PF_Err DrawUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
              PF_EventExtra* extra) {
    switch (params[Param::Type]->u.pd.value) {
        case typeLinear: return DrawLinearUI(in_data, out_data, params, output, extra);
        case typeRadial: return DrawRadialUI(in_data, out_data, params, output, extra);
        default: return PF_Err_NONE;
    }
}

PF_Err DrawRadialUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef*,
                    PF_EventExtra* extra) {
    return drawFrame(in_data, out_data, params, extra, drawRadial);
}

PF_Err DrawLinearUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef*,
                    PF_EventExtra* extra) {
    return drawFrame(in_data, out_data, params, extra, drawLinear);
}

PF_Err DrawEllipse(PF_InData* in_data, AEGP_SuiteHandler& suites, PF_EventExtra* extra, DRAWBOT_Suites& drawbot,
                   DRAWBOT_SurfaceRef& surface, DRAWBOT_SupplierRef& supplier, DRAWBOT_PenP pen,
                   Vector2<double> center, double a, double b, Vector2<double> axisA, Vector2<double> axisB) {
    const Vector2<double> q[4] = {center - b * axisB, center + a * axisA, center + b * axisB, center - a * axisA};
    const Vector2<double> arm[4] = {KAPPA * a * axisA, KAPPA * b * axisB, -KAPPA * a * axisA, -KAPPA * b * axisB};
    return strokeQuarters(Canvas{in_data, suites, extra, drawbot, surface, supplier}, pen, q, arm);
}

PF_Err DrawCircle(PF_InData* in_data, AEGP_SuiteHandler& suites, PF_EventExtra* extra, DRAWBOT_Suites& drawbot,
                  DRAWBOT_SurfaceRef& surface, DRAWBOT_SupplierRef& supplier, DRAWBOT_PenP pen,
                  Vector2<double> center, double radius) {
    // Anchors at 0, 90, 180 and 270 degrees; each leaves along its tangent.
    const Vector2<double> unit[4] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    Vector2<double> q[4];
    Vector2<double> arm[4];
    for (int i = 0; i < 4; ++i) {
        q[i] = center + radius * unit[i];
        arm[i] = KAPPA * radius * Vector2<double>{-unit[i].y, unit[i].x};
    }
    return strokeQuarters(Canvas{in_data, suites, extra, drawbot, surface, supplier}, pen, q, arm);
}

PF_Err DrawLine(PF_InData* in_data, AEGP_SuiteHandler& suites, PF_EventExtra* extra, DRAWBOT_Suites& drawbot,
                DRAWBOT_SurfaceRef& surface, DRAWBOT_SupplierRef& supplier, DRAWBOT_PenP pen,
                const std::vector<Vector2<double>>& points) {
    PathBuilder path(in_data, extra, drawbot, supplier);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i == 0) {
            path.moveTo(points[i]);
        } else {
            path.lineTo(points[i]);
        }
    }
    return path.stroke(suites, surface, pen);
}

}  // namespace UI
