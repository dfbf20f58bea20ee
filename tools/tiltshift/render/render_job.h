#pragma once
// `tiltshift render`: what to render, read from the command line, and the
// rendering of it through the host, frame after frame.

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "effect/effect.h"
#include "host/render.h"
#include "images/frame_memory.h"
#include "images/image_io.h"
#include "images/pixel_convert.h"
#include "images/raw_video.h"
#include "params/param_values.h"
#include "render/sequence.h"

namespace CLI {
class App;
}

namespace tiltshift {

// What --timings prints: nothing, lines to read, or JSON objects.
enum class Timings { off, text, json };

struct RenderJob {
    // A parameter value and where it came from: a preset file, or "" for --param.
    struct Setting {
        ParamSetting value;
        std::string origin;
    };

    std::string input, output;  // files or frame patterns, or both kStream
    std::string overlay;        // the output with the handles drawn over it: a file or frame pattern, or ""
    std::optional<FrameRange> frames;
    std::vector<Setting> settings;  // in the order given: later ones win
    std::optional<Depth> depth;     // nothing: each file's own
    std::optional<Compression> compression;  // of OUTPUT and the overlay; nothing: the format's default
    host::RenderOptions options;    // downsample, threads, layer type
    Timings timings = Timings::off;
    // Of the raw video that INPUT and OUTPUT kStream carry.
    std::optional<ImageSize> frameSize;
    std::optional<RawFormat> pixelFormat;
    FrameLimit limit = systemFrameLimit();
};

// INPUT and OUTPUT that stand for raw video on standard input and output.
inline const std::string kStream = "-";

// Throws UsageError for arguments that do not make a job; reads presets.
RenderJob parseRenderArgs(const std::vector<std::string>& args);

// Declares on `app` the options every command that renders takes (-o,
// --overlay, --param, --preset), read into `job`; `outputMeaning` is -o's
// description. Settings are read as they come, presets included, so that
// later ones win; their errors are UsageErrors.
void declareJobOptions(CLI::App& app, RenderJob& job, const std::string& outputMeaning);
// Of these, only --param and --preset, for commands that write nothing.
void declareSettingOptions(CLI::App& app, RenderJob& job);

// The one INPUT among a command's plain arguments; throws UsageError.
std::string oneInput(const std::vector<std::string>& inputs);

// Throws UsageError when --overlay does not fit OUTPUT: the overlay is
// drawn over the output, so it needs one, is a frame pattern exactly when
// OUTPUT is, and is another file.
void checkOverlay(const RenderJob& job);

// The overlay file of a frame.
std::string overlayFile(const RenderJob& job, int frame);

// Throws UsageError, before anything renders, when an output or overlay of
// any frame is the same file as an input (or each other's), however the
// paths spell it: writing it would destroy what is still to be read.
void checkDistinctFiles(const RenderJob& job, const FramePlan& frames);

// Throws std::runtime_error when the first frame's output or overlay cannot
// be written (see checkWritable), so that a run fails before it renders.
void checkOutputsWritable(const RenderJob& job, const FramePlan& frames);

// The plug-in loaded for the job: its parameters registered for a layer the
// size of `layerFile`'s image and set to the job's values. Throws
// UsageError naming a parameter that does not take its value, and where
// the value came from.
Effect prepareEffect(const std::string& pluginPath, const RenderJob& job,
                                          const std::string& layerFile);
// The same for a layer of that size.
Effect prepareEffect(const std::string& pluginPath, const RenderJob& job, ImageSize layer);

// Renders the frames (see planFrames) with the host's parameter values at
// each frame's time, in order, writing each output, and each overlay the
// job asks for, atomically; the next frame is read and the one before
// written while a frame renders. Sequences report their progress to `log`
// as frames reach the disk, as a bar when `terminal`, and so do the
// job's timings. `firstInput` is the first frame's input when it is open
// already. Throws PluginError for a render or a drawing the plug-in fails,
// std::runtime_error for files that cannot be read or written; the frames
// before the one that failed stay written, and none after it is.
void renderFrames(host::Host& host, const RenderJob& job, const FramePlan& frames, std::ostream& log, bool terminal,
                  std::unique_ptr<InputImage> firstInput = nullptr);

// Renders raw video from `in` to `out`, frames until `in` ends, each at
// its frame time counted from 0, at the job's depth or else the stream's;
// otherwise as renderFrames does. Throws std::runtime_error for a stream
// that holds no frame or ends inside one, once the frames before it are
// written.
void renderStream(host::Host& host, const RenderJob& job, RawVideoReader& in, RawVideoWriter& out, std::ostream& log,
                  bool terminal);

// Plans, prepares and renders the job with the module at `pluginPath`,
// reporting to standard error; returns the exit status.
int runRenderJob(const std::string& pluginPath, const RenderJob& job);

// The same for a job of raw video (INPUT and OUTPUT kStream), from the file
// descriptor `in` to `out`, reporting to `log`. Throws UsageError when
// either is a terminal.
int runStreamJob(const std::string& pluginPath, const RenderJob& job, int in, int out, std::ostream& log,
                 bool terminal);

}  // namespace tiltshift
