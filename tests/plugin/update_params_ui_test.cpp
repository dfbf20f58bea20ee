// Greying parameters in and out by "Type" and "Linear Mode", as the application sends the update.

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "command_host.h"

namespace {

constexpr int kRadial = 1, kLinear = 2, kModePower = 1, kModeFocusDistance = 2;  // items of "Type", "Linear Mode"

using Update = std::pair<int, bool>;  // parameter index, greyed out

class UpdateParamsUI : public test::CommandHost {
protected:
    PF_Err update(int type, int linearMode) {
        setPopup("Type", type);
        setPopup("Linear Mode", linearMode);
        host.log().clear();
        return host.send(PF_Cmd_UPDATE_PARAMS_UI);
    }

    std::vector<Update> updates() {  // of the last command, in order
        std::vector<Update> result;
        for (const host::Call& call : host.log().calls()) {
            int index = 0, flags = 0;
            if (call.name == "PF_UpdateParamUI" &&
                std::sscanf(call.args.c_str(), "index=%d ui_flags=%d", &index, &flags) == 2) {
                result.emplace_back(index, (flags & PF_PUI_DISABLED) != 0);
            }
        }
        return result;
    }

    bool refreshed() const { return (host.outData().out_flags & PF_OutFlag_REFRESH_UI) != 0; }
};

TEST_F(UpdateParamsUI, GreysWhatTypeAndLinearModeMakeMeaningless) {
    const int ratio = index("Ratio"), linearMode = index("Linear Mode"), power = index("Power"),
              focus = index("Focus Distance");
    const struct {
        int type, mode;
        std::vector<Update> updates;
    } cases[] = {
        {kRadial, kModePower, {{ratio, false}, {linearMode, true}, {power, false}, {focus, true}}},
        {kRadial, 3, {{ratio, false}, {linearMode, true}, {power, false}, {focus, true}}},
        {kLinear, kModePower, {{ratio, true}, {linearMode, false}, {power, false}, {focus, true}}},
        {kLinear, kModeFocusDistance, {{ratio, true}, {linearMode, false}, {power, true}, {focus, false}}},
        // A mode or type outside the lists leaves the rest as it was.
        {kLinear, 3, {{ratio, true}, {linearMode, false}}},
        {3, kModePower, {}},
        {0, kModeFocusDistance, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "type " << c.type << ", mode " << c.mode);
        ASSERT_EQ(update(c.type, c.mode), PF_Err_NONE);
        EXPECT_EQ(updates(), c.updates);
        EXPECT_TRUE(refreshed());
        EXPECT_EQ(host.log().count("AEGP_DisposeEffect"), 1u);
        EXPECT_EQ(argsOf("AEGP_GetNewEffectForEffect"), "plugin=1");
        EXPECT_TRUE(host.problems().empty()) << host.problems().front();
    }
}

TEST_F(UpdateParamsUI, FailuresStopTheSequenceAndStillGiveTheEffectBack) {
    for (int k = 1; k <= 4; ++k) {
        host.faults().failCall("PF_UpdateParamUI", k, PF_Err_OUT_OF_MEMORY);
        EXPECT_EQ(update(kRadial, kModePower), PF_Err_OUT_OF_MEMORY) << k;
        EXPECT_EQ(updates().size(), static_cast<std::size_t>(k));
        EXPECT_EQ(host.log().count("AEGP_DisposeEffect"), 1u) << k;
        EXPECT_TRUE(refreshed()) << k;
        EXPECT_TRUE(host.problems().empty()) << k << ": " << host.problems().front();
    }
    host.faults().failCall("AEGP_DisposeEffect", 1, PF_Err_INVALID_INDEX);
    EXPECT_EQ(update(kRadial, kModePower), PF_Err_INVALID_INDEX);
    EXPECT_EQ(updates().size(), 4u);
    host.faults().failCall("PF_UpdateParamUI", 2, PF_Err_OUT_OF_MEMORY);
    host.faults().failCall("AEGP_DisposeEffect", 1, PF_Err_INVALID_INDEX);
    EXPECT_EQ(update(kRadial, kModePower), PF_Err_OUT_OF_MEMORY);

    host.faults().makeUnavailable("PF Param Utils Suite");
    EXPECT_EQ(update(kLinear, kModePower), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_TRUE(updates().empty());
    EXPECT_EQ(host.log().count("AEGP_DisposeEffect"), 1u);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();

    host.faults().failCall("AEGP_GetNewEffectForEffect", 1, PF_Err_INVALID_INDEX);
    EXPECT_EQ(update(kLinear, kModeFocusDistance), PF_Err_INVALID_INDEX);
    EXPECT_TRUE(updates().empty());
    EXPECT_EQ(host.log().count("AEGP_DisposeEffect"), 0u);
}

TEST_F(UpdateParamsUI, UserChangedParamOnlyLooksUpLayerAndComposition) {
    PF_UserChangedParamExtra extra{index("Type")};
    host.log().clear();
    ASSERT_EQ(host.send(PF_Cmd_USER_CHANGED_PARAM, &extra), PF_Err_NONE);
    EXPECT_EQ(operations(), (std::vector<std::string>{"AEGP_GetEffectLayer", "AEGP_GetLayerParentComp"}));
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
    host.faults().failCall("AEGP_GetEffectLayer", 1, PF_Err_INVALID_INDEX);
    host.log().clear();
    EXPECT_EQ(host.send(PF_Cmd_USER_CHANGED_PARAM, &extra), PF_Err_INVALID_INDEX);
    EXPECT_EQ(host.log().count("AEGP_GetLayerParentComp"), 0u);
}

}  // namespace
