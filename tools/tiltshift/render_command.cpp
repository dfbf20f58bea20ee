#include <unistd.h>

#include <iostream>
#include <memory>

#include "command.h"
#include "effect.h"
#include "image_io.h"
#include "overlay.h"
#include "plugin_error.h"
#include "progress.h"
#include "render_job.h"

namespace tiltshift {

namespace {

OIIO::TypeDesc channelTypeOf(Depth depth) {
    switch (depth) {
        case Depth::bits8: return OIIO::TypeDesc::UINT8;
        case Depth::bits16: return OIIO::TypeDesc::UINT16;
        case Depth::float32: break;
    }
    return OIIO::TypeDesc::FLOAT;
}

// The output keeps the input's channel type when the render ran at its
// depth (a half-float file stays half float), and stores the render's
// depth otherwise; it has alpha when the input had.
OutputFormat outputFormatFor(const SourceImage& source, Depth depth) {
    return OutputFormat{depthOf(source.channelType) == depth ? source.channelType : channelTypeOf(depth),
                        source.hasAlpha};
}

void renderFile(host::Host& host, const RenderJob& job, const FrameFiles& files, bool sequence, std::ostream& log) {
    const SourceImage source = readImage(files.input, job.depth);
    host::RenderOptions options = job.options;
    options.frame = files.frame;
    options.inLayerFrame = true;
    // A text or shape layer's content is what is not transparent.
    if (options.layerType != AEGP_ObjectType_AV) {
        options.content = contentBounds(*source.image);
    }
    host::RenderResult result = host::renderFrame(host, *source.image, options);
    if (result.err != PF_Err_NONE) {
        throw PluginError("to render " + files.input + (sequence ? " at frame " + std::to_string(files.frame) : ""),
                          result.err);
    }
    logHostProblems(host, log);
    const std::unique_ptr<host::Image> output = std::move(result.output);
    // Drawn before anything is written, so that a failed drawing leaves the frame's files as they were.
    std::unique_ptr<host::Image> overlay;
    if (!job.overlay.empty()) {
        overlay = drawHandles(host, *output, options.downsample, files.frame);
        logHostProblems(host, log);
    }
    writeImage(*output, files.output, outputFormatFor(source, depthOf(source.image->format())));
    if (overlay) {
        writeImage(*overlay, overlayFile(job, files.frame), OutputFormat{OIIO::TypeDesc::UINT8, source.hasAlpha});
    }
}

}  // namespace

void checkOutputsWritable(const RenderJob& job, const std::vector<FrameFiles>& frames) {
    // Every frame's output lies in the same folder and has the same extension, and so does every overlay.
    checkWritable(frames.front().output);
    if (!job.overlay.empty()) {
        checkWritable(overlayFile(job, frames.front().frame));
    }
}

std::unique_ptr<host::Host> prepareEffect(const std::string& pluginPath, const RenderJob& job,
                                          const std::string& layerFile) {
    const ImageSize size = imageSize(layerFile);
    std::unique_ptr<host::Host> host = loadEffect(pluginPath, LayerSize{size.width, size.height});
    for (const RenderJob::Setting& setting : job.settings) {
        try {
            applySetting(*host, setting.value);
        } catch (const UsageError& e) {
            throw UsageError(setting.origin.empty() ? e.what() : setting.origin + ": " + e.what());
        }
    }
    return host;
}

void renderFrames(host::Host& host, const RenderJob& job, const std::vector<FrameFiles>& frames, std::ostream& log,
                  bool terminal) {
    const bool sequence = FramePattern::parse(job.output).has_value();
    std::optional<Progress> progress;
    if (sequence) {
        progress.emplace(static_cast<int>(frames.size()), log, terminal);
    }
    for (const FrameFiles& files : frames) {
        renderFile(host, job, files, sequence, log);
        if (progress) {
            progress->frameDone(files.frame, files.output);
        }
    }
}

int runRender(const Common& common, const std::vector<std::string>& args) {
    const RenderJob job = parseRenderArgs(args);
    const std::vector<FrameFiles> frames = planFrames(job.input, job.output, job.frames);
    checkOutputsWritable(job, frames);
    const std::unique_ptr<host::Host> host = prepareEffect(common.pluginPath, job, frames.front().input);
    renderFrames(*host, job, frames, std::cerr, isatty(STDERR_FILENO) != 0);
    return 0;
}

}  // namespace tiltshift
