#pragma once
// One view of a host world's pixels, for every part of the system that
// touches them: the depth of a world and its pixel type, each type's channel
// type, full scale and pixel format, dispatch from a depth or a pixel format
// to code templated on the pixel type, and rows of a world addressed through
// its rowbytes (which may be negative or padded). Header-only, on the SDK's
// declarations alone, so that what links nothing of the core can use it.
//
// Full scale is 255 for PF_Pixel, 32768 (not 65535) for PF_Pixel16 and 1.0
// for PF_PixelFloat, whose channels are never clamped.

#include <cstddef>
#include <cstdint>
#include <utility>

#include "AE_Effect.h"
#include "AE_EffectPixelFormat.h"

namespace Nerevo {

// Selects the pixel type everywhere: 8 bits -> PF_Pixel, 16 bits ->
// PF_Pixel16, float -> PF_PixelFloat. Any other value selects no code path.
enum Bpc : int32_t { bpc8 = 0, bpc16 = 1, bpc32 = 2 };

template <typename Pixel>
struct PixelTraits;

template <>
struct PixelTraits<PF_Pixel> {
    using Channel = A_u_char;
    static constexpr float fullScale = 255.0f;
    static constexpr Bpc bpc = bpc8;
    static constexpr PF_PixelFormat format = PF_PixelFormat_ARGB32;
};

template <>
struct PixelTraits<PF_Pixel16> {
    using Channel = A_u_short;
    static constexpr float fullScale = 32768.0f;
    static constexpr Bpc bpc = bpc16;
    static constexpr PF_PixelFormat format = PF_PixelFormat_ARGB64;
};

template <>
struct PixelTraits<PF_PixelFloat> {
    using Channel = PF_FpShort;
    static constexpr float fullScale = 1.0f;
    static constexpr Bpc bpc = bpc32;
    static constexpr PF_PixelFormat format = PF_PixelFormat_ARGB128;
};

// A pixel type as a value, for generic lambdas: decltype(tag)::type.
template <typename Pixel>
struct PixelType {
    using type = Pixel;
};

// Calls f(PixelType<Pixel>{}) with the pixel type of the depth; false, and
// no call, for a depth that is none of the three.
template <typename F>
bool withPixelType(Bpc bpc, F&& f) {
    switch (bpc) {
    case bpc8: std::forward<F>(f)(PixelType<PF_Pixel>{}); return true;
    case bpc16: std::forward<F>(f)(PixelType<PF_Pixel16>{}); return true;
    case bpc32: std::forward<F>(f)(PixelType<PF_PixelFloat>{}); return true;
    default: return false;
    }
}

// The same by pixel format.
template <typename F>
bool withPixelType(PF_PixelFormat format, F&& f) {
    switch (format) {
    case PF_PixelFormat_ARGB32: return withPixelType(bpc8, std::forward<F>(f));
    case PF_PixelFormat_ARGB64: return withPixelType(bpc16, std::forward<F>(f));
    case PF_PixelFormat_ARGB128: return withPixelType(bpc32, std::forward<F>(f));
    default: return false;
    }
}

namespace Pixels {

// Row y of a world (a PF_LayerDef, alias PF_EffectWorld) of the pixel type.
template <typename Pixel>
Pixel* row(const PF_LayerDef& world, int y) {
    return reinterpret_cast<Pixel*>(static_cast<char*>(world.data) + static_cast<std::ptrdiff_t>(y) * world.rowbytes);
}

template <typename Pixel>
Pixel& at(const PF_LayerDef& world, int x, int y) {
    return row<Pixel>(world, y)[x];
}

}  // namespace Pixels
}  // namespace Nerevo
