// The host's stream values on the plug-in's own parameters: checkout following keyframes, one store
// behind the host and the stream suite, keyframe batches, stream flags, records counted like references.

#include <cmath>
#include <limits>

#include "command_host.h"

namespace {

using host::HostError;
using host::Keyframe;
using test::frame;

class StreamValuesTest : public test::CommandHost {
protected:
    PF_ParamDef checkout(const char* name, A_long time, A_u_long scale = 24) {
        PF_ParamDef record{};
        host.withCommandData([&](PF_InData& in, PF_OutData&) {
            EXPECT_EQ(in.inter.checkout_param(in.effect_ref, index(name), time, 1, scale, &record),
                      scale ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM);
        });
        return record;
    }

    void withStream(const char* name, const std::function<void(const AEGP_StreamSuite9&, AEGP_SuiteHandler&,
                                                               AEGP_StreamRefH)>& body) {
        withEffect([&](PF_InData&, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
            AEGP_StreamRefH stream = nullptr;
            ASSERT_EQ(suites.StreamSuite9()->AEGP_GetNewEffectStreamByIndex(pluginId, effect, index(name), &stream),
                      A_Err_NONE);
            body(*suites.StreamSuite9(), suites, stream);
            suites.StreamSuite9()->AEGP_DisposeStream(stream);
        });
    }
};

TEST_F(StreamValuesTest, CheckoutFollowsKeyframesInTheParametersOwnType) {
    stream("Blur Amount").setKeyframes({{frame(72), {80}}, {frame(24), {0}}});
    const std::pair<A_long, double> expected[] = {{-5, 0}, {0, 0}, {24, 0}, {48, 40}, {60, 60}, {72, 80}, {500, 80}};
    for (const auto& [time, want] : expected) {
        EXPECT_EQ(checkout("Blur Amount", time).u.fs_d.value, want) << time;
    }
    EXPECT_EQ(checkout("Blur Amount", 60, 30).u.fs_d.value, 40) << "two seconds, at another scale";
    checkout("Blur Amount", 60, 0);  // a time without scale is refused
    const PF_ParamDef record = checkout("Blur Amount", 48);
    EXPECT_STREQ(record.name, "Blur Amount");
    EXPECT_EQ(record.u.fs_d.valid_max, def("Blur Amount").u.fs_d.valid_max);
    def("Ratio").u.fs_d.value = 2.5;
    EXPECT_EQ(checkout("Ratio", 48).u.fs_d.value, 2.5) << "without keyframes, the value the host holds";

    stream("Direction").setKeyframes({{frame(0), {0}}, {frame(48), {90}}});
    stream("Center").setKeyframes({{frame(0), {0, 0}}, {frame(48), {100, -50}}});
    stream("Vignetting Color").setKeyframes({{frame(0), {1, 0, 0, 0}}, {frame(48), {1, 1, 2, -1}}});
    stream("Type").setKeyframes({{frame(0), {1}}, {frame(48), {2}}});
    stream("Grow Bounds").setKeyframes({{frame(0), {1}}, {frame(10), {0}}});
    const PF_ParamDef centre = checkout("Center", 12);
    const PF_Pixel c = checkout("Vignetting Color", 24).u.cd.value;  // to the nearest byte, inside 0..255
    // Popups and checkboxes hold until the next keyframe.
    EXPECT_EQ((std::vector<long>{checkout("Direction", 24).u.ad.value, checkout("Direction", 1).u.ad.value,
                                 centre.u.td.x_value, centre.u.td.y_value, c.alpha, c.red, c.green, c.blue,
                                 checkout("Type", 47).u.pd.value, checkout("Type", 48).u.pd.value,
                                 checkout("Grow Bounds", 9).u.bd.value, checkout("Grow Bounds", 10).u.bd.value}),
              (std::vector<long>{45 << 16, 122880 /* 1.875 degrees */, 25 << 16, -(12 << 16) - (1 << 15), 255, 128,
                                 255, 0, 1, 2, 1, 0}));
}

TEST_F(StreamValuesTest, KeyframesAreCheckedWhenSet) {
    host::StreamState& amount = stream("Blur Amount");
    amount.setKeyframes({{frame(0), {2}}, {frame(10), {1}}});
    const std::vector<std::vector<Keyframe>> wrong = {
        {{frame(1), {1}}, {A_Time{2, 48}, {2}}},  // one time, written twice
        {{A_Time{1, 0}, {1}}},
        {{frame(1), {std::nan("")}}},
        {{frame(1), {0, std::numeric_limits<double>::infinity()}}},
    };
    for (const std::vector<Keyframe>& keyframes : wrong) {
        EXPECT_THROW(amount.setKeyframes(keyframes), HostError);
    }
    EXPECT_EQ(amount.keyframes().size(), 2u) << "a refused list leaves the keyframes as they were";
}

TEST_F(StreamValuesTest, StreamSuiteSetsTheValueTheHostHoldsOnlyWhenValid) {
    withStream("Blur Amount", [&](const AEGP_StreamSuite9& streams, AEGP_SuiteHandler&, AEGP_StreamRefH stream) {
        AEGP_StreamValue2 value{stream, {}};
        value.val.one_d = 30;
        EXPECT_EQ(streams.AEGP_SetStreamValue(pluginId, stream, &value), A_Err_NONE);
        EXPECT_EQ(streams.AEGP_SetStreamValue(pluginId + 1, stream, &value), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(streams.AEGP_SetStreamValue(pluginId, nullptr, &value), PF_Err_BAD_CALLBACK_PARAM);
        A_Boolean varies = 0;
        EXPECT_EQ(streams.AEGP_IsStreamTimevarying(nullptr, &varies), PF_Err_BAD_CALLBACK_PARAM);
        value.val.one_d = std::nan("");
        EXPECT_EQ(streams.AEGP_SetStreamValue(pluginId, stream, &value), PF_Err_BAD_CALLBACK_PARAM);
    });
    EXPECT_EQ(checkout("Blur Amount", 7).u.fs_d.value, 30);
}

TEST_F(StreamValuesTest, DynamicFlagsChangeOneFlagAtATime) {
    withStream("Ratio", [&](const AEGP_StreamSuite9&, AEGP_SuiteHandler& suites, AEGP_StreamRefH stream) {
        const AEGP_DynamicStreamSuite5& dynamic = *suites.DynamicStreamSuite5();
        AEGP_DynStreamFlags all = 0;
        for (const AEGP_DynStreamFlags flag : {AEGP_DynStreamFlag_ACTIVE_EYEBALL, AEGP_DynStreamFlag_HIDDEN,
                                               AEGP_DynStreamFlag_DISABLED}) {
            EXPECT_EQ(dynamic.AEGP_SetDynamicStreamFlag(stream, flag, false, true), A_Err_NONE) << flag;
            all |= flag;
            EXPECT_EQ(target().stream(index("Ratio")).dynamicFlags, all) << flag;
        }
        for (const AEGP_DynStreamFlags wrong : {0, 3, 8}) {
            EXPECT_EQ(dynamic.AEGP_SetDynamicStreamFlag(stream, wrong, false, false), PF_Err_BAD_CALLBACK_PARAM)
                << wrong;
        }
        EXPECT_EQ(dynamic.AEGP_SetDynamicStreamFlag(stream, AEGP_DynStreamFlag_HIDDEN, false, false), A_Err_NONE);
        AEGP_DynStreamFlags flags = 0;
        EXPECT_EQ(dynamic.AEGP_GetDynamicStreamFlags(stream, &flags), A_Err_NONE);
        EXPECT_EQ(flags, AEGP_DynStreamFlag_ACTIVE_EYEBALL | AEGP_DynStreamFlag_DISABLED);
    });
}

TEST_F(StreamValuesTest, BatchesTakeValidTimesAndKeepThemInOrder) {
    withStream("Blur Amount", [&](const AEGP_StreamSuite9&, AEGP_SuiteHandler& suites, AEGP_StreamRefH stream) {
        const AEGP_KeyframeSuite4* keyframes = suites.KeyframeSuite4();
        AEGP_AddKeyframesInfoH batch = nullptr;
        ASSERT_EQ(keyframes->AEGP_StartAddKeyframes(stream, &batch), A_Err_NONE);
        A_long index = -1;  // the place in the batch as it stands
        const std::pair<A_Time, A_long> adds[] = {{frame(48), 0}, {frame(0), 0}, {frame(24), 1}, {A_Time{2, 1}, 2}};
        for (const auto& [time, place] : adds) {
            ASSERT_EQ(keyframes->AEGP_AddKeyframes(batch, AEGP_LTimeMode_LayerTime, &time, &index), A_Err_NONE);
            EXPECT_EQ(index, place);
        }
        for (const auto& [mode, time, out] : {std::tuple<AEGP_LTimeMode, A_Time, A_long*>{0, A_Time{1, 0}, &index},
                                              {7, frame(3), &index}, {0, frame(3), nullptr}}) {
            EXPECT_EQ(keyframes->AEGP_AddKeyframes(batch, mode, &time, out), PF_Err_BAD_CALLBACK_PARAM) << mode;
        }
        AEGP_StreamValue2 value{stream, {}};
        value.val.one_d = 90;
        EXPECT_EQ(keyframes->AEGP_SetAddKeyframe(batch, 2, &value), A_Err_NONE);
        EXPECT_EQ(keyframes->AEGP_SetAddKeyframe(batch, 3, &value), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(keyframes->AEGP_EndAddKeyframes(true, batch), A_Err_NONE);
    });
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
    const std::vector<Keyframe>& committed = stream("Blur Amount").keyframes();
    ASSERT_EQ(committed.size(), 3u);  // those not set start with the stream's value at their time
    EXPECT_EQ((std::vector<double>{committed[0].value[0], committed[2].value[0], double(committed[2].time.value)}),
              (std::vector<double>{def("Blur Amount").u.fs_d.value, 90, 48}));
}

TEST_F(StreamValuesTest, RecordsAndBatchesNotGivenBackOrGivenBackTwiceAreReported) {
    const A_Time time = frame(0);
    withStream("Blur Amount", [&](const AEGP_StreamSuite9& streams, AEGP_SuiteHandler& suites, AEGP_StreamRefH stream) {
        AEGP_StreamValue2 kept{}, released{};
        streams.AEGP_GetNewStreamValue(pluginId, stream, AEGP_LTimeMode_LayerTime, &time, false, &kept);
        streams.AEGP_GetNewStreamValue(pluginId, stream, AEGP_LTimeMode_LayerTime, &time, false, &released);
        AEGP_StreamValue2 copy = released;  // a copy of a record releases it as well
        EXPECT_EQ(streams.AEGP_DisposeStreamValue(&copy), A_Err_NONE);
        AEGP_AddKeyframesInfoH batch = nullptr;
        suites.KeyframeSuite4()->AEGP_StartAddKeyframes(stream, &batch);
    });
    EXPECT_EQ(host.problems(), (std::vector<std::string>{
                                   "keyframes added to parameter 2 of \"NerevoTiltShift\" in a batch not ended",
                                   "stream value record of parameter 2 of \"NerevoTiltShift\" not disposed"}));

    withStream("Blur Amount", [&](const AEGP_StreamSuite9& streams, AEGP_SuiteHandler& suites, AEGP_StreamRefH stream) {
        AEGP_StreamValue2 value{};
        streams.AEGP_GetNewStreamValue(pluginId, stream, AEGP_LTimeMode_LayerTime, &time, false, &value);
        EXPECT_EQ(streams.AEGP_DisposeStreamValue(&value), A_Err_NONE);
        EXPECT_EQ(streams.AEGP_DisposeStreamValue(&value), PF_Err_BAD_CALLBACK_PARAM);
        AEGP_AddKeyframesInfoH batch = nullptr;
        suites.KeyframeSuite4()->AEGP_StartAddKeyframes(stream, &batch);
        EXPECT_EQ(suites.KeyframeSuite4()->AEGP_EndAddKeyframes(false, batch), A_Err_NONE);
        EXPECT_EQ(suites.KeyframeSuite4()->AEGP_EndAddKeyframes(false, batch), PF_Err_BAD_CALLBACK_PARAM);
    });
    ASSERT_EQ(host.problems().size(), 2u);
    EXPECT_NE(host.problems()[0].find("disposed twice?"), std::string::npos);
    EXPECT_NE(host.problems()[1].find("ended twice?"), std::string::npos);
}

TEST_F(StreamValuesTest, LayerPropertiesStartAtTheApplicationsDefaultsAndAreNoEffectStreams) {
    host.frame().width = 320;
    host.frame().height = 200;
    host::Layer& layer = target().layer();
    EXPECT_EQ(layer.stream(host::kLayerAnchorPoint).value, (host::StreamValue{160, 100, 0, 0}));
    EXPECT_EQ(layer.stream(host::kLayerPosition).value, (host::StreamValue{160, 100, 0, 0}));
    EXPECT_EQ(layer.stream(host::kLayerScale).value, (host::StreamValue{100, 100, 100, 0}));
    EXPECT_EQ(layer.stream(host::kLayerRotation).value, (host::StreamValue{0, 0, 0, 0}));
    EXPECT_EQ(layer.stream(host::kLayerOpacity).value, (host::StreamValue{100, 0, 0, 0}));
    EXPECT_THROW(layer.stream(5), HostError);
    EXPECT_THROW(layer.stream(-1), HostError);

    withEffect([&](PF_InData&, AEGP_SuiteHandler& suites, AEGP_EffectRefH, AEGP_LayerH handle) {
        AEGP_StreamRefH stream = nullptr, none = nullptr;
        ASSERT_EQ(suites.StreamSuite9()->AEGP_GetNewLayerStream(pluginId, handle, host::kLayerScale, &stream),
                  A_Err_NONE);
        AEGP_DynStreamFlags flags = 0;
        EXPECT_EQ(suites.DynamicStreamSuite5()->AEGP_GetDynamicStreamFlags(stream, &flags), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(suites.StreamSuite9()->AEGP_GetNewLayerStream(pluginId, handle, 5, &none), PF_Err_BAD_CALLBACK_PARAM);
    });
    EXPECT_EQ(host.problems(), std::vector<std::string>{"stream reference to layer property 2 not disposed"});
}

}  // namespace
