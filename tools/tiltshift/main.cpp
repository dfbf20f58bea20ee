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
     "  --param \"NAME=V@F,V@F,...\"  animate it with keyframes VALUE@FRAME: linear in\n"
     "                              between, held before the first and after the last;\n"
     "                              popups and checkboxes hold each value until the next.\n"
     "                              Points and colours, whose values hold commas, separate\n"
     "                              keyframes with ';': \"Center=100,100@0;300,200@48\"\n"
     "  --preset FILE               set the parameters of a JSON object {\"NAME\": VALUE, ...};\n"
     "                              keyframes as the text above or [[FRAME, VALUE], ...]\n"
     "  --overlay FILE              also write the output with the effect's handles drawn\n"
     "                              over it, as the layer panel shows them, at 8 bits; a\n"
     "                              frame pattern when OUTPUT is one\n"
     "  --frames FIRST-LAST         the frames to render (default: the input's frames on disk)\n"
     "  --depth 8|16|32             bits per channel of the render (default: the input's)\n"
     "  --downsample N              render at 1/N of the size, as a preview does\n"
     "  --threads N                 threads the render runs on (default: all cores)\n"
     "  --layer footage|text|shape  the kind of layer the effect sits on (default: footage)\n\n"
     "Each frame renders at its own frame time, so keyframes apply; a single OUTPUT\n"
     "renders frame 0, or the one frame --frames names.\n\n"
     "Examples:\n"
     "  tiltshift render street.jpg -o street-tilt.jpg --param \"Blur Amount=80\"\n"
     "  tiltshift render shot.%04d.exr -o tilt.%04d.exr --frames 1-240 --preset look.json\n"
     "  tiltshift render street.jpg -o pull.%03d.png --frames 1-48 --param \"Blur Amount=0@1,80@48\" \\\n"
     "      --overlay handles.%03d.png\n",
     true, runRender},
    {"drag", "INPUT --from X,Y --to X,Y [OPTIONS]", "drag the effect's handles as a user would; print what changed",
     "Presses the mouse at --from in a panel showing INPUT's layer at 100 %, moves it\n"
     "in a straight line to --to in drag events and lets go there. Prints each\n"
     "parameter the plug-in changed as NAME: OLD -> NEW, in the forms --param takes,\n"
     "or why nothing changed (a click that grabs no handle). With -o, renders INPUT\n"
     "with the new values.\n\n"
     "Options:\n"
     "  --from X,Y, --to X,Y        where the drag starts and ends, in whole panel pixels\n"
     "  --shift                     hold Shift (the radial inner outline sets Ratio, the\n"
     "                              arrow turns in steps of 45 degrees)\n"
     "  --panel layer|comp          the layer panel, whose pixels are the layer's (default),\n"
     "                              or the composition panel, where the layer sits unscaled\n"
     "                              and unturned with its top-left corner at the\n"
     "                              composition's origin\n"
     "  --steps N                   drag events on the way (default: 8)\n"
     "  --param \"NAME=VALUE\"        set a parameter first (repeatable; no keyframes)\n"
     "  --preset FILE               set the parameters of a JSON object first\n"
     "  -o, --output OUTPUT         render INPUT with the new values to this file\n"
     "  --overlay FILE              also write OUTPUT with the handles at their new place\n\n"
     "Example, on a 200 x 200 image with the default values (outer outline 150 pixels\n"
     "right of the centre):\n"
     "  tiltshift drag square.png --from 250,100 --to 270,100    # Blur Amount: 50 -> 70\n",
     true, runDrag},
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
    // Built, the module lies beside the tool; installed, in a private
    // folder of its own (frei0r hosts try every module in theirs).
    const std::string beside = dir + "/NerevoTiltShift.so";
    const std::string installed = dir + "/../lib/nerevo-tiltshift/NerevoTiltShift.so";
    return access(beside.c_str(), F_OK) != 0 && access(installed.c_str(), F_OK) == 0 ? installed : beside;
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
