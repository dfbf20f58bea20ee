#include "Outputter.h"

#include "OutputConversion.h"
#include "filter/bands.h"
#include "world/pixels.h"

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

// The part of `rect` inside the output world, whose width is the buffers'
// row stride.
template <typename Pixel>
PF_Err Outputter::filterPixels(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    if (!output || !output->data) {
        return PF_Err_NONE;
    }
    const int width = output->width;
    const Output::Conversion<Pixel> convert(in_data, *params);
    return Nerevo::Filter::forEachRow(in_data, rect, width, output->height, checkAbort, [&](int y, int left, int right) {
        const std::size_t rowStart = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        const Nerevo::Color<double>* work = params->work.data() + rowStart;
        const double* mat = params->mat.data() + rowStart;
        Pixel* out = Nerevo::Pixels::row<Pixel>(*output, y);
        if (params->logs) {
            const Nerevo::Color<double>* logs = params->logs + rowStart;
            for (int x = left; x < right; ++x) {
                out[x] = convert(BoxBlur::widened(work[x], logs + x), mat[x]);
            }
            return PF_Err_NONE;
        }
        for (int x = left; x < right; ++x) {
            out[x] = convert(work[x], mat[x]);
        }
        return PF_Err_NONE;
    });
}
