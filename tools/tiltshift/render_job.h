#pragma once
// `tiltshift render`: what to render, read from the command line, and the
// rendering of it through the host, frame after frame.

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "host/render.h"
#include "param_values.h"
#include "pixel_convert.h"
#include "sequence.h"

namespace tiltshift {

struct RenderJob {
    // A parameter value and where it came from: a preset file, or "" for --param.
    struct Setting {
        ParamSetting value;
        std::string origin;
    };

    std::string input, output;  // files or frame patterns
    std::optional<FrameRange> frames;
    std::vector<Setting> settings;  // in the order given: later ones win
    std::optional<Depth> depth;     // nothing: each file's own
    host::RenderOptions options;    // downsample, threads, layer type
};

// Throws UsageError for arguments that do not make a job; reads presets.
RenderJob parseRenderArgs(const std::vector<std::string>& args);

// The plug-in loaded for the job: its parameters registered for a layer of
// the first frame's size and set to the job's values. Throws UsageError
// naming a parameter that does not take its value, and where the value
// came from.
std::unique_ptr<host::Host> prepareEffect(const std::string& pluginPath, const RenderJob& job,
                                          const std::vector<FrameFiles>& frames);

// Renders the frames (see planFrames) with the host's current parameter
// values, one after another, writing each output atomically. Sequences
// report their progress to `log`, as a bar when `terminal`. Throws
// PluginError for a render the plug-in fails, std::runtime_error for files
// that cannot be read or written; the frames done before stay written.
void renderFrames(host::Host& host, const RenderJob& job, const std::vector<FrameFiles>& frames, std::ostream& log,
                  bool terminal);

}  // namespace tiltshift
