#pragma once
// Rendered frames as image files in memory, for a page to fetch.

#include <string>
#include <vector>

#include "host/image.h"

namespace tiltshift {

struct EncodedImage {
    std::string mimeType;
    std::vector<unsigned char> bytes;
};

// Every value the world holds, kept: PNG with straight alpha for 8 and 16
// bits (16-bit worlds at file scale), OpenEXR with associated alpha for
// float worlds. Always four channels. Throws std::runtime_error when the
// encoder fails.
EncodedImage encodeLossless(const host::Image& image);

}  // namespace tiltshift
