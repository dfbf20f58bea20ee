#include "parameter/checkout.h"

#include "parameter/units.h"

namespace Nerevo {

namespace {

PF_Err checkout(PF_InData* in, int index, PF_ParamDef& def) {
    def = PF_ParamDef{};
    return in->inter.checkout_param(in->effect_ref, index, in->current_time, in->time_step, in->time_scale, &def);
}

}  // namespace

PF_Err checkoutSliderParam(PF_InData* in_data, int index, int& value) {
    PF_ParamDef def;
    PF_Err err = checkout(in_data, index, def);
    value = def.u.sd.value;
    return err;
}

PF_Err checkoutCheckboxParam(PF_InData* in_data, int index, bool& value) {
    PF_ParamDef def;
    PF_Err err = checkout(in_data, index, def);
    value = def.u.bd.value != 0;
    return err;
}

PF_Err checkoutColorParam(PF_InData* in_data, int index, Color<float>& value) {
    PF_ParamDef def;
    PF_Err err = checkout(in_data, index, def);
    const PF_Pixel& p = def.u.cd.value;
    value = Color<float>{1.0f, p.red / 255.0f, p.green / 255.0f, p.blue / 255.0f};
    return err;
}

PF_Err checkoutPopupParam(PF_InData* in_data, int index, int& value) {
    PF_ParamDef def;
    PF_Err err = checkout(in_data, index, def);
    value = def.u.pd.value;
    return err;
}

PF_Err checkoutPathParam(PF_InData* in_data, int index, unsigned int& value) {
    PF_ParamDef def;
    PF_Err err = checkout(in_data, index, def);
    value = static_cast<unsigned int>(def.u.path_d.path_id);
    return err;
}

template <typename T>
int checkoutAngleParam(PF_InData* in_data, int index, T& value, bool toRadians) {
    PF_ParamDef def;
    PF_Err err = checkout(in_data, index, def);
    double degrees = fixedToDouble(def.u.ad.value);
    value = static_cast<T>(toRadians ? degreesToRadians(degrees) : degrees);
    return err;
}

template <typename T>
int checkoutPointParam(PF_InData* in_data, int index, Vector2<T>& value) {
    PF_ParamDef def;
    PF_Err err = checkout(in_data, index, def);
    value = Vector2<T>{static_cast<T>(fixedToDouble(def.u.td.x_value)), static_cast<T>(fixedToDouble(def.u.td.y_value))};
    return err;
}

// For float the value is rounded to float before the single-precision product.
template <typename T>
int checkoutFloatParam(PF_InData* in_data, int index, T& value, T scale) {
    PF_ParamDef def;
    PF_Err err = checkout(in_data, index, def);
    value = static_cast<T>(def.u.fs_d.value) * scale;
    return err;
}

template <typename T>
int checkoutPoint3DParam(PF_InData* in_data, int index, Vector3<T>& value) {
    PF_ParamDef def;
    PF_Err err = checkout(in_data, index, def);
    const PF_Point3DDef& p = def.u.point3d_d;
    value = Vector3<T>{static_cast<T>(p.x_value), static_cast<T>(p.y_value), static_cast<T>(p.z_value)};
    return err;
}

template int checkoutAngleParam<float>(PF_InData*, int, float&, bool);
template int checkoutAngleParam<double>(PF_InData*, int, double&, bool);
template int checkoutPointParam<float>(PF_InData*, int, Vector2<float>&);
template int checkoutPointParam<double>(PF_InData*, int, Vector2<double>&);
template int checkoutFloatParam<float>(PF_InData*, int, float&, float);
template int checkoutFloatParam<double>(PF_InData*, int, double&, double);
template int checkoutPoint3DParam<float>(PF_InData*, int, Vector3<float>&);
template int checkoutPoint3DParam<double>(PF_InData*, int, Vector3<double>&);

PF_Err grayOutParameter(PF_InData* in_data, AEGP_SuiteHandler& suites, PF_ParamDef** params, int index, bool gray) {
    PF_ParamDef copy = *params[index];
    if (gray) {
        copy.ui_flags |= PF_PUI_DISABLED;
    } else {
        copy.ui_flags &= ~PF_PUI_DISABLED;
    }
    return suites.ParamUtilsSuite2()->PF_UpdateParamUI(in_data->effect_ref, index, &copy);
}

}  // namespace Nerevo
