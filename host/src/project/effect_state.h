#pragma once
// The effect instance as the host keeps it: the parameters the plug-in
// registered and their held values, its custom UI, the project around it and
// the AEGP handles handed out for it. Callbacks reach it from several
// threads, so all of it is used under `mutex`.

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/project.h"
#include "project/aegp_references.h"

namespace host {

struct EffectState {
    explicit EffectState(Host::Impl& host) : project(host) {}

    std::mutex mutex;
    std::vector<ParamRecord> params;
    std::vector<ParamRecord> registering;  // added during PARAMS_SETUP
    std::deque<std::string> texts;         // plug-in text the copied definitions point at
    bool customUIRegistered = false;
    PF_CustomUIInfo customUI{};
    std::vector<std::string> registeredPlugins;  // AEGP_PluginID n is entry n-1
    Project project;
    References references;
};

}  // namespace host
