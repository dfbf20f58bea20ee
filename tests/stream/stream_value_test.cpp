// Stream<T>: the constant cache, the member of the value record each type
// reads and writes, and failures on the way.

#include <cmath>

#include "stream/stream.h"
#include "stream_host.h"

namespace {

using Nerevo::Stream;
using test::frame;
using test::StreamHost;

using StreamValueTest = StreamHost;

constexpr short kLayerTime = AEGP_LTimeMode_LayerTime;

TEST_F(StreamValueTest, ConstantStreamIsFetchedOnceAtTheCommandsTime) {
    host.frame().currentTime = 12;
    current("Blur Amount").u.fs_d.value = 12.5;
    withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
        Stream<double> stream(pluginId, &in, suites);
        ASSERT_EQ(stream.init(effect, index("Blur Amount")), PF_Err_NONE);
        host.log().clear();
        double value = 0;
        ASSERT_EQ(stream.getValue(frame(40), kLayerTime, true, &value), PF_Err_NONE);
        EXPECT_EQ(value, 12.5);
        EXPECT_EQ(operations(), (std::vector<std::string>{"AEGP_IsStreamTimevarying", "AEGP_GetNewStreamValue",
                                                          "AEGP_DisposeStreamValue"}));
        const std::string fetch = argsOf("AEGP_GetNewStreamValue");
        EXPECT_NE(fetch.find("mode=0 time=12/24 pre_expression=0"), std::string::npos) << fetch;

        host.log().clear();
        for (A_Time time : {frame(0), frame(-7), A_Time{1000, 30}}) {
            value = 0;
            EXPECT_EQ(stream.getValue(time, AEGP_LTimeMode_CompTime, false, &value), PF_Err_NONE);
            EXPECT_EQ(value, 12.5);
        }
        bool constant = false;
        EXPECT_EQ(stream.isConstant(&constant), PF_Err_NONE);
        EXPECT_TRUE(constant);
        EXPECT_TRUE(operations().empty());
    });
    expectAllGivenBack();
}

TEST_F(StreamValueTest, VaryingStreamAsksTheHostAtEveryTime) {
    stream("Blur Amount").setKeyframes({{frame(0), {0}}, {frame(48), {80}}});
    withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
        Stream<double> stream(pluginId, &in, suites);
        ASSERT_EQ(stream.init(effect, index("Blur Amount")), PF_Err_NONE);
        bool constant = true;
        ASSERT_EQ(stream.isConstant(&constant), PF_Err_NONE);
        EXPECT_FALSE(constant);
        host.log().clear();
        const std::pair<A_Time, double> expected[] = {
            {frame(-24), 0}, {frame(0), 0}, {frame(12), 20}, {A_Time{1, 1}, 40}, {frame(48), 80}, {frame(96), 80}};
        for (const auto& [time, want] : expected) {
            double value = -1;
            EXPECT_EQ(stream.getValue(time, kLayerTime, false, &value), PF_Err_NONE);
            EXPECT_EQ(value, want) << time.value << "/" << time.scale;
        }
        EXPECT_EQ(host.log().count("AEGP_GetNewStreamValue"), 6u);
        EXPECT_EQ(host.log().count("AEGP_DisposeStreamValue"), 6u);
    });
    expectAllGivenBack();
}

// Truncation towards zero, then comparison with 0: floor or rounding would
// read some of these differently.
TEST_F(StreamValueTest, BoolIsTheTruncatedValueNotZero) {
    const std::pair<double, bool> cases[] = {{0.7, false}, {1.2, true}, {-0.7, false}, {-1.5, true}, {0.0, false}};
    for (const auto& [stored, want] : cases) {
        current("Blur Offset").u.fs_d.value = stored;
        withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
            bool value = !want;
            EXPECT_EQ(Nerevo::getEffectValue(pluginId, &in, suites, effect, index("Blur Offset"), frame(0), kLayerTime,
                                             false, &value),
                      PF_Err_NONE);
            EXPECT_EQ(value, want) << stored;
        });
    }
    expectAllGivenBack();
}

