#include "VerticalBlur.h"

#include <algorithm>

#include "AE_EffectCB.h"

VerticalBlur::VerticalBlur(PF_InData* in_data, AEGP_SuiteHandler& suites, Nerevo::Bpc bpc, PF_LayerDef* input,
                           PF_LayerDef* output, BlurParameters* params)
    : Filter(in_data, suites, bpc, input, output, params) {
    splitColumns = 1;
}

PF_Err VerticalBlur::filter8(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    return filterColumns(rect, checkAbort);
}

PF_Err VerticalBlur::filter16(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    return filterColumns(rect, checkAbort);
}

PF_Err VerticalBlur::filter32(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    return filterColumns(rect, checkAbort);
}

// Columns outside the input world are none of the pass's business.
PF_Err VerticalBlur::filterColumns(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    if (!input || !input->data) {
        return PF_Err_NONE;
    }
    const int width = input->width;
    const int height = input->height;
    const int left = std::max(rect.left, 0);
    const int right = std::min(rect.right, width);
    if (height <= 0 || left >= right) {
        return PF_Err_NONE;
    }
    if (!BoxBlur::buffersHold(*params, static_cast<std::size_t>(width) * static_cast<std::size_t>(height))) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
    BoxBlur::Line line(static_cast<std::size_t>(height), params->repeatEdgePixels);
    for (int x = left; x < right; ++x) {
        BoxBlur::Sample* column = params->work->data() + x;
        BoxBlur::blurLine(line, column, column, params->mat->data() + x, width, *params);
        if (checkAbort) {
            if (const PF_Err err = in_data->inter.abort(in_data->effect_ref)) {
                return err;
            }
        }
    }
    return PF_Err_NONE;
}
