#pragma once
// Between image files' channel values and the host's worlds. Files hold
// interleaved red, green, blue, alpha at their own scale (0..255, 0..65535,
// or floats with 1 as full); the host's worlds hold alpha, red, green, blue
// with straight (unassociated) alpha, 16-bit channels running 0..32768.

#include <cstdint>
#include <memory>
#include <tuple>
#include <vector>

#include "host/image.h"

namespace tiltshift {

// The depth a render runs at, named by its bits per channel.
enum class Depth { bits8 = 8, bits16 = 16, float32 = 32 };

// The depth of a world's pixel format; throws std::invalid_argument for
// none of the three.
Depth depthOf(PF_PixelFormat format);
PF_PixelFormat pixelFormatOf(Depth depth);

// 16-bit file values to world values and back, each to the nearest value.
// Every world value survives world → file → world unchanged.
std::uint16_t fileToWorld16(std::uint16_t file);
std::uint16_t worldToFile16(std::uint16_t world);

// Interleaved RGBA channels in a file's scale: std::uint8_t, std::uint16_t or float.
template <typename T>
struct Raster {
    int width = 0;
    int height = 0;
    std::vector<T> rgba;

    Raster() = default;
    Raster(int w, int h) { resize(w, h); }
    // Keeps the memory it has when it is enough.
    void resize(int w, int h) {
        width = w;
        height = h;
        rgba.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    }
};

// Colour times alpha and back, rounded to the nearest integer value. Where
// alpha is 0 the colour is left as it is: there is nothing to recover.
// One reusable raster per depth, chosen by the world's pixel type, whose
// channel type is the file scale's.
using Rasters = std::tuple<Raster<std::uint8_t>, Raster<std::uint16_t>, Raster<float>>;

template <typename T>
void premultiply(Raster<T>& raster);
template <typename T>
void unpremultiply(Raster<T>& raster);

// Where a file's channels were read into a world's pixels, as red, green,
// blue and alpha in the file's scale, before settleReadPixels: RGBA from
// the pixel's first channel, RGB from its second, grey in its second, grey
// and alpha in its first and second.
enum class ReadLayout { rgba, rgb, grey, greyAlpha };

// The channel of a pixel that a file's first channel is read into.
int firstSlot(ReadLayout layout);

// Makes each pixel of the world, read as `layout` in T's scale, the
// world's own: alpha first, the world's scale, straight alpha (colour
// divided by alpha first when the file's alpha is `associated`, as
// unpremultiply does), opaque where the file had no alpha.
template <typename T>
void settleReadPixels(host::Image& image, ReadLayout layout, bool associated);

// A world of the raster's depth holding its pixels (straight alpha in, straight out).
template <typename T>
std::unique_ptr<host::Image> toImage(const Raster<T>& raster);
// The world's pixels; throws std::logic_error when its depth is not T's.
template <typename T>
Raster<T> toRaster(const host::Image& image);
// The same into a raster that is reused.
template <typename T>
void toRaster(const host::Image& image, Raster<T>& raster);

// The world's pixels at 8 bits, row by row from the top, straight alpha:
// 16-bit channels to the nearest byte, float ones held to 0..1 first.
std::vector<PF_Pixel> eightBitPixels(const host::Image& image);
// An 8-bit world of width × height holding such pixels; throws
// std::invalid_argument for another number of pixels.
std::unique_ptr<host::Image> eightBitImage(int width, int height, const std::vector<PF_Pixel>& pixels);

// Whether any pixel is less than opaque.
bool hasTransparency(const host::Image& image);
// The smallest rectangle holding every pixel that is not fully transparent
// (empty, at the origin, when there is none).
PF_LRect contentBounds(const host::Image& image);

}  // namespace tiltshift
