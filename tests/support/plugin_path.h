#pragma once
// Where the built plug-in module lies, for tests that load it through the host.

#include <cstdlib>
#include <string>

namespace test {

inline std::string pluginPath() {
    const char* p = std::getenv("NEREVO_PLUGIN_PATH");
    return p ? p : "";
}

}  // namespace test
