// Streams: hiding, expressions, the constant cache, the member of the value record each type
// reads and writes, failures on the way, and the keyframer.

#include "stream/stream.h"
#include "command_host.h"

namespace {

using Nerevo::Stream;
using test::frame;

constexpr short kLayerTime = AEGP_LTimeMode_LayerTime;

class StreamValueTest : public test::CommandHost {
protected:
    void TearDown() override { expectAllGivenBack(); }
    template <typename T>
    void withStream(const char* name, const std::function<void(Stream<T>&)>& body) {
        withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
            Stream<T> stream(pluginId, &in, suites);
            ASSERT_EQ(stream.init(effect, index(name)), PF_Err_NONE);
            body(stream);
        });
    }
    template <typename T>
    PF_Err get(const char* name, A_Time time, T* value) {
        PF_Err err = PF_Err_NONE;
        withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
            err = Nerevo::getEffectValue(pluginId, &in, suites, effect, index(name), time, kLayerTime, false, value);
        });
        return err;
    }
    template <typename T>
    PF_Err set(const char* name, T value) {
        PF_Err err = PF_Err_NONE;
        withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
            err = Nerevo::setEffectValue(pluginId, &in, suites, effect, index(name), frame(0), kLayerTime, value);
        });
        return err;
    }
    template <typename T>
    std::vector<PF_Err> addKeyframes(const char* name, const std::vector<std::pair<A_Time, T>>& keyframes) {
        std::vector<PF_Err> results;
        withStream<T>(name, [&](Stream<T>& stream) {
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
        EXPECT_EQ(get(name, time, &value), PF_Err_NONE);
        return value;
    }
};

TEST_F(StreamValueTest, ConstantStreamIsFetchedOnceAtTheCommandsTime) {
    host.frame().currentTime = 12;
    def("Blur Amount").u.fs_d.value = 12.5;
    withStream<double>("Blur Amount", [&](Stream<double>& stream) {
        host.log().clear();
        for (A_Time time : {frame(40), frame(0), frame(-7), A_Time{1000, 30}}) {
            double value = 0;
            EXPECT_EQ(stream.getValue(time, AEGP_LTimeMode_CompTime, false, &value), PF_Err_NONE);
            EXPECT_EQ(value, 12.5);
        }
        bool constant = false;
        EXPECT_EQ(stream.isConstant(&constant), PF_Err_NONE);
        EXPECT_TRUE(constant);
        EXPECT_EQ(operations(), (std::vector<std::string>{"AEGP_IsStreamTimevarying", "AEGP_GetNewStreamValue",
                                                          "AEGP_DisposeStreamValue"}));
        EXPECT_NE(argsOf("AEGP_GetNewStreamValue").find("mode=0 time=12/24 pre_expression=0"), std::string::npos);
    });
}

// One time given twice (48/24 and 2/1): the later value wins; the interpolation itself is the
// host's tests.
TEST_F(StreamValueTest, KeyframesReadBackAtAndBetweenTheirTimes) {
    EXPECT_EQ(addKeyframes<double>("Blur Amount", {{frame(48), 90.0}, {frame(0), 10.0}, {A_Time{2, 1}, 70.0}}),
              std::vector<PF_Err>(3, PF_Err_NONE));
    withStream<double>("Blur Amount", [&](Stream<double>& stream) {
        int count = 0;
        A_Time last{};
        bool constant = true;
        ASSERT_EQ(stream.isConstant(&constant), PF_Err_NONE);
        ASSERT_EQ(stream.getKeyframeNum(count), PF_Err_NONE);
        ASSERT_EQ(stream.getKeyframeTime(1, kLayerTime, last), PF_Err_NONE);
        EXPECT_EQ((std::vector<long>{constant, count, last.value, long(last.scale)}), (std::vector<long>{0, 2, 48, 24}));
        host.log().clear();
        std::vector<double> values;
        for (const A_Time time : {frame(12), A_Time{1, 1}, frame(100)}) {
            values.push_back(-1);
            EXPECT_EQ(stream.getValue(time, kLayerTime, false, &values.back()), PF_Err_NONE);
        }
        EXPECT_EQ(values, (std::vector<double>{25, 40, 70}));
        EXPECT_EQ(host.log().count("AEGP_GetNewStreamValue") + host.log().count("AEGP_DisposeStreamValue"), 6u);
    });
}

TEST_F(StreamValueTest, ValuesRoundTripThroughTheirParametersAndKeyframeThroughTheirMembers) {
    EXPECT_EQ((std::vector<PF_Err>{set("Blur Amount", 33.25), set("Type", 2.0), set("Grow Bounds", false),
                                   set("Center", AEGP_TwoDVal{12.5, -3}),
                                   set("Vignetting Color", AEGP_ColorVal{1, 1, 0.5, 0})}),
              std::vector<PF_Err>(5, PF_Err_NONE));
    const PF_Pixel c = def("Vignetting Color").u.cd.value;
    EXPECT_EQ((std::vector<double>{def("Blur Amount").u.fs_d.value, double(def("Type").u.pd.value),
                                   double(def("Grow Bounds").u.bd.value), double(def("Center").u.td.x_value),
                                   double(def("Center").u.td.y_value), double(c.alpha), double(c.red),
                                   double(c.green), double(c.blue)}),
              (std::vector<double>{33.25, 2, 0, 12 * 65536 + 32768, -3 * 65536, 255, 255, 128, 0}));
    const AEGP_TwoDVal centre = valueAt<AEGP_TwoDVal>("Center", frame(0));
    const AEGP_ColorVal colour = valueAt<AEGP_ColorVal>("Vignetting Color", frame(0));
    EXPECT_EQ((std::vector<double>{centre.x, centre.y, colour.alphaF, colour.redF, colour.greenF, colour.blueF}),
              (std::vector<double>{12.5, -3, 1, 1, 128 / 255.0, 0})) << "read back";
    addKeyframes<AEGP_TwoDVal>("Center", {{frame(0), {0, 100}}, {frame(10), {50, 0}}});
    addKeyframes<AEGP_ColorVal>("Vignetting Color", {{frame(0), {1, 0, 0, 1}}, {frame(10), {1, 1, 0.5, 0}}});
    addKeyframes<bool>("Grow Bounds", {{frame(0), false}, {frame(10), true}});
    const AEGP_TwoDVal between = valueAt<AEGP_TwoDVal>("Center", frame(5));
    const AEGP_ColorVal mixed = valueAt<AEGP_ColorVal>("Vignetting Color", frame(5));
    EXPECT_EQ((std::vector<double>{between.x, between.y, mixed.alphaF, mixed.redF, mixed.greenF, mixed.blueF}),
              (std::vector<double>{25, 50, 1, 0.5, 0.25, 0.5}));
    EXPECT_FALSE(valueAt<bool>("Grow Bounds", frame(9)));
    EXPECT_TRUE(valueAt<bool>("Grow Bounds", frame(10)));
    // Refused on a stream with keyframes; the record of the attempt is still given back.
    host.log().clear();
    EXPECT_NE(set("Center", AEGP_TwoDVal{1, 1}), PF_Err_NONE);
    EXPECT_EQ(host.log().count("AEGP_DisposeStreamValue"), 1u);
}

TEST_F(StreamValueTest, LayerPropertiesRoundTripAndTakeKeyframes) {
    withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH, AEGP_LayerH layer) {
        EXPECT_EQ(Nerevo::setLayerStreamValue(pluginId, &in, suites, layer, host::kLayerPosition, frame(0),
                                              kLayerTime, AEGP_ThreeDVal{1.5, -2, 30}),
                  PF_Err_NONE);
        AEGP_ThreeDVal p{};
        EXPECT_EQ(Nerevo::getLayerStreamValue(pluginId, &in, suites, layer, host::kLayerPosition, frame(5), kLayerTime,
                                              false, &p),
                  PF_Err_NONE);
        EXPECT_EQ((std::vector<double>{p.x, p.y, p.z}), (std::vector<double>{1.5, -2, 30}));
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
    EXPECT_EQ(target().layer().stream(host::kLayerPosition).value, (host::StreamValue{1.5, -2, 30, 0}));
    EXPECT_EQ(target().layer().stream(host::kLayerOpacity).keyframes().size(), 2u);
}

// A failed query is asked again at the next read; a failed fetch releases nothing, whether the
// stream is constant (it fails while it is initialised) or varying.
TEST_F(StreamValueTest, FailedReadsGiveZero) {
    def("Blur Amount").u.fs_d.value = 12.5;
    host.faults().failCall("AEGP_IsStreamTimevarying", 1, PF_Err_OUT_OF_MEMORY);
    withStream<double>("Blur Amount", [&](Stream<double>& stream) {
        double value = -1;
        EXPECT_EQ(stream.getValue(frame(0), kLayerTime, false, &value), PF_Err_OUT_OF_MEMORY);
        EXPECT_EQ(std::make_pair(value, host.log().count("AEGP_GetNewStreamValue")), std::make_pair(0.0, size_t{0}));
        EXPECT_EQ(stream.getValue(frame(0), kLayerTime, false, &value), PF_Err_NONE);
        EXPECT_EQ(std::make_pair(value, host.log().count("AEGP_IsStreamTimevarying")), std::make_pair(12.5, size_t{2}));
    });
    stream("Ratio").setKeyframes({{frame(0), {1}}, {frame(10), {2}}});
    for (const char* name : {"Blur Amount", "Ratio"}) {
        host.log().clear();
        host.faults().failCall("AEGP_GetNewStreamValue", 1, PF_Err_OUT_OF_MEMORY);
        double value = -1;
        EXPECT_EQ(get(name, frame(5), &value), PF_Err_OUT_OF_MEMORY) << name;
        EXPECT_EQ(std::make_pair(value, host.log().count("AEGP_DisposeStreamValue")), std::make_pair(0.0, size_t{0}));
    }
}

// A batch that could not start is not ended; one that added a keyframe is committed whatever failed after.
TEST_F(StreamValueTest, KeyframerCommitsOnlyAfterAGoodAdd) {
    withStream<double>("Blur Amount", [&](Stream<double>& stream) {
        host.log().clear();
        { Stream<double>::Keyframer keyframer = stream.getKeyframer(); }
        EXPECT_TRUE(operations().empty());
    });
    host.faults().failCall("AEGP_StartAddKeyframes", 1, PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(addKeyframes<double>("Blur Amount", {{frame(0), 10.0}}), std::vector<PF_Err>{PF_Err_OUT_OF_MEMORY});
    EXPECT_EQ(host.log().count("AEGP_AddKeyframes") + host.log().count("AEGP_EndAddKeyframes"), 0u);
    for (const char* failing : {"AEGP_AddKeyframes", "AEGP_GetNewStreamValue", "AEGP_SetAddKeyframe"}) {
        host.log().clear();
        host.faults().failCall(failing, 1, PF_Err_OUT_OF_MEMORY);
        EXPECT_EQ(addKeyframes<double>("Blur Amount", {{frame(0), 10.0}}), std::vector<PF_Err>{PF_Err_OUT_OF_MEMORY})
            << failing;
        EXPECT_EQ(argsOf("AEGP_EndAddKeyframes").rfind("add=0 ", 0), 0u) << failing;
        EXPECT_TRUE(stream("Blur Amount").keyframes().empty()) << failing;
        expectAllGivenBack();
    }
    host.log().clear();
    host.faults().failCall("AEGP_SetAddKeyframe", 2, PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(addKeyframes<double>("Blur Amount", {{frame(0), 10.0}, {frame(24), 20.0}}),
              (std::vector<PF_Err>{PF_Err_NONE, PF_Err_OUT_OF_MEMORY}));
    EXPECT_EQ(argsOf("AEGP_EndAddKeyframes").rfind("add=1 ", 0), 0u);
    EXPECT_EQ(stream("Blur Amount").keyframes().size(), 2u);
}

TEST_F(StreamValueTest, HidingChangesTheFlagOnlyWhenItDiffers) {
    constexpr AEGP_DynStreamFlags kHidden = AEGP_DynStreamFlag_HIDDEN, kDisabled = AEGP_DynStreamFlag_DISABLED;
    const struct { AEGP_DynStreamFlags before; bool hide; AEGP_DynStreamFlags after; std::size_t sets; } cases[] = {
        {kHidden, true, kHidden, 0}, {kHidden, false, 0, 1}, {0, false, 0, 0},
        {kDisabled, true, kDisabled | kHidden, 1}};
    for (const auto& c : cases) {
        stream("Ratio").dynamicFlags = c.before;
        host.log().clear();
        withStream<double>("Ratio", [&](Stream<double>& s) {
            EXPECT_EQ(c.hide ? s.hide(nullptr) : s.show(nullptr), PF_Err_NONE);
        });
        EXPECT_EQ(host.log().count("AEGP_SetDynamicStreamFlag"), c.sets);
        EXPECT_EQ(stream("Ratio").dynamicFlags, c.after);
    }
    stream("Ratio").dynamicFlags = 0;
    host.faults().failCall("AEGP_GetDynamicStreamFlags", 1, PF_Err_OUT_OF_MEMORY);
    withStream<double>("Ratio", [](Stream<double>& stream) { EXPECT_EQ(stream.hide(nullptr), PF_Err_OUT_OF_MEMORY); });
    EXPECT_EQ(stream("Ratio").dynamicFlags, 0);
    // Through the command's effect, looked up and given back.
    host.log().clear();
    withStream<double>("Ratio", [](Stream<double>& stream) { EXPECT_EQ(stream.hide(), PF_Err_NONE); });
    EXPECT_EQ(stream("Ratio").dynamicFlags, AEGP_DynStreamFlag_HIDDEN);
    EXPECT_EQ(std::make_pair(host.log().count("AEGP_GetNewEffectForEffect"), host.log().count("AEGP_DisposeEffect")),
              std::make_pair(std::size_t{2}, std::size_t{2}));
}

TEST_F(StreamValueTest, ExpressionsRoundTripAndParameterStreamsHaveNoKeyframes) {
    for (const std::string& text : {std::string("wiggle(2, 10)"), std::string(), std::string("\u03c0 * time")}) {
        withStream<double>("Ratio", [&](Stream<double>& stream) {
            ASSERT_EQ(stream.setExpression(text), PF_Err_NONE);
            ASSERT_EQ(stream.setExpressionState(1), PF_Err_NONE);
            std::string read = "stale";
            unsigned char enabled = 0;
            ASSERT_EQ(stream.getExpression(read), PF_Err_NONE);
            ASSERT_EQ(stream.getExpressionState(enabled), PF_Err_NONE);
            EXPECT_EQ(std::make_pair(read, int(enabled)), std::make_pair(text, 1));
        });
        EXPECT_EQ(std::make_pair(stream("Ratio").expression, stream("Ratio").expressionEnabled),
                  std::make_pair(text, true));
    }
    stream("Ratio").expressionEnabled = false;
    withStream<double>("Ratio", [](Stream<double>& stream) {
        unsigned char enabled = 1;
        int count = -1;
        ASSERT_EQ(stream.getExpressionState(enabled), PF_Err_NONE);
        ASSERT_EQ(stream.getKeyframeNum(count), PF_Err_NONE);
        EXPECT_EQ(std::make_pair(int(enabled), count), std::make_pair(0, 0));
        A_Time time{};
        EXPECT_NE(stream.getKeyframeTime(0, AEGP_LTimeMode_LayerTime, time), PF_Err_NONE);
    });
}

}  // namespace
