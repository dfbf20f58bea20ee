#pragma once
// The focus mat of the linear tilt shifter: sharp in a band around a line
// through the centre, blurred beyond it by a power law or by the focus
// distance law. Fills the focus mat and the work buffer in bands of rows.

#include <cstdint>
#include <vector>

#include "SubpixelSampler.h"
#include "color/color.h"
#include "filter/filter.h"
#include "utility/buffer_view.h"
#include "vector/vector2.h"

struct LinearMatGeneratorParameters {
    double halfDiagonal;  // half the layer diagonal, render pixels: the power law's scale
    double blurAmount;    // render pixels; only for the cap of the focus distance law
    bool weighted;
    double weight;  // weighting base; float values above 1 go beyond the table
    Nerevo::Vector2<double> center;  // pixels of the input world
    double direction;                // angle of the line, radians
    double innerWidth;               // half width of the sharp band, render pixels
    std::int32_t linearMode;         // LinearMode: power or focus distance
    double power;
    double focusDistance;  // render pixels
    bool chromaticAberrationOn;
    double chromaticAberration;  // step scale, render pixels
    const std::vector<double>* weightTable;
    Nerevo::BufferView<double> mat;
    Nerevo::BufferView<Nerevo::Color<double>> work;
    Nerevo::Color<double>* logs;
};

class LinearMatGenerator : public Nerevo::Filter::Filter<LinearMatGeneratorParameters> {
public:
    // Computes the line's normal and, with chromatic aberration, takes the
    // depth's sampling suite (a missing one throws here, before any band).
    LinearMatGenerator(PF_InData* in_data, AEGP_SuiteHandler& suites, Nerevo::Bpc bpc, PF_LayerDef* input,
                       PF_LayerDef* output, LinearMatGeneratorParameters* params);

    PF_Err filter8(const Nerevo::Rect<int>& rect, bool checkAbort) const override;
    PF_Err filter16(const Nerevo::Rect<int>& rect, bool checkAbort) const override;
    PF_Err filter32(const Nerevo::Rect<int>& rect, bool checkAbort) const override;

private:
    template <typename Pixel>
    PF_Err filterByMode(const Nerevo::Rect<int>& rect, bool checkAbort) const;
    template <typename Pixel>
    PF_Err filterPower(const Nerevo::Rect<int>& rect, bool checkAbort) const;
    template <typename Pixel>
    PF_Err filterFocusDistance(const Nerevo::Rect<int>& rect, bool checkAbort) const;

    // Unit normal of the line, (−sin, cos) of the direction: the side it
    // points to is the near side of the focus distance law.
    Nerevo::Vector2<double> normal_;
    SubpixelSampler sampler_;
};
