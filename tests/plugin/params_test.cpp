// Parameter registration as the host records it.

#include <gtest/gtest.h>

#include <cmath>
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

TEST(Params, EighteenParametersInTableOrderCollapsed) {
    ConfiguredHost s;
    ASSERT_EQ(s.err, 0);
    EXPECT_EQ(s.host.outData().num_params, 18);
    const std::vector<std::string> names = {
        "Type", "Blur Amount", "Blur Offset", "Weight", "Center", "Direction", "Ratio", "Inner Width",
        "Linear Mode", "Power", "Focus Distance", "Chromatic Aberration", "Vignetting", "Vignetting Color",
        "Blending Mode", "Repeat Edge Pixels", "Grow Bounds"};
    ASSERT_EQ(s.host.params().size(), 18u);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const host::ParamRecord& p = s.host.params()[i + 1];
        EXPECT_EQ(p.index, static_cast<int>(i + 1));
        EXPECT_EQ(p.name, names[i]);
        EXPECT_EQ(p.registered.uu.id, static_cast<A_long>(i + 1)) << names[i];
        EXPECT_EQ(p.registered.flags, PF_ParamFlag_START_COLLAPSED) << names[i];
        EXPECT_EQ(p.registered.ui_flags, 0) << names[i];
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

TEST(Params, FailingAddParamStopsRegistrationButStillReportsEighteen) {
    host::Host host(test::pluginPath());
    host.log().setRecording(true);
    ASSERT_EQ(host.globalSetup(), 0);
    // "Blending Mode" is the fifteenth parameter the plug-in adds.
    host.faults().failCall("add_param", 15, PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(host.paramsSetup(), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(host.log().count("add_param"), 15u);
    EXPECT_EQ(host.log().count("register_ui"), 0u);
    EXPECT_FALSE(host.customUIRegistered());
    EXPECT_EQ(host.outData().num_params, 18);
}

TEST(Params, PluginInfoDescribesTheTable) {
    host::Host host(test::pluginPath());
    const auto* info = static_cast<const Nerevo::Plugin::PluginInfo*>(host.symbol("PluginInfo"));
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->paramCount, 17);
    EXPECT_STREQ(info->paramDefs[0].name, "Type");
    EXPECT_EQ(info->paramDefs[16].index, 17);
    EXPECT_EQ(info->paramDefs[14].validMax.i, 20);
}

}  // namespace
