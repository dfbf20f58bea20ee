#pragma once
// Conversions between the layer's own pixels and the frame of the panel that
// shows it, through the conversion callbacks the host passes with every
// user-interface event. The geometry of the layer within the composition is
// entirely the host's; nothing here keeps state.

#include "AE_Effect.h"
#include "AE_EffectUI.h"

namespace Nerevo {

// Converts a whole-pixel point. The input is read first, so input and output
// may be the same object. On return `work` holds the converted position in
// 16.16 and `out` holds it rounded down to whole pixels. Callback errors are
// not examined: a failing callback leaves `work` as the callback left it.
using PointConverter = void (*)(PF_InData* in_data, PF_EventExtra* extra, PF_Point* in, PF_Point* out,
                                PF_FixedPoint* work);

// Layer to frame in place: through the composition in the composition panel,
// directly in any other. Returns the error of the last callback.
PF_Err Source2FramePoint(PF_InData* in_data, PF_EventExtra* extra, PF_FixedPoint* pt);
// Frame to layer in place, the reverse of Source2FramePoint.
PF_Err Frame2SourcePoint(PF_InData* in_data, PF_EventExtra* extra, PF_FixedPoint* pt);

// The converters; the caller picks the one of the panel the event came from.
void Layer2CompFrame(PF_InData* in_data, PF_EventExtra* extra, PF_Point* in, PF_Point* out, PF_FixedPoint* work);
void Layer2LayerFrame(PF_InData* in_data, PF_EventExtra* extra, PF_Point* in, PF_Point* out, PF_FixedPoint* work);
void CompFrame2Layer(PF_InData* in_data, PF_EventExtra* extra, PF_Point* in, PF_Point* out, PF_FixedPoint* work);
void LayerFrame2Layer(PF_InData* in_data, PF_EventExtra* extra, PF_Point* in, PF_Point* out, PF_FixedPoint* work);

// The panel the event came from (PF_Window_COMP, PF_Window_LAYER, ...), or
// PF_Window_NONE when the event carries no context.
PF_WindowType windowType(const PF_EventExtra* extra);

}  // namespace Nerevo
