// "PF Param Utils Suite" version 2: the plug-in changes how a parameter is
// shown. The host keeps the UI flags with the target effect's stream and
// leaves the parameter records, and so the plug-in's parameter array, as
// they are.

#include "AE_EffectSuites.h"
#include "host/project.h"
#include "installers.h"

namespace host {
namespace {

PF_Err updateParamUI(PF_ProgPtr effect_ref, PF_ParamIndex index, const PF_ParamDef* def) noexcept {
    const auto args = [&] {
        return "index=" + std::to_string(index) + (def ? " ui_flags=" + std::to_string(def->ui_flags) : " def=null");
    };
    Host::Impl* host = nullptr;
    if (const PF_Err err = Host::Impl::enterWithRef(effect_ref, "PF_UpdateParamUI", args, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    Effect& effect = host->effect.project.target();
    // A definition of another type would describe some other parameter.
    if (!def || !effect.hasStream(index) ||
        def->param_type != host->effect.params[static_cast<std::size_t>(index)].registered.param_type) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    effect.stream(index).uiFlags = def->ui_flags;
    return PF_Err_NONE;
}

const PF_ParamUtilsSuite2 kParamUtilsSuite = {updateParamUI};

}  // namespace

void installParamUtils(Host::Impl& host) {
    host.suites.add(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion2, &kParamUtilsSuite);
}

}  // namespace host
