#pragma once
// Host pixels compared and printed, and an HLS model in double, independent of the library's.

#include <algorithm>
#include <array>
#include <cmath>
#include <ostream>
#include <type_traits>

#include "AE_Effect.h"
#include "blend/blend.h"
#include "color/color.h"

template <typename Pixel>
using HostPixel = std::enable_if_t<std::is_same_v<Pixel, PF_Pixel> || std::is_same_v<Pixel, PF_Pixel16> ||
                                   std::is_same_v<Pixel, PF_PixelFloat>>;

template <typename Pixel, typename = HostPixel<Pixel>>
bool operator==(const Pixel& x, const Pixel& y) {
    return x.alpha == y.alpha && x.red == y.red && x.green == y.green && x.blue == y.blue;
}

template <typename Pixel, typename = HostPixel<Pixel>>
std::ostream& operator<<(std::ostream& os, const Pixel& p) {
    return os << "{" << +p.alpha << ", " << +p.red << ", " << +p.green << ", " << +p.blue << "}";
}

namespace BlendTest {

// Every mode that has a pixel function of its own, plus dissolve.
constexpr int firstPixelMode = 0;
constexpr int lastPixelMode = 17;

using Rgb = std::array<double, 3>;

struct Hls {
    double hue, lightness, saturation;
};

inline Hls toHls(const Rgb& c) {
    const double mx = std::max({c[0], c[1], c[2]});
    const double mn = std::min({c[0], c[1], c[2]});
    const double chroma = mx - mn;
    const double lightness = (mx + mn) / 2;
    if (chroma == 0) return {0, lightness, 0};
    double sector;
    if (mx == c[0]) {
        sector = std::fmod((c[1] - c[2]) / chroma + 6, 6);
    } else if (mx == c[1]) {
        sector = (c[2] - c[0]) / chroma + 2;
    } else {
        sector = (c[0] - c[1]) / chroma + 4;
    }
    return {60 * sector, lightness, chroma / (1 - std::fabs(2 * lightness - 1))};
}

inline Rgb toRgb(const Hls& x) {
    const double hue = std::fmod(std::fmod(x.hue, 360) + 360, 360);
    const double lightness = std::clamp(x.lightness, 0.0, 1.0);
    const double chroma = (1 - std::fabs(2 * lightness - 1)) * std::clamp(x.saturation, 0.0, 1.0);
    const double sector = hue / 60;
    const double second = chroma * (1 - std::fabs(std::fmod(sector, 2) - 1));
    Rgb c{};
    switch (static_cast<int>(sector)) {
        case 0: c = {chroma, second, 0}; break;
        case 1: c = {second, chroma, 0}; break;
        case 2: c = {0, chroma, second}; break;
        case 3: c = {0, second, chroma}; break;
        case 4: c = {second, 0, chroma}; break;
        default: c = {chroma, 0, second}; break;
    }
    const double m = lightness - chroma / 2;
    return {c[0] + m, c[1] + m, c[2] + m};
}

using ColorMode = Nerevo::BlendingMode;

// Hue, saturation or luminosity of two opaque colours.
inline Rgb blended(ColorMode mode, const Rgb& bottom, const Rgb& top) {
    const Hls b = toHls(bottom);
    const Hls t = toHls(top);
    switch (mode) {
        case ColorMode::hue:
            if (top[0] == top[1] && top[1] == top[2]) {
                const double luma = 0.299 * bottom[0] + 0.587 * bottom[1] + 0.114 * bottom[2];
                return {luma, luma, luma};
            }
            return toRgb({t.hue, b.lightness, b.saturation});
        case ColorMode::saturation: return toRgb({b.hue, b.lightness, t.saturation});
        case ColorMode::luminosity: return toRgb({b.hue, t.lightness, b.saturation});
        default: return {};
    }
}

}  // namespace BlendTest
