#pragma once
// Errors the plug-in returns to the host, by code and name.

#include <stdexcept>
#include <string>

#include "AE_Effect.h"

namespace tiltshift {

// "517 PF_Interrupt_CANCEL"; codes the host does not define have no name: "1234".
std::string describeError(PF_Err err);

// A command the plug-in failed.
struct PluginError : std::runtime_error {
    // `command` says what the plug-in was asked: "global setup", "rendering frame 3".
    PluginError(const std::string& command, PF_Err err);
    PF_Err err;
};

}  // namespace tiltshift
