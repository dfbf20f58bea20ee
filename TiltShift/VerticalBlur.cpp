#include "VerticalBlur.h"

#include <vector>

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
    // One line per column of a block, loaded side by side.
    std::vector<BoxBlur::Line> lines(
        Nerevo::Filter::kColumnBlock,
        BoxBlur::Line(static_cast<std::size_t>(height > 0 ? height : 0), params->repeatEdgePixels));
    BoxBlur::Sample* work = params->work.data();
    const double* mat = params->mat.data();
    // The logs stay in place, read and written a row apart: only wide
    // columns touch them.
    BoxBlur::Sample* logs = params->logs;
    return Nerevo::Filter::forEachColumnBlock(in_data, rect, width, height, checkAbort, [&](int first, int count) {
        BoxBlur::blurColumns(lines.data(), count, work + first, mat + first, logs ? logs + first : nullptr, width,
                             *params);
    });
}
