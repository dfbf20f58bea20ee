#include "VerticalBlur.h"

#include <algorithm>
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
    // One line per column blurred side by side.
    std::vector<BoxBlur::Line> lines(
        BoxBlur::kSideBySide,
        BoxBlur::Line(static_cast<std::size_t>(height > 0 ? height : 0), params->repeatEdgePixels));
    // Columns with careful lines go through a copy of their block.
    Nerevo::Filter::ColumnBlock<BoxBlur::Sample, double> block(static_cast<std::size_t>(height > 0 ? height : 0));
    BoxBlur::Sample* work = params->work.data();
    const double* mat = params->mat.data();
    // The logs stay in place, read and written a row apart: only wide
    // columns touch them.
    BoxBlur::Sample* logs = params->logs;
    // Neighbouring columns tend to be alike: after a block with a careful
    // line the next goes straight to the careful way, until one has none.
    bool careful = false;
    return Nerevo::Filter::forEachColumnBlock(in_data, rect, width, height, checkAbort, [&](int first, int count) {
        int done = 0;
        while (!careful && done < count) {
            const int columns = std::min(count - done, static_cast<int>(BoxBlur::kSideBySide));
            const int at = first + done;
            if (!BoxBlur::blurPlainColumns(lines.data(), columns, work + at, mat + at, logs != nullptr, width,
                                           *params)) {
                break;
            }
            done += columns;
        }
        if (done < count) {
            const int at = first + done;
            careful = BoxBlur::blurColumnsOneByOne(lines[0], block, count - done, work + at, mat + at,
                                                   logs ? logs + at : nullptr, width, *params);
        }
    });
}
