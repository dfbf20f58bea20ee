#pragma once
// The last stage when there is nothing to blur: every work buffer entry goes
// through the output conversion into the output world, so the weighting's
// inverse and the vignetting still apply. Bands of rows.

#include "blend/blend.h"
#include "color/color.h"
#include "filter/filter.h"
#include "utility/buffer_view.h"

struct OutputterParameters {
    bool weighted;
    double weight;
    double vignetting;
    Nerevo::Color<float> vignettingColor;
    Nerevo::BlendingMode blendingMode;
    Nerevo::BufferView<const double> mat;
    Nerevo::BufferView<const Nerevo::Color<double>> work;
    const Nerevo::Color<double>* logs;  // as the blur's: weighted float only
};

class Outputter : public Nerevo::Filter::Filter<OutputterParameters> {
public:
    // The output world's width is the buffers' row stride.
    Outputter(PF_InData* in_data, AEGP_SuiteHandler& suites, Nerevo::Bpc bpc, PF_LayerDef* input, PF_LayerDef* output,
              OutputterParameters* params);

    PF_Err filter8(const Nerevo::Rect<int>& rect, bool checkAbort) const override;
    PF_Err filter16(const Nerevo::Rect<int>& rect, bool checkAbort) const override;
    PF_Err filter32(const Nerevo::Rect<int>& rect, bool checkAbort) const override;

private:
    template <typename Pixel>
    PF_Err filterPixels(const Nerevo::Rect<int>& rect, bool checkAbort) const;
};
