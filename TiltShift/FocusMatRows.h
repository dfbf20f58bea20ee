#pragma once
// What the two focus mat generators share: the loop over a band's rows that
// writes the focus mat and the work buffer, the work-buffer value of a source
// pixel, the three-sample chromatic aberration and the power law. A
// generator adds only the shape of its sharp region, as a law:
//
//   double value(double dx, double dy) const;
//       the mat value of the pixel at (dx, dy) from the centre;
//   Nerevo::Vector2<double> towardSharp(double dx, double dy) const;
//       the direction a chromatic-aberration step takes from that pixel,
//       asked only where the mat is above 0.
//
// Buffers are row-major with the input world's width as stride; the tilt
// shifter has checked that they, and the table, hold what the input needs.
// A band writes only its own rows of both and reads the input, the table and
// the parameters, which nobody writes meanwhile.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <vector>

#include "AE_EffectCB.h"
#include "SubpixelSampler.h"
#include "WeightTable.h"
#include "color/color.h"
#include "filter/bands.h"
#include "utility/buffer_view.h"
#include "vector/rect.h"
#include "vector/vector2.h"
#include "world/pixels.h"

struct FocusMatRows {
    PF_InData* in_data;
    PF_LayerDef* input;
    Nerevo::Vector2<double> center;
    bool weighted;
    double weight;
    const std::vector<double>* weightTable;
    bool chromaticAberrationOn;
    double chromaticAberration;
    const SubpixelSampler* sampler;
    Nerevo::BufferView<double> mat;
    Nerevo::BufferView<Nerevo::Color<double>> work;
    Nerevo::Color<double>* logs;  // weighted float only, else null
};

