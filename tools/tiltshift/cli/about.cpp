#include <iostream>

#include "cli/command.h"
#include "host/host.h"
#include "effect/plugin_error.h"

namespace tiltshift {

int runAbout(const Common& common, const std::vector<std::string>& args) {
    if (!args.empty()) {
        throw UsageError("about takes no arguments");
    }
    host::Host host(common.pluginPath);
    if (PF_Err err = host.about()) {
        throw PluginError("the About command", err);
    }
    // The host's About text separates its lines with carriage returns.
    std::string text = host.outData().return_msg;
    for (char& c : text) {
        if (c == '\r') {
            c = '\n';
        }
    }
    std::cout << text << "\n";
    return 0;
}

}  // namespace tiltshift
