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
    // Weighted float only: the log2 of every work colour beyond the double
    // range, one entry per pixel (the others unset); null otherwise.
    Nerevo::Color<double>* logs;
};

namespace BoxBlur {

inline double passRadius(const BlurParameters& p, double m) {
    return p.passAmount * m + p.passOffset;
}

// Blurs the line samples[0], samples[sampleStride], … in place, its focus
// mat values lying at `matStride` from `mat` and its logs, if any, at
// `logStride` from `logs`; entries whose radius blurs nothing are not
// written.
inline void blurLine(Line& line, Sample* samples, std::ptrdiff_t sampleStride, const double* mat,
                     std::ptrdiff_t matStride, Sample* logs, std::ptrdiff_t logStride, const BlurParameters& p) {
    line.load(samples, sampleStride, logs, logStride);
    // Only a line with logs is ever wide; saying so spares the compiler.
    if (logs && line.wide()) {
        for (std::ptrdiff_t k = 0; k < line.length(); ++k) {
            const double r = passRadius(p, mat[k * matStride]);
            if (blurs(r)) {
                narrowed(line.blurredWide(k, r), samples[k * sampleStride], logs[k * logStride]);
            }
        }
        return;
    }
    for (std::ptrdiff_t k = 0; k < line.length(); ++k) {
        const double r = passRadius(p, mat[k * matStride]);
        if (blurs(r)) {
            samples[k * sampleStride] = line.blurred(k, r);
        }
    }
}

}  // namespace BoxBlur
