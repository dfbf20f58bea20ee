#pragma once
// The effect set up in the headless host, parameter setters by name, and smart-render callbacks a test answers.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "scene/footage.h"
#include "pixel_types.h"
#include "Params.h"
#include "host/host.h"
#include "host/image.h"
#include "host/project.h"
#include "plugin_path.h"

namespace test {

using footage::paint;

inline std::vector<ParameterValue> defaultValues() {
    std::vector<ParameterValue> values;
    for (const ParameterDef& row : PARAM_DEFS) {
        values.push_back(ParameterValue{row.index, row.type, row.dflt});
    }
    return values;
}

// A rectangle as a value that compares and prints whole.
using Box = std::array<A_long, 4>;
inline Box box(const PF_LRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// Smart-render callbacks answering what a test sets; commands run one at a time, so one record serves.
struct FakeSmartRender {
    PF_CheckoutResult checkoutAnswer{};
    PF_Err checkoutErr = PF_Err_NONE;
    std::vector<PF_RenderRequest> requests;  // checkout_layer, in order
    PF_EffectWorld* input = nullptr;
    PF_EffectWorld* output = nullptr;
    PF_Err outputErr = PF_Err_NONE;
};

inline FakeSmartRender& fake() {
    static FakeSmartRender record;
    return record;
}

inline PF_Err fakeCheckoutLayer(PF_ProgPtr, PF_ParamIndex, A_long, const PF_RenderRequest* request, A_long, A_long,
                                A_u_long, PF_CheckoutResult* result) {
    fake().requests.push_back(*request);
    *result = fake().checkoutAnswer;
    return fake().checkoutErr;
}

inline PF_Err fakeCheckoutPixels(PF_ProgPtr, A_long, PF_EffectWorld** world) {
    *world = fake().input;
    return PF_Err_NONE;
}

inline PF_Err fakeCheckoutOutput(PF_ProgPtr, PF_EffectWorld** world) {
    *world = fake().output;
    return fake().outputErr;
}

// The extras of one pre-render and one render; never copied, as each extra points into its own call.
struct PreRenderCall {
    PF_PreRenderInput input{};
    PF_PreRenderOutput output{};
    PF_PreRenderCallbacks callbacks{fakeCheckoutLayer, nullptr};
    PF_PreRenderExtra extra{&input, &output, &callbacks};
};

struct RenderCall {
    PF_SmartRenderInput input{};
    PF_SmartRenderCallbacks callbacks{fakeCheckoutPixels, [](PF_ProgPtr, A_long) -> PF_Err { return PF_Err_NONE; },
                                       fakeCheckoutOutput};
    PF_SmartRenderExtra extra{&input, &callbacks};
};

// The effect set up on the host, whose layer is 100 × 100 pixels.
class EffectHost : public ::testing::Test {
protected:
    void SetUp() override {
        fake() = FakeSmartRender{};
        ASSERT_EQ(host.globalSetup(), PF_Err_NONE);
        ASSERT_EQ(host.paramsSetup(), PF_Err_NONE);
        host.log().setRecording(true);  // the tests read what the plug-in called
    }

    void run(const std::function<void(PF_InData&, PF_OutData&)>& body) { host.withCommandData(body); }

    PF_ParamDef& def(const std::string& name) { return host.param(host.paramIndex(name)).current; }
    void set(const std::string& name, double value) { def(name).u.fs_d.value = value; }
    void setPopup(const std::string& name, int item) { def(name).u.pd.value = item; }
    void setCheckbox(const std::string& name, bool on) { def(name).u.bd.value = on; }

    // Handles the host holds besides the global record.
    std::size_t extraHandles() const { return host.liveHandles() - 1; }
    std::string problems() const { return ::testing::PrintToString(host.problems()); }

    host::Host host{pluginPath()};
};

}  // namespace test
