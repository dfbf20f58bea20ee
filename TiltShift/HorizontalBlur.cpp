#include "HorizontalBlur.h"

#include "OutputConversion.h"
#include "filter/bands.h"
#include "world/pixels.h"

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

template <typename Pixel>
PF_Err HorizontalBlur::filterRows(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    if (!input || !input->data) {
        return PF_Err_NONE;
    }
    const int width = input->width;
    BoxBlur::Line line(static_cast<std::size_t>(width > 0 ? width : 0), params->repeatEdgePixels);
    const Output::Conversion<Pixel> convert(in_data, *params);
    const Nerevo::Rect<int> rows{0, rect.top, width, rect.bottom};
    return Nerevo::Filter::forEachRow(in_data, rows, width, input->height, checkAbort, [&](int y, int, int) {
        const std::size_t rowStart = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        BoxBlur::Sample* work = params->work.data() + rowStart;
        const double* mat = params->mat.data() + rowStart;
        BoxBlur::Sample* logs = params->logs ? params->logs + rowStart : nullptr;
        if (!params->isLastPass) {
            BoxBlur::blurLine(line, work, 1, mat, 1, logs, 1, *params);
            return PF_Err_NONE;
        }
        line.load(work, 1, logs, 1);
        Pixel* out = Nerevo::Pixels::row<Pixel>(*output, y);
        if (line.wide()) {
            for (int x = 0; x < width; ++x) {
                const double r = BoxBlur::passRadius(*params, mat[x]);
                out[x] = convert(BoxBlur::blurs(r) ? line.blurredWide(x, r) : line.wideSample(x), mat[x]);
            }
            return PF_Err_NONE;
        }
        for (int x = 0; x < width; ++x) {
            const double r = BoxBlur::passRadius(*params, mat[x]);
            out[x] = convert(BoxBlur::blurs(r) ? line.blurred(x, r) : line.sample(x), mat[x]);
        }
        return PF_Err_NONE;
    });
}
