#pragma once
// The focus mat of the radial tilt shifter: sharp inside an ellipse about
// the centre, blurred beyond it by a power law. Fills the focus mat and the
// work buffer in bands of rows; chromatic aberration steps towards the centre.

#include <vector>

#include "SubpixelSampler.h"
#include "color/color.h"
#include "filter/filter.h"
#include "utility/buffer_view.h"
#include "vector/vector2.h"

struct RadialMatGeneratorParameters {
    double halfDiagonal;  // half the layer diagonal, render pixels: the power law's scale
    bool weighted;
    double weight;  // weighting base; float values above 1 go beyond the table
    Nerevo::Vector2<double> center;  // pixels of the input world
    double direction;                // angle of the ellipse's first axis, radians
    double innerWidth;               // first semi-axis, render pixels
    double power;
    double ratio;  // second semi-axis over the first, above 0
    bool chromaticAberrationOn;
    double chromaticAberration;  // step scale, render pixels
    const std::vector<double>* weightTable;
    Nerevo::BufferView<double> mat;
    Nerevo::BufferView<Nerevo::Color<double>> work;
    Nerevo::Color<double>* logs;
};

class RadialMatGenerator : public Nerevo::Filter::Filter<RadialMatGeneratorParameters> {
public:
    // Computes the ellipse's axes and, with chromatic aberration, takes the
    // depth's sampling suite (a missing one throws here, before any band).
    RadialMatGenerator(PF_InData* in_data, AEGP_SuiteHandler& suites, Nerevo::Bpc bpc, PF_LayerDef* input,
                       PF_LayerDef* output, RadialMatGeneratorParameters* params);

    PF_Err filter8(const Nerevo::Rect<int>& rect, bool checkAbort) const override;
    PF_Err filter16(const Nerevo::Rect<int>& rect, bool checkAbort) const override;
    PF_Err filter32(const Nerevo::Rect<int>& rect, bool checkAbort) const override;

private:
    template <typename Pixel>
    PF_Err filterPixels(const Nerevo::Rect<int>& rect, bool checkAbort) const;

    // (cos θ, sin θ, sin θ, −cos θ) of the direction θ: the first row gives
    // the coordinate along the first axis, the second the one across it.
    double axes_[2][2];
    SubpixelSampler sampler_;
};
