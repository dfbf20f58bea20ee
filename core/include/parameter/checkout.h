#pragma once
// Reading one parameter's value at the command's time, and greying one out.
//
// Each reader checks the parameter out at in_data's current time, converts
// the value and returns the host's error. The output is written even when
// the checkout failed: it then holds the conversion of an empty record
// (0, false, black with alpha 1). Nothing is checked back in.

#include "AEGP_SuiteHandler.h"
#include "AE_Effect.h"
#include "color/color.h"
#include "vector/vector2.h"
#include "vector/vector3.h"

namespace Nerevo {

PF_Err checkoutSliderParam(PF_InData* in_data, int index, int& value);
PF_Err checkoutCheckboxParam(PF_InData* in_data, int index, bool& value);
// Red, green, blue from the 8-bit colour; alpha is always 1.
PF_Err checkoutColorParam(PF_InData* in_data, int index, Color<float>& value);
// 1-based, as the host numbers popup items.
PF_Err checkoutPopupParam(PF_InData* in_data, int index, int& value);
PF_Err checkoutPathParam(PF_InData* in_data, int index, unsigned int& value);

// Degrees, or radians when toRadians is set.
template <typename T>
int checkoutAngleParam(PF_InData* in_data, int index, T& value, bool toRadians);
template <typename T>
int checkoutPointParam(PF_InData* in_data, int index, Vector2<T>& value);
// value × scale: for float the value is rounded to float first.
template <typename T>
int checkoutFloatParam(PF_InData* in_data, int index, T& value, T scale);
template <typename T>
int checkoutPoint3DParam(PF_InData* in_data, int index, Vector3<T>& value);

// Tells the host to grey the parameter out (gray) or bring it back, through
// a copy of its record: the command's parameter array is not written.
PF_Err grayOutParameter(PF_InData* in_data, AEGP_SuiteHandler& suites, PF_ParamDef** params, int index, bool gray);

}  // namespace Nerevo
