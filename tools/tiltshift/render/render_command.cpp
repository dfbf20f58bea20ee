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
#include "host/plugin_error.h"
#include "images/frame_memory.h"
#include "images/image_io.h"
#include "render/frame_source.h"
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

// A frame rendered, with its overlay when asked for, to be written.
struct RenderedFrame {
    FrameFiles files;
    std::unique_ptr<host::Image> output, overlay;
    OutputFormat format{OIIO::TypeDesc::UINT8}, overlayFormat{OIIO::TypeDesc::UINT8};
    double readMs = 0, renderMs = 0;
};

RenderedFrame renderFile(host::Host& host, const RenderJob& job, bool sequence, std::ostream& log,
                         const ReadFrame& read) {
    const FrameFiles& files = read.files;
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
    options.inLayerFrame = true;
    // A text or shape layer's content is what is not transparent.
    if (options.layerType != AEGP_ObjectType_AV) {
        options.content = contentBounds(*source.image);
    }
    const Clock::time_point start = Clock::now();
    host::RenderResult result = host::renderFrame(host, *source.image, options);
    const double renderMs = millisecondsSince(start);
    if (result.err != PF_Err_NONE) {
        throw host::PluginError("to render " + files.input + (sequence ? " at frame " + std::to_string(files.frame) : ""),
                          result.err, host.outData());
    }
    logHostProblems(host, log);
    RenderedFrame rendered;
    rendered.files = files;
    rendered.output = std::move(result.output);
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

// Writes on a thread of its own, to `stream` when there is one; returns how
// long that took.
double writeFrame(ImageWriter& writer, RawVideoWriter* stream, const RenderJob& job, const RenderedFrame& frame) {
    const Clock::time_point start = Clock::now();
    if (stream) {
        stream->write(*frame.output);
    } else {
        writer.write(*frame.output, frame.files.output, frame.format);
    }
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

// Renders the frames as renderFrames says, writing them to `stream` when
// there is one.
void renderEach(host::Host& host, const RenderJob& job, FrameSource& frames, RawVideoWriter* stream,
                std::ostream& log, bool terminal) {
    const bool sequence = stream || FramePattern::parse(job.output).has_value();
    std::optional<Progress> progress;
    // JSON timings are read by programs: no other lines between them.
    if (sequence && job.timings != Timings::json) {
        progress.emplace(frames.count(), log, terminal);
    }
    TimingsReport timings(job.timings, log);
    // Frame i renders here while frame i + 1 is read and frame i - 1
    // written on threads of their own; two input worlds take turns. The
    // tasks end before these go: a future of std::async waits for its task.
    ImageWriter writer;
    std::unique_ptr<host::Image> spare;
    const auto startReading = [&] {
        return std::async(
            std::launch::async,
            [&frames](std::unique_ptr<host::Image> reuse) {
                const Clock::time_point start = Clock::now();
                std::optional<ReadFrame> read = frames.next(std::move(reuse));
                if (read) {
                    read->readMs = millisecondsSince(start);
                }
                return read;
            },
            std::move(spare));
    };
    std::future<std::optional<ReadFrame>> reading = startReading();
    RenderedFrame written;
    std::future<double> writing;
    // Progress and timings are reported here, in frame order, once a frame is written.
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
    for (;;) {
        std::optional<ReadFrame> read;
        try {
            read = reading.get();
        } catch (...) {
            // The frame before is written whole, and said so, before the
            // error: a stream that breaks off keeps every frame it completed.
            finishWriting();
            throw;
        }
        if (!read) {
            break;
        }
        reading = startReading();
        // The estimate before reading leaves out what it cannot see: the
        // host's grown bounds, the encoders, other processes taking memory.
        try {
            RenderedFrame rendered = renderFile(host, job, sequence, log, *read);
            spare = std::move(read->source.image);
            finishWriting();
            written = std::move(rendered);
            writing = std::async(std::launch::async, writeFrame, std::ref(writer), stream, std::cref(job),
                                 std::cref(written));
        } catch (const std::bad_alloc&) {
            throw std::runtime_error("out of memory rendering " + read->files.input +
                                     (sequence ? " at frame " + std::to_string(read->files.frame) : ""));
        }
    }
    finishWriting();
}

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

Effect prepareEffect(const std::string& pluginPath, const RenderJob& job,
                                          const std::string& layerFile) {
    return prepareEffect(pluginPath, job, imageSize(layerFile));
}

Effect prepareEffect(const std::string& pluginPath, const RenderJob& job, ImageSize layer) {
    const int downsample = job.options.downsample;
    if (downsample > layer.width || downsample > layer.height) {
        throw UsageError("--downsample " + std::to_string(downsample) + " is more than the image's " +
                         std::to_string(layer.width) + " x " + std::to_string(layer.height) +
                         " pixels: nothing would be left to render");
    }
    Effect host = loadEffect(pluginPath, LayerSize{layer.width, layer.height});
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
    FileFrames source(frames, job.depth, job.limit, std::move(firstInput));
    renderEach(host, job, source, nullptr, log, terminal);
}

void renderStream(host::Host& host, const RenderJob& job, RawVideoReader& in, RawVideoWriter& out, std::ostream& log,
                  bool terminal) {
    StreamFrames source(in, job.depth.value_or(depthOf(in.format())), out.name());
    renderEach(host, job, source, &out, log, terminal);
}

int runRenderJob(const std::string& pluginPath, const RenderJob& job) {
    if (job.input == kStream) {
        return runStreamJob(pluginPath, job, STDIN_FILENO, STDOUT_FILENO, std::cerr, isatty(STDERR_FILENO) != 0);
    }
    const FramePlan frames = planFrames(job.input, job.output, job.frames);
    checkDistinctFiles(job, frames);
    checkOutputsWritable(job, frames);
    // The first input is opened once: its header sizes the layer, then its pixels are read.
    auto first = std::make_unique<InputImage>(frames.front().input);
    const Effect host = prepareEffect(pluginPath, job, first->size());
    renderFrames(*host, job, frames, std::cerr, isatty(STDERR_FILENO) != 0, std::move(first));
    return 0;
}

int runStreamJob(const std::string& pluginPath, const RenderJob& job, int in, int out, std::ostream& log,
                 bool terminal) {
    // Raw frames are for programs: a person at a terminal typing them, or
    // reading them, would see only a hang or noise.
    if (isatty(in)) {
        throw UsageError("INPUT - reads raw video from standard input, which is a terminal; pipe the frames in, "
                         "e.g. ffmpeg -i clip.mp4 -f rawvideo -pix_fmt " +
                         std::string(rawFormatName(*job.pixelFormat)) + " - | tiltshift render - ...");
    }
    if (isatty(out)) {
        throw UsageError("OUTPUT - writes raw video to standard output, which is a terminal; pipe it on, "
                         "e.g. ... | ffmpeg -f rawvideo -pix_fmt " +
                         std::string(rawFormatName(*job.pixelFormat)) + " -s WIDTHxHEIGHT -i - out.mp4");
    }
    const ImageSize size = *job.frameSize;
    checkFrameFits("standard input", size.width, size.height, 4, job.depth.value_or(depthOf(*job.pixelFormat)),
                   job.limit);
    RawVideoReader reader(in, "standard input", *job.pixelFormat, size);
    RawVideoWriter writer(out, "standard output", *job.pixelFormat);
    const Effect host = prepareEffect(pluginPath, job, *job.frameSize);
    renderStream(*host, job, reader, writer, log, terminal);
    return 0;
}

}  // namespace tiltshift
