#include "LinearMatGenerator.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "FocusMatRows.h"
#include "Params.h"

namespace {

// Signed distance from the focus line, positive on the side the normal
// points to; chromatic aberration steps towards the line.
struct FocusLine {
    Nerevo::Vector2<double> normal;

    double signedDistance(double dx, double dy) const { return normal.x * dx + normal.y * dy; }
    Nerevo::Vector2<double> towardSharp(double dx, double dy) const {
        return signedDistance(dx, dy) > 0.0 ? Nerevo::Vector2<double>{-normal.x, -normal.y} : normal;
    }
};

// One per band, so that its memo is the band's own.
struct PowerLaw : FocusLine {
    double innerWidth;
    double halfDiagonal;
    double power;

    // A focus line along the rows gives a whole row one distance, and the
    // power law's pow is most of the mat's cost: a distance equal to the last
    // one gets the last value, which the same pow of it would give again.
    double value(double dx, double dy) const {
        const double distance = std::fabs(signedDistance(dx, dy));
        if (!(distance == lastDistance)) {
            lastDistance = distance;
            lastValue = FocusMat::powerLaw(distance, innerWidth, halfDiagonal, power);
        }
        return lastValue;
    }

    mutable double lastDistance = std::numeric_limits<double>::quiet_NaN();
    mutable double lastValue = 0.0;
};

// The circle of confusion |D − F| / D of a point at D = F − e (near side,
// at least 1) or D = F + e (far side), e being its distance past the band's
// edge; capped so that the blur stays within 30000 pixels at full resolution.
struct FocusDistanceLaw : FocusLine {
    double innerWidth;
    double focusDistance;
    double cap;

    double value(double dx, double dy) const {
        const double sd = signedDistance(dx, dy);
        double value = 0.0;
        if (sd > 0.0) {
            const double e = sd - innerWidth;
            value = e < 0.0 ? 0.0 : e / std::max(focusDistance - e, 1.0);
        } else {
            const double e = -sd - innerWidth;
            value = e < 0.0 ? 0.0 : e / (focusDistance + e);
        }
        return std::min(value, cap);
    }
};

}  // namespace

LinearMatGenerator::LinearMatGenerator(PF_InData* in_data, AEGP_SuiteHandler& suites, Nerevo::Bpc bpc,
                                       PF_LayerDef* input, PF_LayerDef* output, LinearMatGeneratorParameters* params)
    : Filter(in_data, suites, bpc, input, output, params),
      normal_{-in_data->utils->ansi.sin(params->direction), in_data->utils->ansi.cos(params->direction)},
      sampler_(params->chromaticAberrationOn ? SubpixelSampler(suites, bpc) : SubpixelSampler()) {
    splitColumns = 0;
}

PF_Err LinearMatGenerator::filter8(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    return filterByMode<PF_Pixel>(rect, checkAbort);
}

PF_Err LinearMatGenerator::filter16(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    return filterByMode<PF_Pixel16>(rect, checkAbort);
}

PF_Err LinearMatGenerator::filter32(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    return filterByMode<PF_PixelFloat>(rect, checkAbort);
}

// Any other mode writes nothing.
template <typename Pixel>
PF_Err LinearMatGenerator::filterByMode(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    switch (params->linearMode) {
    case linearPower: return filterPower<Pixel>(rect, checkAbort);
    case linearFocusDistance: return filterFocusDistance<Pixel>(rect, checkAbort);
    default: return PF_Err_NONE;
    }
}

template <typename Pixel>
PF_Err LinearMatGenerator::filterPower(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    const PowerLaw law{{normal_}, params->innerWidth, params->halfDiagonal, params->power};
    return FocusMat::writeRows<Pixel>(FocusMat::rowsOf(in_data, input, *params, sampler_), rect, checkAbort, law);
}

template <typename Pixel>
PF_Err LinearMatGenerator::filterFocusDistance(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    // The downsample factor as a fraction: at half resolution an integer
    // division would make the cap, and with it the whole mat, 0.
    const double downsample = static_cast<double>(in_data->downsample_x.num) / in_data->downsample_x.den;
    const double cap = downsample * 30000.0 / std::max(params->blurAmount, 1e-6);
    const FocusDistanceLaw law{{normal_}, params->innerWidth, params->focusDistance, cap};
    return FocusMat::writeRows<Pixel>(FocusMat::rowsOf(in_data, input, *params, sampler_), rect, checkAbort, law);
}
