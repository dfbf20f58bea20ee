#pragma once
// Image files, read and written through OpenImageIO, as the host's worlds.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <OpenImageIO/imageio.h>

#include "host/image.h"
#include "images/frame_memory.h"
#include "images/pixel_convert.h"

namespace tiltshift {

// The depth a file's channels render at by default: 8 for 8-bit files, 16
// for 16-bit ones, 32 for everything else (half, float, 32-bit integers).
Depth depthOf(OIIO::TypeDesc channelType);

struct SourceImage {
    std::unique_ptr<host::Image> image;  // straight alpha, opaque where the file has none
    OIIO::TypeDesc channelType;          // how the file stores its channels
    bool hasAlpha = false;
};

struct ImageSize {
    int width = 0;
    int height = 0;
};

// An image file opened, its header read, its pixels not yet.
class InputImage {
public:
    // Throws std::runtime_error naming the file.
    explicit InputImage(std::string path);
    ~InputImage();

    ImageSize size() const;

    // The first image of the file, at `depth` or the file's own, in
    // `reuse` when that is a world of its size and depth. Grey becomes red,
    // green and blue. The pixels go straight from the decoder into the
    // world and are set right there, in one pass. Throws
    // std::runtime_error naming the file, before anything is allocated for
    // its pixels when the frame does not fit `limit`.
    SourceImage read(std::optional<Depth> depth, std::unique_ptr<host::Image> reuse = nullptr,
                     const FrameLimit& limit = systemFrameLimit());

private:
    std::string path_;
    std::unique_ptr<OIIO::ImageInput> in_;
};

// The first image of the file; see InputImage::read.
SourceImage readImage(const std::string& path, std::optional<Depth> depth = std::nullopt,
                      const FrameLimit& limit = systemFrameLimit());

// The size of the file's first image, from its header. Throws
// std::runtime_error naming the file.
ImageSize imageSize(const std::string& path);

// A codec and its level in the form oiiotool takes: "zip", "zip:9", "jpeg:90".
struct Compression {
    std::string name;
    std::optional<int> level;
};

struct OutputFormat {
    explicit OutputFormat(OIIO::TypeDesc type, bool withAlpha = false, std::optional<Compression> asked = {})
        : channelType(type), alpha(withAlpha), compression(std::move(asked)) {}

    // The channel type to store; a format that lacks it stores the nearest
    // it has (JPEG, for one, is always 8-bit).
    OIIO::TypeDesc channelType;
    // Store alpha even when the image is opaque.
    bool alpha = false;
    // Nothing: the format's own default, but PNG at zlib level 1, which
    // writes several times faster than the default for a slightly larger file.
    std::optional<Compression> compression;
};

// Writes images in the format each path's extension names, through a
// PendingFile: on failure the path keeps what it had, and a file is only
// put in place once every byte of it is on the disk. Alpha is stored
// associated where the format's convention says so (OpenEXR) and straight
// elsewhere. Keeps its buffers from one image to the next.
class ImageWriter {
public:
    // Throws std::runtime_error naming the file.
    void write(const host::Image& image, const std::string& path, const OutputFormat& format);

private:
    template <typename T>
    void writePixels(OIIO::ImageOutput& out, const host::Image& image, bool associated, Raster<T>& raster,
                     const std::string& path);

    Rasters rasters_;
    std::vector<unsigned char> encoded_;
};

// One image written with a writer of its own.
void writeImage(const host::Image& image, const std::string& path, const OutputFormat& format);

// Throws std::runtime_error when no format writes files of the path's
// extension or its folder takes no files, so that a run can fail before it
// renders anything.
void checkWritable(const std::string& path);

}  // namespace tiltshift
