#pragma once
// The row pass of the box blur, in bands of rows. Every pass but the last
// blurs the work buffer in place; the last writes the output world through
// the output conversion instead.

#include "BoxBlurPass.h"
#include "filter/filter.h"

class HorizontalBlur : public Nerevo::Filter::Filter<BlurParameters> {
public:
    // The input world gives the line length; the output world, at least as
    // large, receives the last pass.
    HorizontalBlur(PF_InData* in_data, AEGP_SuiteHandler& suites, Nerevo::Bpc bpc, PF_LayerDef* input,
                   PF_LayerDef* output, BlurParameters* params);

    // The rows of `rect`, always across the whole width.
    PF_Err filter8(const Nerevo::Rect<int>& rect, bool checkAbort) const override;
    PF_Err filter16(const Nerevo::Rect<int>& rect, bool checkAbort) const override;
    PF_Err filter32(const Nerevo::Rect<int>& rect, bool checkAbort) const override;

private:
    template <typename Pixel>
    PF_Err filterRows(const Nerevo::Rect<int>& rect, bool checkAbort) const;
};
