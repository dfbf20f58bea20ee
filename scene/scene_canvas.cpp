#include "scene/scene_canvas.h"

namespace scene {

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {}

void Canvas::glow(double x, double y, double core, double halo, Rgb colour) {
    for (int py = std::max(0, static_cast<int>(y - halo)); py < std::min(height_, static_cast<int>(y + halo) + 1);
         ++py) {
        for (int px = std::max(0, static_cast<int>(x - halo)); px < std::min(width_, static_cast<int>(x + halo) + 1);
             ++px) {
            const double dx = px + 0.5 - x;
            const double dy = py + 0.5 - y;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d <= core) {
                at(px, py) = at(px, py) + colour;
            } else if (d < halo) {
                const double fade = (halo - d) / (halo - core);
                at(px, py) = at(px, py) + colour * static_cast<float>(0.5 * fade * fade);
            }
        }
    }
}

void Canvas::line(double x0, double y0, double x1, double y1, double width, Rgb colour) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double length2 = std::max(dx * dx + dy * dy, 1e-12);
    const double reach = width / 2;
    paint(std::min(x0, x1) - reach, std::min(y0, y1) - reach, std::max(x0, x1) + reach, std::max(y0, y1) + reach,
          [&](double x, double y) -> std::optional<Rgb> {
              const double t = std::clamp(((x - x0) * dx + (y - y0) * dy) / length2, 0.0, 1.0);
              const double ex = x - (x0 + t * dx);
              const double ey = y - (y0 + t * dy);
              return ex * ex + ey * ey <= reach * reach ? std::optional<Rgb>(colour) : std::nullopt;
          });
}

std::unique_ptr<host::Image> Canvas::toImage(int factor) const {
    auto image = std::make_unique<host::Image>(PF_PixelFormat_ARGB32, width_ / factor, height_ / factor);
    const float scale = 255.0f / static_cast<float>(factor * factor);
    const auto byte = [scale](float sum) {
        return static_cast<A_u_char>(std::clamp(sum * scale, 0.0f, 255.0f) + 0.5f);
    };
    for (int y = 0; y < image->height(); ++y) {
        for (int x = 0; x < image->width(); ++x) {
            Rgb sum;
            for (int sy = 0; sy < factor; ++sy) {
                for (int sx = 0; sx < factor; ++sx) {
                    const Rgb c = pixels_[static_cast<std::size_t>(y * factor + sy) * static_cast<std::size_t>(width_) +
                                          static_cast<std::size_t>(x * factor + sx)];
                    sum = sum +
                          Rgb{std::clamp(c.r, 0.0f, 1.0f), std::clamp(c.g, 0.0f, 1.0f), std::clamp(c.b, 0.0f, 1.0f)};
                }
            }
            image->at<PF_Pixel>(x, y) = PF_Pixel{255, byte(sum.r), byte(sum.g), byte(sum.b)};
        }
    }
    return image;
}

}  // namespace scene
