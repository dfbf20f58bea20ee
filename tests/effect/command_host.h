#pragma once
// A host with the plug-in set up that runs library code as the plug-in serving a command.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "AEGP_SuiteHandler.h"
#include "host/host.h"
#include "host/project.h"
#include "plugin_path.h"

namespace test {

class CommandHost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(host.globalSetup(), PF_Err_NONE);
        ASSERT_EQ(host.paramsSetup(), PF_Err_NONE);
        ASSERT_EQ(host.registeredPlugins().size(), 1u);
        host.log().setRecording(true);
    }

    // The suite handler goes before the end-of-command check, as in a command.
    void run(const std::function<void(PF_InData&, PF_OutData&, AEGP_SuiteHandler&)>& body) {
        host.withCommandData([&](PF_InData& in, PF_OutData& out) {
            AEGP_SuiteHandler suites(in.pica_basicP);
            body(in, out, suites);
        });
    }
    void run(const std::function<void(PF_InData&, AEGP_SuiteHandler&)>& body) {
        run([&](PF_InData& in, PF_OutData&, AEGP_SuiteHandler& suites) { body(in, suites); });
    }

    // The calls of the suites' operations, without acquiring and releasing them.
    std::vector<std::string> operations() {
        std::vector<std::string> names = host.log().names();
        const auto suite = [](const std::string& name) { return name == "AcquireSuite" || name == "ReleaseSuite"; };
        names.erase(std::remove_if(names.begin(), names.end(), suite), names.end());
        return names;
    }

    // The arguments of the first (or the last) logged call of `name`, or "" when none.
    std::string argsOf(const std::string& name, bool last = false) {
        std::vector<std::string> found;
        for (const host::Call& call : host.log().calls()) {
            if (call.name == name) {
                found.push_back(call.args);
            }
        }
        return found.empty() ? "" : last ? found.back() : found.front();
    }

    // The effect reference is given back afterwards.
    void withEffect(const std::function<void(PF_InData&, AEGP_SuiteHandler&, AEGP_EffectRefH, AEGP_LayerH)>& body) {
        run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
            AEGP_EffectRefH effect = nullptr;
            ASSERT_EQ(suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(pluginId, in.effect_ref, &effect),
                      A_Err_NONE);
            body(in, suites, effect, layerOf(in, suites));
            suites.EffectSuite3()->AEGP_DisposeEffect(effect);
        });
    }

    AEGP_LayerH layerOf(PF_InData& in, AEGP_SuiteHandler& suites) {
        AEGP_LayerH layer = nullptr;
        EXPECT_EQ(suites.PFInterfaceSuite1()->AEGP_GetEffectLayer(in.effect_ref, &layer), A_Err_NONE);
        return layer;
    }

    // Every reference, value record and keyframe batch was given back.
    void expectAllGivenBack() { EXPECT_TRUE(host.problems().empty()) << host.problems().front(); }

    int index(const std::string& name) const { return host.paramIndex(name); }
    PF_ParamDef& def(const std::string& name) { return host.param(index(name)).current; }
    void set(const std::string& name, double value) { def(name).u.fs_d.value = value; }
    double get(const std::string& name) { return def(name).u.fs_d.value; }
    void setPopup(const std::string& name, int item) { def(name).u.pd.value = item; }
    host::Effect& target() { return host.project().target(); }
    host::StreamState& stream(const std::string& name) { return target().stream(index(name)); }

    const int pluginId = 1;  // the first and only registration
    host::Host host{pluginPath()};
};

// Frames at the host's 24 frames per second.
inline A_Time frame(A_long n) {
    return A_Time{n, 24};
}

}  // namespace test
