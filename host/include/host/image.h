#pragma once
// An image for tests and tools: a world at 8 bits, 16 bits (full scale
// 32768) or 32-bit float, laid out as the host lays out the worlds it hands
// to a plug-in (rows padded beyond width × pixel size, guard rows around
// them) and known to the host, so that its callbacks and suites accept it.
// It starts transparent black.

#include "AE_Effect.h"
#include "AE_EffectPixelFormat.h"
#include "world/pixels.h"

namespace host {

class Image {
public:
    // Throws std::invalid_argument for a format that is none of the three or
    // a negative size, std::bad_alloc when the memory cannot be had.
    Image(PF_PixelFormat format, int width, int height, PF_Point origin = PF_Point{0, 0});
    ~Image();

    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // The world record, to hand to a plug-in; it stays at this address.
    PF_EffectWorld* world() { return &world_; }
    const PF_EffectWorld* world() const { return &world_; }

    PF_PixelFormat format() const { return format_; }
    int width() const { return world_.width; }
    int height() const { return world_.height; }

    // The pixel at (x, y). Throws std::out_of_range outside the image and
    // std::logic_error when Pixel is not the image's pixel type.
    template <typename Pixel>
    Pixel& at(int x, int y) {
        checkAt(x, y, Nerevo::PixelTraits<Pixel>::format);
        return Nerevo::Pixels::at<Pixel>(world_, x, y);
    }
    template <typename Pixel>
    const Pixel& at(int x, int y) const {
        checkAt(x, y, Nerevo::PixelTraits<Pixel>::format);
        return Nerevo::Pixels::at<Pixel>(world_, x, y);
    }

    // False once anything wrote into the row padding or the guard rows.
    bool untouchedOutside() const;

private:
    void checkAt(int x, int y, PF_PixelFormat format) const;

    PF_PixelFormat format_;
    PF_EffectWorld world_{};
};

}  // namespace host
