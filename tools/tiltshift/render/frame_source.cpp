#include "render/frame_source.h"

namespace tiltshift {

FileFrames::FileFrames(const FramePlan& frames, std::optional<Depth> depth, FrameLimit limit,
                       std::unique_ptr<InputImage> first)
    : frames_(frames), depth_(depth), limit_(limit), first_(std::move(first)) {}

std::optional<int> FileFrames::count() const {
    return static_cast<int>(frames_.size());
}

std::optional<ReadFrame> FileFrames::next(std::unique_ptr<host::Image> reuse) {
    if (next_ == frames_.size()) {
        return std::nullopt;
    }
    const FrameFiles files = frames_[next_++];
    std::unique_ptr<InputImage> opened = std::move(first_);
    if (!opened) {
        opened = std::make_unique<InputImage>(files.input);
    }
    return ReadFrame{files, opened->read(depth_, std::move(reuse), limit_)};
}

StreamFrames::StreamFrames(RawVideoReader& reader, Depth depth, std::string output)
    : reader_(reader), depth_(depth), output_(std::move(output)) {}

std::optional<int> StreamFrames::count() const {
    return std::nullopt;
}

std::optional<ReadFrame> StreamFrames::next(std::unique_ptr<host::Image> reuse) {
    const int frame = reader_.framesRead();
    std::unique_ptr<host::Image> image = reader_.read(depth_, std::move(reuse));
    if (!image) {
        return std::nullopt;
    }
    // Every layout the stream takes has alpha.
    return ReadFrame{FrameFiles{frame, reader_.name(), output_},
                     SourceImage{std::move(image), channelTypeOf(reader_.format()), true}};
}

}  // namespace tiltshift
