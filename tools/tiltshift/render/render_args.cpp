#include "cli/command.h"
#include "cli/options.h"
#include "params/presets.h"
#include "render/render_job.h"

namespace tiltshift {

namespace {

Depth parseDepth(const std::string& text) {
    if (text == "8") {
        return Depth::bits8;
    }
    if (text == "16") {
        return Depth::bits16;
    }
    if (text == "32") {
        return Depth::float32;
    }
    throw UsageError("--depth expects 8, 16 or 32, got \"" + text + "\"");
}

AEGP_ObjectType parseLayerType(const std::string& text) {
    if (text == "footage") {
        return AEGP_ObjectType_AV;
    }
    if (text == "text") {
        return AEGP_ObjectType_TEXT;
    }
    if (text == "shape") {
        return AEGP_ObjectType_VECTOR;
    }
    throw UsageError("--layer expects footage, text or shape, got \"" + text + "\"");
}

// Beyond these a render asks for more than any machine has to give.
constexpr int kMostDownsample = 1024;
constexpr int kMostThreads = 1024;

}  // namespace

bool readJobOption(const std::string& option, Arguments& arguments, RenderJob& job) {
    if (option == "-o" || option == "--output") {
        job.output = arguments.value();
    } else if (option == "--overlay") {
        job.overlay = arguments.value();
    } else if (option == "--param") {
        job.settings.push_back({parseSetting(arguments.value()), ""});
    } else if (option == "--preset") {
        const std::string path = arguments.value();
        for (ParamSetting& setting : readPreset(path)) {
            job.settings.push_back({std::move(setting), path});
        }
    } else {
        return false;
    }
    return true;
}

void checkOverlay(const RenderJob& job) {
    if (job.overlay.empty()) {
        return;
    }
    if (job.output.empty()) {
        throw UsageError("--overlay needs -o OUTPUT: the handles are drawn over the rendered output");
    }
    if (job.overlay == job.output) {
        throw UsageError("--overlay names the OUTPUT file itself; give it a file of its own");
    }
    const bool sequence = FramePattern::parse(job.output).has_value();
    if (sequence != FramePattern::parse(job.overlay).has_value()) {
        throw UsageError(sequence ? "OUTPUT is a frame sequence, so --overlay must be one too (e.g. handles.%04d.png)"
                                  : "--overlay is a frame sequence, but OUTPUT is a single file");
    }
}

std::string overlayFile(const RenderJob& job, int frame) {
    const std::optional<FramePattern> pattern = FramePattern::parse(job.overlay);
    return pattern ? pattern->path(frame) : job.overlay;
}

RenderJob parseRenderArgs(const std::vector<std::string>& args) {
    RenderJob job;
    Arguments arguments(args);
    std::vector<std::string> inputs;
    while (!arguments.done()) {
        const std::string arg = arguments.next();
        if (readJobOption(arg, arguments, job)) {
            continue;
        }
        if (arg == "--frames") {
            job.frames = parseFrameRange(arguments.value());
        } else if (arg == "--depth") {
            job.depth = parseDepth(arguments.value());
        } else if (arg == "--downsample") {
            job.options.downsample = parseCount(arg, arguments.value(), 1, kMostDownsample);
        } else if (arg == "--threads") {
            job.options.threads = parseCount(arg, arguments.value(), 1, kMostThreads);
        } else if (arg == "--layer") {
            job.options.layerType = parseLayerType(arguments.value());
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else {
            inputs.push_back(arg);
        }
    }
    if (inputs.size() != 1) {
        throw UsageError(inputs.empty() ? "give the INPUT image"
                                        : "give one INPUT, not " + std::to_string(inputs.size()));
    }
    if (job.output.empty()) {
        throw UsageError("give the OUTPUT with -o OUTPUT");
    }
    job.input = inputs.front();
    checkOverlay(job);
    return job;
}

}  // namespace tiltshift
