#pragma once
// The column pass of the box blur, in bands of columns: it blurs the work
// buffer in place and never touches the output world, so it is the same at
// every depth. The tilt shifter has checked that the buffers hold the input
// world.

#include "BoxBlurPass.h"
#include "filter/filter.h"

class VerticalBlur : public Nerevo::Filter::Filter<BlurParameters> {
public:
    // The input world gives the column length and the buffers' row stride.
    VerticalBlur(PF_InData* in_data, AEGP_SuiteHandler& suites, Nerevo::Bpc bpc, PF_LayerDef* input,
                 PF_LayerDef* output, BlurParameters* params);

    // The columns of `rect` inside the input world, always over the whole height.
    PF_Err filter8(const Nerevo::Rect<int>& rect, bool checkAbort) const override;
    PF_Err filter16(const Nerevo::Rect<int>& rect, bool checkAbort) const override;
    PF_Err filter32(const Nerevo::Rect<int>& rect, bool checkAbort) const override;

private:
    PF_Err filterColumns(const Nerevo::Rect<int>& rect, bool checkAbort) const;
};
