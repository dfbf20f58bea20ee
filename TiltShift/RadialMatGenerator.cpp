#include "RadialMatGenerator.h"

#include <cfloat>
#include <cmath>

#include "FocusMatRows.h"

namespace {

// The elliptic distance from the centre; chromatic aberration steps straight
// towards the centre, whatever the ellipse's shape.
struct EllipseLaw {
    const double (&axes)[2][2];
    double ratio;
    double innerWidth;
    double halfDiagonal;
    double power;

    double value(double dx, double dy) const {
        const double u = axes[0][0] * dx + axes[0][1] * dy;
        const double v = axes[1][0] * dx + axes[1][1] * dy;
        return FocusMat::powerLaw(std::hypot(u, v / ratio), innerWidth, halfDiagonal, power);
    }

    Nerevo::Vector2<double> towardSharp(double dx, double dy) const {
        const double r = std::sqrt(dx * dx + dy * dy);
        return r > DBL_EPSILON ? Nerevo::Vector2<double>{-dx / r, -dy / r} : Nerevo::Vector2<double>{-dx, -dy};
    }
};

}  // namespace

RadialMatGenerator::RadialMatGenerator(PF_InData* in_data, AEGP_SuiteHandler& suites, Nerevo::Bpc bpc,
                                       PF_LayerDef* input, PF_LayerDef* output, RadialMatGeneratorParameters* params)
    : Filter(in_data, suites, bpc, input, output, params),
      sampler_(params->chromaticAberrationOn ? SubpixelSampler(suites, bpc) : SubpixelSampler()) {
    splitColumns = 0;
    const double c = in_data->utils->ansi.cos(params->direction);
    const double s = in_data->utils->ansi.sin(params->direction);
    axes_[0][0] = c;
    axes_[0][1] = s;
    axes_[1][0] = s;
    axes_[1][1] = -c;
}

PF_Err RadialMatGenerator::filter8(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    return filterPixels<PF_Pixel>(rect, checkAbort);
}

PF_Err RadialMatGenerator::filter16(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    return filterPixels<PF_Pixel16>(rect, checkAbort);
}

PF_Err RadialMatGenerator::filter32(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    return filterPixels<PF_PixelFloat>(rect, checkAbort);
}

template <typename Pixel>
PF_Err RadialMatGenerator::filterPixels(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    const EllipseLaw law{axes_, params->ratio, params->innerWidth, params->halfDiagonal, params->power};
    return FocusMat::writeRows<Pixel>(FocusMat::rowsOf(in_data, input, *params, sampler_), rect, checkAbort, law);
}
