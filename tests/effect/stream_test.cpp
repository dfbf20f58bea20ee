// StreamBase: the reference it owns, hiding and showing, keyframe counts
// and expressions of an effect's parameter streams.

#include "command_host.h"
#include "stream/stream.h"

namespace {

using test::CommandHost;

class StreamTest : public CommandHost {
protected:
    // Runs body with the Ratio stream of the effect the command goes to.
    void withRatio(const std::function<void(Nerevo::StreamBase&)>& body) {
        run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
            AEGP_EffectRefH effect = nullptr;
            ASSERT_EQ(suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(pluginId, in.effect_ref, &effect),
                      A_Err_NONE);
            {
                Nerevo::StreamBase stream(pluginId, &in, suites);
                ASSERT_EQ(stream.init(effect, ratio()), PF_Err_NONE);
                body(stream);
            }
            suites.EffectSuite3()->AEGP_DisposeEffect(effect);
        });
    }

    AEGP_DynStreamFlags& ratioFlags() { return target().stream(ratio()).dynamicFlags; }

    int ratio() const { return index("Ratio"); }
};

TEST_F(StreamTest, HidingChangesTheFlagOnlyWhenItDiffers) {
    ratioFlags() = AEGP_DynStreamFlag_HIDDEN;
    withRatio([](Nerevo::StreamBase& stream) { EXPECT_EQ(stream.hide(nullptr), PF_Err_NONE); });
    EXPECT_EQ(host.log().count("AEGP_SetDynamicStreamFlag"), 0u);

    withRatio([](Nerevo::StreamBase& stream) { EXPECT_EQ(stream.show(nullptr), PF_Err_NONE); });
    EXPECT_EQ(host.log().count("AEGP_SetDynamicStreamFlag"), 1u);
    EXPECT_EQ(ratioFlags(), 0);

    withRatio([](Nerevo::StreamBase& stream) { EXPECT_EQ(stream.show(nullptr), PF_Err_NONE); });
    EXPECT_EQ(host.log().count("AEGP_SetDynamicStreamFlag"), 1u);

    // The other flags stay as they are.
    ratioFlags() = AEGP_DynStreamFlag_DISABLED;
    withRatio([](Nerevo::StreamBase& stream) { EXPECT_EQ(stream.hide(nullptr), PF_Err_NONE); });
    EXPECT_EQ(ratioFlags(), AEGP_DynStreamFlag_DISABLED | AEGP_DynStreamFlag_HIDDEN);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(StreamTest, HidingThroughTheCurrentEffectGivesItBack) {
    withRatio([&](Nerevo::StreamBase& stream) {
        host.log().clear();
        EXPECT_EQ(stream.hide(), PF_Err_NONE);
    });
    EXPECT_EQ(ratioFlags(), AEGP_DynStreamFlag_HIDDEN);
    EXPECT_EQ(host.log().count("AEGP_GetNewEffectForEffect"), 1u);
    // The current effect, then the one withRatio held.
    EXPECT_EQ(host.log().count("AEGP_DisposeEffect"), 2u);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(StreamTest, FailedFlagQueryChangesNothing) {
    host.faults().failCall("AEGP_GetDynamicStreamFlags", 1, PF_Err_OUT_OF_MEMORY);
    withRatio([](Nerevo::StreamBase& stream) { EXPECT_EQ(stream.hide(nullptr), PF_Err_OUT_OF_MEMORY); });
    EXPECT_EQ(host.log().count("AEGP_SetDynamicStreamFlag"), 0u);
    EXPECT_EQ(ratioFlags(), 0);
}

TEST_F(StreamTest, ExpressionsRoundTrip) {
    for (const std::string& text : {std::string("wiggle(2, 10)"), std::string(), std::string("\u03c0 * time")}) {
        withRatio([&](Nerevo::StreamBase& stream) {
            ASSERT_EQ(stream.setExpression(text), PF_Err_NONE);
            ASSERT_EQ(stream.setExpressionState(1), PF_Err_NONE);
            std::string read = "stale";
            unsigned char enabled = 0;
            ASSERT_EQ(stream.getExpression(read), PF_Err_NONE);
            ASSERT_EQ(stream.getExpressionState(enabled), PF_Err_NONE);
            EXPECT_EQ(read, text);
            EXPECT_EQ(enabled, 1);
        });
        EXPECT_EQ(target().stream(ratio()).expression, text);
        EXPECT_TRUE(target().stream(ratio()).expressionEnabled);
        EXPECT_TRUE(host.problems().empty()) << host.problems().front();
    }

    target().stream(ratio()).expressionEnabled = false;
    withRatio([](Nerevo::StreamBase& stream) {
        unsigned char enabled = 1;
        ASSERT_EQ(stream.getExpressionState(enabled), PF_Err_NONE);
        EXPECT_EQ(enabled, 0);
    });
}

TEST_F(StreamTest, ParameterStreamsHaveNoKeyframes) {
    withRatio([](Nerevo::StreamBase& stream) {
        int count = -1;
        ASSERT_EQ(stream.getKeyframeNum(count), PF_Err_NONE);
        EXPECT_EQ(count, 0);
        A_Time time{};
        EXPECT_NE(stream.getKeyframeTime(0, AEGP_LTimeMode_LayerTime, time), PF_Err_NONE);
    });
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(StreamTest, ParametersOutsideTheEffectHaveNoStream) {
    for (int index : {0, static_cast<int>(host.params().size()), -1}) {
        run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
            AEGP_EffectRefH effect = nullptr;
            ASSERT_EQ(suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(pluginId, in.effect_ref, &effect),
                      A_Err_NONE);
            Nerevo::StreamBase stream(pluginId, &in, suites);
            EXPECT_NE(stream.init(effect, index), PF_Err_NONE) << index;
            EXPECT_EQ(stream.get(), nullptr) << index;
            EXPECT_EQ(stream.dispose(), PF_Err_NONE);
            suites.EffectSuite3()->AEGP_DisposeEffect(effect);
        });
        EXPECT_EQ(host.log().count("AEGP_DisposeStream"), 0u);
        EXPECT_TRUE(host.problems().empty()) << host.problems().front();
    }
}

}  // namespace
