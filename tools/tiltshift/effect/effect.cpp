#include "effect/effect.h"

#include "effect/plugin_error.h"

namespace tiltshift {

std::unique_ptr<host::Host> loadEffect(const std::string& pluginPath, const std::optional<LayerSize>& layer,
                                       PF_OutFlags* globalOutFlags) {
    auto host = std::make_unique<host::Host>(pluginPath);
    if (layer) {
        host->frame().width = layer->width;
        host->frame().height = layer->height;
    }
    if (PF_Err err = host->globalSetup()) {
        throw PluginError("global setup", err);
    }
    if (globalOutFlags) {
        *globalOutFlags = host->outData().out_flags;
    }
    if (PF_Err err = host->paramsSetup()) {
        throw PluginError("to register its parameters", err);
    }
    return host;
}

void logHostProblems(const host::Host& host, std::ostream& log) {
    for (const std::string& problem : host.problems()) {
        log << "tiltshift: host: " << problem << "\n";
    }
}

}  // namespace tiltshift
