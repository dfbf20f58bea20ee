// Parameter registration, the values the host holds and their checkout.

#include "fake_host.h"
#include "host/panel.h"
#include "host/project.h"

namespace {

using host::HostError;
using host::ParamRecord;
using test::FakeHost;

TEST_F(FakeHost, RecordsRegisteredParametersAfterTheInputLayerInOrder) {
    std::vector<std::pair<std::string, int>> order;
    for (const ParamRecord& param : host.params()) {
        order.emplace_back(param.name, param.index);
    }
    EXPECT_EQ(order, (std::vector<std::pair<std::string, int>>{{"Input", 0}, {"Type", 1}, {"Amount", 2}, {"Grow", 3}}));
    EXPECT_EQ(host.param(0).registered.param_type, PF_Param_LAYER);
    const ParamRecord& type = host.param(1);
    EXPECT_EQ(type.popupItems, (std::vector<std::string>{"Radial", "(-", "Linear"}));
    // The plug-in scribbled over its buffers after registering.
    EXPECT_STREQ(type.registered.u.pd.u.namesptr, "Radial|(-|Linear");
    EXPECT_STREQ(type.current.u.pd.u.namesptr, "Radial|(-|Linear");
    EXPECT_EQ(host.param(3).checkboxLabel, "Grow bounds");
    EXPECT_STREQ(host.param(3).registered.u.bd.u.nameptr, "Grow bounds");
    EXPECT_EQ(host.paramIndex("Amount"), 2);
    EXPECT_THROW(host.paramIndex("Nothing"), HostError);
    EXPECT_THROW(host.param(4), HostError);
    EXPECT_THROW(host.param(-1), HostError);
}

TEST_F(FakeHost, CheckoutHandsOutTheCurrentValueAndRejectsBadCalls) {
    host.param(2).current.u.fs_d.value = 12.5;
    run([&](PF_InData& in, PF_OutData&) {
        const auto checkout = [&](PF_ParamIndex index, PF_ProgPtr ref, PF_ParamDef& def) {
            return in.inter.checkout_param(ref, index, in.current_time, in.time_step, in.time_scale, &def);
        };
        PF_ParamDef def{};
        EXPECT_EQ(checkout(2, in.effect_ref, def), PF_Err_NONE);
        EXPECT_EQ(def.u.fs_d.value, 12.5);
        EXPECT_STREQ(def.name, "Amount");
        EXPECT_EQ(host.log().calls().back().args, "index=2 time=0 step=1 scale=24");
        EXPECT_EQ(checkout(0, in.effect_ref, def), PF_Err_NONE);
        EXPECT_EQ(def.param_type, PF_Param_LAYER);
        EXPECT_EQ(def.u.ld.data, nullptr);
        for (const PF_ParamIndex index : {-1, 4}) {
            EXPECT_EQ(checkout(index, in.effect_ref, def), PF_Err_BAD_CALLBACK_PARAM) << index;
        }
        EXPECT_EQ(checkout(1, reinterpret_cast<PF_ProgPtr>(&def), def), PF_Err_BAD_CALLBACK_PARAM) << "not the host's";
        EXPECT_EQ(in.inter.add_param(in.effect_ref, -1, &def), PF_Err_BAD_CALLBACK_PARAM) << "outside params setup";
    });
    EXPECT_EQ(host.params().size(), 4u);
}

// A value the plug-in changes in an event becomes the keyframe at the event's time; the host's
// record keeps the value the stream holds without keyframes.
TEST_F(FakeHost, EventsSeeAnimatedValuesAtTheirTime) {
    auto& fake = *static_cast<FakeCounters*>(host.symbol("FakeState"));
    fake.clickAmount = -1;
    const int amount = host.paramIndex("Amount");
    const A_long step = host.frame().timeStep;
    const A_u_long scale = host.frame().timeScale;
    host.project().target().stream(amount).setKeyframes({{A_Time{0, scale}, {10}}, {A_Time{10 * step, scale}, {30}}});
    host::Panel panel;
    panel.width = panel.height = 100;
    const auto clickAt = [&](A_long frame) {
        host.frame().currentTime = frame * step;
        return host.ui().click(panel, PF_Point{1, 1});
    };
    const std::pair<A_long, double> events[] = {{0, 10}, {5, 20}, {10, 30}, {-3, 10}, {40, 30}};
    for (const auto& [frame, seen] : events) {
        ASSERT_EQ(clickAt(frame).err, PF_Err_NONE);
        EXPECT_EQ(fake.eventAmount, seen) << "at frame " << frame;
        EXPECT_EQ(host.param(amount).current.u.fs_d.value, 50) << "at frame " << frame;
    }

    fake.clickAmount = 42;
    const host::EventResult changed = clickAt(5);
    fake.clickAmount = -1;
    EXPECT_EQ(changed.changed, std::vector<int>{amount});
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
    const std::vector<host::Keyframe>& keyframes = host.project().target().stream(amount).keyframes();
    ASSERT_EQ(keyframes.size(), 3u);
    EXPECT_EQ(keyframes[1].time.value, 5 * step);
    EXPECT_EQ(keyframes[1].value[0], 42);
    EXPECT_EQ(host.param(amount).current.u.fs_d.value, 50);
    ASSERT_EQ(clickAt(7).err, PF_Err_NONE);
    EXPECT_DOUBLE_EQ(fake.eventAmount, 42 + (30 - 42) * 2 / 5.0) << "between the new keyframe and the last";
}

}  // namespace
