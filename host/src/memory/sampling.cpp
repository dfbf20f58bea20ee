// subpixel_sample of the "PF Sampling8 Suite", "PF Sampling16 Suite" and
// "PF SamplingFloat Suite" (version 1): the source world of the sampling
// record at a 16.16 position. Whole positions give the pixel itself; between
// pixels the four neighbours are mixed bilinearly by coverage (colours
// weighted by their alpha, as straight colours must be); outside the world
// everything is transparent black.

#include <cstdint>

#include "AE_EffectCBSuites.h"
#include "installers.h"
#include "memory/world_pixels.h"

namespace host {
namespace {

constexpr std::int64_t kOne = 65536;

std::int64_t floorDiv(std::int64_t v) {
    return v >= 0 ? v / kOne : -((-v + kOne - 1) / kOne);
}

template <typename Pixel>
Pixel sampleAt(const WorldShape& world, PF_Fixed x, PF_Fixed y) {
    const std::int64_t ix = floorDiv(x);
    const std::int64_t iy = floorDiv(y);
    const double fx = static_cast<double>(x - ix * kOne) / kOne;
    const double fy = static_cast<double>(y - iy * kOne) / kOne;
    const auto inside = [&](std::int64_t px, std::int64_t py) {
        return px >= 0 && px < world.width && py >= 0 && py < world.height;
    };
    if (fx == 0.0 && fy == 0.0) {
        return inside(ix, iy) ? pixelAt<Pixel>(world, static_cast<A_long>(ix), static_cast<A_long>(iy)) : Pixel{};
    }
    UnitPixel sum{0.0, 0.0, 0.0, 0.0};
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 2; ++i) {
            const double weight = (i ? fx : 1.0 - fx) * (j ? fy : 1.0 - fy);
            if (weight == 0.0 || !inside(ix + i, iy + j)) {
                continue;
            }
            const UnitPixel p = toUnit(pixelAt<Pixel>(world, static_cast<A_long>(ix + i), static_cast<A_long>(iy + j)));
            const double cover = weight * p.alpha;
            sum.alpha += cover;
            sum.red += cover * p.red;
            sum.green += cover * p.green;
            sum.blue += cover * p.blue;
        }
    }
    if (sum.alpha > 0.0) {
        sum.red /= sum.alpha;
        sum.green /= sum.alpha;
        sum.blue /= sum.alpha;
    } else {
        sum = UnitPixel{sum.alpha, 0.0, 0.0, 0.0};
    }
    return fromUnit<Pixel>(sum);
}

// The suite's depth must be the source world's.
template <typename Pixel>
PF_Err sample(PF_ProgPtr ref, const char* name, PF_PixelFormat format, PF_Fixed x, PF_Fixed y,
              const PF_SampPB* params, Pixel* dst) {
    Host::Impl* host = nullptr;
    if (const PF_Err err = Host::Impl::enterWithRef(
            ref, name, [&] { return "x=" + std::to_string(x) + " y=" + std::to_string(y); }, host)) {
        return err;
    }
    WorldShape world;
    if (!params || !dst || !WorldMemory::find(params->src, world) || world.format != format) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *dst = sampleAt<Pixel>(world, x, y);
    return PF_Err_NONE;
}

PF_Err sample8(PF_ProgPtr ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params, PF_Pixel* dst) noexcept {
    return sample(ref, "subpixel_sample", PF_PixelFormat_ARGB32, x, y, params, dst);
}

PF_Err sample16(PF_ProgPtr ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params, PF_Pixel16* dst) noexcept {
    return sample(ref, "subpixel_sample16", PF_PixelFormat_ARGB64, x, y, params, dst);
}

PF_Err sampleFloat(PF_ProgPtr ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params, PF_PixelFloat* dst) noexcept {
    return sample(ref, "subpixel_sample_float", PF_PixelFormat_ARGB128, x, y, params, dst);
}

const PF_Sampling8Suite1 kSampling8 = {sample8};
const PF_Sampling16Suite1 kSampling16 = {sample16};
const PF_SamplingFloatSuite1 kSamplingFloat = {sampleFloat};

}  // namespace

void installSampling(Host::Impl& host) {
    host.suites.add(kPFSampling8Suite, kPFSampling8SuiteVersion1, &kSampling8);
    host.suites.add(kPFSampling16Suite, kPFSampling16SuiteVersion1, &kSampling16);
    host.suites.add(kPFSamplingFloatSuite, kPFSamplingFloatSuiteVersion1, &kSamplingFloat);
}

}  // namespace host
