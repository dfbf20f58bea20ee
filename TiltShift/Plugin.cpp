// The entry point: one command at a time from the host.

#include "Plugin.h"

#include <new>

#include "AEGP_SuiteHandler.h"
#include "AE_EffectCB.h"
#include "Params.h"
#include "PluginUI.h"
#include "SmartRender.h"
#include "TiltShifter.h"
#include "effect/effect_handle.h"
#include "parameter/checkout.h"

namespace {

PF_Err paramsSetup(PF_InData* in, PF_OutData* out) {
    PF_Err err = PF_Err_NONE;
    for (int k = 0; k < PARAM_COUNT && !err; ++k) {
        PF_ParamDef def{};
        def.flags = PF_ParamFlag_START_COLLAPSED;
        err = Nerevo::Plugin::addParameter(in, def, PARAM_DEFS[k], PARAM_UI[k]);
    }
    if (!err) {
        PF_CustomUIInfo ui{};
        ui.events = PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER;
        err = in->inter.register_ui(in->effect_ref, &ui);
    }
    // The host sizes its parameter array from this even after a failure.
    out->num_params = PARAM_COUNT_WITH_INPUT;
    return err;
}

// The identifier the host gave at registration, kept in the global record.
int pluginIdOf(PF_InData* in) {
    if (!in->global_data) {
        return 0;
    }
    const auto* global = static_cast<const Nerevo::Default::GlobalData*>(in->utils->host_lock_handle(in->global_data));
    const int id = global ? global->pluginId : 0;
    in->utils->host_unlock_handle(in->global_data);
    return id;
}

// Greys out what the current "Type" and "Linear Mode" make meaningless.
PF_Err updateParamsUI(PF_InData* in, PF_OutData* out, PF_ParamDef* params[]) {
    AEGP_SuiteHandler suites(in->pica_basicP);
    Nerevo::EffectHandle effect(pluginIdOf(in), in, suites);
    PF_Err err = effect.init();

    const int type = params[Param::Type]->u.pd.value;
    const int linearMode = params[Param::LinearMode]->u.pd.value;
    for (const GrayOutRule& rule : GRAY_OUT_RULES) {
        if (!err && rule.appliesTo(type, linearMode)) {
            err = Nerevo::grayOutParameter(in, suites, params, rule.index, rule.gray);
        }
    }

    out->out_flags |= PF_OutFlag_REFRESH_UI;
    PF_Err disposeErr = effect.dispose();
    return err ? err : disposeErr;
}

PF_Err userChangedParam(PF_InData* in) {
    AEGP_SuiteHandler suites(in->pica_basicP);
    AEGP_LayerH layer = nullptr;
    AEGP_CompH comp = nullptr;
    PF_Err err = suites.PFInterfaceSuite1()->AEGP_GetEffectLayer(in->effect_ref, &layer);
    if (!err) {
        err = suites.LayerSuite13()->AEGP_GetLayerParentComp(layer, &comp);
    }
    return err;
}

PF_Err dispatch(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef* params[], PF_LayerDef* output,
                void* extra) {
    using namespace Nerevo::Default;
    switch (cmd) {
        case PF_Cmd_ABOUT:
            return About(PLUGIN_NAME, "Tilt-shift miniature effect.", PLUGIN_VERSION, in, out, params, output);
        case PF_Cmd_GLOBAL_SETUP:
            return GlobalSetup(PLUGIN_VERSION, PLUGIN_OUT_FLAGS, PLUGIN_OUT_FLAGS2, in, out, params, output);
        case PF_Cmd_GLOBAL_SETDOWN:
            TiltShifter::releaseSpareBuffers();
            return GlobalSetdown(in);
        case PF_Cmd_PARAMS_SETUP: return paramsSetup(in, out);
        case PF_Cmd_USER_CHANGED_PARAM: return userChangedParam(in);
        case PF_Cmd_UPDATE_PARAMS_UI: return updateParamsUI(in, out, params);
        case PF_Cmd_EVENT: return UI::HandleEvent(in, out, params, output, static_cast<PF_EventExtra*>(extra));
        case PF_Cmd_SMART_PRE_RENDER: return smartPreRender(in, out, static_cast<PF_PreRenderExtra*>(extra));
        case PF_Cmd_SMART_RENDER: return smartRender(in, out, static_cast<PF_SmartRenderExtra*>(extra));
        default: return PF_Err_NONE;
    }
}

}  // namespace

extern "C" {

const Nerevo::Plugin::PluginInfo PluginInfo{PARAM_DEFS, PARAM_COUNT, nullptr, nullptr, PluginSmartRender};

PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                      PF_LayerDef* output, void* extra) {
    // No exception may reach the host. A missing suite throws its error code;
    // anything else thrown is a fault of ours and reported as such.
    try {
        return dispatch(cmd, in_data, out_data, params, output, extra);
    } catch (PF_Err err) {
        return err;
    } catch (const std::bad_alloc&) {
        return PF_Err_OUT_OF_MEMORY;
    } catch (...) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
}

}  // extern "C"
