#pragma once
// The plug-in in a headless host, ready for commands: its global setup done
// and its parameters registered.

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "host/host.h"

namespace tiltshift {

// The layer the parameters are registered for: a point's default is a
// percentage of its size.
struct LayerSize {
    int width = 0;
    int height = 0;
};

// Lets go of an effect's host; while a call trace is open, the calls the
// host recorded join it first.
struct ReleaseEffect {
    void operator()(host::Host* host) const;
};

using Effect = std::unique_ptr<host::Host, ReleaseEffect>;

// The module loaded in a host that has run nothing yet; throws
// host::HostError when the module does not load.
Effect openEffect(const std::string& pluginPath);

// Throws host::HostError when the module does not load, PluginError when
// the plug-in fails either setup command. Without `layer` the host's own
// default layer stands in. `globalOutFlags` receives the out
// flags the plug-in declared at global setup.
Effect loadEffect(const std::string& pluginPath, const std::optional<LayerSize>& layer = std::nullopt,
                  PF_OutFlags* globalOutFlags = nullptr);

// Writes what the host's check found after the last command, one line each.
void logHostProblems(const host::Host& host, std::ostream& log);

}  // namespace tiltshift
