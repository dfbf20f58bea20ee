#include "App.h"

#include <utility>

#include "AE_EffectCB.h"
#include "color/color.h"
#include "parameter/units.h"
#include "vector/rect.h"

namespace {

const ParameterUnionValue& valueOf(const ParameterValue* params, int index) {
    return paramAt(params, index).value;
}

// The world's record when it has pixels, else null.
const PF_LayerDef* pixelsOf(const std::shared_ptr<Nerevo::World>& world) {
    return world && world->world && world->world->data ? world->world : nullptr;
}

}  // namespace

TiltShifterParameters renderParameters(PF_InData* in_data, const ParameterValue* params, double downsampleX,
                                       const std::shared_ptr<Nerevo::World>& output) {
    const double s = downsampleX;
    const PF_LayerDef* out = pixelsOf(output);
    const double* center = valueOf(params, Param::Center).point;

    TiltShifterParameters p{};
    p.halfDiagonal = 0.5 * s * in_data->utils->ansi.hypot(in_data->width, in_data->height);
    p.blurAmount = valueOf(params, Param::BlurAmount).d * s;
    p.blurOffset = valueOf(params, Param::BlurOffset).d * s;
    p.weight = 1.0 + valueOf(params, Param::Weight).d * 0.01;
    p.center = Nerevo::Vector2<double>{center[0] - (out ? out->origin_x : 0), center[1] - (out ? out->origin_y : 0)};
    p.direction = Nerevo::degreesToRadians(valueOf(params, Param::Direction).d);
    p.ratio = valueOf(params, Param::Ratio).d;
    p.innerWidth = valueOf(params, Param::InnerWidth).d * s;
    p.linearMode = valueOf(params, Param::LinearMode).i;
    p.power = valueOf(params, Param::Power).d;
    p.focusDistance = valueOf(params, Param::FocusDistance).d * s;
    p.chromaticAberration = valueOf(params, Param::ChromaticAberration).d * s;
    p.vignetting = valueOf(params, Param::Vignetting).d * 0.01;
    p.vignettingColor = Nerevo::colorFromRgb(valueOf(params, Param::VignettingColor).color);
    p.blendingMode = convertBlendingMode(valueOf(params, Param::BlendingMode).i);
    p.repeatEdgePixels = valueOf(params, Param::RepeatEdgePixels).b;
    return p;
}

PF_Err frameInput(PF_InData* in_data, PF_OutData* out_data, AEGP_SuiteHandler& suites, Nerevo::Bpc bpc,
                  const std::shared_ptr<Nerevo::World>& input, const std::shared_ptr<Nerevo::World>& output,
                  std::shared_ptr<Nerevo::World>& framed) {
    const PF_LayerDef* in = pixelsOf(input);
    const PF_LayerDef* out = pixelsOf(output);
    const PF_LayerDef none{};
    const PF_LayerDef& i = in ? *in : none;
    const PF_LayerDef& o = out ? *out : none;
    // Worlds of one size but apart in the layer would be misread pixel for
    // pixel, so the origins have to agree as well.
    if (i.width == o.width && i.height == o.height && i.origin_x == o.origin_x && i.origin_y == o.origin_y) {
        framed = input;
        return PF_Err_NONE;
    }
    std::shared_ptr<Nerevo::World> frame;
    if (const PF_Err err = Nerevo::createWorld(in_data, out_data, suites, bpc, o.width, o.height, true, frame)) {
        return err;
    }
    if (in) {
        const int dx = i.origin_x - o.origin_x;
        const int dy = i.origin_y - o.origin_y;
        const Nerevo::Rect<int> whole{0, 0, i.width, i.height};
        const Nerevo::Rect<int> placed{dx, dy, dx + i.width, dy + i.height};
        if (const PF_Err err = Nerevo::copy(in_data, input, frame, whole, placed)) {
            return err;
        }
    }
    framed = std::move(frame);
    return PF_Err_NONE;
}

PF_Err App::render() {
    std::shared_ptr<Nerevo::World> source;
    if (const PF_Err err = frameInput(in_data, out_data, suites, bpc, input, output, source)) {
        return err;
    }
    const TiltShifterParameters parameters = renderParameters(in_data, params, downsampleX, output);
    switch (valueOf(params, Param::Type).i) {
        case typeLinear: return LinearTiltShifter(in_data, suites, bpc, source, output, parameters).execute();
        case typeRadial: return RadialTiltShifter(in_data, suites, bpc, source, output, parameters).execute();
        default: return PF_Err_NONE;
    }
}
