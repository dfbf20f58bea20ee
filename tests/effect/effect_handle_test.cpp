// EffectHandle and StreamBase: the references they own, the effect's name and place read
// through its own stream group, and its parameter streams' hiding, expressions and keyframes.

#include "command_host.h"
#include "effect/effect_handle.h"
#include "stream/stream.h"

namespace {

using test::CommandHost;
using Name = std::basic_string<unsigned short>;

Name name(const char16_t* text) {
    return Name(text, text + std::char_traits<char16_t>::length(text));
}

AEGP_LayerH effectLayer(PF_InData& in, AEGP_SuiteHandler& suites) {
    AEGP_LayerH layer = nullptr;
    EXPECT_EQ(suites.PFInterfaceSuite1()->AEGP_GetEffectLayer(in.effect_ref, &layer), A_Err_NONE);
    return layer;
}

class EffectHandleTest : public CommandHost {
protected:
    void TearDown() override { expectAllGivenBack(); }

    void withHandle(const std::function<void(Nerevo::EffectHandle&)>& body) {
        run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
            Nerevo::EffectHandle effect(pluginId, &in, suites);
            ASSERT_EQ(effect.init(), PF_Err_NONE);
            body(effect);
        });
    }
    void withRatio(const std::function<void(Nerevo::StreamBase&)>& body) {
        withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
            Nerevo::StreamBase stream(pluginId, &in, suites);
            ASSERT_EQ(stream.init(effect, index("Ratio")), PF_Err_NONE);
            body(stream);
        });
    }
    host::StreamState& ratio() { return target().stream(index("Ratio")); }
};

// An empty handle disposes nothing; disposing twice, the destructor after a
// dispose, and adopting another reference each give one reference back once.
TEST_F(EffectHandleTest, EachReferenceIsGivenBackOnce) {
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        Nerevo::EffectHandle empty(pluginId, &in, suites);
        EXPECT_EQ(empty.dispose(), PF_Err_NONE);
    });
    EXPECT_TRUE(host.log().calls().empty());
    withHandle([](Nerevo::EffectHandle& effect) {
        ASSERT_NE(effect.get(), nullptr);
        EXPECT_EQ(effect.dispose(), PF_Err_NONE);
        EXPECT_EQ(effect.get(), nullptr);
        EXPECT_EQ(effect.dispose(), PF_Err_NONE);
    });
    EXPECT_EQ(operations(), (std::vector<std::string>{"AEGP_GetNewEffectForEffect", "AEGP_DisposeEffect"}));
    host.log().clear();
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        AEGP_EffectRefH other = nullptr;
        ASSERT_EQ(suites.EffectSuite3()->AEGP_GetLayerEffectByIndex(pluginId, effectLayer(in, suites), 0, &other),
                  A_Err_NONE);
        Nerevo::EffectHandle effect(pluginId, &in, suites);
        ASSERT_EQ(effect.init(), PF_Err_NONE);
        EXPECT_EQ(effect.init(other), PF_Err_NONE);
        EXPECT_EQ(effect.get(), other);
    });
    EXPECT_EQ(host.log().count("AEGP_DisposeEffect"), 2u);
}

TEST_F(EffectHandleTest, NameIsTheEffectsAndCanBeChanged) {
    withHandle([](Nerevo::EffectHandle& effect) {
        Name read;
        ASSERT_EQ(effect.getName(read), PF_Err_NONE);
        EXPECT_EQ(read, name(u"NerevoTiltShift"));
        ASSERT_EQ(effect.setName(name(u"Miniature \u00e9t\u00e9")), PF_Err_NONE);
        ASSERT_EQ(effect.getName(read), PF_Err_NONE);
        EXPECT_EQ(read, name(u"Miniature \u00e9t\u00e9"));
    });
    EXPECT_EQ(target().name, u"Miniature \u00e9t\u00e9");
}

// Whatever step fails, the group streams and the name's memory go back to the host; a failed
// free counts only without an earlier error.
TEST_F(EffectHandleTest, NameErrorsReturnFirstAndLeakNothing) {
    const struct {
        const char* first;
        const char* second;  // failing too, or null
    } cases[] = {
        {"AEGP_LockMemHandle", "AEGP_FreeMemHandle"}, {"AEGP_FreeMemHandle", nullptr},
        {"AEGP_GetNewEffectStreamByIndex", nullptr}, {"AEGP_GetNewParentStreamRef", nullptr},
        {"AEGP_GetStreamName", nullptr},            {"AEGP_GetMemHandleSize", nullptr},
        {"AEGP_LockMemHandle", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        host.faults().failCall(c.first, 1, PF_Err_OUT_OF_MEMORY);
        if (c.second) {
            host.faults().failCall(c.second, 1, PF_Err_INVALID_INDEX);
        }
        Name read;
        PF_Err err = PF_Err_NONE;
        withHandle([&](Nerevo::EffectHandle& effect) { err = effect.getName(read); });
        EXPECT_EQ(err, PF_Err_OUT_OF_MEMORY);
        if (std::string(c.first) == "AEGP_FreeMemHandle") {
            EXPECT_EQ(read, name(u"NerevoTiltShift")) << "the text was read before the free failed";
        } else if (!c.second) {
            EXPECT_TRUE(host.problems().empty()) << host.problems().front();
        }
        host.faults().clear();
    }
}

TEST_F(EffectHandleTest, IndexIsThePlaceInTheLayersEffectList) {
    target().layer().addEffect();
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        Nerevo::EffectHandle first(pluginId, &in, suites), second(pluginId, &in, suites);
        ASSERT_EQ(first.init(), PF_Err_NONE);
        ASSERT_EQ(second.init(effectLayer(in, suites), 1), PF_Err_NONE);
        const auto place = [](Nerevo::EffectHandle& effect) {
            int index = -1;
            EXPECT_EQ(effect.getIndex(index), PF_Err_NONE);
            return index;
        };
        EXPECT_EQ(std::make_pair(place(first), place(second)), std::make_pair(0, 1));
        ASSERT_EQ(second.reorder(0), PF_Err_NONE);
        EXPECT_EQ(place(first), 1);
    });
    EXPECT_EQ(target().index(), 1);
}

