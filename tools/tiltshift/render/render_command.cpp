#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <future>
#include <iostream>
#include <memory>
#include <new>
#include <set>

#include "cli/arguments.h"
#include "effect/effect.h"
#include "effect/plugin_error.h"
#include "images/image_io.h"
#include "images/same_file.h"
#include "render/overlay.h"
#include "render/progress.h"
#include "render/render_job.h"

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
OutputFormat outputFormatFor(const SourceImage& source, Depth depth, const std::optional<Compression>& compression) {
    return OutputFormat{depthOf(source.channelType) == depth ? source.channelType : channelTypeOf(depth),
                        source.hasAlpha, compression};
}

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A frame's input, read, and how long that took.
struct ReadFrame {
    SourceImage source;
    double readMs = 0;
};

// Reads on a thread of its own, into `reuse` when it fits; `opened` is the
// input when its header was read already.
ReadFrame readFrame(std::unique_ptr<InputImage> opened, const std::string& path, std::optional<Depth> depth,
                    const FrameLimit& limit, std::unique_ptr<host::Image> reuse) {
    const Clock::time_point start = Clock::now();
    if (!opened) {
        opened = std::make_unique<InputImage>(path);
    }
    ReadFrame read{opened->read(depth, std::move(reuse), limit), 0};
    read.readMs = millisecondsSince(start);
    return read;
}

// A frame rendered, with its overlay when asked for, to be written.
struct RenderedFrame {
    FrameFiles files;
    std::unique_ptr<host::Image> output, overlay;
    OutputFormat format{OIIO::TypeDesc::UINT8}, overlayFormat{OIIO::TypeDesc::UINT8};
    double readMs = 0, renderMs = 0;
};

RenderedFrame renderFile(host::Host& host, const RenderJob& job, const FrameFiles& files, bool sequence,
                         std::ostream& log, const ReadFrame& read) {
    const SourceImage& source = read.source;
    // The parameters were registered for the first frame's layer: a point
    // given in its pixels (or defaulting to its centre) means something
    // else in a frame of another size.
    const host::Host::Frame& layer = host.frame();
    if (source.image->width() != layer.width || source.image->height() != layer.height) {
        throw std::runtime_error(files.input + " is " + std::to_string(source.image->width()) + " x " +
                                 std::to_string(source.image->height()) + " pixels, but the sequence began at " +
                                 std::to_string(layer.width) + " x " + std::to_string(layer.height) +
                                 "; render frames of another size as a sequence of their own");
    }
    host::RenderOptions options = job.options;
    options.frame = files.frame;
    // A text or shape layer's content is what is not transparent.
    if (options.layerType != AEGP_ObjectType_AV) {
        options.content = contentBounds(*source.image);
    }
    const Clock::time_point start = Clock::now();
    host::RenderResult result = host::renderFrame(host, *source.image, options);
    const double renderMs = millisecondsSince(start);
    if (result.err != PF_Err_NONE) {
        throw PluginError("to render " + files.input + (sequence ? " at frame " + std::to_string(files.frame) : ""),
                          result.err);
    }
    logHostProblems(host, log);
    // The layer at the render's resolution, as the host reduces it.
    const int width = source.image->width() / options.downsample;
    const int height = source.image->height() / options.downsample;
    RenderedFrame rendered;
    rendered.files = files;
    rendered.output = inLayerFrame(std::move(result.output), width, height);
    // Drawn before anything is written, so that a failed drawing leaves the frame's files as they were.
    if (!job.overlay.empty()) {
        rendered.overlay = drawHandles(host, *rendered.output, options.downsample, files.frame);
        logHostProblems(host, log);
    }
    rendered.format = outputFormatFor(source, depthOf(source.image->format()), job.compression);
    rendered.overlayFormat = OutputFormat{OIIO::TypeDesc::UINT8, source.hasAlpha, job.compression};
    rendered.readMs = read.readMs;
    rendered.renderMs = renderMs;
    return rendered;
}

