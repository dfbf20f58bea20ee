#include <CLI/CLI.hpp>

#include <memory>

#include "cli/arguments.h"
#include "cli/command.h"
#include "images/image_io.h"
#include "scene/scene.h"

namespace tiltshift {

namespace {

struct SceneLine {
    std::string output;
    int width = scene::kSceneWidth;
    int height = scene::kSceneHeight;
};

int writeScene(const SceneLine& line) {
    if (line.output.empty()) {
        throw UsageError("give the file to write with -o FILE");
    }
    checkWritable(line.output);
    writeImage(*scene::makeScene(line.width, line.height), line.output, OutputFormat{OIIO::TypeDesc::UINT8});
    return 0;
}

}  // namespace

Action declareScene(CLI::App& app) {
    const auto line = std::make_shared<SceneLine>();
    app.add_option("-o,--output", line->output, "the image file to write")->type_name("FILE");
    const auto side = [&app](const std::string& option, int& target, const std::string& description) {
        app.add_option_function<std::string>(
               option,
               [option, &target](const std::string& v) {
                   target = parseCount(option, v, scene::kSmallestScene, scene::kLargestScene);
               },
               description)
            ->type_name(option == "--width" ? "W" : "H");
    };
    side("--width", line->width,
         "its width in pixels (" + std::to_string(scene::kSmallestScene) + " to " +
             std::to_string(scene::kLargestScene) + ")");
    side("--height", line->height, "its height, the same");
    return [line](const Common&) { return writeScene(*line); };
}

}  // namespace tiltshift
