#pragma once
// On-composition controls: the effect draws its handles over the layer in
// the composition and layer panels and lets the user drag them.
//
// Handles are placed in the layer's own pixels around "Center"; points pass
// to and from the panel through the host's conversion callbacks. A gesture's
// whole state lives in the host's click record: continue_refcon[0] holds the
// grabbed handle, [1] and [2] the pointer's last layer position in 16.16.

#include <vector>

#include "AEFX_SuiteHelper.h"
#include "AEGP_SuiteHandler.h"
#include "AE_Effect.h"
#include "AE_EffectUI.h"
#include "custom_ui/drawbot.h"
#include "custom_ui/frame_func.h"
#include "vector/vector2.h"

namespace UI {

using Nerevo::DRAWBOT_PathP;
using Nerevo::DRAWBOT_PenP;
using Nerevo::PointConverter;
using Nerevo::Vector2;

// The handles, as kept in continue_refcon[0].
enum Handle : A_intptr_t {
    handleNone = 0,
    handleOuter = 1,      // outer outline: "Blur Amount"
    handleDirection = 2,  // arrow head: "Direction"
    handleInner = 3,      // inner outline: "Inner Width" (Shift: "Ratio", or keeps the focus line)
    handleFocus = 4       // focus-distance line: "Focus Distance"
};

// The arrow: a shaft from the centre along perp and a head whose tip lies
// at its end, in layer pixels.
constexpr double ARROW_LENGTH = 80.0;
constexpr double ARROW_HEAD_LENGTH = 16.0;
constexpr double ARROW_HEAD_HALF_WIDTH = 8.0;

// What the controls are built from: the current parameters and the
// directions derived from "Direction", all in layer pixels and radians.
struct Geometry {
    int type;
    int linearMode;
    double blurAmount;
    double ratio;
    double innerWidth;
    double focusDistance;
    double theta;
    Vector2<double> center;
    Vector2<double> dir;   // (cos θ, sin θ)
    Vector2<double> perp;  // (sin θ, −cos θ): where the arrow points
    double diagonal;       // the layer's diagonal: the length of the linear mode's lines
};

Geometry readGeometry(PF_InData* in_data, PF_ParamDef* params[]);

// The tip of the arrow and the two corners of its head's base.
struct ArrowHead {
    Vector2<double> tip, left, right;
};
ArrowHead arrowHead(const Geometry& g);

// The frame-to-layer converter of the event's panel, or null for a panel
// the controls do not live in.
PointConverter frameToLayerConverter(const PF_EventExtra* extra);

// Layer pixels per screen pixel (horizontal only), measured with `convert`.
double calculateScale(PF_InData* in_data, PF_EventExtra* extra, PointConverter convert);
// The hit tolerance: five screen pixels in layer pixels.
double calculateEps(PF_InData* in_data, PF_EventExtra* extra, PointConverter convert);

// ---- Events -----------------------------------------------------------------
PF_Err HandleEvent(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                   PF_EventExtra* extra);
PF_Err DoDraw(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
              PF_EventExtra* extra);
PF_Err DoClick(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
               PF_EventExtra* extra);
PF_Err DoDrag(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
              PF_EventExtra* extra);

// ---- Drawing ----------------------------------------------------------------
// A failing Drawbot call ends the drawing; its error is the result, and
// the Drawbot suites are released on every path.
PF_Err DrawUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
              PF_EventExtra* extra);
PF_Err DrawRadialUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                    PF_EventExtra* extra);
PF_Err DrawLinearUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                    PF_EventExtra* extra);

// Shapes in layer pixels, stroked with `pen` in the panel. They throw
// DRAWBOT_Exception when a pen or path cannot be had.
PF_Err DrawEllipse(PF_InData* in_data, AEGP_SuiteHandler& suites, PF_EventExtra* extra, DRAWBOT_Suites& drawbot,
                   DRAWBOT_SurfaceRef& surface, DRAWBOT_SupplierRef& supplier, DRAWBOT_PenP pen,
                   Vector2<double> center, double a, double b, Vector2<double> axisA, Vector2<double> axisB);
PF_Err DrawLine(PF_InData* in_data, AEGP_SuiteHandler& suites, PF_EventExtra* extra, DRAWBOT_Suites& drawbot,
                DRAWBOT_SurfaceRef& surface, DRAWBOT_SupplierRef& supplier, DRAWBOT_PenP pen,
                const std::vector<Vector2<double>>& points);
PF_Err DrawCircle(PF_InData* in_data, AEGP_SuiteHandler& suites, PF_EventExtra* extra, DRAWBOT_Suites& drawbot,
                  DRAWBOT_SurfaceRef& surface, DRAWBOT_SupplierRef& supplier, DRAWBOT_PenP pen,
                  Vector2<double> center, double radius);

// ---- Editing ----------------------------------------------------------------
// Click: hit-test the handles; on a hit ask for drags and return true.
bool ClickUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PointConverter convert,
             PF_EventExtra* extra);
bool ClickRadialUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PointConverter convert,
                   PF_EventExtra* extra);
bool ClickLinearUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PointConverter convert,
                   PF_EventExtra* extra);

// Drag: edit the grabbed handle's parameter from the pointer's position.
bool DragUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PointConverter convert,
            PF_EventExtra* extra);
bool DragRadialUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PointConverter convert,
                  PF_EventExtra* extra);
bool DragLinearUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PointConverter convert,
                  PF_EventExtra* extra);

}  // namespace UI