TEST_F(EffectHandleTest, AppliedEffectComesLastAndIsHeld) {
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        Nerevo::EffectHandle effect(pluginId, &in, suites);
        ASSERT_EQ(effect.apply(host::Project::kEffectKey), PF_Err_NONE);
        int index = -1, key = 0, flags = -1;
        ASSERT_EQ(effect.getIndex(index), PF_Err_NONE);
        ASSERT_EQ(effect.getKey(key), PF_Err_NONE);
        ASSERT_EQ(effect.setEffectFlags(AEGP_EffectFlags_ACTIVE, 0), PF_Err_NONE);
        ASSERT_EQ(effect.getEffectFlags(flags), PF_Err_NONE);
        EXPECT_EQ(std::make_tuple(index, key, flags), std::make_tuple(1, host::Project::kEffectKey, 0));
        EXPECT_NE(effect.apply(host::Project::kEffectKey + 1), PF_Err_NONE) << "no such effect is installed";
    });
    ASSERT_EQ(target().layer().effects().size(), 2u);
    EXPECT_EQ(target().flags, AEGP_EffectFlags_ACTIVE);
    EXPECT_EQ(target().layer().effects()[1]->flags, 0);
}

// The other flags stay, and a failed query changes nothing.
TEST_F(EffectHandleTest, HidingChangesTheFlagOnlyWhenItDiffers) {
    const struct {
        AEGP_DynStreamFlags before;
        bool hide;
        AEGP_DynStreamFlags after;
        std::size_t sets;
    } cases[] = {{AEGP_DynStreamFlag_HIDDEN, true, AEGP_DynStreamFlag_HIDDEN, 0}, {AEGP_DynStreamFlag_HIDDEN, false, 0, 1},
                 {0, false, 0, 0},
                 {AEGP_DynStreamFlag_DISABLED, true, AEGP_DynStreamFlag_DISABLED | AEGP_DynStreamFlag_HIDDEN, 1}};
    for (const auto& c : cases) {
        ratio().dynamicFlags = c.before;
        host.log().clear();
        withRatio([&](Nerevo::StreamBase& s) { EXPECT_EQ(c.hide ? s.hide(nullptr) : s.show(nullptr), PF_Err_NONE); });
        EXPECT_EQ(host.log().count("AEGP_SetDynamicStreamFlag"), c.sets);
        EXPECT_EQ(ratio().dynamicFlags, c.after);
    }
    ratio().dynamicFlags = 0;
    host.faults().failCall("AEGP_GetDynamicStreamFlags", 1, PF_Err_OUT_OF_MEMORY);
    withRatio([](Nerevo::StreamBase& stream) { EXPECT_EQ(stream.hide(nullptr), PF_Err_OUT_OF_MEMORY); });
    EXPECT_EQ(ratio().dynamicFlags, 0);
    // Through the command's effect, looked up and given back.
    host.log().clear();
    withRatio([](Nerevo::StreamBase& stream) { EXPECT_EQ(stream.hide(), PF_Err_NONE); });
    EXPECT_EQ(ratio().dynamicFlags, AEGP_DynStreamFlag_HIDDEN);
    EXPECT_EQ(std::make_pair(host.log().count("AEGP_GetNewEffectForEffect"), host.log().count("AEGP_DisposeEffect")),
              std::make_pair(std::size_t{2}, std::size_t{2}));
}

TEST_F(EffectHandleTest, ExpressionsRoundTripAndParameterStreamsHaveNoKeyframes) {
    for (const std::string& text : {std::string("wiggle(2, 10)"), std::string(), std::string("\u03c0 * time")}) {
        withRatio([&](Nerevo::StreamBase& stream) {
            ASSERT_EQ(stream.setExpression(text), PF_Err_NONE);
            ASSERT_EQ(stream.setExpressionState(1), PF_Err_NONE);
            std::string read = "stale";
            unsigned char enabled = 0;
            ASSERT_EQ(stream.getExpression(read), PF_Err_NONE);
            ASSERT_EQ(stream.getExpressionState(enabled), PF_Err_NONE);
            EXPECT_EQ(std::make_pair(read, int(enabled)), std::make_pair(text, 1));
        });
        EXPECT_EQ(std::make_pair(ratio().expression, ratio().expressionEnabled), std::make_pair(text, true));
    }
    ratio().expressionEnabled = false;
    withRatio([](Nerevo::StreamBase& stream) {
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
