#include "color/color.h"
#include "plugin/plugin.h"

namespace Nerevo {
namespace Plugin {

namespace {

// The one conversion from a host parameter record to a table value; types
// without a value leave `out` as it was.
void readValue(int32_t type, const PF_ParamDef& def, ParameterUnionValue& out) {
    switch (type) {
        case paramSlider: out.i = def.u.sd.value; break;
        case paramPopup: out.i = def.u.pd.value; break;
        case paramCheckbox: out.b = def.u.bd.value != 0; break;
        case paramFloat: out.d = def.u.fs_d.value; break;
        case paramAngle: out.d = fixedToDouble(def.u.ad.value); break;
        case paramPoint:
            out.point[0] = fixedToDouble(def.u.td.x_value);
            out.point[1] = fixedToDouble(def.u.td.y_value);
            break;
        case paramPoint3D:
            out.point3d[0] = def.u.point3d_d.x_value;
            out.point3d[1] = def.u.point3d_d.y_value;
            out.point3d[2] = def.u.point3d_d.z_value;
            break;
        case paramColor:
            out.color[0] = def.u.cd.value.red / 255.0f;
            out.color[1] = def.u.cd.value.green / 255.0f;
            out.color[2] = def.u.cd.value.blue / 255.0f;
            break;
        default: break;
    }
}

bool hasValue(int32_t type) {
    return type >= paramSlider && type <= paramColor;
}

}  // namespace

PF_Err checkoutParams(PF_InData* in, const ParameterDef* defs, int count, ParameterUnionValue* out) {
    PF_Err err = PF_Err_NONE;
    for (int k = 0; k < count && !err; ++k) {
        if (!hasValue(defs[k].type)) {
            continue;
        }
        PF_ParamDef def{};
        err = in->inter.checkout_param(in->effect_ref, defs[k].index, in->current_time, in->time_step,
                                       in->time_scale, &def);
        if (!err) {
            readValue(defs[k].type, def, out[k]);
        }
    }
    return err;
}

PF_Err copyParams(PF_ParamDef** params, const ParameterDef* defs, int count, ParameterValue* out) {
    for (int k = 0; k < count; ++k) {
        out[k].index = defs[k].index;
        out[k].type = defs[k].type;
        if (hasValue(defs[k].type)) {
            readValue(defs[k].type, *params[defs[k].index], out[k].value);
        }
    }
    return PF_Err_NONE;
}

}  // namespace Plugin
}  // namespace Nerevo
