#pragma once
// Raw video as ffmpeg's rawvideo format carries it through a pipe: frames
// of a size agreed beforehand, back to back with nothing between them, in
// one of three of ffmpeg's pixel formats. Channel values are in a file's
// scale (0..255, 0..65535, floats with 1 as full) with straight alpha, and
// meet the host's worlds by the same rules as image files do, so that a
// frame through a pipe and the same frame through a file render alike.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <OpenImageIO/typedesc.h>

#include "host/image.h"
#include "images/image_io.h"
#include "images/pixel_convert.h"

namespace tiltshift {

// rgba: 8-bit red, green, blue, alpha interleaved; rgba64le: the same at 16
// bits, little-endian; gbrapf32le: 32-bit floats, little-endian, a plane of
// green, then blue, red and alpha.
enum class RawFormat { rgba, rgba64le, gbrapf32le };

// ffmpeg's name of the format.
const char* rawFormatName(RawFormat format);
// The format of one of those names; nothing for any other text.
std::optional<RawFormat> parseRawFormat(const std::string& name);
// The depth whose channels the format holds, and the type of a channel.
Depth depthOf(RawFormat format);
OIIO::TypeDesc channelTypeOf(RawFormat format);
// The bytes of one frame.
std::size_t frameBytes(RawFormat format, ImageSize size);

// Frames read from a file descriptor, one after another.
class RawVideoReader {
public:
    // Reads from `fd`, which stays open and the caller's; `name` names the
    // stream in errors ("standard input").
    RawVideoReader(int fd, std::string name, RawFormat format, ImageSize size);

    // The next frame as a world at `depth`, in `reuse` when that is one of
    // the frame's size and depth; nothing once the stream has ended after a
    // whole frame. Throws std::runtime_error for a stream that ends inside a
    // frame (naming it: frames count from 0), holds no frame at all, or
    // cannot be read.
    std::unique_ptr<host::Image> read(Depth depth, std::unique_ptr<host::Image> reuse = nullptr);

    const std::string& name() const { return name_; }
    RawFormat format() const { return format_; }
    // The frames read whole so far.
    int framesRead() const { return frames_; }

private:
    template <typename T>
    void unpack(host::Image& image);

    int fd_;
    std::string name_;
    RawFormat format_;
    ImageSize size_;
    int frames_ = 0;
    std::vector<unsigned char> bytes_;  // one frame as the stream holds it
    std::vector<float> row_;            // a row of planes gathered into pixels
};

// Frames written to a file descriptor, one after another. Every frame has
// the first one's size: a raw stream says nothing of its size.
class RawVideoWriter {
public:
    // Writes to `fd`, which stays open and the caller's; `name` names the
    // stream in errors ("standard output").
    RawVideoWriter(int fd, std::string name, RawFormat format);

    // Throws std::runtime_error naming the frame (counted from 0) when it
    // cannot be written whole, the program reading the stream having ended
    // among other reasons, or is another size than the first.
    void write(const host::Image& image);

    const std::string& name() const { return name_; }

private:
    template <typename T>
    void pack(const host::Image& image, Raster<T>& raster);

    int fd_;
    std::string name_;
    RawFormat format_;
    std::optional<ImageSize> size_;
    int frames_ = 0;
    Rasters rasters_;
    std::vector<float> row_;
    std::vector<unsigned char> bytes_;
};

}  // namespace tiltshift
