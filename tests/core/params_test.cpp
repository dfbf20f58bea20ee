// The parameter rows registered with the host, and their values read back by checkout and from a command.

#include <gtest/gtest.h>

#include <cstring>

#include "AE_EffectCB.h"
#include "Params.h"

namespace {

int g_added;
PF_ParamDef g_last;

PF_Err addParam(PF_ProgPtr, PF_ParamIndex, PF_ParamDefPtr def) {
    ++g_added;
    g_last = *def;
    return PF_Err_NONE;
}

struct AddParameter : ::testing::Test {
    PF_InData in{};
    PF_UtilCallbacks utils{};
    ParameterDef row{};
    PF_ParamDef def{};

    void SetUp() override {
        utils.ansi.strcpy = [](A_char* dst, const A_char* src) { return std::strcpy(dst, src); };
        in.utils = &utils;
        in.inter.add_param = addParam;
        g_added = 0;
        std::strcpy(row.name, "Row");
        row.index = 3;
    }
};

TEST_F(AddParameter, APointDefaultRegistersItsWholePixelsAndAnUnknownTypeNothing) {
    for (const int32_t type : {0, 9, -1}) {
        row.type = type;
        EXPECT_EQ(Nerevo::Plugin::addParameter(&in, def, row, {}), PF_Err_UNRECOGNIZED_PARAM_TYPE) << type;
    }
    EXPECT_EQ(g_added, 0);
    row.type = Nerevo::Plugin::paramPoint;
    row.dflt.point[0] = 50.7;
    row.dflt.point[1] = -2.5;
    ASSERT_EQ(Nerevo::Plugin::addParameter(&in, def, row, {}), PF_Err_NONE);
    ASSERT_EQ(g_added, 1);
    EXPECT_TRUE(g_last.param_type == PF_Param_POINT && g_last.uu.id == 3);
    EXPECT_TRUE(g_last.u.td.x_dephault == 50 * 65536 && g_last.u.td.y_dephault == -2 * 65536);
    EXPECT_STREQ(g_last.name, "Row");
}

int g_calls;

PF_Err checkout(PF_ProgPtr, PF_ParamIndex index, A_long, A_long, A_u_long, PF_ParamDef* def) {
    ++g_calls;
    switch (index) {
        case Param::Type: def->u.pd.value = 2; break;
        case Param::BlurAmount: def->u.fs_d.value = 80.5; break;
        case Param::Center:
            def->u.td.x_value = -32768;   // -0.5
            def->u.td.y_value = 6569984;  // 100.25
            break;
        case Param::Direction: def->u.ad.value = 90 << 16; break;
        case Param::VignettingColor: def->u.cd.value = PF_Pixel{0, 255, 128, 0}; break;
        case Param::RepeatEdgePixels: def->u.bd.value = 7; break;
        default: break;
    }
    return PF_Err_NONE;
}

TEST(CheckoutParams, ConvertsEachKind) {
    PF_InData in{};
    in.inter.checkout_param = checkout;
    ParameterUnionValue values[PARAM_COUNT];
    ASSERT_EQ(Nerevo::Plugin::checkoutParams(&in, PARAM_DEFS, PARAM_COUNT, values), PF_Err_NONE);
    EXPECT_EQ(g_calls, PARAM_COUNT);
    const auto at = [&](int index) -> const ParameterUnionValue& { return paramAt(values, index); };
    EXPECT_TRUE(at(Param::Type).i == 2 && at(Param::BlurAmount).d == 80.5 && at(Param::Direction).d == 90.0);
    EXPECT_TRUE(at(Param::Center).point[0] == -0.5 && at(Param::Center).point[1] == 100.25);
    const float* color = at(Param::VignettingColor).color;
    EXPECT_TRUE(color[0] == 1.0f && color[1] == 128 / 255.0f && color[2] == 0.0f);
    EXPECT_TRUE(at(Param::RepeatEdgePixels).b);
}

TEST(CopyParams, ReadsTheCommandsParameterArray) {
    PF_ParamDef defs[PARAM_COUNT_WITH_INPUT]{};
    PF_ParamDef* params[PARAM_COUNT_WITH_INPUT];
    for (int i = 0; i < PARAM_COUNT_WITH_INPUT; ++i) {
        params[i] = &defs[i];
    }
    defs[Param::Weight].u.fs_d.value = 4.25;
    defs[Param::GrowBounds].u.bd.value = 0;
    defs[Param::Direction].u.ad.value = -(45 << 16);
    ParameterValue out[PARAM_COUNT];
    ASSERT_EQ(Nerevo::Plugin::copyParams(params, PARAM_DEFS, PARAM_COUNT, out), PF_Err_NONE);
    const ParameterValue& weight = paramAt(out, Param::Weight);
    EXPECT_TRUE(weight.index == Param::Weight && weight.type == Nerevo::Plugin::paramFloat && weight.value.d == 4.25);
    EXPECT_FALSE(paramAt(out, Param::GrowBounds).value.b);
    EXPECT_EQ(paramAt(out, Param::Direction).value.d, -45.0);
}

}  // namespace
