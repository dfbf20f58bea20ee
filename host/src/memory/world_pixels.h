#pragma once
// Pixels of host worlds for the host's own image operations: addressed by
// (x, y) through rowbytes, and converted to and from one scale for all
// depths (0..1; floats as stored).

#include <type_traits>
#include <utility>

#include "memory/world_memory.h"

namespace host {

struct UnitPixel {
    double alpha, red, green, blue;
};

template <typename Pixel>
Pixel& pixelAt(const WorldShape& world, A_long x, A_long y) {
    return reinterpret_cast<Pixel*>(world.row(y))[x];
}

template <typename Pixel>
constexpr double fullScale() {
    if constexpr (std::is_same_v<Pixel, PF_Pixel>) {
        return 255.0;
    } else if constexpr (std::is_same_v<Pixel, PF_Pixel16>) {
        return 32768.0;
    } else {
        return 1.0;
    }
}

template <typename Pixel>
UnitPixel toUnit(const Pixel& p) {
    constexpr double k = 1.0 / fullScale<Pixel>();
    return UnitPixel{p.alpha * k, p.red * k, p.green * k, p.blue * k};
}

// Integer channels round half up and clamp; NaN becomes 0. Floats are kept as they are.
template <typename Pixel>
Pixel fromUnit(const UnitPixel& u) {
    using Channel = decltype(Pixel{}.alpha);
    const auto channel = [](double v) -> Channel {
        if constexpr (std::is_floating_point_v<Channel>) {
            return static_cast<Channel>(v);
        } else {
            const double scaled = v * fullScale<Pixel>() + 0.5;
            if (!(scaled > 0.0)) {
                return 0;
            }
            return static_cast<Channel>(scaled >= fullScale<Pixel>() ? fullScale<Pixel>() : scaled);
        }
    };
    return Pixel{channel(u.alpha), channel(u.red), channel(u.green), channel(u.blue)};
}

template <typename Pixel>
struct PixelType {
    using type = Pixel;
};

// Calls f(PixelType<Pixel>{}) with the pixel type of the format; false for
// a format that is none of the three.
template <typename F>
bool withPixelType(PF_PixelFormat format, F&& f) {
    switch (format) {
    case PF_PixelFormat_ARGB32: std::forward<F>(f)(PixelType<PF_Pixel>{}); return true;
    case PF_PixelFormat_ARGB64: std::forward<F>(f)(PixelType<PF_Pixel16>{}); return true;
    case PF_PixelFormat_ARGB128: std::forward<F>(f)(PixelType<PF_PixelFloat>{}); return true;
    default: return false;
    }
}

}  // namespace host
