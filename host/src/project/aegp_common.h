#pragma once
// What the AEGP suites share: entering a call, and checking the plug-in
// identifiers and layers the plug-in passes.

#include <string>

#include "host/project.h"
#include "host_impl.h"

namespace host {

// The answer to operations on what the project does not hold (masks, the
// layer's group of effects).
constexpr A_Err kNotServed = PF_Err_INVALID_CALLBACK;

// Records the call for the running host and returns the error the fault
// plan injects, or 0; sets `host`. PF_Err_INVALID_CALLBACK when no command
// is running.
A_Err enterAegp(const char* name, CallArgs args, Host::Impl*& host);

// Records the call and refuses it with kNotServed, unless a fault comes first.
A_Err notServed(const char* name);

// These need the effect's lock.
bool knownPlugin(const Host::Impl& host, AEGP_PluginID id);
// The layer behind the handle, or null when the project has no such layer.
Layer* findLayer(Host::Impl& host, AEGP_LayerH layer);
// The effect stream the reference stands for, or null when the plug-in
// holds no such reference, it stands for a layer's property, or its
// parameter is gone (parameters registered anew).
const StreamTarget* findStream(Host::Impl& host, AEGP_StreamRefH stream);

// How the call log writes the arguments: "plugin=1", "effect=#3", "stream=null".
std::string pluginArg(AEGP_PluginID id);
std::string effectArg(AEGP_EffectRefH effect);
std::string streamArg(AEGP_StreamRefH stream);

}  // namespace host