namespace FocusMat {

// The rows' record from a generator's parameters, which name the shared
// fields alike.
template <typename P>
FocusMatRows rowsOf(PF_InData* in_data, PF_LayerDef* input, const P& params, const SubpixelSampler& sampler) {
    FocusMatRows rows;
    rows.in_data = in_data;
    rows.input = input;
    rows.center = params.center;
    rows.weighted = params.weighted;
    rows.weight = params.weight;
    rows.weightTable = params.weightTable;
    rows.chromaticAberrationOn = params.chromaticAberrationOn;
    rows.chromaticAberration = params.chromaticAberration;
    rows.sampler = &sampler;
    rows.mat = params.mat;
    rows.work = params.work;
    rows.logs = params.logs;
    return rows;
}

// Beyond the sharp region the mat grows as a power of the distance past its
// edge, reaching 1 half a diagonal beyond it; on the edge it is 0.
inline double powerLaw(double distance, double innerWidth, double halfDiagonal, double power) {
    const double e = distance - innerWidth;
    return e > 0.0 ? std::pow(e / halfDiagonal, power) : 0.0;
}

// 65536 × s × component, rounded half away from zero to a 16.16 offset.
// Kept wide and saturated far outside any world, so that neither a huge mat
// value nor two steps of it can overflow; NaN (an infinite mat times a zero
// component) takes no step.
inline std::int64_t fixedStep(double s, double component) {
    const double v = 65536.0 * s * component;
    constexpr double kFar = 1099511627776.0;  // 2^40: 2^24 pixels
    if (!(v == v)) {
        return 0;
    }
    const double rounded = v >= 0.0 ? v + 0.5 : v - 0.5;
    return static_cast<std::int64_t>(std::clamp(rounded, -kFar, kFar));
}

// The 16.16 position k steps from a pixel; positions beyond the fixed-point
// range are saturated, which keeps them outside the world.
inline PF_Fixed samplePosition(int pixel, std::int64_t step, int k) {
    const std::int64_t v = std::int64_t{pixel} * 65536 + k * step;
    return static_cast<PF_Fixed>(std::clamp<std::int64_t>(v, std::numeric_limits<PF_Fixed>::min(),
                                                          std::numeric_limits<PF_Fixed>::max()));
}

// Channel v weighted and premultiplied by a. A weighted float whose product
// passes the double range is left as an infinity of the product's sign,
// with the log2 of its magnitude in `log` for the blur to carry on; a
// transparent one is 0, as the product is. Any other infinity, or a product
// that is not a number, marks its log infinite.
template <typename Channel>
double weighted(double a, Channel v, const Weighting& f, double* log) {
    const double c = f(v) * a;
    if constexpr (std::is_same_v<Channel, PF_FpShort>) {
        if (log && !std::isfinite(c)) {
            if (f.weighted && std::isfinite(v) && std::isfinite(a)) {
                if (a == 0.0) {
                    return 0.0;
                }
                *log = std::log2(std::fabs(a)) + 255.0 * static_cast<double>(v) * f.log2Weight;
                return std::copysign(std::numeric_limits<double>::infinity(), a);
            }
            *log = std::numeric_limits<double>::infinity();
        }
    }
    return c;
}

// The source pixel premultiplied, its channels weighted first; `log` as for
// weighted.
template <typename Pixel>
Nerevo::Color<double> premultiplied(const Pixel& p, const Weighting& f, Nerevo::Color<double>* log) {
    const double a = p.alpha;
    return Nerevo::Color<double>{a, weighted(a, p.red, f, log ? &log->r : nullptr),
                                 weighted(a, p.green, f, log ? &log->g : nullptr),
                                 weighted(a, p.blue, f, log ? &log->b : nullptr)};
}

// Blue from the pixel itself, green one step and red two steps towards the
// sharp region, each premultiplied by its own sample's alpha; the alpha is
// the largest of the three. The first failed sample ends it.
template <typename Pixel>
PF_Err aberrated(const FocusMatRows& rows, const Weighting& f, const PF_SampPB& pb, int x, int y,
                 Nerevo::Vector2<double> toward, double m, Nerevo::Color<double>& out, Nerevo::Color<double>* log) {
    const double s = m * rows.chromaticAberration;
    const std::int64_t stepX = fixedStep(s, toward.x);
    const std::int64_t stepY = fixedStep(s, toward.y);
    Pixel samples[3];
    for (int k = 0; k < 3; ++k) {
        if (const PF_Err err = rows.sampler->sample(rows.in_data->effect_ref, samplePosition(x, stepX, k),
                                                    samplePosition(y, stepY, k), pb, samples[k])) {
            return err;
        }
    }
    const double a0 = samples[0].alpha;
    const double a1 = samples[1].alpha;
    const double a2 = samples[2].alpha;
    out = Nerevo::Color<double>{std::max(std::max(a0, a1), a2), weighted(a2, samples[2].red, f, log ? &log->r : nullptr),
                                weighted(a1, samples[1].green, f, log ? &log->g : nullptr),
                                weighted(a0, samples[0].blue, f, log ? &log->b : nullptr)};
    return PF_Err_NONE;
}

// Writes the mat and the work buffer for the rows of `rect` that lie in the
// input world. After a failed sample the rest of the row is still written
// (the work buffer undisplaced) and the error returned.
template <typename Pixel, typename Law>
PF_Err writeRows(const FocusMatRows& rows, const Nerevo::Rect<int>& rect, bool checkAbort, const Law& law) {
    const PF_LayerDef* input = rows.input;
    if (!input || !input->data) {
        return PF_Err_NONE;
    }
    const Weighting f{rows.weighted, rows.weight, rows.weighted ? rows.weightTable->data() : nullptr,
                      std::log2(rows.weight)};
    PF_SampPB pb{};
    pb.src = rows.input;
    const int width = input->width;
    return Nerevo::Filter::forEachRow(
        rows.in_data, rect, width, input->height, checkAbort, [&](int y, int left, int right) {
            const Pixel* source = Nerevo::Pixels::row<Pixel>(*input, y);
            const std::size_t rowStart = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
            double* mat = rows.mat.data() + rowStart;
            Nerevo::Color<double>* work = rows.work.data() + rowStart;
            Nerevo::Color<double>* logs = rows.logs ? rows.logs + rowStart : nullptr;
            const double dy = y - rows.center.y;
            PF_Err err = PF_Err_NONE;
            for (int x = left; x < right; ++x) {
                const double dx = x - rows.center.x;
                const double m = law.value(dx, dy);
                mat[x] = m;
                const bool displaced = rows.chromaticAberrationOn && m > 0.0 && !err;
                if (displaced) {
                    err = aberrated<Pixel>(rows, f, pb, x, y, law.towardSharp(dx, dy), m, work[x],
                                           logs ? logs + x : nullptr);
                }
                if (!displaced || err) {
                    work[x] = premultiplied(source[x], f, logs ? logs + x : nullptr);
                }
            }
            return err;
        });
}

}  // namespace FocusMat
