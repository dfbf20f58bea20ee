// The layer's pixels as a render hands them out: scaled down for a preview
// resolution, and the part a checkout yields.

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "memory/world_pixels.h"
#include "render/render_frame.h"

namespace host {
namespace {

// Integer channels round half up; floats are averaged in double precision,
// so the result depends on nothing but the block's values.
template <typename Pixel>
Pixel average(const Image& layer, int x0, int y0, int factor) {
    using Channel = typename Nerevo::PixelTraits<Pixel>::Channel;
    using Sum = std::conditional_t<std::is_floating_point_v<Channel>, double, std::uint64_t>;
    Sum a = 0, r = 0, g = 0, b = 0;
    for (int y = y0; y < y0 + factor; ++y) {
        for (int x = x0; x < x0 + factor; ++x) {
            const Pixel& p = layer.at<Pixel>(x, y);
            a += p.alpha;
            r += p.red;
            g += p.green;
            b += p.blue;
        }
    }
    const Sum n = static_cast<Sum>(factor) * static_cast<Sum>(factor);
    const auto mean = [n](Sum sum) {
        if constexpr (std::is_floating_point_v<Channel>) {
            return static_cast<Channel>(sum / n);
        } else {
            return static_cast<Channel>((sum + n / 2) / n);
        }
    };
    return Pixel{mean(a), mean(r), mean(g), mean(b)};
}

}  // namespace

std::unique_ptr<Image> reduceLayer(const Image& layer, int factor) {
    auto reduced = std::make_unique<Image>(layer.format(), layer.width() / factor, layer.height() / factor);
    Nerevo::withPixelType(layer.format(), [&](auto type) {
        using Pixel = typename decltype(type)::type;
        for (int y = 0; y < reduced->height(); ++y) {
            for (int x = 0; x < reduced->width(); ++x) {
                reduced->at<Pixel>(x, y) = average<Pixel>(layer, x * factor, y * factor, factor);
            }
        }
    });
    return reduced;
}

std::unique_ptr<Image> layerPart(const Image& layer, const PF_LRect& rect) {
    const int width = std::max(0, rect.right - rect.left);
    const int height = std::max(0, rect.bottom - rect.top);
    auto part = std::make_unique<Image>(layer.format(), width, height, PF_Point{rect.left, rect.top});
    const int x0 = std::max(0, -rect.left);
    const int y0 = std::max(0, -rect.top);
    const int x1 = std::min(width, layer.width() - rect.left);
    const int y1 = std::min(height, layer.height() - rect.top);
    Nerevo::withPixelType(layer.format(), [&](auto type) {
        using Pixel = typename decltype(type)::type;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                part->at<Pixel>(x, y) = layer.at<Pixel>(rect.left + x, rect.top + y);
            }
        }
    });
    return part;
}

std::unique_ptr<Image> placedInLayerFrame(std::unique_ptr<Image> result, int width, int height) {
    const PF_EffectWorld& world = *result->world();
    const int left = std::min<int>(0, world.origin_x);
    const int top = std::min<int>(0, world.origin_y);
    const int right = std::max<int>(width, world.origin_x + world.width);
    const int bottom = std::max<int>(height, world.origin_y + world.height);
    if (left == world.origin_x && top == world.origin_y && right - left == world.width &&
        bottom - top == world.height) {
        return result;
    }
    auto frame = std::make_unique<Image>(result->format(), right - left, bottom - top, PF_Point{left, top});
    const PF_EffectWorld& to = *frame->world();
    Nerevo::withPixelType(result->format(), [&](auto type) {
        using Pixel = typename decltype(type)::type;
        for (int y = 0; y < world.height; ++y) {
            const Pixel* in = Nerevo::Pixels::row<Pixel>(world, y);
            std::copy(in, in + world.width,
                      Nerevo::Pixels::row<Pixel>(to, world.origin_y - top + y) + (world.origin_x - left));
        }
    });
    return frame;
}

}  // namespace host
