#pragma once
// The memory a frame takes, checked against what there is before anything
// is allocated for it: a file's header may claim any size, and a frame that
// cannot fit should be refused with its figures, not end in the allocator.

#include <cstdint>
#include <optional>
#include <string>

#include "images/pixel_convert.h"

namespace tiltshift {

// How large a frame may be.
struct FrameLimit {
    std::uint64_t memoryAvailable = 0;        // bytes a frame may take
    std::optional<std::uint64_t> maxPixels;  // when given, replaces the estimate: frames up to this many pixels
};

// The memory the system can give now (MemAvailable), or all of its
// physical memory where that is unknown.
std::uint64_t systemMemoryAvailable();

// A limit of the memory the system can give now.
FrameLimit systemFrameLimit();

// Bytes a width × height frame takes at once while it renders at `depth`,
// read from a file of `fileChannels` channels: the file's pixels as read
// (for layouts that go through a copy), the worlds of a sequence in flight
// (the frame read ahead, the one rendering, its output, the output of the
// one before and the writer's copy of it) and the plug-in's working
// buffers (40 bytes a pixel).
std::uint64_t frameMemory(int width, int height, int fileChannels, Depth depth);

// Throws std::runtime_error naming the file, its size and what it needs
// (or the limit it is over) when the frame does not fit the limit, or has
// no pixels at all.
void checkFrameFits(const std::string& path, int width, int height, int fileChannels, Depth depth,
                    const FrameLimit& limit);

}  // namespace tiltshift
