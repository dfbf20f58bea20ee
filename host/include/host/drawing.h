#pragma once
// What a draw event leaves on a panel: the pixels, drawn for real, and the
// strokes as the plug-in made them, for tests to read back.

#include <memory>
#include <vector>

#include "AE_Effect.h"
#include "DrawbotSuite.h"

namespace host {

struct PathSegment {
    enum Kind { MoveTo, LineTo, BezierTo };
    Kind kind;
    // MoveTo and LineTo: points[0]. BezierTo: two control points, then the end.
    DRAWBOT_PointF32 points[3];
};

// One StrokePath: the pen's colour and width (screen pixels) and the path,
// in the panel's frame coordinates.
struct Stroke {
    DRAWBOT_ColorRGBA color;
    float width;
    std::vector<PathSegment> path;
};

class Drawing {
public:
    // A transparent panel of this size; throws std::invalid_argument for a
    // negative size.
    Drawing(int width, int height);
    // A panel showing an image: width × height pixels row by row from the
    // top, straight (not premultiplied) alpha. Throws std::invalid_argument
    // when the image has another number of pixels.
    Drawing(int width, int height, const std::vector<PF_Pixel>& image);
    ~Drawing();

    Drawing(Drawing&&) noexcept;
    Drawing& operator=(Drawing&&) noexcept;

    int width() const;
    int height() const;

    const std::vector<Stroke>& strokes() const { return strokes_; }

    // The panel as it looks now, straight alpha. pixel() throws
    // std::out_of_range outside the panel.
    PF_Pixel pixel(int x, int y) const;
    std::vector<PF_Pixel> pixels() const;

    // Draws the stroke onto the panel and records it.
    void stroke(const Stroke& stroke);

private:
    struct Surface;
    std::unique_ptr<Surface> surface_;
    std::vector<Stroke> strokes_;
};

}  // namespace host
