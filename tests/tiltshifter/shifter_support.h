#pragma once
// Running the tilt shifters on images of the headless host.

#include <gtest/gtest.h>

#include <memory>
#include <type_traits>

#include "pixel_types.h"
#include "AEGP_SuiteHandler.h"
#include "Params.h"
#include "TiltShifter.h"
#include "host/host.h"
#include "host/image.h"
#include "plugin_path.h"

namespace ShifterTest {

using host::Image;

using test::bpcOf;
using test::paint;
using test::PixelTypes;
using test::sameImage;
using test::samePixel;

// Opaque and transparent pixels across each depth's range.
template <typename Pixel>
Pixel patternPixel(int x, int y) {
    const int i = x * 7 + y * 13;
    if constexpr (std::is_same_v<Pixel, PF_Pixel>) {
        return PF_Pixel{static_cast<A_u_char>(i % 3 ? 255 : (i * 41) % 256), static_cast<A_u_char>((i * 67) % 256),
                        static_cast<A_u_char>((x * 101 + 30) % 256), static_cast<A_u_char>((y * 89) % 256)};
    } else if constexpr (std::is_same_v<Pixel, PF_Pixel16>) {
        return PF_Pixel16{static_cast<A_u_short>(i % 3 ? 32768 : (i * 4099) % 32769),
                          static_cast<A_u_short>((i * 7919) % 32769), static_cast<A_u_short>((x * 3001) % 32769),
                          static_cast<A_u_short>((y * 12007 + 5) % 32769)};
    } else {
        return PF_PixelFloat{i % 3 ? 1.0f : (i % 10) * 0.1f, (i % 9) * 0.2f, (x % 4) * 0.3f - 0.1f, (y % 5) * 0.25f};
    }
}

template <typename Pixel>
Pixel marker(int, int) {
    return Pixel{1, 2, 3, 4};
}

// Everything on: a blurred, weighted, vignetted radial render.
inline TiltShifterParameters parameters() {
    TiltShifterParameters p{};
    p.halfDiagonal = 8.0;
    p.blurAmount = 9.0;
    p.blurOffset = 0.4;
    p.weight = 1.03;
    p.center = {4.5, 3.2};
    p.direction = 0.4;
    p.ratio = 0.7;
    p.innerWidth = 1.5;
    p.linearMode = linearPower;
    p.power = 2.0;
    p.focusDistance = 10.0;
    p.vignetting = 0.3;
    p.vignettingColor = Nerevo::Color<float>{1.0f, 0.1f, 0.2f, 0.9f};
    p.blendingMode = Nerevo::BlendingMode::multiply;
    p.repeatEdgePixels = true;
    return p;
}

class Shifters : public ::testing::Test {
protected:
    template <typename Shifter>
    PF_Err execute(Nerevo::Bpc bpc, Image& input, Image& output, const TiltShifterParameters& p) {
        PF_Err err = PF_Err_NONE;
        host.withCommandData([&](PF_InData& in, PF_OutData&) {
            AEGP_SuiteHandler suites(in.pica_basicP);
            Shifter shifter(&in, suites, bpc, std::make_shared<Nerevo::World>(input.world()),
                            std::make_shared<Nerevo::World>(output.world()), p);
            err = shifter.execute();
        });
        EXPECT_TRUE(host.problems().empty()) << host.problems().front();
        EXPECT_TRUE(output.untouchedOutside());
        return err;
    }

    host::Host host{test::pluginPath()};
};

}  // namespace ShifterTest
