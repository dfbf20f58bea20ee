// Where the controls lie, and how large a screen pixel is on the layer.

#include "AE_EffectCB.h"
#include "Params.h"
#include "PluginUI.h"
#include "parameter/units.h"

namespace UI {

Geometry readGeometry(PF_InData* in_data, PF_ParamDef* params[]) {
    // The values as the render reads them, so the controls sit where the
    // render puts the focus.
    ParameterValue values[PARAM_COUNT];
    Nerevo::Plugin::copyParams(params, PARAM_DEFS, PARAM_COUNT, values);
    auto value = [&](int index) -> const ParameterUnionValue& { return paramAt(values, index).value; };

    const PF_ANSICallbacks& ansi = in_data->utils->ansi;
    Geometry g{};
    g.type = value(Param::Type).i;
    g.linearMode = value(Param::LinearMode).i;
    g.blurAmount = value(Param::BlurAmount).d;
    g.ratio = value(Param::Ratio).d;
    g.innerWidth = value(Param::InnerWidth).d;
    g.focusDistance = value(Param::FocusDistance).d;
    g.theta = Nerevo::degreesToRadians(value(Param::Direction).d);
    g.center = {value(Param::Center).point[0], value(Param::Center).point[1]};
    const double c = ansi.cos(g.theta);
    const double s = ansi.sin(g.theta);
    g.dir = {c, s};
    g.perp = {s, -c};
    const double w = in_data->width;
    const double h = in_data->height;
    g.diagonal = ansi.sqrt(w * w + h * h);
    return g;
}

ArrowHead arrowHead(const Geometry& g) {
    const Vector2<double> tip = g.center + ARROW_LENGTH * g.perp;
    const Vector2<double> base = tip - ARROW_HEAD_LENGTH * g.perp;
    return {tip, base - ARROW_HEAD_HALF_WIDTH * g.dir, base + ARROW_HEAD_HALF_WIDTH * g.dir};
}

PointConverter frameToLayerConverter(const PF_EventExtra* extra) {
    switch (Nerevo::windowType(extra)) {
        case PF_Window_COMP: return Nerevo::CompFrame2Layer;
        case PF_Window_LAYER: return Nerevo::LayerFrame2Layer;
        default: return nullptr;
    }
}

double calculateScale(PF_InData* in_data, PF_EventExtra* extra, PointConverter convert) {
    PF_Point origin{0, 0};
    PF_Point one{1, 1};
    PF_FixedPoint originWork{};
    PF_FixedPoint oneWork{};
    convert(in_data, extra, &origin, &origin, &originWork);
    convert(in_data, extra, &one, &one, &oneWork);
    const double dx = static_cast<double>(oneWork.x) - static_cast<double>(originWork.x);
    return in_data->utils->ansi.fabs(dx / 65536.0);
}

double calculateEps(PF_InData* in_data, PF_EventExtra* extra, PointConverter convert) {
    return calculateScale(in_data, extra, convert) * 5.0;
}

}  // namespace UI