// Writes on a thread of its own; returns how long that took.
double writeFrame(ImageWriter& writer, const RenderJob& job, const RenderedFrame& frame) {
    const Clock::time_point start = Clock::now();
    writer.write(*frame.output, frame.files.output, frame.format);
    if (frame.overlay) {
        writer.write(*frame.overlay, overlayFile(job, frame.files.frame), frame.overlayFormat);
    }
    return millisecondsSince(start);
}

// What --timings prints: a line per frame, and a last one for the run.
class TimingsReport {
public:
    TimingsReport(Timings form, std::ostream& log) : form_(form), log_(log) {}

    void frame(int frame, double readMs, double renderMs, double writeMs) {
        if (form_ == Timings::json) {
            log_ << "{\"frame\": " << frame << ", \"read_ms\": " << round(readMs) << ", \"render_ms\": "
                 << round(renderMs) << ", \"write_ms\": " << round(writeMs) << "}\n";
        } else if (form_ == Timings::text) {
            log_ << "frame " << frame << ": read " << round(readMs) << " ms, render " << round(renderMs)
                 << " ms, write " << round(writeMs) << " ms\n";
        }
        ++frames_;
    }

    ~TimingsReport() {
        if (form_ == Timings::off || frames_ == 0) {
            return;
        }
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const double peakMiB = static_cast<double>(usage.ru_maxrss) / 1024;  // Linux counts kibibytes
        const double perSecond = frames_ / (millisecondsSince(start_) / 1000);
        if (form_ == Timings::json) {
            log_ << "{\"peak_rss_mib\": " << round(peakMiB) << ", \"frames_per_s\": " << round(perSecond) << "}\n";
        } else {
            log_ << "peak memory " << round(peakMiB) << " MiB, " << round(perSecond) << " frames/s\n";
        }
    }

    TimingsReport(const TimingsReport&) = delete;
    TimingsReport& operator=(const TimingsReport&) = delete;

private:
    // Tenths are as far as such figures mean anything.
    static double round(double value) { return std::round(value * 10) / 10; }

    Timings form_;
    std::ostream& log_;
    int frames_ = 0;
    Clock::time_point start_ = Clock::now();
};

}  // namespace

void checkDistinctFiles(const RenderJob& job, const FramePlan& frames) {
    const bool inputSequence = FramePattern::parse(job.input).has_value();
    std::set<FileIdentity> inputs;
    if (inputSequence) {
        for (const FrameFiles& files : frames) {
            inputs.insert(fileIdentity(files.input));
        }
    } else {
        inputs.insert(fileIdentity(job.input));
    }
    const auto check = [&](int frame, const std::string& output) {
        if (inputs.count(fileIdentity(output)) != 0) {
            throw UsageError("OUTPUT " + output + " is an input file; rendering would overwrite it");
        }
        if (job.overlay.empty()) {
            return;
        }
        const std::string overlay = overlayFile(job, frame);
        if (inputs.count(fileIdentity(overlay)) != 0) {
            throw UsageError("--overlay " + overlay + " is an input file; rendering would overwrite it");
        }
        if (sameFile(overlay, output)) {
            throw UsageError("--overlay " + overlay + " is the OUTPUT file " + output + "; give it a file of its own");
        }
    };
    const std::optional<FramePattern> out = FramePattern::parse(job.output);
    if (inputSequence || !out) {
        for (const FrameFiles& files : frames) {
            check(files.frame, files.output);
        }
        return;
    }
    // A still into a sequence may span more frames than are worth going
    // through one by one. Only a file that exists can be the input; and an
    // output and overlay named alike are so at the last frame, whose number
    // is the widest.
    for (int frame : out->framesOnDisk()) {
        if (frames.contains(frame)) {
            check(frame, out->path(frame));
        }
    }
    if (!job.overlay.empty()) {
        for (int frame : FramePattern::parse(job.overlay)->framesOnDisk()) {
            if (frames.contains(frame)) {
                check(frame, out->path(frame));
            }
        }
    }
    const FrameFiles last = frames[frames.size() - 1];
    check(last.frame, last.output);
}

void checkOutputsWritable(const RenderJob& job, const FramePlan& frames) {
    // Every frame's output lies in the same folder and has the same extension, and so does every overlay.
    checkWritable(frames.front().output);
    if (!job.overlay.empty()) {
        checkWritable(overlayFile(job, frames.front().frame));
    }
}

