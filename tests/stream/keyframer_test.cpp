// Stream<T>::Keyframer: one batch per keyframer, kept only when an add
// succeeded, and keyframes that read back through Stream<T>.

#include "stream/stream.h"
#include "stream_host.h"

namespace {

using Nerevo::Stream;
using test::frame;
using test::StreamHost;

constexpr short kLayerTime = AEGP_LTimeMode_LayerTime;

class KeyframerTest : public StreamHost {
protected:
    // Adds the keyframes to the named parameter through one keyframer and
    // returns the result of each add.
    template <typename T>
    std::vector<PF_Err> addKeyframes(const char* name, const std::vector<std::pair<A_Time, T>>& keyframes) {
        std::vector<PF_Err> results;
        withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
            Stream<T> stream(pluginId, &in, suites);
            ASSERT_EQ(stream.init(effect, index(name)), PF_Err_NONE);
            typename Stream<T>::Keyframer keyframer = stream.getKeyframer();
            for (const auto& [time, value] : keyframes) {
                results.push_back(keyframer.add(kLayerTime, time, value));
            }
        });
        return results;
    }

    template <typename T>
    T valueAt(const char* name, A_Time time) {
        T value{};
        withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
            EXPECT_EQ(Nerevo::getEffectValue(pluginId, &in, suites, effect, index(name), time, kLayerTime, false,
                                             &value),
                      PF_Err_NONE);
        });
        return value;
    }
};

TEST_F(KeyframerTest, UnusedKeyframerMakesNoCall) {
    withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
        Stream<double> stream(pluginId, &in, suites);
        ASSERT_EQ(stream.init(effect, index("Blur Amount")), PF_Err_NONE);
        host.log().clear();
        { Stream<double>::Keyframer keyframer = stream.getKeyframer(); }
        EXPECT_TRUE(operations().empty());
    });
    expectAllGivenBack();
}

TEST_F(KeyframerTest, BatchWithoutASuccessfulAddEndsUncommitted) {
    for (const char* failing : {"AEGP_AddKeyframes", "AEGP_GetNewStreamValue", "AEGP_SetAddKeyframe"}) {
        host.log().clear();
        host.faults().clear();
        host.faults().failCall(failing, 1, PF_Err_OUT_OF_MEMORY);
        EXPECT_EQ(addKeyframes<double>("Blur Amount", {{frame(0), 10.0}}), std::vector<PF_Err>{PF_Err_OUT_OF_MEMORY})
            << failing;
        EXPECT_EQ(argsOf("AEGP_EndAddKeyframes").rfind("add=0 ", 0), 0u) << failing;
        EXPECT_TRUE(stream("Blur Amount").keyframes().empty()) << failing;
        expectAllGivenBack();
    }
}

