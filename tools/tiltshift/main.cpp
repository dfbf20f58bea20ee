// tiltshift: the NerevoTiltShift effect, loaded in a headless host, on the
// command line.

#include <unistd.h>

#include <climits>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "command.h"
#include "host/host.h"

namespace tiltshift {

namespace {

const Command COMMANDS[] = {
    {"about", "", "print the plug-in's About text", runAbout},
    {"params", "[--json] [--param NAME=VALUE]...",
     "list the parameters and which the plug-in greys out; --param sets a value first", runParams},
};

void printHelp(std::ostream& os) {
    os << "Usage: tiltshift [--plugin PATH] COMMAND [OPTIONS]\n\n"
          "Runs the NerevoTiltShift effect plug-in in a headless host.\n\nCommands:\n";
    for (const Command& c : COMMANDS) {
        std::string line = std::string(c.name) + " " + c.usage;
        os << "  " << line << std::string(line.size() < 28 ? 28 - line.size() : 1, ' ') << c.summary << "\n";
    }
    os << "\nOptions:\n"
          "  --plugin PATH               load this plug-in module instead of the one next to tiltshift\n"
          "  -h, --help                  show this help (COMMAND --help: that command's)\n";
}

}  // namespace

std::string defaultPluginPath() {
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string dir = ".";
    if (n > 0) {
        exe[n] = '\0';
        dir = exe;
        dir = dir.substr(0, dir.rfind('/'));
    }
    return dir + "/NerevoTiltShift.so";
}

}  // namespace tiltshift

int main(int argc, char** argv) {
    using namespace tiltshift;
    std::vector<std::string> args(argv + 1, argv + argc);
    Common common{defaultPluginPath()};

    while (!args.empty() && args.front().rfind("-", 0) == 0) {
        if (args.front() == "-h" || args.front() == "--help") {
            printHelp(std::cout);
            return 0;
        }
        if (args.front() == "--plugin" && args.size() > 1) {
            common.pluginPath = args[1];
            args.erase(args.begin(), args.begin() + 2);
            continue;
        }
        std::cerr << "tiltshift: unknown option " << args.front() << "\n\n";
        printHelp(std::cerr);
        return 2;
    }
    if (args.empty()) {
        printHelp(std::cerr);
        return 2;
    }

    for (const Command& c : COMMANDS) {
        if (args.front() != c.name) {
            continue;
        }
        std::vector<std::string> rest(args.begin() + 1, args.end());
        if (!rest.empty() && (rest.front() == "--help" || rest.front() == "-h")) {
            std::cout << "Usage: tiltshift " << c.name << " " << c.usage << "\n" << c.summary << "\n";
            return 0;
        }
        try {
            return c.run(common, rest);
        } catch (const UsageError& e) {
            std::cerr << "tiltshift " << c.name << ": " << e.what() << "\nUsage: tiltshift " << c.name << " "
                      << c.usage << "\n";
            return 2;
        } catch (const std::exception& e) {
            std::cerr << "tiltshift " << c.name << ": " << e.what() << "\n";
            return 1;
        }
    }
    std::cerr << "tiltshift: unknown command " << args.front() << "\n\n";
    printHelp(std::cerr);
    return 2;
}
