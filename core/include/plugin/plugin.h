#pragma once
// Parameters described once, as a table: the same rows drive registration
// with the host, reading the values at render time and the typed values the
// render reads.

#include <cstdint>

#include "AE_Effect.h"

namespace Nerevo {
namespace Plugin {

// Parameter type codes of the table (not the host's PF_Param_* values).
enum ParameterType : int32_t {
    paramSlider = 1,      // int32
    paramCheckbox = 2,    // bool
    paramPopup = 3,       // int32, 1-based item
    paramFloat = 4,       // double (also percent)
    paramAngle = 5,       // double, degrees
    paramPoint = 6,       // two doubles
    paramPoint3D = 7,     // three doubles
    paramColor = 8        // three floats, 0..1, no alpha
};

union ParameterUnionValue {
    int32_t i;
    bool b;
    double d;
    double point[2];
    double point3d[3];
    float color[3];
};

// One row of a parameter table. For a popup, dflt is the default item,
// validMin 1 and validMax the number of items.
struct ParameterDef {
    char name[32];
    int32_t type;
    int32_t index;  // position in the host's list; 0 is the input layer
    ParameterUnionValue dflt;
    ParameterUnionValue validMin;
    ParameterUnionValue validMax;
    ParameterUnionValue sliderMin;
    ParameterUnionValue sliderMax;
};

// A typed value as the render reads it (index before type, unlike the row).
struct ParameterValue {
    int32_t index;
    int32_t type;
    ParameterUnionValue value;
};

// Renders one frame from the typed parameter values (see Plugin::App).
using SmartRenderFunc = PF_Err (*)(int pluginId, PF_InData* in, PF_OutData* out, PF_SmartRenderExtra* extra,
                                   const ParameterValue* params, bool);

// What a plug-in module exports besides its entry point: its parameter
// table and its render function.
struct PluginInfo {
    const ParameterDef* paramDefs;
    int32_t paramCount;
    const void* reserved0;
    const void* reserved1;
    SmartRenderFunc smartRender;
};

// What registration needs of a row beyond its ParameterDef; each field
// matters only for the types named beside it.
struct ParameterUI {
    int precision = 0;                                            // float
    PF_ValueDisplayFlags displayFlags = PF_ValueDisplayFlag_NONE;  // float
    const char* items = nullptr;  // popup, in the host's form "A|B|(-|C"; "(-" is a separator item
    const char* label = "";       // checkbox: the text beside the box
    bool restrictBounds = false;  // point
};

// The number of items in a popup's item string, separators included.
int popupItemCount(const char* items);

// Registers one row with the add... function of its type; a type without one
// is PF_Err_UNRECOGNIZED_PARAM_TYPE and nothing is added.
PF_Err addParameter(PF_InData* in, PF_ParamDef& def, const ParameterDef& row, const ParameterUI& ui);

// Registration: each fills the caller's cleared def, names it with the
// host's strcpy, sets uu.id to the row's index and appends it with add_param.
PF_Err addTopic(PF_InData* in, PF_ParamDef& def, int id, const char* name);
PF_Err addTopicEnd(PF_InData* in, PF_ParamDef& def, int id);
PF_Err addLayer(PF_InData* in, PF_ParamDef& def, const ParameterDef& row);
PF_Err addSlider(PF_InData* in, PF_ParamDef& def, const ParameterDef& row);
PF_Err addAngle(PF_InData* in, PF_ParamDef& def, const ParameterDef& row);
PF_Err addCheckbox(PF_InData* in, PF_ParamDef& def, const ParameterDef& row, const char* label);
PF_Err addColor(PF_InData* in, PF_ParamDef& def, const ParameterDef& row);
PF_Err addPoint(PF_InData* in, PF_ParamDef& def, const ParameterDef& row, bool restrictBounds);
PF_Err addPoint3D(PF_InData* in, PF_ParamDef& def, const ParameterDef& row);
PF_Err addPopup(PF_InData* in, PF_ParamDef& def, const ParameterDef& row, const char* items);
PF_Err addFloat(PF_InData* in, PF_ParamDef& def, const ParameterDef& row, int precision);
PF_Err addPercent(PF_InData* in, PF_ParamDef& def, const ParameterDef& row, int precision);
PF_Err addPath(PF_InData* in, PF_ParamDef& def, const ParameterDef& row);

// Reads the current values of `count` rows from the host into out[0..count).
// Stops at the first failed checkout: that row and every later one keep the
// caller's values, and the error is returned.
PF_Err checkoutParams(PF_InData* in, const ParameterDef* defs, int count, ParameterUnionValue* out);

// The same conversion from the parameter array the host passed with a command.
PF_Err copyParams(PF_ParamDef** params, const ParameterDef* defs, int count, ParameterValue* out);

}  // namespace Plugin
}  // namespace Nerevo
