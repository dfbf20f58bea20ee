#pragma once
// What the column pass and the row pass share: their record, the radius a
// pass gives a pixel, and the blur of one line back into the work buffer.
// The passes differ only in which samples make a line.

#include <cstddef>
#include <vector>

#include "BoxBlurLine.h"
#include "blend/blend.h"
#include "color/color.h"

struct BlurParameters {
    bool isLastPass;    // the row pass writes the output world instead of the work buffer
    double passAmount;  // radius per unit of focus mat, pixels: a third of the blur amount
    double passOffset;  // radius added everywhere, pixels: a third of the blur offset
    // The output conversion's fields, read by the last row pass only.
    bool weighted;
    double weight;
    double vignetting;
    Nerevo::Color<float> vignettingColor;
    Nerevo::BlendingMode blendingMode;
    bool repeatEdgePixels;
    const std::vector<double>* mat;
    std::vector<Nerevo::Color<double>>* work;
};

namespace BoxBlur {

inline double passRadius(const BlurParameters& p, double m) {
    return p.passAmount * m + p.passOffset;
}

// Whether the buffers hold a world of `pixels` pixels.
inline bool buffersHold(const BlurParameters& p, std::size_t pixels) {
    return p.mat->size() >= pixels && p.work->size() >= pixels;
}

// Blurs the line source[0], source[stride], … whose focus mat values lie at
// the same stride from `mat`, into `target` at that stride; entries whose
// radius blurs nothing are not written. The source may be the target.
inline void blurLine(Line& line, const Sample* source, Sample* target, const double* mat, std::ptrdiff_t stride,
                     const BlurParameters& p) {
    line.load(source, stride);
    for (std::ptrdiff_t k = 0; k < line.length(); ++k) {
        const double r = passRadius(p, mat[k * stride]);
        if (blurs(r)) {
            target[k * stride] = line.blurred(k, r);
        }
    }
}

}  // namespace BoxBlur
