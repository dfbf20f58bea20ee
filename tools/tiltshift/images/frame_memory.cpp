#include "images/frame_memory.h"

#include <unistd.h>

#include <fstream>
#include <stdexcept>

namespace tiltshift {

namespace {

constexpr std::uint64_t kPluginBytesPerPixel = 40;
constexpr std::uint64_t kMebibyte = 1024 * 1024;

std::uint64_t bytesPerChannel(Depth depth) {
    switch (depth) {
        case Depth::bits8: return 1;
        case Depth::bits16: return 2;
        case Depth::float32: break;
    }
    return 4;
}

// Rounded up: a need is never understated.
std::string mebibytes(std::uint64_t bytes) {
    return std::to_string((bytes + kMebibyte - 1) / kMebibyte) + " MiB";
}

}  // namespace

std::uint64_t systemMemoryAvailable() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kibibytes = 0;
    std::string unit;
    while (meminfo >> key >> kibibytes >> unit) {
        if (key == "MemAvailable:") {
            return kibibytes * 1024;
        }
    }
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) : 0;
}

FrameLimit systemFrameLimit() {
    return FrameLimit{systemMemoryAvailable(), std::nullopt};
}

std::uint64_t frameMemory(int width, int height, int fileChannels, Depth depth) {
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    const std::uint64_t channel = bytesPerChannel(depth);
    const std::uint64_t perPixel = static_cast<std::uint64_t>(fileChannels) * channel + 5 * 4 * channel +
                                   kPluginBytesPerPixel;
    return pixels * perPixel;
}

void checkFrameFits(const std::string& path, int width, int height, int fileChannels, Depth depth,
                    const FrameLimit& limit) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width <= 0 || height <= 0 || fileChannels <= 0) {
        throw std::runtime_error("cannot read " + path + ": it claims a size of " + size + " with " +
                                 std::to_string(fileChannels) + " channels");
    }
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (limit.maxPixels) {
        if (pixels > *limit.maxPixels) {
            throw std::runtime_error("cannot render " + path + ": its " + size + " pixels are more than --max-pixels " +
                                     std::to_string(*limit.maxPixels));
        }
        return;
    }
    const std::uint64_t need = frameMemory(width, height, fileChannels, depth);
    if (need > limit.memoryAvailable) {
        throw std::runtime_error("cannot render " + path + ": a frame of " + size + " pixels at " +
                                 std::to_string(static_cast<int>(depth)) + " bits needs about " + mebibytes(need) +
                                 ", but only " + std::to_string(limit.memoryAvailable / kMebibyte) + " MiB" +
                                 " are available (--max-pixels overrides this estimate)");
    }
}

}  // namespace tiltshift
