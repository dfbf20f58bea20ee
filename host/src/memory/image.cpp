#include "host/image.h"

#include <new>
#include <stdexcept>
#include <string>

#include "memory/world_memory.h"

namespace host {

Image::Image(PF_PixelFormat format, int width, int height, PF_Point origin) : format_(format) {
    switch (WorldMemory::allocate(format, width, height, true, origin, world_)) {
    case PF_Err_NONE: return;
    case PF_Err_OUT_OF_MEMORY: throw std::bad_alloc();
    default:
        throw std::invalid_argument("no image of format " + std::to_string(format) + " and size " +
                                    std::to_string(width) + " x " + std::to_string(height));
    }
}

Image::~Image() {
    bool intact = true;
    WorldMemory::release(world_.data, intact);
}

bool Image::untouchedOutside() const {
    return WorldMemory::intact(world_.data);
}

void Image::checkAt(int x, int y, PF_PixelFormat format) const {
    if (format != format_) {
        throw std::logic_error("pixel type of another depth than the image's");
    }
    if (x < 0 || y < 0 || x >= world_.width || y >= world_.height) {
        throw std::out_of_range("pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") outside an image of " +
                                std::to_string(world_.width) + " x " + std::to_string(world_.height));
    }
}

}  // namespace host
