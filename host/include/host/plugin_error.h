#pragma once
// Errors the plug-in returns to the host, by code and name, with the message
// the plug-in asked the application to show.

#include <stdexcept>
#include <string>

#include "AE_Effect.h"

namespace host {

// "517 PF_Interrupt_CANCEL"; codes the host does not define have no name: "1234".
std::string describeError(PF_Err err);

// A command the plug-in failed.
struct PluginError : std::runtime_error {
    // `command` says what the plug-in was asked: "global setup", "rendering frame 3".
    // `said` is the command's out data: a message the plug-in wanted shown
    // (PF_OutFlag_DISPLAY_ERROR_MESSAGE) ends the text, as the application
    // would show it.
    PluginError(const std::string& command, PF_Err err, const PF_OutData& said);
    PF_Err err;
};

}  // namespace host
