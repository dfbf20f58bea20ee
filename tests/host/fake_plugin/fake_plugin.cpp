// A small effect that drives the host's callbacks and suites as an effect does, shaped by the tests.

#include <cstring>

#include "AE_EffectCB.h"
#include "AE_EffectUI.h"
#include "AE_GeneralPlug.h"
#include "fake_protocol.h"

extern "C" {
__attribute__((visibility("default"))) FakeCounters FakeState = {0, 0, -1, 0, {0, 0, 0, 0}, {0, 0, 0, 0}};
}

namespace {

struct Global {
    AEGP_PluginID pluginId;
    A_long reserved[3];
};

PF_Err globalSetup(PF_InData* in, PF_OutData* out) {
    PF_Handle handle = in->utils->host_new_handle(sizeof(Global));
    const AEGP_UtilitySuite7* utility = nullptr;
    PF_Err err = in->pica_basicP->AcquireSuite(kAEGPUtilitySuite, kAEGPUtilitySuiteVersion7,
                                               reinterpret_cast<const void**>(&utility));
    if (!err) {
        auto* global = static_cast<Global*>(in->utils->host_lock_handle(handle));
        err = utility->AEGP_RegisterWithAEGP(nullptr, "Fake", &global->pluginId);
        in->utils->host_unlock_handle(handle);
        in->pica_basicP->ReleaseSuite(kAEGPUtilitySuite, kAEGPUtilitySuiteVersion7);
    }
    if (err) {
        in->utils->host_dispose_handle(handle);
        return err;
    }
    out->global_data = handle;
    return PF_Err_NONE;
}

PF_Err globalSetdown(PF_InData* in, bool keepGlobal) {
    ++FakeState.setdowns;
    if (in->global_data && !keepGlobal) {
        in->utils->host_dispose_handle(in->global_data);
    }
    return PF_Err_NONE;
}

// Texts are scribbled over after registration: the host must have kept its own copies.
PF_Err paramsSetup(PF_InData* in, PF_OutData* out) {
    char items[] = "Radial|(-|Linear";
    char label[] = "Grow bounds";
    PF_Err err = PF_Err_NONE;
    auto add = [&](PF_ParamDef& def, A_long type, const char* name) {
        def.param_type = type;
        def.flags = PF_ParamFlag_START_COLLAPSED;
        in->utils->ansi.strcpy(def.name, name);
        err = err ? err : in->inter.add_param(in->effect_ref, -1, &def);
    };
    PF_ParamDef def{};
    def.u.pd.value = def.u.pd.dephault = 1;
    def.u.pd.num_choices = 3;
    def.u.pd.u.namesptr = items;
    add(def, PF_Param_POPUP, "Type");

    def = PF_ParamDef{};
    def.u.fs_d.value = def.u.fs_d.dephault = 50;
    def.u.fs_d.valid_max = def.u.fs_d.slider_max = 100;
    add(def, PF_Param_FLOAT_SLIDER, "Amount");

    def = PF_ParamDef{};
    def.u.bd.value = def.u.bd.dephault = 1;
    def.u.bd.u.nameptr = label;
    add(def, PF_Param_CHECKBOX, "Grow");

    std::memset(items, '#', sizeof items - 1);
    std::memset(label, '#', sizeof label - 1);
    if (!err) {
        PF_CustomUIInfo ui{};
        ui.events = PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER;
        err = in->inter.register_ui(in->effect_ref, &ui);
    }
    out->num_params = 4;
    return err;
}

PF_Err preRender(PF_InData* in, PF_PreRenderExtra& extra) {
    const char key[] = "fake cache key";
    const auto size = static_cast<A_u_long>(FakeState.guid < 0 ? -FakeState.guid : FakeState.guid);
    if (const PF_Err err = extra.cb->GuidMixInPtr(in->effect_ref, size, FakeState.guid < 0 ? nullptr : key)) {
        return err;
    }
    extra.output->result_rect = extra.output->max_result_rect = FakeState.result;
    PF_CheckoutResult layer{};
    return extra.cb->checkout_layer(in->effect_ref, 0, 0, &extra.input->output_request, in->current_time,
                                    in->time_step, in->time_scale, &layer);
}

PF_Err smartRender(PF_InData* in, PF_SmartRenderExtra& extra) {
    PF_EffectWorld* input = nullptr;
    PF_EffectWorld* output = nullptr;
    PF_Err err = extra.cb->checkout_layer_pixels(in->effect_ref, 0, &input);
    if (!err) {
        FakeState.input = {input->origin_x, input->origin_y, input->origin_x + input->width,
                           input->origin_y + input->height};
        err = extra.cb->checkout_output(in->effect_ref, &output);
    }
    return err ? err : in->utils->fill(in->effect_ref, &kFakeGrey, nullptr, output);
}

constexpr int kAmount = 2;

void event(PF_ParamDef* amount, const PF_EventExtra& extra) {
    FakeState.eventAmount = amount->u.fs_d.value;
    if (extra.e_type == PF_Event_DO_CLICK && FakeState.clickAmount >= 0) {
        amount->u.fs_d.value = FakeState.clickAmount;
        amount->uu.change_flags = PF_ChangeFlag_CHANGED_VALUE;
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in, PF_OutData* out,
                                                                        PF_ParamDef* params[], PF_LayerDef*,
                                                                        void* extra) {
    switch (cmd) {
    case PF_Cmd_GLOBAL_SETUP: return globalSetup(in, out);
    case PF_Cmd_GLOBAL_SETDOWN: return globalSetdown(in, extra != nullptr);
    case PF_Cmd_PARAMS_SETUP: return paramsSetup(in, out);
    case PF_Cmd_EVENT: event(params[kAmount], *static_cast<PF_EventExtra*>(extra)); return PF_Err_NONE;
    case PF_Cmd_SMART_PRE_RENDER: return preRender(in, *static_cast<PF_PreRenderExtra*>(extra));
    case PF_Cmd_SMART_RENDER: return smartRender(in, *static_cast<PF_SmartRenderExtra*>(extra));
    default: return PF_Err_NONE;
    }
}
