#include "cli/command.h"
#include "images/image_io.h"
#include "cli/options.h"
#include "scene/scene.h"

namespace tiltshift {

int runScene(const Common&, const std::vector<std::string>& args) {
    Arguments arguments(args);
    std::string output;
    int width = scene::kSceneWidth;
    int height = scene::kSceneHeight;
    while (!arguments.done()) {
        const std::string arg = arguments.next();
        if (arg == "-o" || arg == "--output") {
            output = arguments.value();
        } else if (arg == "--width") {
            width = parseCount(arg, arguments.value(), scene::kSmallestScene, scene::kLargestScene);
        } else if (arg == "--height") {
            height = parseCount(arg, arguments.value(), scene::kSmallestScene, scene::kLargestScene);
        } else {
            throw UsageError("unknown argument " + arg);
        }
    }
    if (output.empty()) {
        throw UsageError("give the file to write with -o FILE");
    }
    checkWritable(output);
    writeImage(*scene::makeScene(width, height), output, OutputFormat{OIIO::TypeDesc::UINT8});
    return 0;
}

}  // namespace tiltshift
