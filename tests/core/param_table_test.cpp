// How a row of the parameter table registers. (Which rows are greyed out is
// the user-interface update's test; how popup items become blend modes the
// blend tests'.)

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

A_char* copyName(A_char* dst, const A_char* src) {
    return std::strcpy(dst, src);
}

struct AddParameter : ::testing::Test {
    PF_InData in{};
    PF_UtilCallbacks utils{};
    ParameterDef row{};
    PF_ParamDef def{};

    void SetUp() override {
        utils.ansi.strcpy = copyName;
        in.utils = &utils;
        in.inter.add_param = addParam;
        g_added = 0;
        std::strcpy(row.name, "Row");
        row.index = 3;
    }
};

TEST_F(AddParameter, ATypeWithoutARegistrationAddsNothing) {
    for (const int32_t type : {0, 9, -1}) {
        row.type = type;
        EXPECT_EQ(Nerevo::Plugin::addParameter(&in, def, row, {}), PF_Err_UNRECOGNIZED_PARAM_TYPE) << type;
    }
    EXPECT_EQ(g_added, 0);
}

TEST_F(AddParameter, APointDefaultRegistersItsWholePixels) {
    row.type = Nerevo::Plugin::paramPoint;
    row.dflt.point[0] = 50.7;
    row.dflt.point[1] = -2.5;
    ASSERT_EQ(Nerevo::Plugin::addParameter(&in, def, row, {}), PF_Err_NONE);
    ASSERT_EQ(g_added, 1);
    EXPECT_TRUE(g_last.param_type == PF_Param_POINT && g_last.uu.id == 3);
    EXPECT_TRUE(g_last.u.td.x_dephault == 50 * 65536 && g_last.u.td.y_dephault == -2 * 65536);
    EXPECT_STREQ(g_last.name, "Row");
}

}  // namespace
