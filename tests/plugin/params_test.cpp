// Parameter registration as the host records it: the ids and popup items a
// saved project refers to, and a registration that fails part-way.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "host/host.h"
#include "plugin/plugin.h"
#include "plugin_path.h"

namespace {

using Nerevo::Plugin::PluginInfo;

const PluginInfo& exportedInfo(host::Host& host) {
    const auto* info = static_cast<const PluginInfo*>(host.symbol("PluginInfo"));
    EXPECT_NE(info, nullptr);
    return *info;
}

// A project stores each value under the parameter's id and a popup's value
// as the item's number: both must stay what the exported table says.
TEST(Params, EveryRowAfterTheInputWithItsIdTypeAndItemsCollapsed) {
    host::Host host(test::pluginPath());
    ASSERT_EQ(host.globalSetup(), 0);
    ASSERT_EQ(host.paramsSetup(), 0);
    const PluginInfo& info = exportedInfo(host);
    EXPECT_EQ(host.outData().num_params, info.paramCount + 1);
    ASSERT_EQ(host.params().size(), static_cast<std::size_t>(info.paramCount + 1));
    const std::map<int32_t, PF_ParamType> hostType = {
        {Nerevo::Plugin::paramCheckbox, PF_Param_CHECKBOX}, {Nerevo::Plugin::paramPopup, PF_Param_POPUP},
        {Nerevo::Plugin::paramFloat, PF_Param_FLOAT_SLIDER}, {Nerevo::Plugin::paramAngle, PF_Param_ANGLE},
        {Nerevo::Plugin::paramPoint, PF_Param_POINT},        {Nerevo::Plugin::paramColor, PF_Param_COLOR}};
    for (int i = 1; i <= info.paramCount; ++i) {
        const host::ParamRecord& p = host.params()[static_cast<std::size_t>(i)];
        const Nerevo::Plugin::ParameterDef& row = info.paramDefs[i - 1];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.index, i);
        EXPECT_EQ(p.name, row.name);
        EXPECT_EQ(p.registered.uu.id, static_cast<A_long>(i));
        EXPECT_EQ(p.registered.param_type, hostType.at(row.type));
        EXPECT_EQ(std::make_pair(p.registered.flags, p.registered.ui_flags),
                  std::make_pair(A_long{PF_ParamFlag_START_COLLAPSED}, A_long{0}));
        if (row.type == Nerevo::Plugin::paramPopup) {
            EXPECT_EQ(p.registered.u.pd.num_choices, static_cast<A_short>(p.popupItems.size()));
            EXPECT_EQ(row.validMax.i, static_cast<int32_t>(p.popupItems.size()));
        }
    }
    EXPECT_EQ(host.param(1).popupItems, (std::vector<std::string>{"Radial", "Linear"}));
    EXPECT_EQ(host.param(9).popupItems, (std::vector<std::string>{"Power", "Focus Distance"}));
    const host::ParamRecord& mode = host.param(15);  // separators take a number too
    ASSERT_EQ(mode.popupItems.size(), 20u);
    EXPECT_EQ(std::make_tuple(mode.registered.u.pd.dephault, mode.popupItems[3], mode.popupItems[8], mode.popupItems[19]),
              std::make_tuple(A_short{4}, "Multiply", "(-", "Luminosity"));
    ASSERT_TRUE(host.customUIRegistered());
    EXPECT_EQ(host.customUI().events, PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER);
    EXPECT_TRUE(host.problems().empty());
}

// The host keeps what was added before the failure, and a new setup starts afresh.
TEST(Params, FailingAddParamStopsRegistrationButStillReportsEveryParameter) {
    host::Host host(test::pluginPath());
    host.log().setRecording(true);
    ASSERT_EQ(host.globalSetup(), 0);
    host.faults().failCall("add_param", 15, PF_Err_OUT_OF_MEMORY);  // "Blending Mode"
    EXPECT_EQ(host.paramsSetup(), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(host.log().count("add_param"), 15u);
    EXPECT_EQ(host.params().size(), 15u);
    EXPECT_FALSE(host.customUIRegistered());
    const int count = exportedInfo(host).paramCount + 1;
    EXPECT_EQ(host.outData().num_params, count);
    ASSERT_EQ(host.paramsSetup(), PF_Err_NONE);
    EXPECT_EQ(host.params().size(), static_cast<std::size_t>(count));
}

}  // namespace
