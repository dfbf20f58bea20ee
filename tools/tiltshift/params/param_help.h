#pragma once
// The parameters as help text: name, kind, default and valid range, as the
// plug-in registers them.

#include <ostream>
#include <string>

namespace tiltshift {

// Loads the plug-in to ask it; when it does not load, says so instead.
void printParameterHelp(std::ostream& os, const std::string& pluginPath);

}  // namespace tiltshift
