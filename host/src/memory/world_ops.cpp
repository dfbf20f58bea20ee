// copy and fill of PF_InData's utils, at every depth. Rectangles are
// clipped to the worlds; a null rectangle means the whole world.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "installers.h"
#include "memory/world_pixels.h"

namespace host {
namespace {

std::string rectArg(const PF_Rect* r) {
    if (!r) {
        return "null";
    }
    return "(" + std::to_string(r->left) + "," + std::to_string(r->top) + "," + std::to_string(r->right) + "," +
           std::to_string(r->bottom) + ")";
}

PF_Rect whole(const WorldShape& world) {
    return PF_Rect{0, 0, world.width, world.height};
}

// The offsets i in [0, length) at which a + i lies in [0, limitA) and b + i
// in [0, limitB); wide arithmetic, so no rectangle can overflow it.
void clipSpan(A_long a, A_long b, A_long length, A_long limitA, A_long limitB, A_long& first, A_long& end) {
    using Wide = std::int64_t;
    first = static_cast<A_long>(std::max({Wide{0}, -Wide{a}, -Wide{b}}));
    end = static_cast<A_long>(
        std::max(Wide{first}, std::min({Wide{length}, Wide{limitA} - a, Wide{limitB} - b})));
}

PF_Err copy(PF_ProgPtr ref, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* src_r, PF_Rect* dst_r) noexcept {
    Host::Impl* host = nullptr;
    if (const PF_Err err = Host::Impl::enterWithRef(
            ref, "copy", [&] { return "src_rect=" + rectArg(src_r) + " dst_rect=" + rectArg(dst_r); }, host)) {
        return err;
    }
    WorldShape from;
    WorldShape to;
    if (!WorldMemory::find(src, from) || !WorldMemory::find(dst, to) || from.format != to.format) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const PF_Rect s = src_r ? *src_r : whole(from);
    const PF_Rect d = dst_r ? *dst_r : whole(to);
    const std::int64_t width = std::int64_t{s.right} - s.left;
    const std::int64_t height = std::int64_t{s.bottom} - s.top;
    if (width != std::int64_t{d.right} - d.left || height != std::int64_t{d.bottom} - d.top) {
        return PF_Err_BAD_CALLBACK_PARAM;  // the host does not scale
    }
    if (width > std::numeric_limits<A_long>::max() || height > std::numeric_limits<A_long>::max()) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    A_long x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    clipSpan(s.left, d.left, static_cast<A_long>(width), from.width, to.width, x0, x1);
    clipSpan(s.top, d.top, static_cast<A_long>(height), from.height, to.height, y0, y1);
    if (x0 >= x1 || y0 >= y1) {
        return PF_Err_NONE;
    }
    const std::size_t size = pixelSize(from.format);
    const std::size_t rowBytes = static_cast<std::size_t>(x1 - x0) * size;
    // Through a copy of the source rows, so that copying within one world
    // reads nothing it has already written.
    std::vector<char> rows(rowBytes * static_cast<std::size_t>(y1 - y0));
    for (A_long y = y0; y < y1; ++y) {
        std::memcpy(rows.data() + rowBytes * static_cast<std::size_t>(y - y0),
                    from.row(s.top + y) + static_cast<std::size_t>(s.left + x0) * size, rowBytes);
    }
    for (A_long y = y0; y < y1; ++y) {
        std::memcpy(to.row(d.top + y) + static_cast<std::size_t>(d.left + x0) * size,
                    rows.data() + rowBytes * static_cast<std::size_t>(y - y0), rowBytes);
    }
    return PF_Err_NONE;
}

PF_Err fill(PF_ProgPtr ref, const PF_Pixel* color, const PF_Rect* dst_rect, PF_EffectWorld* world) noexcept {
    Host::Impl* host = nullptr;
    const std::string colorArg = color ? "(" + std::to_string(color->alpha) + "," + std::to_string(color->red) + "," +
                                             std::to_string(color->green) + "," + std::to_string(color->blue) + ")"
                                       : "null";
    if (const PF_Err err = Host::Impl::enterWithRef(
            ref, "fill", [&] { return "color=" + colorArg + " rect=" + rectArg(dst_rect); }, host)) {
        return err;
    }
    WorldShape to;
    if (!color || !WorldMemory::find(world, to)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const PF_Rect r = dst_rect ? *dst_rect : whole(to);
    const A_long left = std::max(r.left, A_long{0});
    const A_long top = std::max(r.top, A_long{0});
    const A_long right = std::min(r.right, to.width);
    const A_long bottom = std::min(r.bottom, to.height);
    Nerevo::withPixelType(to.format, [&](auto type) {
        using Pixel = typename decltype(type)::type;
        const Pixel value = fromUnit<Pixel>(toUnit(*color));
        for (A_long y = top; y < bottom; ++y) {
            for (A_long x = left; x < right; ++x) {
                pixelAt<Pixel>(to, x, y) = value;
            }
        }
    });
    return PF_Err_NONE;
}

}  // namespace

void installWorldOps(Host::Impl& host) {
    host.utils.copy = copy;
    host.utils.fill = fill;
}

}  // namespace host
