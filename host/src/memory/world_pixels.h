#pragma once
// Pixels of host worlds for the host's own image operations: addressed by
// (x, y) through rowbytes, and converted to and from one scale for all
// depths (0..1; floats as stored).

#include <type_traits>

#include "memory/world_memory.h"
#include "world/pixels.h"

namespace host {

struct UnitPixel {
    double alpha, red, green, blue;
};

template <typename Pixel>
Pixel& pixelAt(const WorldShape& world, A_long x, A_long y) {
    return reinterpret_cast<Pixel*>(world.row(y))[x];
}

template <typename Pixel>
UnitPixel toUnit(const Pixel& p) {
    constexpr double k = 1.0 / Nerevo::PixelTraits<Pixel>::fullScale;
    return UnitPixel{p.alpha * k, p.red * k, p.green * k, p.blue * k};
}

// Integer channels round half up and clamp; NaN becomes 0. Floats are kept as they are.
template <typename Pixel>
Pixel fromUnit(const UnitPixel& u) {
    using Channel = typename Nerevo::PixelTraits<Pixel>::Channel;
    const auto channel = [](double v) -> Channel {
        if constexpr (std::is_floating_point_v<Channel>) {
            return static_cast<Channel>(v);
        } else {
            constexpr double full = Nerevo::PixelTraits<Pixel>::fullScale;
            const double scaled = v * full + 0.5;
            if (!(scaled > 0.0)) {
                return 0;
            }
            return static_cast<Channel>(scaled >= full ? full : scaled);
        }
    };
    return Pixel{channel(u.alpha), channel(u.red), channel(u.green), channel(u.blue)};
}

}  // namespace host
