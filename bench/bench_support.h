#pragma once
// What both benchmark programs share: the built plug-in module, a textured
// layer at every depth, and a stop for a benchmark whose run went wrong.

#include <benchmark/benchmark.h>

#include <string>
#include <type_traits>

#include "AE_Effect.h"
#include "scene/footage.h"
#include "host/host.h"
#include "host/image.h"

namespace bench {

// The module the build made beside the benchmarks; see CMakeLists.txt.
inline const char* pluginPath() {
    return NEREVO_PLUGIN_MODULE;
}

using footage::paint;


// Ends the benchmark with the error or the host's first complaint, if any;
// whether it went well.
inline bool wentWell(benchmark::State& state, PF_Err err, const host::Host& h) {
    if (err != PF_Err_NONE) {
        state.SkipWithError(("the effect returned error " + std::to_string(err)).c_str());
        return false;
    }
    if (!h.problems().empty()) {
        state.SkipWithError(h.problems().front().c_str());
        return false;
    }
    return true;
}

}  // namespace bench
