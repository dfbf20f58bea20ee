#pragma once
// Image files, read and written through OpenImageIO, as the host's worlds.

#include <memory>
#include <optional>
#include <string>

#include <OpenImageIO/typedesc.h>

#include "host/image.h"
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

// The first image of the file, at `depth` or the file's own. Grey becomes
// red, green and blue. Throws std::runtime_error naming the file.
SourceImage readImage(const std::string& path, std::optional<Depth> depth = std::nullopt);

struct ImageSize {
    int width = 0;
    int height = 0;
};

// The size of the file's first image, from its header. Throws
// std::runtime_error naming the file.
ImageSize imageSize(const std::string& path);

struct OutputFormat {
    // The channel type to store; a format that lacks it stores the nearest
    // it has (JPEG, for one, is always 8-bit).
    OIIO::TypeDesc channelType;
    // Store alpha even when the image is opaque.
    bool alpha = false;
};

// Writes the image, in the format the path's extension names, through a
// PendingFile: on failure the path keeps what it had. Alpha is stored
// associated where the format's convention says so (OpenEXR) and straight
// elsewhere. Throws std::runtime_error naming the file.
void writeImage(const host::Image& image, const std::string& path, const OutputFormat& format);

// Throws std::runtime_error when no format writes files of the path's
// extension or its folder takes no files, so that a run can fail before it
// renders anything.
void checkWritable(const std::string& path);

}  // namespace tiltshift
