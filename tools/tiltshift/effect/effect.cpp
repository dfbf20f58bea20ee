#include "effect/effect.h"

#include "effect/call_trace.h"
#include "host/plugin_error.h"

namespace tiltshift {

void ReleaseEffect::operator()(host::Host* host) const {
    CallTrace::collect(*host);
    delete host;
}

Effect openEffect(const std::string& pluginPath) {
    Effect host(new host::Host(pluginPath));
    CallTrace::follow(*host);
    return host;
}

Effect loadEffect(const std::string& pluginPath, const std::optional<LayerSize>& layer, PF_OutFlags* globalOutFlags) {
    Effect host = openEffect(pluginPath);
    if (layer) {
        host->frame().width = layer->width;
        host->frame().height = layer->height;
    }
    if (PF_Err err = host->globalSetup()) {
        throw host::PluginError("global setup", err, host->outData());
    }
    if (globalOutFlags) {
        *globalOutFlags = host->outData().out_flags;
    }
    if (PF_Err err = host->paramsSetup()) {
        throw host::PluginError("to register its parameters", err, host->outData());
    }
    return host;
}

void logHostProblems(const host::Host& host, std::ostream& log) {
    for (const std::string& problem : host.problems()) {
        log << "tiltshift: host: " << problem << "\n";
    }
}

}  // namespace tiltshift
