#include "plugin/app.h"

namespace Nerevo {
namespace Plugin {
namespace {

double ratio(const PF_RationalScale& scale) {
    return static_cast<double>(scale.num) / scale.den;
}

}  // namespace

App::App(CommandKind kind, int pluginId, PF_InData* in_data, PF_OutData* out_data,
         PF_UserChangedParamExtra* userChangedExtra, PF_SmartRenderExtra* smartRenderExtra,
         const ParameterValue* params)
    : commandKind(kind),
      pluginId(pluginId),
      in_data(in_data),
      out_data(out_data),
      userChangedExtra(userChangedExtra),
      smartRenderExtra(smartRenderExtra),
      params(params),
      suites(in_data->pica_basicP),
      effect(pluginId, in_data, suites),
      currentTime(in_data->current_time),
      timeScale(in_data->time_scale),
      downsampleX(ratio(in_data->downsample_x)),
      downsampleY(ratio(in_data->downsample_y)) {}

App::App(int pluginId, PF_InData* in_data, PF_OutData* out_data, PF_UserChangedParamExtra* extra,
         const ParameterValue* params)
    : App(userChangedParamCommand, pluginId, in_data, out_data, extra, nullptr, params) {}

App::App(int pluginId, PF_InData* in_data, PF_OutData* out_data, PF_SmartRenderExtra* extra,
         const ParameterValue* params, bool)
    : App(smartRenderCommand, pluginId, in_data, out_data, nullptr, extra, params) {}

PF_Err App::execute() {
    PF_Err err = suites.PFInterfaceSuite1()->AEGP_GetEffectLayer(in_data->effect_ref, &layer);
    if (!err) {
        err = suites.LayerSuite13()->AEGP_GetLayerParentComp(layer, &comp);
    }
    if (!err) {
        err = effect.init();
    }
    if (!err) {
        err = commandKind == smartRenderCommand ? executeSmartRender() : command();
    }
    return err;
}

PF_Err App::executeUserChangedParam() {
    return command();
}

PF_Err App::executeSmartRender() {
    A_long threads = numThreads;
    PF_Err err = suites.IterateSuite1()->AEGP_GetNumThreads(&threads);
    if (!err) {
        numThreads = threads;
        err = getInputWorld(in_data, smartRenderExtra, 0, input);
    }
    if (!err) {
        err = getOutputWorld(in_data, smartRenderExtra, output);
    }
    if (!err) {
        err = getBpc(in_data, out_data, input->world, &bpc);
    }
    if (!err) {
        err = render();
    }
    return err;
}

PF_Err App::command() {
    return PF_Err_NONE;
}

PF_Err App::render() {
    return PF_Err_NONE;
}

}  // namespace Plugin
}  // namespace Nerevo
