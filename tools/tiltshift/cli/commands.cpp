#include <CLI/CLI.hpp>

#include <algorithm>

#include "cli/arguments.h"
#include "cli/command.h"

namespace tiltshift {

const std::vector<Command>& commands() {
    static const std::vector<Command> all = {
        {"about", "", "print the plug-in's About text", "", "", false, declareAbout},
        {"params", "[--json] [--input FILE] [--param NAME=VALUE]...",
         "list the parameters and which the plug-in greys out; --param sets a value first", "", "", true,
         declareParams},
        {"render", "INPUT -o OUTPUT [OPTIONS]", "render an image or a frame sequence through the effect",
         "INPUT and OUTPUT are image files in any format OpenImageIO reads and writes\n"
         "(PNG, JPEG, TIFF, OpenEXR, ...), or frame sequences named with %d or %0Nd\n"
         "(shot.%04d.exr). The output is written only once it is complete.\n"
         "INPUT and OUTPUT - are raw video on standard input and output, frames as\n"
         "ffmpeg's -f rawvideo carries them: give their --size and --pix-fmt.\n\n",
         "Each frame renders at its own frame time, so keyframes apply; a single OUTPUT\n"
         "renders frame 0, or the one frame --frames names; raw video's frames count\n"
         "from 0 as they come.\n\n"
         "Examples:\n"
         "  tiltshift render street.jpg -o street-tilt.jpg --param \"Blur Amount=80\"\n"
         "  tiltshift render shot.%04d.exr -o tilt.%04d.exr --frames 1-240 --preset look.json\n"
         "  tiltshift render street.jpg -o pull.%03d.png --frames 1-48 --param \"Blur Amount=0@1,80@48\" \\\n"
         "      --overlay handles.%03d.png\n"
         "  ffmpeg -i clip.mp4 -f rawvideo -pix_fmt rgba64le - |\n"
         "      tiltshift render - -o - --size 1920x1080 --pix-fmt rgba64le --param \"Blur Amount=80\" |\n"
         "      ffmpeg -f rawvideo -pix_fmt rgba64le -s 1920x1080 -r 25 -i - -pix_fmt yuv420p tilt.mp4\n",
         true, declareRender},
        {"drag", "INPUT --from X,Y --to X,Y [OPTIONS]", "drag the effect's handles as a user would; print what changed",
         "Presses the mouse at --from in a panel showing INPUT's layer at 100 %, moves it\n"
         "in a straight line to --to in drag events and lets go there. Prints each\n"
         "parameter the plug-in changed as NAME: OLD -> NEW, in the forms --param takes,\n"
         "or why nothing changed (a click that grabs no handle). With -o, renders INPUT\n"
         "with the new values.\n\n",
         "Example, on a 200 x 200 image with the default values (outer outline 150 pixels\n"
         "right of the centre):\n"
         "  tiltshift drag square.png --from 250,100 --to 270,100    # Blur Amount: 50 -> 70\n",
         true, declareDrag},
        {"preview", "INPUT [--param NAME=VALUE]... [--preset FILE] [--port N] [--open]",
         "tune the effect in a browser, dragging its handles over a live render",
         "Serves a page on this machine showing INPUT through the effect, with its handles to\n"
         "drag and a panel of every parameter. The first line printed is the page's address.\n"
         "\"Copy command\" gives the tiltshift render command with the values shown; \"Save\n"
         "preset\" downloads them as a file --preset reads. Nothing is written here.\n"
         "INPUT may be a frame sequence (shot.%04d.exr): the page then has a frame slider.\n\n",
         "", true, declarePreview},
        {"scene", "-o FILE [--width W] [--height H]", "write the built-in demo scene (1280 x 720 by default)", "", "",
         false, declareScene},
    };
    return all;
}

int runCommand(const std::string& name, const Common& common, const std::vector<std::string>& args) {
    const auto& all = commands();
    const auto command = std::find_if(all.begin(), all.end(), [&](const Command& c) { return name == c.name; });
    if (command == all.end()) {
        throw UsageError("unknown command " + name);
    }
    CLI::App app(command->summary, command->name);
    prepareApp(app);
    const Action action = command->declare(app);
    parseArguments(app, args);
    return action(common);
}

}  // namespace tiltshift
