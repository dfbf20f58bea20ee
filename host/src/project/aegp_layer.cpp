// The effect's place in the project: "AEGP PF Interface Suite" (the layer
// and effect instance a command goes to) and "AEGP Layer Suite".

#include "project/aegp_common.h"

namespace host {
namespace {

A_Err getEffectLayer(PF_ProgPtr effect_ref, AEGP_LayerH* layer) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = Host::Impl::enterWithRef(effect_ref, "AEGP_GetEffectLayer", "", host)) {
        return err;
    }
    if (!layer) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    *layer = reinterpret_cast<AEGP_LayerH>(&host->effect.project.target().layer());
    return A_Err_NONE;
}

A_Err getNewEffectForEffect(AEGP_PluginID plugin, PF_ProgPtr effect_ref, AEGP_EffectRefH* effect) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = Host::Impl::enterWithRef(
            effect_ref, "AEGP_GetNewEffectForEffect", [&] { return pluginArg(plugin); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    if (!effect || !knownPlugin(*host, plugin)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *effect = host->effect.references.add(host->effect.project.target(), host->commandSerial);
    return A_Err_NONE;
}

std::string layerArg(AEGP_LayerH layer) {
    return layer ? "layer" : "layer=null";
}

A_Err getLayerParentComp(AEGP_LayerH layer, AEGP_CompH* comp) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_GetLayerParentComp", [&] { return layerArg(layer); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const Layer* found = findLayer(*host, layer);
    if (!found || !comp) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *comp = reinterpret_cast<AEGP_CompH>(&found->composition());
    return A_Err_NONE;
}

A_Err getLayerObjectType(AEGP_LayerH layer, AEGP_ObjectType* type) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_GetLayerObjectType", [&] { return layerArg(layer); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const Layer* found = findLayer(*host, layer);
    if (!found || !type) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *type = host->objectType(*found);
    return A_Err_NONE;
}

const AEGP_PFInterfaceSuite1 kPFInterfaceSuite = {getEffectLayer, getNewEffectForEffect};
const AEGP_LayerSuite13 kLayerSuite = {getLayerParentComp, getLayerObjectType};

}  // namespace

void installAegpLayer(Host::Impl& host) {
    host.suites.add(kAEGPPFInterfaceSuite, kAEGPPFInterfaceSuiteVersion1, &kPFInterfaceSuite);
    host.suites.add(kAEGPLayerSuite, kAEGPLayerSuiteVersion13, &kLayerSuite);
}

}  // namespace host
