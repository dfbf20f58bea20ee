// Panels drawn with Cairo on an image surface of the panel's size.

#include <cairo.h>

#include <stdexcept>
#include <string>

#include "host/drawing.h"

namespace host {

struct Drawing::Surface {
    Surface(int width, int height) : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)) {
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
            const std::string reason = cairo_status_to_string(cairo_surface_status(surface));
            cairo_surface_destroy(surface);
            throw std::runtime_error("no drawing surface: " + reason);
        }
    }
    ~Surface() { cairo_surface_destroy(surface); }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int width() const { return cairo_image_surface_get_width(surface); }
    int height() const { return cairo_image_surface_get_height(surface); }

    // Cairo keeps each pixel as one native-endian word: premultiplied
    // alpha, red, green, blue from the high byte down.
    uint32_t* row(int y) const {
        return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface) +
                                           static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface));
    }

    cairo_surface_t* surface;
};

namespace {

int checkedSize(int size) {
    if (size < 0) {
        throw std::invalid_argument("a panel cannot have a negative size");
    }
    return size;
}

uint32_t premultiplied(const PF_Pixel& p) {
    auto times = [&](A_u_char c) { return static_cast<uint32_t>((c * p.alpha + 127) / 255); };
    return static_cast<uint32_t>(p.alpha) << 24 | times(p.red) << 16 | times(p.green) << 8 | times(p.blue);
}

PF_Pixel straight(uint32_t word) {
    const uint32_t a = word >> 24;
    auto divided = [&](uint32_t c) { return static_cast<A_u_char>(a ? (c * 255 + a / 2) / a : 0); };
    return PF_Pixel{static_cast<A_u_char>(a), divided(word >> 16 & 0xFF), divided(word >> 8 & 0xFF),
                    divided(word & 0xFF)};
}

void addPath(cairo_t* cr, const std::vector<PathSegment>& path) {
    for (const PathSegment& s : path) {
        switch (s.kind) {
        case PathSegment::MoveTo: cairo_move_to(cr, s.points[0].x, s.points[0].y); break;
        case PathSegment::LineTo: cairo_line_to(cr, s.points[0].x, s.points[0].y); break;
        case PathSegment::BezierTo:
            cairo_curve_to(cr, s.points[0].x, s.points[0].y, s.points[1].x, s.points[1].y, s.points[2].x,
                           s.points[2].y);
            break;
        }
    }
}

}  // namespace

Drawing::Drawing(int width, int height)
    : surface_(std::make_unique<Surface>(checkedSize(width), checkedSize(height))) {}

Drawing::Drawing(int width, int height, const std::vector<PF_Pixel>& image) : Drawing(width, height) {
    if (image.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        throw std::invalid_argument("the image has " + std::to_string(image.size()) + " pixels, not " +
                                    std::to_string(width) + " x " + std::to_string(height));
    }
    cairo_surface_flush(surface_->surface);
    for (int y = 0; y < height; ++y) {
        uint32_t* row = surface_->row(y);
        for (int x = 0; x < width; ++x) {
            row[x] = premultiplied(image[static_cast<std::size_t>(y) * width + x]);
        }
    }
    cairo_surface_mark_dirty(surface_->surface);
}

Drawing::~Drawing() = default;
Drawing::Drawing(Drawing&&) noexcept = default;
Drawing& Drawing::operator=(Drawing&&) noexcept = default;

int Drawing::width() const {
    return surface_->width();
}

int Drawing::height() const {
    return surface_->height();
}

PF_Pixel Drawing::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) {
        throw std::out_of_range("(" + std::to_string(x) + ", " + std::to_string(y) + ") lies outside the panel");
    }
    cairo_surface_flush(surface_->surface);
    return straight(surface_->row(y)[x]);
}

std::vector<PF_Pixel> Drawing::pixels() const {
    cairo_surface_flush(surface_->surface);
    std::vector<PF_Pixel> result;
    result.reserve(static_cast<std::size_t>(width()) * static_cast<std::size_t>(height()));
    for (int y = 0; y < height(); ++y) {
        const uint32_t* row = surface_->row(y);
        for (int x = 0; x < width(); ++x) {
            result.push_back(straight(row[x]));
        }
    }
    return result;
}

void Drawing::stroke(const Stroke& stroke) {
    strokes_.push_back(stroke);
    cairo_t* cr = cairo_create(surface_->surface);
    cairo_set_source_rgba(cr, stroke.color.red, stroke.color.green, stroke.color.blue, stroke.color.alpha);
    cairo_set_line_width(cr, stroke.width);
    addPath(cr, stroke.path);
    cairo_stroke(cr);
    cairo_destroy(cr);
}

}  // namespace host
