// "AEGP Utility Suite": registration of the plug-in with the host.

#include "format.h"
#include "installers.h"

namespace host {
namespace {

A_Err registerWithAEGP(AEGP_GlobalRefcon, const A_char* plugin_name, AEGP_PluginID* plugin_id) noexcept {
    Host::Impl* host = Host::Impl::current();
    if (!host) {
        return A_Err_GENERIC;
    }
    if (const PF_Err err = host->enter("AEGP_RegisterWithAEGP", [&] { return "name=" + quoted(plugin_name); })) {
        return err;
    }
    if (!plugin_id) {
        return A_Err_PARAMETER;
    }
    *plugin_id = host->registerPlugin(plugin_name ? plugin_name : "");
    return A_Err_NONE;
}

const AEGP_UtilitySuite7 kUtilitySuite = {registerWithAEGP};

}  // namespace

AEGP_PluginID Host::Impl::registerPlugin(std::string name) {
    std::lock_guard<std::mutex> lock(effect.mutex);
    effect.registeredPlugins.push_back(std::move(name));
    return static_cast<AEGP_PluginID>(effect.registeredPlugins.size());
}

void installUtilitySuites(Host::Impl& host) {
    host.suites.add(kAEGPUtilitySuite, kAEGPUtilitySuiteVersion7, &kUtilitySuite);
}

}  // namespace host
