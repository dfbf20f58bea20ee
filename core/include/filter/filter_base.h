#pragma once
// A filter: one pixel stage that knows its input and output worlds, its
// depth and a parameter record, and processes one rectangle at a time with
// a routine for 8-bit, 16-bit or float pixels.
//
// The host runs the bands of one filter on several threads at once, so a
// filter is not written while it runs: the band routines are const, and
// each band writes only the pixels (and buffer entries) of its rectangle.

#include "AEGP_SuiteHandler.h"
#include "AE_Effect.h"
#include "utility/bpc.h"
#include "vector/rect.h"

namespace Nerevo {
namespace Filter {

class FilterBase {
public:
    FilterBase(PF_InData* in_data, AEGP_SuiteHandler& suites, Bpc bpc, PF_LayerDef* input, PF_LayerDef* output)
        : in_data(in_data), suites(suites), bpc(bpc), input(input), output(output) {}
    virtual ~FilterBase() = default;

    FilterBase(const FilterBase&) = delete;
    FilterBase& operator=(const FilterBase&) = delete;

    // Processes band i of n (0 <= i < n).
    virtual PF_Err filter(int i, int n) const = 0;
    // Process `rect` at one depth; `checkAbort` is true for band 0 only,
    // which polls the host's abort check at row boundaries.
    virtual PF_Err filter8(const Rect<int>& rect, bool checkAbort) const = 0;
    virtual PF_Err filter16(const Rect<int>& rect, bool checkAbort) const = 0;
    virtual PF_Err filter32(const Rect<int>& rect, bool checkAbort) const = 0;

    PF_InData* in_data;
    AEGP_SuiteHandler& suites;
    Bpc bpc;
    PF_LayerDef* input;   // may be null
    PF_LayerDef* output;  // may be null
};

// A filter with a parameter record, which the caller keeps alive while the
// filter runs and which nobody writes meanwhile.
template <typename P>
class FilterWithParameters : public FilterBase {
public:
    FilterWithParameters(PF_InData* in_data, AEGP_SuiteHandler& suites, Bpc bpc, PF_LayerDef* input,
                         PF_LayerDef* output, P* params)
        : FilterBase(in_data, suites, bpc, input, output), params(params) {}

    P* params;
};

// What the host hands each band of a run as its reference constant: whether
// thread 0 asks for the user's abort before a band, the command's in data,
// and the concrete filter T.
template <typename T>
struct IterationRecord {
    bool checkAbort;
    PF_InData* in_data;
    const T* filter;
};

}  // namespace Filter
}  // namespace Nerevo
