#pragma once
// Runs a filter on all processors: one band per processor through the
// host's "PF Iterate8 Suite", returning when every band is done with the
// first error of any band.

#include "AE_EffectCB.h"
#include "utility/iterate_generic.h"

namespace Nerevo {
namespace Filter {

// The suite comes from the filter's suite handler (cached), before any band
// starts; a missing suite throws the handler's missing-suite error here,
// never inside a band.
template <typename T>
PF_Err runFilter(const T& filter) {
    IterationRecord<T> record{true, filter.in_data, &filter};
    return filter.suites.Iterate8Suite1()->iterate_generic(PF_Iterations_ONCE_PER_PROCESSOR, &record,
                                                           iterate_generic_func<T>);
}

}  // namespace Filter
}  // namespace Nerevo
