// tiltshift: the NerevoTiltShift effect, loaded in a headless host, on the
// command line.

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "command.h"
#include "host/host.h"
#include "param_help.h"

namespace tiltshift {

namespace {

const Command COMMANDS[] = {
    {"about", "", "print the plug-in's About text", "", false, runAbout},
    {"params", "[--json] [--param NAME=VALUE]...",
     "list the parameters and which the plug-in greys out; --param sets a value first",
     "Options:\n"
     "  --json                      print the list as JSON\n"
     "  --param \"NAME=VALUE\"        set a parameter first (repeatable)\n",
     true, runParams},
    {"render", "INPUT -o OUTPUT [OPTIONS]", "render an image or a frame sequence through the effect",
     "INPUT and OUTPUT are image files in any format OpenImageIO reads and writes\n"
     "(PNG, JPEG, TIFF, OpenEXR, ...), or frame sequences named with %d or %0Nd\n"
     "(shot.%04d.exr). The output is written only once it is complete.\n\n"
     "Options:\n"
     "  -o, --output OUTPUT         the file or frame pattern to write\n"
     "  --param \"NAME=VALUE\"        set a parameter (repeatable; later values win)\n"
     "  --preset FILE               set the parameters of a JSON object {\"NAME\": VALUE, ...}\n"
     "  --frames FIRST-LAST         the frames to render (default: the input's frames on disk)\n"
     "  --depth 8|16|32             bits per channel of the render (default: the input's)\n"
     "  --downsample N              render at 1/N of the size, as a preview does\n"
     "  --threads N                 threads the render runs on (default: all cores)\n"
     "  --layer footage|text|shape  the kind of layer the effect sits on (default: footage)\n\n"
     "Examples:\n"
     "  tiltshift render street.jpg -o street-tilt.jpg --param \"Blur Amount=80\"\n"
     "  tiltshift render shot.%04d.exr -o tilt.%04d.exr --frames 1-240 --preset look.json\n",
     true, runRender},
    {"scene", "-o FILE [--width W] [--height H]", "write the built-in demo scene (1280 x 720 by default)",
     "Options:\n"
     "  -o, --output FILE           the image file to write\n"
     "  --width W, --height H       its size in pixels (16 to 4096)\n",
     false, runScene},
};

void printHelp(std::ostream& os, const std::string& pluginPath) {
    os << "Usage: tiltshift [--plugin PATH] COMMAND [OPTIONS]\n\n"
          "Runs the NerevoTiltShift effect plug-in in a headless host.\n\nCommands:\n";
    for (const Command& c : COMMANDS) {
        // The summary in the second column, or under a usage too long for the first.
        const std::string line = std::string(c.name) + " " + c.usage;
        const std::string gap = line.size() < 28 ? std::string(28 - line.size(), ' ') : "\n" + std::string(30, ' ');
        os << "  " << line << gap << c.summary << "\n";
    }
    os << "\nOptions:\n"
          "  --plugin PATH               load this plug-in module instead of the one next to tiltshift\n"
          "  -h, --help                  show this help (COMMAND --help: that command's)\n";
    printParameterHelp(os, pluginPath);
}

void printCommandHelp(std::ostream& os, const Command& c, const std::string& pluginPath) {
    os << "Usage: tiltshift " << c.name << " " << c.usage << "\n" << c.summary << "\n";
    if (*c.details) {
        os << "\n" << c.details;
    }
    if (c.takesParameters) {
        printParameterHelp(os, pluginPath);
    }
}

bool asksForHelp(const std::vector<std::string>& args) {
    return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "-h" || a == "--help"; });
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
            printHelp(std::cout, common.pluginPath);
            return 0;
        }
        if (args.front() == "--plugin" && args.size() > 1) {
            common.pluginPath = args[1];
            args.erase(args.begin(), args.begin() + 2);
            continue;
        }
        std::cerr << "tiltshift: unknown option " << args.front() << "\n"
                  << "Usage: tiltshift [--plugin PATH] COMMAND [OPTIONS]; tiltshift --help lists the commands\n";
        return 2;
    }
    if (args.empty()) {
        printHelp(std::cerr, common.pluginPath);
        return 2;
    }

    for (const Command& c : COMMANDS) {
        if (args.front() != c.name) {
            continue;
        }
        std::vector<std::string> rest(args.begin() + 1, args.end());
        if (asksForHelp(rest)) {
            printCommandHelp(std::cout, c, common.pluginPath);
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
    std::cerr << "tiltshift: unknown command " << args.front() << "; tiltshift --help lists the commands\n";
    return 2;
}
