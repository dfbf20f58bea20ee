#include <CLI/CLI.hpp>

#include <climits>
#include <memory>

#include "cli/arguments.h"
#include "cli/command.h"
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

// "zip", "zip:9", "jpeg:90": a name, and a level of 0 to 100 if it says one.
Compression parseCompression(const std::string& text) {
    const std::size_t colon = text.find(':');
    Compression compression{text.substr(0, colon), std::nullopt};
    if (compression.name.empty() || compression.name.find_first_of(" \t") != std::string::npos) {
        throw UsageError("--compression expects NAME or NAME:LEVEL (e.g. zip:6), got \"" + text + "\"");
    }
    if (colon != std::string::npos) {
        compression.level = parseCount("--compression's level", text.substr(colon + 1), 0, 100);
    }
    return compression;
}

// Beyond these a render asks for more than any machine has to give.
constexpr int kMostDownsample = 1024;
constexpr int kMostThreads = 1024;
constexpr int kMostFrameSide = 65536;

// "1920x1080", as ffmpeg's -s takes it.
ImageSize parseFrameSize(const std::string& text) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos) {
        throw UsageError("--size expects WIDTHxHEIGHT (e.g. 1920x1080), got \"" + text + "\"");
    }
    return ImageSize{parseCount("--size's width", text.substr(0, x), 1, kMostFrameSide),
                     parseCount("--size's height", text.substr(x + 1), 1, kMostFrameSide)};
}

RawFormat parsePixelFormat(const std::string& text) {
    const std::optional<RawFormat> format = parseRawFormat(text);
    if (!format) {
        throw UsageError("--pix-fmt expects rgba, rgba64le or gbrapf32le, got \"" + text + "\"");
    }
    return *format;
}

// What the render command line holds before it is checked as a whole.
struct RenderLine {
    RenderJob job;
    std::vector<std::string> inputs;
    std::string timings;  // "", or --timings' value
};

Timings parseTimings(const std::string& text) {
    if (text.empty()) {
        return Timings::off;
    }
    if (text == "text") {
        return Timings::text;
    }
    if (text == "json") {
        return Timings::json;
    }
    throw UsageError("--timings takes no value but =json, got \"" + text + "\"");
}

void declareRenderLine(CLI::App& app, RenderLine& line) {
    RenderJob& job = line.job;
    app.add_option("INPUT", line.inputs);
    declareJobOptions(app, job, "the file or frame pattern to write");
    app.add_option_function<std::string>(
           "--frames", [&job](const std::string& v) { job.frames = parseFrameRange(v); },
           "the frames to render (default: the input's frames on disk)")
        ->type_name("FIRST-LAST");
    app.add_option_function<std::string>(
           "--depth", [&job](const std::string& v) { job.depth = parseDepth(v); },
           "bits per channel of the render (default: the input's)")
        ->type_name("8|16|32");
    app.add_option_function<std::string>(
           "--downsample",
           [&job](const std::string& v) { job.options.downsample = parseCount("--downsample", v, 1, kMostDownsample); },
           "render at 1/N of the size, as a preview does")
        ->type_name("N");
    app.add_option_function<std::string>(
           "--threads",
           [&job](const std::string& v) { job.options.threads = parseCount("--threads", v, 1, kMostThreads); },
           "threads the render runs on (default: all cores)")
        ->type_name("N");
    app.add_option_function<std::string>(
           "--max-pixels",
           [&job](const std::string& v) { job.limit.maxPixels = parseCount("--max-pixels", v, 1, INT_MAX); },
           "render frames of up to N pixels, however much memory that\n"
           "takes (default: those that fit the memory available)")
        ->type_name("N");
    app.add_option_function<std::string>(
           "--layer", [&job](const std::string& v) { job.options.layerType = parseLayerType(v); },
           "the kind of layer the effect sits on (default: footage)")
        ->type_name("footage|text|shape");
    app.add_option_function<std::string>(
           "--size", [&job](const std::string& v) { job.frameSize = parseFrameSize(v); },
           "with INPUT and OUTPUT -: the size of the raw frames")
        ->type_name("WxH");
    app.add_option_function<std::string>(
           "--pix-fmt", [&job](const std::string& v) { job.pixelFormat = parsePixelFormat(v); },
           "with INPUT and OUTPUT -: the layout of the raw frames, as\n"
           "ffmpeg names it; the render's depth follows it (8, 16, 32)")
        ->type_name("rgba|rgba64le|gbrapf32le");
    // A flag whose value, if any, follows an '=', so that it never takes INPUT for one.
    app.add_flag("--timings{text}", line.timings,
                 "print, per frame, the milliseconds reading, rendering and\n"
                 "writing took, then the peak memory and the frames per\n"
                 "second; --timings=json: as JSON objects, one a line");

}

