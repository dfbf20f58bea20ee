#include "plugin/plugin.h"

#include "AE_EffectCB.h"
#include "color/color.h"
#include "custom_ui/fixed.h"

namespace Nerevo {
namespace Plugin {

namespace {

// Common to every row: type, name through the host's strcpy, id, append.
PF_Err add(PF_InData* in, PF_ParamDef& def, PF_ParamType type, int id, const char* name) {
    def.param_type = type;
    in->utils->ansi.strcpy(def.name, name);
    def.uu.id = id;
    return in->inter.add_param(in->effect_ref, -1, &def);
}

PF_Err addFloatSlider(PF_InData* in, PF_ParamDef& def, const ParameterDef& row, int precision,
                      PF_ValueDisplayFlags displayFlags) {
    PF_FloatSliderDef& fs = def.u.fs_d;
    fs.value = row.dflt.d;
    fs.dephault = static_cast<PF_FpShort>(row.dflt.d);
    fs.valid_min = static_cast<PF_FpShort>(row.validMin.d);
    fs.valid_max = static_cast<PF_FpShort>(row.validMax.d);
    fs.slider_min = static_cast<PF_FpShort>(row.sliderMin.d);
    fs.slider_max = static_cast<PF_FpShort>(row.sliderMax.d);
    fs.precision = static_cast<A_short>(precision);
    fs.display_flags = displayFlags;
    fs.curve_tolerance = 0.0f;
    return add(in, def, PF_Param_FLOAT_SLIDER, row.index, row.name);
}

}  // namespace

int popupItemCount(const char* items) {
    if (!items) {
        return 0;
    }
    int count = 1;
    for (const char* c = items; *c; ++c) {
        count += *c == '|';
    }
    return count;
}

PF_Err addParameter(PF_InData* in, PF_ParamDef& def, const ParameterDef& row, const ParameterUI& ui) {
    switch (row.type) {
        case paramSlider: return addSlider(in, def, row);
        case paramCheckbox: return addCheckbox(in, def, row, ui.label);
        case paramPopup: return addPopup(in, def, row, ui.items);
        case paramFloat: return addFloatSlider(in, def, row, ui.precision, ui.displayFlags);
        case paramAngle: return addAngle(in, def, row);
        case paramPoint: return addPoint(in, def, row, ui.restrictBounds);
        case paramPoint3D: return addPoint3D(in, def, row);
        case paramColor: return addColor(in, def, row);
        default: return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    }
}

PF_Err addTopic(PF_InData* in, PF_ParamDef& def, int id, const char* name) {
    return add(in, def, PF_Param_GROUP_START, id, name);
}

PF_Err addTopicEnd(PF_InData* in, PF_ParamDef& def, int id) {
    def.param_type = PF_Param_GROUP_END;
    def.uu.id = id;
    return in->inter.add_param(in->effect_ref, -1, &def);
}

PF_Err addLayer(PF_InData* in, PF_ParamDef& def, const ParameterDef& row) {
    def.u.ld.dephault = row.dflt.i;
    return add(in, def, PF_Param_LAYER, row.index, row.name);
}

PF_Err addSlider(PF_InData* in, PF_ParamDef& def, const ParameterDef& row) {
    PF_SliderDef& sd = def.u.sd;
    sd.value = sd.dephault = row.dflt.i;
    sd.valid_min = row.validMin.i;
    sd.valid_max = row.validMax.i;
    sd.slider_min = row.sliderMin.i;
    sd.slider_max = row.sliderMax.i;
    return add(in, def, PF_Param_SLIDER, row.index, row.name);
}

PF_Err addAngle(PF_InData* in, PF_ParamDef& def, const ParameterDef& row) {
    def.u.ad.value = def.u.ad.dephault = static_cast<PF_Fixed>(row.dflt.d * 65536);
    return add(in, def, PF_Param_ANGLE, row.index, row.name);
}

PF_Err addCheckbox(PF_InData* in, PF_ParamDef& def, const ParameterDef& row, const char* label) {
    def.u.bd.value = row.dflt.b;
    def.u.bd.dephault = row.dflt.b;
    def.u.bd.u.nameptr = label;
    return add(in, def, PF_Param_CHECKBOX, row.index, row.name);
}

PF_Err addColor(PF_InData* in, PF_ParamDef& def, const ParameterDef& row) {
    const PF_Pixel c{255, toChannel8(row.dflt.color[0]), toChannel8(row.dflt.color[1]),
                     toChannel8(row.dflt.color[2])};
    def.u.cd.value = def.u.cd.dephault = c;
    return add(in, def, PF_Param_COLOR, row.index, row.name);
}

PF_Err addPoint(PF_InData* in, PF_ParamDef& def, const ParameterDef& row, bool restrictBounds) {
    PF_PointDef& td = def.u.td;
    // The whole pixels of the default, cut towards zero.
    td.x_value = td.x_dephault = wholeToFixed(static_cast<A_long>(row.dflt.point[0]));
    td.y_value = td.y_dephault = wholeToFixed(static_cast<A_long>(row.dflt.point[1]));
    td.restrict_bounds = restrictBounds;
    return add(in, def, PF_Param_POINT, row.index, row.name);
}

PF_Err addPoint3D(PF_InData* in, PF_ParamDef& def, const ParameterDef& row) {
    PF_Point3DDef& p = def.u.point3d_d;
    p.x_value = p.x_dephault = row.dflt.point3d[0];
    p.y_value = p.y_dephault = row.dflt.point3d[1];
    p.z_value = p.z_dephault = row.dflt.point3d[2];
    return add(in, def, PF_Param_POINT_3D, row.index, row.name);
}

PF_Err addPopup(PF_InData* in, PF_ParamDef& def, const ParameterDef& row, const char* items) {
    PF_PopupDef& pd = def.u.pd;
    pd.value = row.dflt.i;
    pd.dephault = static_cast<A_short>(row.dflt.i);
    pd.num_choices = static_cast<A_short>(row.validMax.i);
    pd.u.namesptr = items;
    return add(in, def, PF_Param_POPUP, row.index, row.name);
}

PF_Err addFloat(PF_InData* in, PF_ParamDef& def, const ParameterDef& row, int precision) {
    return addFloatSlider(in, def, row, precision, PF_ValueDisplayFlag_NONE);
}

PF_Err addPercent(PF_InData* in, PF_ParamDef& def, const ParameterDef& row, int precision) {
    return addFloatSlider(in, def, row, precision, PF_ValueDisplayFlag_PERCENT);
}

PF_Err addPath(PF_InData* in, PF_ParamDef& def, const ParameterDef& row) {
    def.u.path_d.dephault = row.dflt.i;
    return add(in, def, PF_Param_PATH, row.index, row.name);
}

}  // namespace Plugin
}  // namespace Nerevo