TEST_F(StreamValueTest, EffectValuesRoundTripThroughTheirMembers) {
    withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
        const auto set = [&](const char* name, auto value) {
            EXPECT_EQ(Nerevo::setEffectValue(pluginId, &in, suites, effect, index(name), frame(0), kLayerTime, value),
                      PF_Err_NONE)
                << name;
        };
        const auto get = [&](const char* name, auto* value) {
            EXPECT_EQ(Nerevo::getEffectValue(pluginId, &in, suites, effect, index(name), frame(0), kLayerTime, false,
                                             value),
                      PF_Err_NONE)
                << name;
        };
        set("Blur Amount", 33.25);
        set("Type", 2.0);
        set("Grow Bounds", false);
        set("Center", AEGP_TwoDVal{12.5, -3});
        set("Vignetting Color", AEGP_ColorVal{1, 1, 0.5, 0});

        double amount = 0, type = 0;
        bool grow = true;
        AEGP_TwoDVal centre{};
        AEGP_ColorVal colour{};
        get("Blur Amount", &amount);
        get("Type", &type);
        get("Grow Bounds", &grow);
        get("Center", &centre);
        get("Vignetting Color", &colour);
        EXPECT_EQ(amount, 33.25);
        EXPECT_EQ(type, 2.0);
        EXPECT_FALSE(grow);
        EXPECT_EQ(centre.x, 12.5);
        EXPECT_EQ(centre.y, -3);
        // The parameter keeps 8-bit channels.
        EXPECT_EQ(colour.alphaF, 1);
        EXPECT_EQ(colour.redF, 1);
        EXPECT_EQ(colour.greenF, 128 / 255.0);
        EXPECT_EQ(colour.blueF, 0);
    });
    // What the plug-in set is what the host's parameters hold.
    EXPECT_EQ(current("Blur Amount").u.fs_d.value, 33.25);
    EXPECT_EQ(current("Type").u.pd.value, 2);
    EXPECT_EQ(current("Grow Bounds").u.bd.value, 0);
    EXPECT_EQ(current("Center").u.td.x_value, 12 * 65536 + 32768);
    EXPECT_EQ(current("Center").u.td.y_value, -3 * 65536);
    EXPECT_EQ(current("Vignetting Color").u.cd.value.green, 128);
    expectAllGivenBack();
}

TEST_F(StreamValueTest, LayerPropertiesRoundTrip) {
    withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH, AEGP_LayerH layer) {
        EXPECT_EQ(Nerevo::setLayerStreamValue(pluginId, &in, suites, layer, host::kLayerPosition, frame(0),
                                              kLayerTime, AEGP_ThreeDVal{1.5, -2, 30}),
                  PF_Err_NONE);
        AEGP_ThreeDVal position{};
        EXPECT_EQ(Nerevo::getLayerStreamValue(pluginId, &in, suites, layer, host::kLayerPosition, frame(5), kLayerTime,
                                              false, &position),
                  PF_Err_NONE);
        EXPECT_EQ(position.x, 1.5);
        EXPECT_EQ(position.y, -2);
        EXPECT_EQ(position.z, 30);
    });
    EXPECT_EQ(target().layer().stream(host::kLayerPosition).value, (host::StreamValue{1.5, -2, 30, 0}));
    expectAllGivenBack();
}

TEST_F(StreamValueTest, FailedVarianceQueryReadsZeroUntilAskedAgain) {
    current("Blur Amount").u.fs_d.value = 12.5;
    host.faults().failCall("AEGP_IsStreamTimevarying", 1, PF_Err_OUT_OF_MEMORY);
    withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
        Stream<double> stream(pluginId, &in, suites);
        ASSERT_EQ(stream.init(effect, index("Blur Amount")), PF_Err_NONE);
        double value = -1;
        EXPECT_EQ(stream.getValue(frame(0), kLayerTime, false, &value), PF_Err_OUT_OF_MEMORY);
        EXPECT_EQ(value, 0);
        EXPECT_EQ(host.log().count("AEGP_GetNewStreamValue"), 0u);

        // Not initialised yet: the next read asks again.
        EXPECT_EQ(stream.getValue(frame(0), kLayerTime, false, &value), PF_Err_NONE);
        EXPECT_EQ(value, 12.5);
        EXPECT_EQ(host.log().count("AEGP_IsStreamTimevarying"), 2u);
    });
    expectAllGivenBack();
}

TEST_F(StreamValueTest, FailedFetchReadsZeroAndReleasesNothing) {
    current("Blur Amount").u.fs_d.value = 12.5;
    stream("Ratio").setKeyframes({{frame(0), {1}}, {frame(10), {2}}});
    // A constant stream fails while it is initialised, a varying one later.
    for (const char* name : {"Blur Amount", "Ratio"}) {
        host.faults().failCall("AEGP_GetNewStreamValue", 1, PF_Err_OUT_OF_MEMORY);
        withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
            double value = -1;
            EXPECT_EQ(Nerevo::getEffectValue(pluginId, &in, suites, effect, index(name), frame(5), kLayerTime, false,
                                             &value),
                      PF_Err_OUT_OF_MEMORY)
                << name;
            EXPECT_EQ(value, 0) << name;
        });
        EXPECT_EQ(host.log().count("AEGP_DisposeStreamValue"), 0u) << name;
        expectAllGivenBack();
    }
}

// The host takes a value only on a stream without keyframes; the record of
// the failed attempt is still given back.
TEST_F(StreamValueTest, SettingAKeyframedStreamFailsAndReleasesTheRecord) {
    stream("Blur Amount").setKeyframes({{frame(0), {0}}});
    withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
        EXPECT_NE(Nerevo::setEffectValue(pluginId, &in, suites, effect, index("Blur Amount"), frame(0), kLayerTime,
                                         20.0),
                  PF_Err_NONE);
    });
    EXPECT_EQ(host.log().count("AEGP_DisposeStreamValue"), 1u);
    EXPECT_EQ(stream("Blur Amount").keyframes().size(), 1u);
    expectAllGivenBack();
}

}  // namespace
