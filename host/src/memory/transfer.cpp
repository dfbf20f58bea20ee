// transfer_rect of PF_InData's utils: composites a source rectangle over a
// destination world. The host knows PF_Xfer_IN_FRONT with straight alpha and
// no mask; anything else is refused rather than composited wrongly.
//
// Opacity: an 8-bit destination takes `opacity` (0..255), deeper ones the
// finer `opacitySu` (0..32768). With `rgb_only` the destination keeps its alpha.

#include <algorithm>
#include <cstdint>

#include "AE_EffectCB.h"
#include "installers.h"
#include "memory/world_pixels.h"

namespace host {
namespace {

std::string transferArgs(PF_Quality quality, PF_ModeFlags flags, PF_Field field, const PF_Rect* r,
                         const PF_CompositeMode* mode, const PF_MaskWorld* mask, A_long x, A_long y) {
    std::string args = "quality=" + std::to_string(quality) + " flags=" + std::to_string(flags) +
                       " field=" + std::to_string(field) + " src_rect=";
    args += r ? "(" + std::to_string(r->left) + "," + std::to_string(r->top) + "," + std::to_string(r->right) + "," +
                    std::to_string(r->bottom) + ")"
              : "null";
    if (mode) {
        args += " xfer=" + std::to_string(mode->xfer) + " rand_seed=" + std::to_string(mode->rand_seed) +
                " opacity=" + std::to_string(mode->opacity) + " rgb_only=" + std::to_string(mode->rgb_only) +
                " opacitySu=" + std::to_string(mode->opacitySu);
    } else {
        args += " mode=null";
    }
    args += mask ? " mask" : " mask=null";
    return args + " dest=(" + std::to_string(x) + "," + std::to_string(y) + ")";
}

// Straight colours: the top's coverage is its alpha times the opacity.
UnitPixel inFront(const UnitPixel& bottom, const UnitPixel& top, double opacity, bool rgbOnly) {
    const double coverTop = top.alpha * opacity;
    const double coverBottom = bottom.alpha * (1.0 - coverTop);
    const double alpha = coverTop + coverBottom;
    const auto mix = [&](double t, double b) { return alpha > 0.0 ? (t * coverTop + b * coverBottom) / alpha : 0.0; };
    return UnitPixel{rgbOnly ? bottom.alpha : alpha, mix(top.red, bottom.red), mix(top.green, bottom.green),
                     mix(top.blue, bottom.blue)};
}

PF_Err transferRect(PF_ProgPtr ref, PF_Quality quality, PF_ModeFlags m_flags, PF_Field field, const PF_Rect* src_rec,
                    const PF_EffectWorld* src_world, const PF_CompositeMode* comp_mode,
                    const PF_MaskWorld* mask_world0, A_long dest_x, A_long dest_y, PF_EffectWorld* dst_world) noexcept {
    Host::Impl* host = nullptr;
    if (const PF_Err err = Host::Impl::enterWithRef(
            ref, "transfer_rect",
            [&] { return transferArgs(quality, m_flags, field, src_rec, comp_mode, mask_world0, dest_x, dest_y); },
            host)) {
        return err;
    }
    WorldShape from;
    WorldShape to;
    if (!comp_mode || comp_mode->xfer != PF_Xfer_IN_FRONT || mask_world0 || m_flags != PF_MF_Alpha_STRAIGHT ||
        !WorldMemory::find(src_world, from) || !WorldMemory::find(dst_world, to) || from.format != to.format) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const PF_Rect s = src_rec ? *src_rec : PF_Rect{0, 0, from.width, from.height};
    // Source pixel (x, y) lands on (x + dx, y + dy); both must lie in their worlds.
    using Wide = std::int64_t;
    const Wide dx = Wide{dest_x} - s.left;
    const Wide dy = Wide{dest_y} - s.top;
    const A_long left = static_cast<A_long>(std::max({Wide{s.left}, Wide{0}, -dx}));
    const A_long top = static_cast<A_long>(std::max({Wide{s.top}, Wide{0}, -dy}));
    const A_long right = static_cast<A_long>(std::min({Wide{s.right}, Wide{from.width}, to.width - dx}));
    const A_long bottom = static_cast<A_long>(std::min({Wide{s.bottom}, Wide{from.height}, to.height - dy}));
    const double opacity =
        from.format == PF_PixelFormat_ARGB32 ? comp_mode->opacity / 255.0 : comp_mode->opacitySu / 32768.0;
    Nerevo::withPixelType(from.format, [&](auto type) {
        using Pixel = typename decltype(type)::type;
        for (A_long y = top; y < bottom; ++y) {
            for (A_long x = left; x < right; ++x) {
                Pixel& under = pixelAt<Pixel>(to, static_cast<A_long>(x + dx), static_cast<A_long>(y + dy));
                under = fromUnit<Pixel>(inFront(toUnit(under), toUnit(pixelAt<Pixel>(from, x, y)),
                                                std::min(opacity, 1.0), comp_mode->rgb_only != 0));
            }
        }
    });
    return PF_Err_NONE;
}

}  // namespace

void installTransfer(Host::Impl& host) {
    host.utils.transfer_rect = transferRect;
}

}  // namespace host