TEST_F(KeyframerTest, FailedStartLeavesNothingToEnd) {
    host.faults().failCall("AEGP_StartAddKeyframes", 1, PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(addKeyframes<double>("Blur Amount", {{frame(0), 10.0}}), std::vector<PF_Err>{PF_Err_OUT_OF_MEMORY});
    EXPECT_EQ(host.log().count("AEGP_AddKeyframes"), 0u);
    EXPECT_EQ(host.log().count("AEGP_EndAddKeyframes"), 0u);
    expectAllGivenBack();
}

// One good add is enough for the batch to count; the failed one adds a
// keyframe with the stream's own value at its time.
TEST_F(KeyframerTest, OneSuccessfulAddCommitsTheBatch) {
    current("Blur Amount").u.fs_d.value = 7;
    host.faults().failCall("AEGP_SetAddKeyframe", 2, PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(addKeyframes<double>("Blur Amount", {{frame(0), 10.0}, {frame(24), 20.0}}),
              (std::vector<PF_Err>{PF_Err_NONE, PF_Err_OUT_OF_MEMORY}));
    EXPECT_EQ(argsOf("AEGP_EndAddKeyframes").rfind("add=1 ", 0), 0u);
    const std::vector<host::Keyframe>& keyframes = stream("Blur Amount").keyframes();
    ASSERT_EQ(keyframes.size(), 2u);
    EXPECT_EQ(keyframes[0].value[0], 10);
    EXPECT_EQ(keyframes[1].value[0], 7);
    expectAllGivenBack();
}

TEST_F(KeyframerTest, KeyframesReadBackAtAndBetweenTheirTimes) {
    // Out of order, and one time given twice: the later value wins.
    EXPECT_EQ(addKeyframes<double>("Blur Amount", {{frame(48), 90.0}, {frame(0), 10.0}, {A_Time{2, 1}, 70.0}}),
              std::vector<PF_Err>(3, PF_Err_NONE));
    withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
        Stream<double> stream(pluginId, &in, suites);
        ASSERT_EQ(stream.init(effect, index("Blur Amount")), PF_Err_NONE);
        int count = 0;
        A_Time last{};
        ASSERT_EQ(stream.getKeyframeNum(count), PF_Err_NONE);
        ASSERT_EQ(stream.getKeyframeTime(1, kLayerTime, last), PF_Err_NONE);
        EXPECT_EQ(count, 2);
        EXPECT_EQ(last.value, 48);
        EXPECT_EQ(last.scale, 24u);
        const std::pair<A_Time, double> expected[] = {
            {frame(-1), 10}, {frame(0), 10}, {frame(12), 25}, {frame(36), 55}, {frame(48), 70}, {frame(100), 70}};
        for (const auto& [time, want] : expected) {
            double value = -1;
            EXPECT_EQ(stream.getValue(time, kLayerTime, false, &value), PF_Err_NONE);
            EXPECT_DOUBLE_EQ(value, want) << time.value;
        }
    });
    expectAllGivenBack();
}

TEST_F(KeyframerTest, PointsColoursAndFlagsKeyframeThroughTheirMembers) {
    addKeyframes<AEGP_TwoDVal>("Center", {{frame(0), {0, 100}}, {frame(10), {50, 0}}});
    addKeyframes<AEGP_ColorVal>("Vignetting Color", {{frame(0), {1, 0, 0, 1}}, {frame(10), {1, 1, 0.5, 0}}});
    addKeyframes<bool>("Grow Bounds", {{frame(0), false}, {frame(10), true}});

    const AEGP_TwoDVal centre = valueAt<AEGP_TwoDVal>("Center", frame(5));
    EXPECT_EQ(centre.x, 25);
    EXPECT_EQ(centre.y, 50);
    const AEGP_ColorVal colour = valueAt<AEGP_ColorVal>("Vignetting Color", frame(5));
    EXPECT_EQ(colour.alphaF, 1);
    EXPECT_EQ(colour.redF, 0.5);
    EXPECT_EQ(colour.greenF, 0.25);
    EXPECT_EQ(colour.blueF, 0.5);
    // A checkbox holds each keyframe until the next.
    EXPECT_FALSE(valueAt<bool>("Grow Bounds", frame(9)));
    EXPECT_TRUE(valueAt<bool>("Grow Bounds", frame(10)));
    expectAllGivenBack();
}

TEST_F(KeyframerTest, LayerPropertiesTakeKeyframes) {
    withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH, AEGP_LayerH layer) {
        Stream<double> opacity(pluginId, &in, suites);
        ASSERT_EQ(opacity.init(layer, host::kLayerOpacity), PF_Err_NONE);
        {
            Stream<double>::Keyframer keyframer = opacity.getKeyframer();
            EXPECT_EQ(keyframer.add(AEGP_LTimeMode_CompTime, frame(0), 0.0), PF_Err_NONE);
            EXPECT_EQ(keyframer.add(AEGP_LTimeMode_CompTime, frame(24), 100.0), PF_Err_NONE);
        }
        double value = -1;
        EXPECT_EQ(opacity.getValue(frame(6), kLayerTime, false, &value), PF_Err_NONE);
        EXPECT_EQ(value, 25);
    });
    EXPECT_EQ(target().layer().stream(host::kLayerOpacity).keyframes().size(), 2u);
    expectAllGivenBack();
}

}  // namespace
