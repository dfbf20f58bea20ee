// Parameter registration as the host records it.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "host/host.h"
#include "plugin/plugin.h"
#include "plugin_path.h"

namespace {

struct ConfiguredHost {
    host::Host host{test::pluginPath()};
    PF_Err err = 0;
    ConfiguredHost() {
        EXPECT_EQ(host.globalSetup(), 0);
        err = host.paramsSetup();
    }
};

const PF_ParamDef& registered(host::Host& host, const char* name) {
    return host.param(host.paramIndex(name)).registered;
}

const Nerevo::Plugin::PluginInfo* exportedInfo(host::Host& host) {
    return static_cast<const Nerevo::Plugin::PluginInfo*>(host.symbol("PluginInfo"));
}

// A host that reads the exported table sees what the effect registered,
// after the input layer.
TEST(Params, EveryRowAfterTheInputAsTheExportedTableDescribesItCollapsed) {
    ConfiguredHost s;
    ASSERT_EQ(s.err, 0);
    const Nerevo::Plugin::PluginInfo* exported = exportedInfo(s.host);
    ASSERT_NE(exported, nullptr);
    const Nerevo::Plugin::PluginInfo& info = *exported;
    EXPECT_EQ(s.host.outData().num_params, info.paramCount + 1);
    ASSERT_EQ(s.host.params().size(), static_cast<std::size_t>(info.paramCount + 1));
    const std::map<int32_t, PF_ParamType> hostType = {
        {Nerevo::Plugin::paramCheckbox, PF_Param_CHECKBOX}, {Nerevo::Plugin::paramPopup, PF_Param_POPUP},
        {Nerevo::Plugin::paramFloat, PF_Param_FLOAT_SLIDER}, {Nerevo::Plugin::paramAngle, PF_Param_ANGLE},
        {Nerevo::Plugin::paramPoint, PF_Param_POINT},        {Nerevo::Plugin::paramColor, PF_Param_COLOR}};
    for (int i = 1; i <= info.paramCount; ++i) {
        const host::ParamRecord& p = s.host.params()[static_cast<std::size_t>(i)];
        const Nerevo::Plugin::ParameterDef& row = info.paramDefs[i - 1];
        EXPECT_EQ(p.index, i);
        EXPECT_EQ(row.index, i);
        EXPECT_EQ(p.name, row.name);
        EXPECT_EQ(p.registered.uu.id, static_cast<A_long>(i)) << row.name;
        EXPECT_EQ(p.registered.param_type, hostType.at(row.type)) << row.name;
        EXPECT_EQ(p.registered.flags, PF_ParamFlag_START_COLLAPSED) << row.name;
        EXPECT_EQ(p.registered.ui_flags, 0) << row.name;
        if (row.type == Nerevo::Plugin::paramPopup) {
            // The count the host shows, the items it lists and the table's range agree.
            EXPECT_EQ(p.registered.u.pd.num_choices, static_cast<A_short>(p.popupItems.size())) << row.name;
            EXPECT_EQ(row.validMax.i, static_cast<int32_t>(p.popupItems.size())) << row.name;
        }
    }
    ASSERT_TRUE(s.host.customUIRegistered());
    EXPECT_EQ(s.host.customUI().events, PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER);
    EXPECT_TRUE(s.host.problems().empty());
}

TEST(Params, PopupsCarryTheirItemsSeparatorsIncluded) {
    ConfiguredHost s;
    const host::ParamRecord& type = s.host.param(1);
    EXPECT_EQ(type.registered.param_type, PF_Param_POPUP);
    EXPECT_EQ(type.popupItems, (std::vector<std::string>{"Radial", "Linear"}));
    EXPECT_EQ(type.registered.u.pd.value, 1);

    const host::ParamRecord& mode = s.host.param(15);
    ASSERT_EQ(mode.popupItems.size(), 20u);
    EXPECT_EQ(mode.registered.u.pd.num_choices, 20);
    EXPECT_EQ(mode.registered.u.pd.dephault, 4);
    EXPECT_EQ(mode.popupItems[3], "Multiply");
    EXPECT_EQ(mode.popupItems[8], "(-");
    EXPECT_EQ(mode.popupItems[19], "Luminosity");

    EXPECT_EQ(s.host.param(9).popupItems, (std::vector<std::string>{"Power", "Focus Distance"}));
}

TEST(Params, FloatSlidersHaveDefaultsRangesAndPrecision) {
    ConfiguredHost s;
    struct Expect {
        const char* name;
        double dflt, vmin, vmax, smin, smax;
        int precision;
    };
    const Expect rows[] = {
        {"Blur Amount", 50, 0, 5000, 0, 100, 1},        {"Blur Offset", 0, 0, 5000, 0, 100, 1},
        {"Weight", 3, 0, 5, 0, 5, 2},                   {"Ratio", 1, 0.0001, 100, 0.2, 5, 2},
        {"Inner Width", 100, 0, 100000, 0, 200, 1},     {"Power", 2, 0.1, 5, 0.1, 3, 2},
        {"Focus Distance", 1000, 1, 1000000, 500, 2000, 1}, {"Chromatic Aberration", 0, 0, 100, 0, 10, 1},
        {"Vignetting", 0, 0, 10000, 0, 100, 1},
    };
    for (const Expect& e : rows) {
        const PF_FloatSliderDef& fs = registered(s.host, e.name).u.fs_d;
        EXPECT_EQ(registered(s.host, e.name).param_type, PF_Param_FLOAT_SLIDER) << e.name;
        EXPECT_EQ(fs.value, e.dflt) << e.name;
        EXPECT_EQ(fs.dephault, static_cast<float>(e.dflt)) << e.name;
        EXPECT_EQ(fs.valid_min, static_cast<float>(e.vmin)) << e.name;
        EXPECT_EQ(fs.valid_max, static_cast<float>(e.vmax)) << e.name;
        EXPECT_EQ(fs.slider_min, static_cast<float>(e.smin)) << e.name;
        EXPECT_EQ(fs.slider_max, static_cast<float>(e.smax)) << e.name;
        EXPECT_EQ(fs.precision, e.precision) << e.name;
        EXPECT_EQ(fs.display_flags, std::string(e.name) == "Vignetting" ? PF_ValueDisplayFlag_PERCENT : 0)
            << e.name;
    }
}

TEST(Params, PointAngleColourAndCheckboxDefaults) {
    ConfiguredHost s;
    const PF_PointDef& center = registered(s.host, "Center").u.td;
    EXPECT_EQ(center.x_dephault, 50 << 16);
    EXPECT_EQ(center.y_value, 50 << 16);
    EXPECT_FALSE(center.restrict_bounds);

    EXPECT_EQ(registered(s.host, "Direction").u.ad.value, 0);
    EXPECT_EQ(registered(s.host, "Direction").param_type, PF_Param_ANGLE);

    const PF_Pixel black = registered(s.host, "Vignetting Color").u.cd.dephault;
    EXPECT_EQ(black.alpha, 255);
    EXPECT_EQ(black.red + black.green + black.blue, 0);

    for (const char* name : {"Repeat Edge Pixels", "Grow Bounds"}) {
        const PF_ParamDef& cb = registered(s.host, name);
        EXPECT_EQ(cb.param_type, PF_Param_CHECKBOX);
        EXPECT_EQ(cb.u.bd.value, 1) << name;
        EXPECT_EQ(s.host.param(cb.uu.id).checkboxLabel, "") << name;
    }
}

TEST(Params, FailingAddParamStopsRegistrationButStillReportsEveryParameter) {
    host::Host host(test::pluginPath());
    host.log().setRecording(true);
    ASSERT_EQ(host.globalSetup(), 0);
    // "Blending Mode" is the fifteenth parameter the plug-in adds.
    host.faults().failCall("add_param", 15, PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(host.paramsSetup(), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(host.log().count("add_param"), 15u);
    EXPECT_EQ(host.log().count("register_ui"), 0u);
    EXPECT_FALSE(host.customUIRegistered());
    ASSERT_NE(exportedInfo(host), nullptr);
    EXPECT_EQ(host.outData().num_params, exportedInfo(host)->paramCount + 1);
}

}  // namespace
