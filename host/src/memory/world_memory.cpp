#include "memory/world_memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <mutex>
#include <shared_mutex>

#include "world/pixels.h"

namespace host {
namespace {

constexpr unsigned char kGuard = 0xA5;      // padding and guard rows
constexpr unsigned char kUncleared = 0xCD;  // pixels of a world asked for without clearing
constexpr A_long kPadPixels = 3;            // beyond the width, in every row

struct Buffer {
    unsigned char* block;  // guard row, rows, guard row
    std::size_t blockSize;
    WorldShape shape;
};

// Shared by the lookups, which render threads make per sampled pixel, so
// that they do not wait on each other.
std::shared_mutex& registryMutex() {
    static std::shared_mutex mutex;
    return mutex;
}

// Keyed by the address of the first pixel.
std::map<const void*, Buffer>& registry() {
    static std::map<const void*, Buffer> buffers;
    return buffers;
}

bool guardsIntact(const Buffer& buffer) {
    const WorldShape& s = buffer.shape;
    const std::size_t used = static_cast<std::size_t>(s.width) * pixelSize(s.format);
    const auto guardOk = [](const unsigned char* from, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            if (from[i] != kGuard) {
                return false;
            }
        }
        return true;
    };
    const std::size_t rowbytes = static_cast<std::size_t>(s.rowbytes);
    if (!guardOk(buffer.block, rowbytes) || !guardOk(buffer.block + buffer.blockSize - rowbytes, rowbytes)) {
        return false;
    }
    for (A_long y = 0; y < s.height; ++y) {
        if (!guardOk(reinterpret_cast<unsigned char*>(s.row(y)) + used, rowbytes - used)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::size_t pixelSize(PF_PixelFormat format) {
    std::size_t size = 0;
    Nerevo::withPixelType(format, [&](auto type) { size = sizeof(typename decltype(type)::type); });
    return size;
}

namespace WorldMemory {

PF_Err allocate(PF_PixelFormat format, A_long width, A_long height, bool clear, PF_Point origin,
                PF_EffectWorld& world) {
    const std::size_t size = pixelSize(format);
    if (size == 0 || width < 0 || height < 0) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const std::uint64_t rowbytes = (static_cast<std::uint64_t>(width) + kPadPixels) * size;
    const std::uint64_t rows = static_cast<std::uint64_t>(height) + 2;
    if (rowbytes > static_cast<std::uint64_t>(std::numeric_limits<A_long>::max()) ||
        rowbytes * rows > std::numeric_limits<std::size_t>::max() / 2) {
        return PF_Err_OUT_OF_MEMORY;
    }
    Buffer buffer{};
    buffer.blockSize = static_cast<std::size_t>(rowbytes * rows);
    buffer.block = static_cast<unsigned char*>(std::malloc(buffer.blockSize));
    if (!buffer.block) {
        return PF_Err_OUT_OF_MEMORY;
    }
    std::memset(buffer.block, kGuard, buffer.blockSize);
    buffer.shape = WorldShape{format, width, height, static_cast<A_long>(rowbytes),
                              reinterpret_cast<char*>(buffer.block + rowbytes)};
    for (A_long y = 0; y < height; ++y) {
        std::memset(buffer.shape.row(y), clear ? 0 : kUncleared, static_cast<std::size_t>(width) * size);
    }

    world = PF_EffectWorld{};
    world.world_flags = PF_WorldFlag_WRITEABLE | (format == PF_PixelFormat_ARGB64 ? PF_WorldFlag_DEEP : 0);
    world.data = buffer.shape.data;
    world.rowbytes = buffer.shape.rowbytes;
    world.width = width;
    world.height = height;
    world.extent_hint = PF_Rect{0, 0, width, height};
    world.pix_aspect_ratio = PF_RationalScale{1, 1};
    world.origin_x = origin.h;
    world.origin_y = origin.v;

    std::unique_lock<std::shared_mutex> lock(registryMutex());
    registry().emplace(buffer.shape.data, buffer);
    return PF_Err_NONE;
}

bool release(const void* data, bool& intact) {
    Buffer buffer{};
    {
        std::unique_lock<std::shared_mutex> lock(registryMutex());
        const auto found = registry().find(data);
        if (found == registry().end()) {
            return false;
        }
        buffer = found->second;
        registry().erase(found);
    }
    intact = guardsIntact(buffer);
    std::free(buffer.block);
    return true;
}

bool find(const PF_EffectWorld* world, WorldShape& shape) {
    if (!world || !world->data) {
        return false;
    }
    std::shared_lock<std::shared_mutex> lock(registryMutex());
    const auto found = registry().find(world->data);
    if (found == registry().end()) {
        return false;
    }
    const WorldShape& s = found->second.shape;
    if (world->width != s.width || world->height != s.height || world->rowbytes != s.rowbytes) {
        return false;  // a record that no longer describes its pixels
    }
    shape = s;
    return true;
}

bool intact(const void* data) {
    std::shared_lock<std::shared_mutex> lock(registryMutex());
    const auto found = registry().find(data);
    return found != registry().end() && guardsIntact(found->second);
}

}  // namespace WorldMemory

}  // namespace host
