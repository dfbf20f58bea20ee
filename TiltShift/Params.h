#pragma once
// The effect's parameters: one table for registration, reading and the
// typed values of the render.

#include "blend/blend.h"
#include "plugin/plugin.h"

using Nerevo::Plugin::ParameterDef;
using Nerevo::Plugin::ParameterUnionValue;
using Nerevo::Plugin::ParameterValue;

// Host parameter indices; 0 is the input layer.
namespace Param {
enum : int {
    Type = 1,
    BlurAmount,
    BlurOffset,
    Weight,
    Center,
    Direction,
    Ratio,
    InnerWidth,
    LinearMode,
    Power,
    FocusDistance,
    ChromaticAberration,
    Vignetting,
    VignettingColor,
    BlendingMode,
    RepeatEdgePixels,
    GrowBounds
};
}  // namespace Param

// "Type" items.
enum TiltShiftType : int { typeRadial = 1, typeLinear = 2 };
// "Linear Mode" items.
enum LinearMode : int { linearPower = 1, linearFocusDistance = 2 };

constexpr int PARAM_COUNT = 17;
// With the input layer.
constexpr int PARAM_COUNT_WITH_INPUT = PARAM_COUNT + 1;

extern const ParameterDef PARAM_DEFS[PARAM_COUNT];

// Registers row k of PARAM_DEFS with the function, precision, items or
// label that row takes.
PF_Err registerParam(PF_InData* in, PF_ParamDef& def, int k);

// The blend mode of a "Blending Mode" item (1-based); a separator maps like
// the item before it, anything outside the list to normal.
Nerevo::BlendingMode convertBlendingMode(int item);
