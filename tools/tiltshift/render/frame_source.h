#pragma once
// Where a render's frames come from, one after another: the image files of
// a frame plan, or the raw frames of a stream.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/image.h"
#include "images/frame_memory.h"
#include "images/image_io.h"
#include "images/raw_video.h"
#include "render/sequence.h"

namespace tiltshift {

// A frame's input, read, and how long reading took.
struct ReadFrame {
    FrameFiles files;
    SourceImage source;
    double readMs = 0;
};

class FrameSource {
public:
    virtual ~FrameSource() = default;

    // How many frames there are, when that is known before the last is read.
    virtual std::optional<int> count() const = 0;

    // The next frame, read into `reuse` when that fits it; nothing after the
    // last. Called on one thread at a time, not always the same one.
    virtual std::optional<ReadFrame> next(std::unique_ptr<host::Image> reuse) = 0;
};

// The frames of a plan (see planFrames), each at `depth` or its file's own,
// each checked against `limit` before its pixels are read.
// `first` is the first frame's input when it is open already.
class FileFrames : public FrameSource {
public:
    FileFrames(const FramePlan& frames, std::optional<Depth> depth, FrameLimit limit,
               std::unique_ptr<InputImage> first = nullptr);

    std::optional<int> count() const override;
    std::optional<ReadFrame> next(std::unique_ptr<host::Image> reuse) override;

private:
    const FramePlan& frames_;
    std::optional<Depth> depth_;
    FrameLimit limit_;
    std::unique_ptr<InputImage> first_;
    std::size_t next_ = 0;
};

// The frames of a raw stream at `depth` until it ends, numbered from 0;
// `output` names where they go.
class StreamFrames : public FrameSource {
public:
    StreamFrames(RawVideoReader& reader, Depth depth, std::string output);

    std::optional<int> count() const override;
    std::optional<ReadFrame> next(std::unique_ptr<host::Image> reuse) override;

private:
    RawVideoReader& reader_;
    Depth depth_;
    std::string output_;
};

}  // namespace tiltshift
