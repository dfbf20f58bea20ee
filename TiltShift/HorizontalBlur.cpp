#include "HorizontalBlur.h"

#include <algorithm>

#include "AE_EffectCB.h"
#include "OutputConversion.h"

HorizontalBlur::HorizontalBlur(PF_InData* in_data, AEGP_SuiteHandler& suites, Nerevo::Bpc bpc, PF_LayerDef* input,
                               PF_LayerDef* output, BlurParameters* params)
    : Filter(in_data, suites, bpc, input, output, params) {
    splitColumns = 0;
}

PF_Err HorizontalBlur::filter8(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    return filterRows<PF_Pixel>(rect, checkAbort);
}

PF_Err HorizontalBlur::filter16(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    return filterRows<PF_Pixel16>(rect, checkAbort);
}

PF_Err HorizontalBlur::filter32(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    return filterRows<PF_PixelFloat>(rect, checkAbort);
}

// Rows outside the input world are none of the pass's business.
template <typename Pixel>
PF_Err HorizontalBlur::filterRows(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    if (!input || !input->data) {
        return PF_Err_NONE;
    }
    const int width = input->width;
    const int top = std::max(rect.top, 0);
    const int bottom = std::min(rect.bottom, static_cast<int>(input->height));
    if (width <= 0 || top >= bottom) {
        return PF_Err_NONE;
    }
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(input->height);
    const bool last = params->isLastPass;
    if (!BoxBlur::buffersHold(*params, pixels) ||
        (last && (!output || !output->data || output->width < width || output->height < bottom))) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
    BoxBlur::Line line(static_cast<std::size_t>(width), params->repeatEdgePixels);
    const Output::Conversion<Pixel> convert(in_data, *params);
    for (int y = top; y < bottom; ++y) {
        const std::size_t rowStart = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        BoxBlur::Sample* work = params->work->data() + rowStart;
        const double* mat = params->mat->data() + rowStart;
        if (last) {
            line.load(work, 1);
            Pixel* out = Output::row<Pixel>(*output, y);
            for (int x = 0; x < width; ++x) {
                const double r = BoxBlur::passRadius(*params, mat[x]);
                out[x] = convert(BoxBlur::blurs(r) ? line.blurred(x, r) : line.sample(x), mat[x]);
            }
        } else {
            BoxBlur::blurLine(line, work, work, mat, 1, *params);
        }
        if (checkAbort) {
            if (const PF_Err err = in_data->inter.abort(in_data->effect_ref)) {
                return err;
            }
        }
    }
    return PF_Err_NONE;
}
