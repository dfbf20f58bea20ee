#pragma once
// The tool's subcommands and what they share.

#include <stdexcept>
#include <string>
#include <vector>

namespace tiltshift {

// Options every subcommand understands.
struct Common {
    std::string pluginPath;  // the module to load
};

// Thrown for wrong usage; main prints it with the command's usage line.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Command {
    const char* name;
    const char* usage;    // arguments after the command name
    const char* summary;  // one line for the overview
    const char* details;  // the options, for the command's own help
    bool takesParameters; // its help lists the plug-in's parameters
    int (*run)(const Common& common, const std::vector<std::string>& args);
};

int runAbout(const Common& common, const std::vector<std::string>& args);
int runParams(const Common& common, const std::vector<std::string>& args);
int runRender(const Common& common, const std::vector<std::string>& args);
int runDrag(const Common& common, const std::vector<std::string>& args);
int runScene(const Common& common, const std::vector<std::string>& args);

// The module next to the running binary.
std::string defaultPluginPath();

}  // namespace tiltshift
