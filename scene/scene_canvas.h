#pragma once
// A floating-point RGB canvas the built-in scene is painted on, and the
// few ways it is painted.

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "host/image.h"

namespace scene {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb mix(Rgb a, Rgb b, float t) { return a * (1 - t) + b * t; }

class Canvas {
public:
    Canvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb& at(int x, int y) { return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + x]; }

    // Paints the pixels of the box from (x0, y0) to (x1, y1) for which
    // `shade` gives a colour at the pixel's centre.
    template <typename Shade>
    void paint(double x0, double y0, double x1, double y1, Shade shade) {
        const int left = std::max(0, static_cast<int>(std::floor(x0)));
        const int top = std::max(0, static_cast<int>(std::floor(y0)));
        const int right = std::min(width_, static_cast<int>(std::ceil(x1)));
        const int bottom = std::min(height_, static_cast<int>(std::ceil(y1)));
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                if (const std::optional<Rgb> colour = shade(x + 0.5, y + 0.5)) {
                    at(x, y) = *colour;
                }
            }
        }
    }

    // Adds light: `colour` in full out to radius `core`, fading to nothing at `halo`.
    void glow(double x, double y, double core, double halo, Rgb colour);
    // A straight line `width` pixels across.
    void line(double x0, double y0, double x1, double y1, double width, Rgb colour);

    // The canvas at 1/factor of its size, each pixel the mean of those it
    // covers, clamped to 0..1, at 8 bits and opaque.
    std::unique_ptr<host::Image> toImage(int factor) const;

private:
    int width_, height_;
    std::vector<Rgb> pixels_;
};

}  // namespace scene
