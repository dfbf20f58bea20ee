#pragma once
// What both benchmark programs share: the built plug-in module, a textured
// layer at every depth, and a stop for a benchmark whose run went wrong.

#include <benchmark/benchmark.h>

#include <string>
#include <type_traits>

#include "AE_Effect.h"
#include "color/color.h"
#include "host/host.h"
#include "host/image.h"

namespace bench {

// The module the build made beside the benchmarks; see CMakeLists.txt.
inline const char* pluginPath() {
    return NEREVO_PLUGIN_MODULE;
}

// A channel value from 0..1 in the pixel type's units.
template <typename Pixel>
auto channel(double unit) {
    using Channel = typename Nerevo::PixelTraits<Pixel>::Channel;
    const double rounding = std::is_floating_point_v<Channel> ? 0.0 : 0.5;
    return static_cast<Channel>(unit * Nerevo::PixelTraits<Pixel>::fullScale + rounding);
}

// Opaque, with detail at every scale, as footage has it.
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

// Ends the benchmark with the error or the host's first complaint, if any;
// whether it went well.
inline bool wentWell(benchmark::State& state, PF_Err err, const host::Host& h) {
    if (err != PF_Err_NONE) {
        state.SkipWithError(("the effect returned error " + std::to_string(err)).c_str());
        return false;
    }
    if (!h.problems().empty()) {
        state.SkipWithError(h.problems().front().c_str());
        return false;
    }
    return true;
}

}  // namespace bench
