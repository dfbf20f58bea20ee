#include "images/pixel_convert.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

namespace tiltshift {

namespace {

constexpr auto kWorld16Full = static_cast<std::uint32_t>(Nerevo::PixelTraits<PF_Pixel16>::fullScale);
constexpr std::uint32_t kFile16Full = 65535;

// How one file channel type meets the host's pixels.
template <typename T>
struct Channel;

template <>
struct Channel<std::uint8_t> {
    using Pixel = PF_Pixel;
    static constexpr std::uint32_t full = 255;
    static A_u_char toWorld(std::uint8_t v) { return v; }
    static std::uint8_t fromWorld(A_u_char v) { return v; }
};

template <>
struct Channel<std::uint16_t> {
    using Pixel = PF_Pixel16;
    static constexpr std::uint32_t full = kFile16Full;
    static A_u_short toWorld(std::uint16_t v) { return fileToWorld16(v); }
    static std::uint16_t fromWorld(A_u_short v) { return worldToFile16(v); }
};

template <>
struct Channel<float> {
    using Pixel = PF_PixelFloat;
    static float toWorld(float v) { return v; }
    static float fromWorld(float v) { return v; }
};

template <typename Pixel>
Pixel* row(const host::Image& image, int y) {
    return Nerevo::Pixels::row<Pixel>(*image.world(), y);
}

A_u_char toByte(A_u_char v) {
    return v;
}

A_u_char toByte(A_u_short v) {
    return static_cast<A_u_char>((std::min<std::uint32_t>(v, kWorld16Full) * 255 + kWorld16Full / 2) / kWorld16Full);
}

A_u_char toByte(PF_FpShort v) {
    return static_cast<A_u_char>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

template <typename Pixel>
void appendEightBit(const host::Image& image, std::vector<PF_Pixel>& pixels) {
    for (int y = 0; y < image.height(); ++y) {
        const Pixel* in = row<Pixel>(image, y);
        for (int x = 0; x < image.width(); ++x) {
            pixels.push_back(PF_Pixel{toByte(in[x].alpha), toByte(in[x].red), toByte(in[x].green), toByte(in[x].blue)});
        }
    }
}

template <typename T, typename Op>
void forEachPixel(Raster<T>& raster, Op op) {
    for (std::size_t i = 0; i < raster.rgba.size(); i += 4) {
        op(&raster.rgba[i]);
    }
}

}  // namespace

Depth depthOf(PF_PixelFormat format) {
    switch (format) {
        case Nerevo::PixelTraits<PF_Pixel>::format: return Depth::bits8;
        case Nerevo::PixelTraits<PF_Pixel16>::format: return Depth::bits16;
        case Nerevo::PixelTraits<PF_PixelFloat>::format: return Depth::float32;
        default: throw std::invalid_argument("no depth of pixel format " + std::to_string(format));
    }
}

PF_PixelFormat pixelFormatOf(Depth depth) {
    switch (depth) {
        case Depth::bits8: return Nerevo::PixelTraits<PF_Pixel>::format;
        case Depth::bits16: return Nerevo::PixelTraits<PF_Pixel16>::format;
        case Depth::float32: break;
    }
    return Nerevo::PixelTraits<PF_PixelFloat>::format;
}

// Halves cannot occur either way: 65535 is odd and 32768 a power of two.
std::uint16_t fileToWorld16(std::uint16_t file) {
    return static_cast<std::uint16_t>((file * kWorld16Full + kFile16Full / 2) / kFile16Full);
}

std::uint16_t worldToFile16(std::uint16_t world) {
    const std::uint32_t w = std::min<std::uint32_t>(world, kWorld16Full);
    return static_cast<std::uint16_t>((w * kFile16Full + kWorld16Full / 2) / kWorld16Full);
}

namespace {

// One pixel's red, green and blue times its alpha, and back.
template <typename T>
void premultiplyPixel(T* p) {
    for (int c = 0; c < 3; ++c) {
        if constexpr (std::is_floating_point_v<T>) {
            p[c] *= p[3];
        } else {
            constexpr std::uint32_t full = Channel<T>::full;
            p[c] = static_cast<T>((std::uint32_t{p[c]} * p[3] + full / 2) / full);
        }
    }
}

template <typename T>
void unpremultiplyPixel(T* p) {
    if (p[3] <= 0) {
        return;
    }
    for (int c = 0; c < 3; ++c) {
        if constexpr (std::is_floating_point_v<T>) {
            p[c] /= p[3];
        } else {
            constexpr std::uint32_t full = Channel<T>::full;
            const std::uint32_t straight = (std::uint32_t{p[c]} * full + p[3] / 2u) / p[3];
            p[c] = static_cast<T>(std::min(straight, full));
        }
    }
}

template <typename T>
constexpr T opaque() {
    if constexpr (std::is_floating_point_v<T>) {
        return 1;
    } else {
        return std::numeric_limits<T>::max();
    }
}

template <typename T, ReadLayout layout, bool associated>
void settleRows(host::Image& image) {
    using Pixel = typename Channel<T>::Pixel;
    for (int y = 0; y < image.height(); ++y) {
        // The world's pixels are four T each, as the file's were read into them.
        T* p = reinterpret_cast<T*>(row<Pixel>(image, y));
        for (int x = 0; x < image.width(); ++x, p += 4) {
            T rgba[4];
            switch (layout) {
                case ReadLayout::rgba: rgba[0] = p[0], rgba[1] = p[1], rgba[2] = p[2], rgba[3] = p[3]; break;
                case ReadLayout::rgb: rgba[0] = p[1], rgba[1] = p[2], rgba[2] = p[3], rgba[3] = opaque<T>(); break;
                case ReadLayout::grey: rgba[0] = rgba[1] = rgba[2] = p[1], rgba[3] = opaque<T>(); break;
                case ReadLayout::greyAlpha: rgba[0] = rgba[1] = rgba[2] = p[0], rgba[3] = p[1]; break;
            }
            if constexpr (associated) {
                unpremultiplyPixel(rgba);
            }
            Pixel& out = reinterpret_cast<Pixel&>(*p);
            out.alpha = Channel<T>::toWorld(rgba[3]);
            out.red = Channel<T>::toWorld(rgba[0]);
            out.green = Channel<T>::toWorld(rgba[1]);
            out.blue = Channel<T>::toWorld(rgba[2]);
        }
    }
}

template <typename T, ReadLayout layout>
void settleRows(host::Image& image, bool associated) {
    if (associated) {
        settleRows<T, layout, true>(image);
    } else {
        settleRows<T, layout, false>(image);
    }
}

}  // namespace

int firstSlot(ReadLayout layout) {
    return layout == ReadLayout::rgb || layout == ReadLayout::grey ? 1 : 0;
}

template <typename T>
void settleReadPixels(host::Image& image, ReadLayout layout, bool associated) {
    using Pixel = typename Channel<T>::Pixel;
    if (image.format() != Nerevo::PixelTraits<Pixel>::format) {
        throw std::logic_error("pixels read at another depth than the image's");
    }
    switch (layout) {
        case ReadLayout::rgba: settleRows<T, ReadLayout::rgba>(image, associated); break;
        case ReadLayout::rgb: settleRows<T, ReadLayout::rgb>(image, associated); break;
        case ReadLayout::grey: settleRows<T, ReadLayout::grey>(image, associated); break;
        case ReadLayout::greyAlpha: settleRows<T, ReadLayout::greyAlpha>(image, associated); break;
    }
}

template <typename T>
void premultiply(Raster<T>& raster) {
    forEachPixel(raster, premultiplyPixel<T>);
}

template <typename T>
void unpremultiply(Raster<T>& raster) {
    forEachPixel(raster, unpremultiplyPixel<T>);
}

template <typename T>
std::unique_ptr<host::Image> toImage(const Raster<T>& raster) {
    using Pixel = typename Channel<T>::Pixel;
    auto image = std::make_unique<host::Image>(Nerevo::PixelTraits<Pixel>::format, raster.width, raster.height);
    const T* in = raster.rgba.data();
    for (int y = 0; y < raster.height; ++y) {
        Pixel* out = row<Pixel>(*image, y);
        for (int x = 0; x < raster.width; ++x, in += 4) {
            out[x].red = Channel<T>::toWorld(in[0]);
            out[x].green = Channel<T>::toWorld(in[1]);
            out[x].blue = Channel<T>::toWorld(in[2]);
            out[x].alpha = Channel<T>::toWorld(in[3]);
        }
    }
    return image;
}

template <typename T>
Raster<T> toRaster(const host::Image& image) {
    Raster<T> raster;
    toRaster(image, raster);
    return raster;
}

template <typename T>
void toRaster(const host::Image& image, Raster<T>& raster) {
    using Pixel = typename Channel<T>::Pixel;
    if (image.format() != Nerevo::PixelTraits<Pixel>::format) {
        throw std::logic_error("a raster of another depth than the image's");
    }
    raster.resize(image.width(), image.height());
    T* out = raster.rgba.data();
    for (int y = 0; y < raster.height; ++y) {
        const Pixel* in = row<Pixel>(image, y);
        for (int x = 0; x < raster.width; ++x, out += 4) {
            out[0] = Channel<T>::fromWorld(in[x].red);
            out[1] = Channel<T>::fromWorld(in[x].green);
            out[2] = Channel<T>::fromWorld(in[x].blue);
            out[3] = Channel<T>::fromWorld(in[x].alpha);
        }
    }
}

namespace {

template <typename Pixel>
bool anyBelowOpaque(const host::Image& image) {
    using Traits = Nerevo::PixelTraits<Pixel>;
    constexpr auto opaque = static_cast<typename Traits::Channel>(Traits::fullScale);
    for (int y = 0; y < image.height(); ++y) {
        const Pixel* p = row<Pixel>(image, y);
        if (std::any_of(p, p + image.width(), [opaque](const Pixel& px) { return px.alpha < opaque; })) {
            return true;
        }
    }
    return false;
}

template <typename Pixel>
PF_LRect boundsOfSeen(const host::Image& image) {
    PF_LRect bounds{image.width(), image.height(), 0, 0};
    for (int y = 0; y < image.height(); ++y) {
        const Pixel* p = row<Pixel>(image, y);
        for (int x = 0; x < image.width(); ++x) {
            if (p[x].alpha > 0) {
                bounds.left = std::min<A_long>(bounds.left, x);
                bounds.top = std::min<A_long>(bounds.top, y);
                bounds.right = std::max<A_long>(bounds.right, x + 1);
                bounds.bottom = std::max<A_long>(bounds.bottom, y + 1);
            }
        }
    }
    return bounds.right > 0 ? bounds : PF_LRect{0, 0, 0, 0};
}

}  // namespace

std::vector<PF_Pixel> eightBitPixels(const host::Image& image) {
    std::vector<PF_Pixel> pixels;
    pixels.reserve(static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height()));
    Nerevo::withPixelType(image.format(),
                          [&](auto type) { appendEightBit<typename decltype(type)::type>(image, pixels); });
    return pixels;
}

std::unique_ptr<host::Image> eightBitImage(int width, int height, const std::vector<PF_Pixel>& pixels) {
    if (pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        throw std::invalid_argument("an image of " + std::to_string(width) + " x " + std::to_string(height) +
                                    " pixels, given " + std::to_string(pixels.size()));
    }
    auto image = std::make_unique<host::Image>(PF_PixelFormat_ARGB32, width, height);
    const PF_Pixel* in = pixels.data();
    for (int y = 0; y < height; ++y, in += width) {
        std::copy(in, in + width, row<PF_Pixel>(*image, y));
    }
    return image;
}

PF_LRect contentBounds(const host::Image& image) {
    PF_LRect bounds{0, 0, 0, 0};
    Nerevo::withPixelType(image.format(),
                          [&](auto type) { bounds = boundsOfSeen<typename decltype(type)::type>(image); });
    return bounds;
}

bool hasTransparency(const host::Image& image) {
    bool below = false;
    Nerevo::withPixelType(image.format(),
                          [&](auto type) { below = anyBelowOpaque<typename decltype(type)::type>(image); });
    return below;
}

template void settleReadPixels<std::uint8_t>(host::Image&, ReadLayout, bool);
template void settleReadPixels<std::uint16_t>(host::Image&, ReadLayout, bool);
template void settleReadPixels<float>(host::Image&, ReadLayout, bool);
template void premultiply(Raster<std::uint8_t>&);
template void premultiply(Raster<std::uint16_t>&);
template void premultiply(Raster<float>&);
template void unpremultiply(Raster<std::uint8_t>&);
template void unpremultiply(Raster<std::uint16_t>&);
template void unpremultiply(Raster<float>&);
template std::unique_ptr<host::Image> toImage(const Raster<std::uint8_t>&);
template std::unique_ptr<host::Image> toImage(const Raster<std::uint16_t>&);
template std::unique_ptr<host::Image> toImage(const Raster<float>&);
template Raster<std::uint8_t> toRaster(const host::Image&);
template Raster<std::uint16_t> toRaster(const host::Image&);
template Raster<float> toRaster(const host::Image&);
template void toRaster(const host::Image&, Raster<std::uint8_t>&);
template void toRaster(const host::Image&, Raster<std::uint16_t>&);
template void toRaster(const host::Image&, Raster<float>&);

}  // namespace tiltshift