std::unique_ptr<host::Host> prepareEffect(const std::string& pluginPath, const RenderJob& job,
                                          const std::string& layerFile) {
    return prepareEffect(pluginPath, job, imageSize(layerFile));
}

std::unique_ptr<host::Host> prepareEffect(const std::string& pluginPath, const RenderJob& job, ImageSize layer) {
    const int downsample = job.options.downsample;
    if (downsample > layer.width || downsample > layer.height) {
        throw UsageError("--downsample " + std::to_string(downsample) + " is more than the image's " +
                         std::to_string(layer.width) + " x " + std::to_string(layer.height) +
                         " pixels: nothing would be left to render");
    }
    std::unique_ptr<host::Host> host = loadEffect(pluginPath, LayerSize{layer.width, layer.height});
    for (const RenderJob::Setting& setting : job.settings) {
        try {
            applySetting(*host, setting.value);
        } catch (const UsageError& e) {
            throw UsageError(setting.origin.empty() ? e.what() : setting.origin + ": " + e.what());
        }
    }
    return host;
}

void renderFrames(host::Host& host, const RenderJob& job, const FramePlan& frames, std::ostream& log, bool terminal,
                  std::unique_ptr<InputImage> firstInput) {
    const bool sequence = FramePattern::parse(job.output).has_value();
    std::optional<Progress> progress;
    // JSON timings are read by programs: no other lines between them.
    if (sequence && job.timings != Timings::json) {
        progress.emplace(static_cast<int>(frames.size()), log, terminal);
    }
    TimingsReport timings(job.timings, log);
    // Frame i renders here while frame i + 1 is read and frame i - 1
    // written on threads of their own; two input worlds take turns. The
    // tasks end before these go: a future of std::async waits for its task.
    ImageWriter writer;
    std::unique_ptr<host::Image> spare;
    const auto startReading = [&](std::size_t i, std::unique_ptr<InputImage> opened) {
        return std::async(std::launch::async, readFrame, std::move(opened), frames[i].input, job.depth,
                          std::cref(job.limit), std::move(spare));
    };
    std::future<ReadFrame> reading = startReading(0, std::move(firstInput));
    RenderedFrame written;
    std::future<double> writing;
    // Progress and timings are reported here, in frame order, once a frame is on disk.
    const auto finishWriting = [&] {
        if (!writing.valid()) {
            return;
        }
        const double writeMs = writing.get();
        if (progress) {
            progress->frameDone(written.files.frame, written.files.output);
        }
        timings.frame(written.files.frame, written.readMs, written.renderMs, writeMs);
    };
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const FrameFiles files = frames[i];
        // The estimate before reading leaves out what it cannot see: the
        // host's grown bounds, the encoders, other processes taking memory.
        try {
            ReadFrame read = reading.get();
            if (i + 1 < frames.size()) {
                reading = startReading(i + 1, nullptr);
            }
            RenderedFrame rendered = renderFile(host, job, files, sequence, log, read);
            spare = std::move(read.source.image);
            finishWriting();
            written = std::move(rendered);
            writing = std::async(std::launch::async, writeFrame, std::ref(writer), std::cref(job), std::cref(written));
        } catch (const std::bad_alloc&) {
            throw std::runtime_error("out of memory rendering " + files.input +
                                     (sequence ? " at frame " + std::to_string(files.frame) : ""));
        }
    }
    finishWriting();
}

int runRenderJob(const std::string& pluginPath, const RenderJob& job) {
    const FramePlan frames = planFrames(job.input, job.output, job.frames);
    checkDistinctFiles(job, frames);
    checkOutputsWritable(job, frames);
    // The first input is opened once: its header sizes the layer, then its pixels are read.
    auto first = std::make_unique<InputImage>(frames.front().input);
    const std::unique_ptr<host::Host> host = prepareEffect(pluginPath, job, first->size());
    renderFrames(*host, job, frames, std::cerr, isatty(STDERR_FILENO) != 0, std::move(first));
    return 0;
}

}  // namespace tiltshift
