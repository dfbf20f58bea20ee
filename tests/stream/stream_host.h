#pragma once
// A command host whose tests reach the streams of the effect the command
// goes to, and of its layer.

#include <functional>
#include <string>

#include "command_host.h"

namespace test {

class StreamHost : public CommandHost {
protected:
    using Body = std::function<void(PF_InData&, AEGP_SuiteHandler&, AEGP_EffectRefH, AEGP_LayerH)>;

    // Runs body with references to the command's effect and its layer; the
    // effect reference is given back afterwards.
    void withEffect(const Body& body) {
        run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
            AEGP_EffectRefH effect = nullptr;
            AEGP_LayerH layer = nullptr;
            ASSERT_EQ(suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(pluginId, in.effect_ref, &effect),
                      A_Err_NONE);
            ASSERT_EQ(suites.PFInterfaceSuite1()->AEGP_GetEffectLayer(in.effect_ref, &layer), A_Err_NONE);
            body(in, suites, effect, layer);
            suites.EffectSuite3()->AEGP_DisposeEffect(effect);
        });
    }

    host::StreamState& stream(const char* name) { return target().stream(index(name)); }

    // Every reference, value record and keyframe batch was given back.
    void expectAllGivenBack() {
        EXPECT_TRUE(host.problems().empty()) << host.problems().front();
    }
};

// Frames at the host's 24 frames per second.
inline A_Time frame(A_long n) {
    return A_Time{n, 24};
}

}  // namespace test
