#include "default/command.h"

#include "AEGP_SuiteHandler.h"
#include "AE_EffectCB.h"
#include "Smart_Utils.h"
#include "world/world.h"

namespace Nerevo {
namespace Default {

PF_Err About(const char* name, const char* notice, const Version& version, PF_InData* in, PF_OutData* out,
             PF_ParamDef*[], PF_LayerDef*) {
    in->utils->ansi.sprintf(out->return_msg, "%s, v%d.%d.%d\r%s", name, static_cast<int>(version.major),
                            static_cast<int>(version.minor), static_cast<int>(version.bugfix), notice);
    return PF_Err_NONE;
}

PF_Err GlobalSetup(const Version& version, int32_t outFlags, int32_t outFlags2, PF_InData* in, PF_OutData* out,
                   PF_ParamDef*[], PF_LayerDef*) {
    out->my_version = packVersion(version);
    out->out_flags = outFlags;
    out->out_flags2 = outFlags2;

    AEGP_SuiteHandler suites(in->pica_basicP);
    const PF_HandleSuite2* handles = suites.HandleSuite2();
    PF_Handle global = handles->host_new_handle(sizeof(GlobalData));
    if (!global) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
    // The record belongs to the host only once it is stored as global data;
    // until then, on every way out (a missing suite throws), it is ours to free.
    struct Owned {
        const PF_HandleSuite2* handles;
        PF_Handle handle;
        ~Owned() {
            if (handle) {
                handles->host_dispose_handle(handle);
            }
        }
    } owned{handles, global};

    PF_Err err = PF_Err_NONE;
    if (auto* data = static_cast<GlobalData*>(handles->host_lock_handle(global))) {
        err = suites.UtilitySuite7()->AEGP_RegisterWithAEGP(nullptr, "Error!", &data->pluginId);
        if (!err) {
            out->global_data = global;
            owned.handle = nullptr;
        }
    } else {
        // Without the record no later command knows the plug-in's identifier:
        // say so here, where the cause is known, instead of failing later.
        err = PF_Err_OUT_OF_MEMORY;
        out->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
        in->utils->ansi.sprintf(out->return_msg, "%s", "Cannot lock the global data handle at global setup.");
    }
    handles->host_unlock_handle(global);
    return err;
}

PF_Err GlobalSetdown(PF_InData* in) {
    if (in->global_data) {
        AEGP_SuiteHandler suites(in->pica_basicP);
        suites.HandleSuite2()->host_dispose_handle(in->global_data);
    }
    return PF_Err_NONE;
}

PF_Err PreRender(PF_InData* in, PF_OutData*, PF_PreRenderExtra* extra) {
    PF_RenderRequest request = extra->input->output_request;
    request.preserve_rgb_of_zero_alpha = true;
    PF_CheckoutResult result{};
    const PF_Err err = extra->cb->checkout_layer(in->effect_ref, 0, 0, &request, in->current_time, in->time_step,
                                                 in->time_scale, &result);
    if (!err) {
        UnionLRect(&result.result_rect, &extra->output->result_rect);
        UnionLRect(&result.max_result_rect, &extra->output->max_result_rect);
    }
    return err;
}

PF_Err SmartRender(PF_InData* in, PF_OutData*, PF_SmartRenderExtra* extra) {
    std::shared_ptr<World> input;
    std::shared_ptr<World> output;
    PF_Err err = getInputWorld(in, extra, 0, input);
    if (!err) {
        err = getOutputWorld(in, extra, output);
    }
    if (!err) {
        err = copy(in, input, output);
    }
    return err;
}

}  // namespace Default
}  // namespace Nerevo