// Raw video goes from standard input to standard output. A stream on one
// side only would meet image files, whose size, depth and number of frames
// a raw stream cannot say.
void checkStreams(const RenderJob& job) {
    const bool in = job.input == kStream;
    const bool out = job.output == kStream;
    if (in && !out) {
        throw UsageError("INPUT - is raw video from standard input, so OUTPUT must be - too, not " + job.output);
    }
    if (out && !in) {
        throw UsageError("OUTPUT - is raw video to standard output, so INPUT must be - too, not " + job.input);
    }
    if (!in) {
        if (job.frameSize || job.pixelFormat) {
            throw UsageError(std::string(job.frameSize ? "--size" : "--pix-fmt") +
                             " describes raw video: give - as INPUT and OUTPUT");
        }
        return;
    }
    if (!job.frameSize) {
        throw UsageError("INPUT - needs the frames' size: --size WIDTHxHEIGHT");
    }
    if (!job.pixelFormat) {
        throw UsageError("INPUT - needs the frames' layout: --pix-fmt rgba|rgba64le|gbrapf32le");
    }
    if (job.frames) {
        throw UsageError("--frames does not apply to raw video: its frames count from 0 as they come");
    }
    if (!job.overlay.empty() || job.compression) {
        throw UsageError(std::string(job.overlay.empty() ? "--compression" : "--overlay") +
                         " is for image files, not raw video");
    }
}

RenderJob checkRenderLine(RenderLine& line) {
    RenderJob& job = line.job;
    job.input = oneInput(line.inputs);
    job.timings = parseTimings(line.timings);
    if (job.output.empty()) {
        throw UsageError("give the OUTPUT with -o OUTPUT");
    }
    checkStreams(job);
    checkOverlay(job);
    return std::move(job);
}

}  // namespace

void declareJobOptions(CLI::App& app, RenderJob& job, const std::string& outputMeaning) {
    app.add_option_function<std::string>(
           "-o,--output", [&job](const std::string& v) { job.output = v; }, outputMeaning)
        ->type_name("OUTPUT");
    app.add_option_function<std::string>(
           "--overlay", [&job](const std::string& v) { job.overlay = v; },
           "also write OUTPUT with the effect's handles drawn over\n"
           "it, as the layer panel shows them, at 8 bits; a frame\n"
           "pattern when OUTPUT is one")
        ->type_name("FILE");
    app.add_option_function<std::string>(
           "--compression", [&job](const std::string& v) { job.compression = parseCompression(v); },
           "compress OUTPUT as oiiotool does: zip:9, jpeg:90, none, ...\n"
           "(default: the format's, but PNG at zlib level 1, the fastest)")
        ->type_name("NAME[:LEVEL]");
    declareSettingOptions(app, job);
}

void declareSettingOptions(CLI::App& app, RenderJob& job) {
    // Read as they come, so that a later --param or --preset wins over an earlier one.
    app.add_option_function<std::string>(
           "--param", [&job](const std::string& v) { job.settings.push_back({parseSetting(v), ""}); },
           "set a parameter (repeatable; later values win)\n"
           "--param \"NAME=V@F,V@F,...\" animates it with keyframes VALUE@FRAME:\n"
           "linear in between, held before the first and after the last;\n"
           "popups and checkboxes hold each value until the next.\n"
           "Points and colours, whose values hold commas, separate\n"
           "keyframes with ';': \"Center=100,100@0;300,200@48\"")
        ->type_name("\"NAME=VALUE\"")
        ->trigger_on_parse();
    app.add_option_function<std::string>(
           "--preset",
           [&job](const std::string& path) {
               for (ParamSetting& setting : readPreset(path)) {
                   job.settings.push_back({std::move(setting), path});
               }
           },
           "set the parameters of a JSON object {\"NAME\": VALUE, ...};\n"
           "keyframes as --param has them or [[FRAME, VALUE], ...]")
        ->type_name("FILE")
        ->trigger_on_parse();
}

std::string oneInput(const std::vector<std::string>& inputs) {
    if (inputs.size() != 1) {
        throw UsageError(inputs.empty() ? "give the INPUT image"
                                        : "give one INPUT, not " + std::to_string(inputs.size()));
    }
    return inputs.front();
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
    CLI::App app;
    prepareApp(app);
    RenderLine line;
    declareRenderLine(app, line);
    parseArguments(app, args);
    return checkRenderLine(line);
}

Action declareRender(CLI::App& app) {
    const auto line = std::make_shared<RenderLine>();
    declareRenderLine(app, *line);
    return [line](const Common& common) { return runRenderJob(common.pluginPath, checkRenderLine(*line)); };
}

}  // namespace tiltshift
