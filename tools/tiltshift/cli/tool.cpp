#include "cli/tool.h"

#include <unistd.h>

#include <CLI/CLI.hpp>

#include <climits>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/command.h"
#include "cli/help.h"
#include "effect/call_trace.h"
#include "images/pending_file.h"

namespace tiltshift {

std::string defaultPluginPath() {
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string dir = ".";
    if (n > 0) {
        exe[n] = '\0';
        dir = exe;
        dir = dir.substr(0, dir.rfind('/'));
    }
    // Built, the module lies beside the tool; installed, in a private
    // folder of its own (frei0r hosts try every module in theirs).
    const std::string beside = dir + "/NerevoTiltShift.so";
    const std::string installed = dir + "/../lib/nerevo-tiltshift/NerevoTiltShift.so";
    return access(beside.c_str(), F_OK) != 0 && access(installed.c_str(), F_OK) == 0 ? installed : beside;
}

namespace {

// Usage errors exit with 2, failures with 1.
constexpr int kUsageStatus = 2;
constexpr int kFailureStatus = 1;

// The trace is written whether the command succeeds or fails: a failure is
// what one most often traces. Its file is made first, so that a FILE that
// cannot be written stops the command before it runs.
int runTraced(const Action& action, const Common& common, const std::string& tracePath, std::ostream& err) {
    PendingFile file(tracePath);
    CallTrace trace;
    int status = 0;
    try {
        status = action(common);
    } catch (...) {
        try {
            trace.write(file);
        } catch (const std::exception& e) {
            err << "tiltshift: " << e.what() << "\n";
        }
        throw;
    }
    trace.write(file);
    return status;
}

}  // namespace

int runTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Common common{defaultPluginPath()};
    CLI::App app("Runs the NerevoTiltShift effect plug-in in a headless host.", "tiltshift");
    app.formatter(helpFormatter(common));
    prepareApp(app);
    app.get_option("--help")->description("show this help (COMMAND --help: that command's)");
    app.add_option("--plugin", common.pluginPath, "load this plug-in module instead of the one next to tiltshift")
        ->type_name("PATH")
        ->trigger_on_parse();
    std::string tracePath;
    app.add_option("--trace", tracePath, "write every host call the plug-in makes to FILE when the command ends")
        ->type_name("FILE");
    std::map<const CLI::App*, std::pair<const Command*, Action>> actions;
    for (const Command& c : commands()) {
        CLI::App* sub = app.add_subcommand(c.name, c.summary);
        prepareApp(*sub);
        actions[sub] = {&c, c.declare(*sub)};
    }
    app.require_subcommand(0, 1);

    // The command named on the line, once CLI11 has come to it.
    const auto commandGiven = [&actions]() -> const Command* {
        for (const auto& [sub, entry] : actions) {
            if (sub->parsed()) {
                return entry.first;
            }
        }
        return nullptr;
    };
    try {
        try {
            // CLI11 takes the arguments last first.
            app.parse(std::vector<std::string>(args.rbegin(), args.rend()));
        } catch (const CLI::ParseError& e) {
            throw usageError(e);
        }
        const std::vector<CLI::App*> chosen = app.get_subcommands();
        if (chosen.empty()) {
            const std::vector<std::string> extras = app.remaining();
            if (extras.empty()) {
                err << app.help();
                return kUsageStatus;
            }
            const std::string& first = extras.front();
            if (first.size() > 1 && first[0] == '-') {
                err << "tiltshift: unknown option " << first << "\n"
                          << kToolUsage << "; tiltshift --help lists the commands\n";
            } else {
                err << "tiltshift: unknown command " << first << "; tiltshift --help lists the commands\n";
            }
            return kUsageStatus;
        }
        refuseExtras(*chosen.front());
        const Action& action = actions.at(chosen.front()).second;
        return tracePath.empty() ? action(common) : runTraced(action, common, tracePath, err);
    } catch (const HelpRequested& asked) {
        out << asked.app->help();
        return 0;
    } catch (const UsageError& e) {
        const Command* command = commandGiven();
        if (!command) {
            err << "tiltshift: " << e.what() << "\n" << kToolUsage << "\n";
        } else {
            err << "tiltshift " << command->name << ": " << e.what() << "\nUsage: tiltshift " << command->name
                      << " " << command->usage << "\n";
        }
        return kUsageStatus;
    } catch (const std::bad_alloc&) {
        // Frames are checked against the memory available before they are
        // read; what the estimate missed still ends in a message, not an abort.
        const Command* command = commandGiven();
        err << "tiltshift" << (command ? std::string(" ") + command->name : "") << ": out of memory\n";
        return kFailureStatus;
    } catch (const std::exception& e) {
        const Command* command = commandGiven();
        err << "tiltshift" << (command ? std::string(" ") + command->name : "") << ": " << e.what() << "\n";
        return kFailureStatus;
    }
}

}  // namespace tiltshift
