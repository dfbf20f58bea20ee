#pragma once
// A synthetic layer for renders in tests and benchmarks: opaque, with detail
// at every scale, as footage has it, so that any blur changes it.

#include <cmath>
#include <type_traits>

#include "AE_Effect.h"
#include "color/color.h"
#include "host/image.h"

namespace footage {

// A channel value from 0..1 in the pixel type's units.
template <typename Pixel>
auto channel(double unit) {
    using Channel = decltype(Pixel{}.alpha);
    if constexpr (std::is_floating_point_v<Channel>) {
        return static_cast<Channel>(unit);
    } else {
        return static_cast<Channel>(std::lround(unit * Nerevo::PixelTraits<Pixel>::fullScale));
    }
}

template <typename Pixel>
Pixel texture(int x, int y) {
    const double r = ((x * 37 + y * 91) % 256) / 255.0;
    const double g = ((x * x + 3 * y) % 200) / 199.0;
    const double b = (((x / 4) + (y / 4)) % 2) * 0.75 + 0.125;
    return Pixel{channel<Pixel>(1.0), channel<Pixel>(r), channel<Pixel>(g), channel<Pixel>(b)};
}

template <typename Pixel>
void paint(host::Image& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.at<Pixel>(x, y) = texture<Pixel>(x, y);
        }
    }
}

}  // namespace footage
