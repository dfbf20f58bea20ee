#include "custom_ui/frame_func.h"

#include "custom_ui/fixed.h"

namespace Nerevo {

namespace {

bool inComposition(const PF_EventExtra* extra) {
    return windowType(extra) == PF_Window_COMP;
}

PF_Err layerToComp(PF_InData* in_data, PF_EventExtra* extra, PF_FixedPoint* pt) {
    return extra->cbs.layer_to_comp(extra->cbs.refcon, extra->contextH, in_data->current_time,
                                    static_cast<A_long>(in_data->time_scale), pt);
}

PF_Err compToLayer(PF_InData* in_data, PF_EventExtra* extra, PF_FixedPoint* pt) {
    return extra->cbs.comp_to_layer(extra->cbs.refcon, extra->contextH, in_data->current_time,
                                    static_cast<A_long>(in_data->time_scale), pt);
}

PF_Err sourceToFrame(PF_EventExtra* extra, PF_FixedPoint* pt) {
    return extra->cbs.source_to_frame(extra->cbs.refcon, extra->contextH, pt);
}

PF_Err frameToSource(PF_EventExtra* extra, PF_FixedPoint* pt) {
    return extra->cbs.frame_to_source(extra->cbs.refcon, extra->contextH, pt);
}

void toFixed(const PF_Point* in, PF_FixedPoint* work) {
    const PF_Point p = *in;
    work->x = wholeToFixed(p.h);
    work->y = wholeToFixed(p.v);
}

void toWhole(const PF_FixedPoint* work, PF_Point* out) {
    out->h = fixedToWhole(work->x);
    out->v = fixedToWhole(work->y);
}

}  // namespace

PF_WindowType windowType(const PF_EventExtra* extra) {
    if (!extra || !extra->contextH || !*extra->contextH) {
        return PF_Window_NONE;
    }
    return (*extra->contextH)->w_type;
}

PF_Err Source2FramePoint(PF_InData* in_data, PF_EventExtra* extra, PF_FixedPoint* pt) {
    if (inComposition(extra)) {
        layerToComp(in_data, extra, pt);
    }
    return sourceToFrame(extra, pt);
}

PF_Err Frame2SourcePoint(PF_InData* in_data, PF_EventExtra* extra, PF_FixedPoint* pt) {
    PF_Err err = frameToSource(extra, pt);
    if (inComposition(extra)) {
        err = compToLayer(in_data, extra, pt);
    }
    return err;
}

void Layer2CompFrame(PF_InData* in_data, PF_EventExtra* extra, PF_Point* in, PF_Point* out, PF_FixedPoint* work) {
    toFixed(in, work);
    layerToComp(in_data, extra, work);
    sourceToFrame(extra, work);
    toWhole(work, out);
}

void Layer2LayerFrame(PF_InData*, PF_EventExtra* extra, PF_Point* in, PF_Point* out, PF_FixedPoint* work) {
    toFixed(in, work);
    sourceToFrame(extra, work);
    toWhole(work, out);
}

void CompFrame2Layer(PF_InData* in_data, PF_EventExtra* extra, PF_Point* in, PF_Point* out, PF_FixedPoint* work) {
    toFixed(in, work);
    frameToSource(extra, work);
    compToLayer(in_data, extra, work);
    toWhole(work, out);
}

void LayerFrame2Layer(PF_InData*, PF_EventExtra* extra, PF_Point* in, PF_Point* out, PF_FixedPoint* work) {
    toFixed(in, work);
    frameToSource(extra, work);
    toWhole(work, out);
}

}  // namespace Nerevo
