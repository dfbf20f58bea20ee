#pragma once
// The function a filter hands to the host's iterate_generic.

#include "AE_Effect.h"
#include "filter/filter_base.h"

namespace Nerevo {

// Runs band i of n of the record's filter T. Thread 0 first asks the host
// whether the user has cancelled and, if so, returns the host's answer
// without processing its band.
template <typename T>
PF_Err iterate_generic_func(void* refcon, A_long thread_index, A_long i, A_long iterations) {
    const auto& record = *static_cast<const Filter::IterationRecord<T>*>(refcon);
    if (thread_index == 0 && record.checkAbort) {
        if (const PF_Err err = record.in_data->inter.abort(record.in_data->effect_ref)) {
            return err;
        }
    }
    return record.filter->filter(i, iterations);
}

}  // namespace Nerevo
