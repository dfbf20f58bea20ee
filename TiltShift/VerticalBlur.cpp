#include "VerticalBlur.h"

#include "filter/bands.h"

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

PF_Err VerticalBlur::filterColumns(const Nerevo::Rect<int>& rect, bool checkAbort) const {
    if (!input || !input->data) {
        return PF_Err_NONE;
    }
    const int width = input->width;
    const int height = input->height;
    BoxBlur::Line line(static_cast<std::size_t>(height > 0 ? height : 0), params->repeatEdgePixels);
    // The logs stay in place, read and written a row apart: only wide
    // columns touch them.
    BoxBlur::Sample* logs = params->logs;
    return Nerevo::Filter::forEachColumn(
        in_data, rect, width, height, checkAbort, params->work->data(), params->mat->data(),
        [&](int x, BoxBlur::Sample* column, const double* mat) {
            BoxBlur::blurLine(line, column, 1, mat, 1, logs ? logs + x : nullptr, width, *params);
        });
}
