#include "Outputter.h"

#include <algorithm>

#include "AE_EffectCB.h"
#include "OutputConversion.h"

Outputter::Outputter(PF_InData* in_data, AEGP_SuiteHandler& suites, Nerevo::Bpc bpc, PF_LayerDef* input,
                     PF_LayerDef* output, OutputterParameters* params)
    : Filter(in_data, suites, bpc, input, output, params) {
    splitColumns = 0;
}

PF_Err Outputter::filter8(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    return filterPixels<PF_Pixel>(rect, checkAbort);
}

PF_Err Outputter::filter16(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    return filterPixels<PF_Pixel16>(rect, checkAbort);
}

PF_Err Outputter::filter32(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    return filterPixels<PF_PixelFloat>(rect, checkAbort);
}

// The part of `rect` inside the output world.
template <typename Pixel>
PF_Err Outputter::filterPixels(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    if (!output || !output->data) {
        return PF_Err_NONE;
    }
    const int width = output->width;
    const int left = std::max(rect.left, 0);
    const int right = std::min(rect.right, width);
    const int top = std::max(rect.top, 0);
    const int bottom = std::min(rect.bottom, static_cast<int>(output->height));
    if (left >= right || top >= bottom) {
        return PF_Err_NONE;
    }
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(output->height);
    if (params->mat->size() < pixels || params->work->size() < pixels) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
    const Output::Conversion<Pixel> convert(in_data, *params);
    for (int y = top; y < bottom; ++y) {
        const std::size_t rowStart = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        const Nerevo::Color<double>* work = params->work->data() + rowStart;
        const double* mat = params->mat->data() + rowStart;
        Pixel* out = Output::row<Pixel>(*output, y);
        for (int x = left; x < right; ++x) {
            out[x] = convert(work[x], mat[x]);
        }
        if (checkAbort) {
            if (const PF_Err err = in_data->inter.abort(in_data->effect_ref)) {
                return err;
            }
        }
    }
    return PF_Err_NONE;
}
