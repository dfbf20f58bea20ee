#include <iostream>

#include "cli/command.h"
#include "effect/effect.h"
#include "host/plugin_error.h"

namespace tiltshift {

namespace {

int printAbout(const std::string& pluginPath) {
    const Effect host = openEffect(pluginPath);
    if (PF_Err err = host->about()) {
        throw host::PluginError("the About command", err, host->outData());
    }
    // The host's About text separates its lines with carriage returns.
    std::string text = host->outData().return_msg;
    for (char& c : text) {
        if (c == '\r') {
            c = '\n';
        }
    }
    std::cout << text << "\n";
    return 0;
}

}  // namespace

Action declareAbout(CLI::App&) {
    return [](const Common& common) { return printAbout(common.pluginPath); };
}

}  // namespace tiltshift
