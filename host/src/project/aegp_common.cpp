#include "project/aegp_common.h"

namespace host {

A_Err enterAegp(const char* name, CallArgs args, Host::Impl*& host) {
    host = Host::Impl::current();
    if (!host) {
        return PF_Err_INVALID_CALLBACK;
    }
    return host->enter(name, args);
}

A_Err notServed(const char* name) {
    Host::Impl* host = nullptr;
    const A_Err err = enterAegp(name, "", host);
    return err ? err : kNotServed;
}

bool knownPlugin(const Host::Impl& host, AEGP_PluginID id) {
    return id >= 1 && static_cast<std::size_t>(id) <= host.effect.registeredPlugins.size();
}

Layer* findLayer(Host::Impl& host, AEGP_LayerH layer) {
    Layer* candidate = reinterpret_cast<Layer*>(layer);
    return host.effect.project.contains(candidate) ? candidate : nullptr;
}

const StreamTarget* findStream(Host::Impl& host, AEGP_StreamRefH stream) {
    const StreamTarget* found = host.effect.references.find(stream);
    return found && found->effect && (!found->param || found->effect->hasStream(found->param)) ? found : nullptr;
}

std::string pluginArg(AEGP_PluginID id) {
    return "plugin=" + std::to_string(id);
}

std::string effectArg(AEGP_EffectRefH effect) {
    return "effect=" + handleArg(effect);
}

std::string streamArg(AEGP_StreamRefH stream) {
    return "stream=" + handleArg(stream);
}

}  // namespace host
