// The rules the parameter table states beside its rows: which parameters are
// greyed out, how a row registers. (How popup items become blend modes is
// the blend tests'.)

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "AE_EffectCB.h"
#include "Params.h"

namespace {

// Whatever was greyed out before, each combination leaves exactly the
// parameters it makes meaningless greyed, and no rule contradicts another.
TEST(GrayOutRules, EachTypeAndLinearModeGreysWhatItMakesMeaningless) {
    const std::set<int> controlled = {Param::Ratio, Param::LinearMode, Param::Power, Param::FocusDistance};
    struct Case {
        int type, linearMode;
        std::set<int> greyed;
    };
    const Case cases[] = {
        {typeRadial, linearPower, {Param::LinearMode, Param::FocusDistance}},
        {typeRadial, linearFocusDistance, {Param::LinearMode, Param::FocusDistance}},
        {typeLinear, linearPower, {Param::Ratio, Param::FocusDistance}},
        {typeLinear, linearFocusDistance, {Param::Ratio, Param::Power}},
    };
    for (const Case& c : cases) {
        for (const bool greyedBefore : {false, true}) {
            std::map<int, bool> gray;
            for (const int index : controlled) {
                gray[index] = greyedBefore;
            }
            std::set<int> set;
            for (const GrayOutRule& rule : GRAY_OUT_RULES) {
                if (rule.appliesTo(c.type, c.linearMode)) {
                    EXPECT_TRUE(set.insert(rule.index).second) << "parameter " << rule.index << " set twice";
                    gray[rule.index] = rule.gray;
                }
            }
            std::set<int> greyed;
            for (const auto& entry : gray) {
                if (entry.second) {
                    greyed.insert(entry.first);
                }
            }
            EXPECT_EQ(greyed, c.greyed) << "type " << c.type << ", mode " << c.linearMode << ", before "
                                        << greyedBefore;
        }
    }
}

TEST(GrayOutRules, AnUnknownTypeChangesNothing) {
    for (const int type : {0, 3, -1}) {
        for (const int mode : {0, 1, 2}) {
            for (const GrayOutRule& rule : GRAY_OUT_RULES) {
                EXPECT_FALSE(rule.appliesTo(type, mode)) << "type " << type << ", mode " << mode;
            }
        }
    }
}

TEST(PopupItemCount, CountsSeparatorsAsItems) {
    const struct {
        const char* items;
        int count;
    } cases[] = {{"Radial|Linear", 2}, {"Normal|(-|Add", 3}, {"Only", 1}, {nullptr, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(Nerevo::Plugin::popupItemCount(c.items), c.count) << (c.items ? c.items : "null");
    }
}

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
    EXPECT_EQ(g_last.param_type, PF_Param_POINT);
    EXPECT_EQ(g_last.u.td.x_dephault, 50 * 65536);
    EXPECT_EQ(g_last.u.td.y_dephault, -2 * 65536);
    EXPECT_EQ(g_last.uu.id, 3);
    EXPECT_STREQ(g_last.name, "Row");
}

}  // namespace
