#pragma once
// The tool's subcommands. Adding one takes a row in the table of
// cli/commands.cpp and a function that declares its options.

#include <functional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace tiltshift {

// What every subcommand knows from the options before its name.
struct Common {
    std::string pluginPath;  // the module to load
};

// What a subcommand does once its arguments are read: returns the exit status.
using Action = std::function<int(const Common&)>;

struct Command {
    const char* name;
    const char* usage;     // arguments after the command name
    const char* summary;   // one line for the overview
    const char* about;     // its own help, before the options: "" or paragraphs ending in a blank line
    const char* footer;    // its own help, after the options: "" or paragraphs
    bool takesParameters;  // its help lists the plug-in's parameters
    // Declares the command's options and arguments on `app`; the action
    // reads them once `app` has parsed. Throws UsageError from the action
    // for arguments that do not fit together.
    Action (*declare)(CLI::App& app);
};

// Every subcommand, in the order the overview lists them.
const std::vector<Command>& commands();

// Runs the command `name` with `args`, its arguments after its name, as the
// command line does, but throws UsageError rather than printing it.
int runCommand(const std::string& name, const Common& common, const std::vector<std::string>& args);

Action declareAbout(CLI::App& app);
Action declareParams(CLI::App& app);
Action declareRender(CLI::App& app);
Action declareDrag(CLI::App& app);
Action declareScene(CLI::App& app);
Action declarePreview(CLI::App& app);

// The module next to the running binary.
std::string defaultPluginPath();

}  // namespace tiltshift
