#pragma once
// The effect's parameters: one table for registration, reading, grey-out
// and the typed values of the render and the on-composition controls.

#include "blend/blend.h"
#include "plugin/plugin.h"

using Nerevo::Plugin::ParameterDef;
using Nerevo::Plugin::ParameterUnionValue;
using Nerevo::Plugin::ParameterValue;

// Host parameter indices, in the table's order; 0 is the input layer.
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
    GrowBounds,
    afterLast
};
}  // namespace Param

// "Type" items.
enum TiltShiftType : int { typeRadial = 1, typeLinear = 2 };
// "Linear Mode" items.
enum LinearMode : int { linearPower = 1, linearFocusDistance = 2 };

constexpr int PARAM_COUNT = Param::afterLast - 1;
// With the input layer.
constexpr int PARAM_COUNT_WITH_INPUT = PARAM_COUNT + 1;

// Row k is registered with the facts in PARAM_UI[k].
extern const ParameterDef (&PARAM_DEFS)[PARAM_COUNT];
extern const Nerevo::Plugin::ParameterUI (&PARAM_UI)[PARAM_COUNT];

// The entry of a host index in an array kept in the table's order
// (PARAM_DEFS, the pre-render record, the render's typed values): the input
// layer has no row, so the index and the position differ by one.
template <typename T>
constexpr T& paramAt(T* inTableOrder, int index) {
    return inTableOrder[index - 1];
}

// What "Type" and "Linear Mode" make meaningless is greyed out. Every rule
// that applies to the current items sets its parameter's state, in the
// order of the list; an item no rule names leaves the parameters as they are.
constexpr int anyLinearMode = 0;

struct GrayOutRule {
    int type;
    int linearMode;  // or anyLinearMode
    int index;
    bool gray;

    constexpr bool appliesTo(int currentType, int currentLinearMode) const {
        return type == currentType && (linearMode == anyLinearMode || linearMode == currentLinearMode);
    }
};

inline constexpr GrayOutRule GRAY_OUT_RULES[] = {
    {typeLinear, anyLinearMode, Param::Ratio, true},
    {typeLinear, anyLinearMode, Param::LinearMode, false},
    {typeLinear, linearFocusDistance, Param::Power, true},
    {typeLinear, linearFocusDistance, Param::FocusDistance, false},
    {typeLinear, linearPower, Param::Power, false},
    {typeLinear, linearPower, Param::FocusDistance, true},
    {typeRadial, anyLinearMode, Param::Ratio, false},
    {typeRadial, anyLinearMode, Param::LinearMode, true},
    {typeRadial, anyLinearMode, Param::Power, false},
    {typeRadial, anyLinearMode, Param::FocusDistance, true},
};

// The blend mode of a "Blending Mode" item (1-based); a separator maps like
// the item before it, anything outside the list to normal.
Nerevo::BlendingMode convertBlendingMode(int item);
