#pragma once
// Filters in bands: band i of n is a band of rows (or of columns) of the
// output world, or of the input world when there is no output, and the
// bands of one stage tile the world exactly. The band boundaries depend only
// on the world's size and n, never on which thread runs a band.

#include <cstdint>

#include "filter/filter_base.h"

namespace Nerevo {
namespace Filter {

template <typename P>
class Filter : public FilterWithParameters<P> {
public:
    Filter(PF_InData* in_data, AEGP_SuiteHandler& suites, Bpc bpc, PF_LayerDef* input, PF_LayerDef* output,
           P* params)
        : FilterWithParameters<P>(in_data, suites, bpc, input, output, params), splitColumns(0) {}

    // Band i of n at the filter's depth; a depth that is none of the three,
    // or a filter without worlds, processes nothing and succeeds.
    PF_Err filter(int i, int n) const override {
        const PF_LayerDef* world = this->output ? this->output : this->input;
        if (!world) {
            return PF_Err_NONE;
        }
        if (n <= 0 || i < 0 || i >= n) {
            return PF_Err_BAD_CALLBACK_PARAM;
        }
        const Rect<int> rect = splitColumns ? Rect<int>{split(world->width, i, n), 0, split(world->width, i + 1, n),
                                                        world->height}
                                            : Rect<int>{0, split(world->height, i, n), world->width,
                                                        split(world->height, i + 1, n)};
        const bool checkAbort = i == 0;
        switch (this->bpc) {
        case bpc8: return this->filter8(rect, checkAbort);
        case bpc16: return this->filter16(rect, checkAbort);
        case bpc32: return this->filter32(rect, checkAbort);
        default: return PF_Err_NONE;
        }
    }

    // 0: bands of rows; otherwise bands of columns. Set by the concrete filter's constructor.
    std::int32_t splitColumns;

private:
    // Boundary i of n over `length`: length × i / n, in wide arithmetic so
    // that no size overflows it.
    static int split(int length, int i, int n) {
        return static_cast<int>(static_cast<std::int64_t>(length) * i / n);
    }
};

}  // namespace Filter
}  // namespace Nerevo
