// EffectHandle: the reference it owns, and the effect's name and place read
// through the effect's own stream group.

#include "command_host.h"
#include "effect/effect_handle.h"

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

using EffectHandleTest = CommandHost;

TEST_F(EffectHandleTest, DisposingAnEmptyHandleCallsNothing) {
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        Nerevo::EffectHandle effect(pluginId, &in, suites);
        EXPECT_EQ(effect.dispose(), PF_Err_NONE);
    });
    EXPECT_TRUE(host.log().calls().empty());
    EXPECT_TRUE(host.problems().empty());
}

TEST_F(EffectHandleTest, DisposingTwiceDisposesOnce) {
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        Nerevo::EffectHandle effect(pluginId, &in, suites);
        ASSERT_EQ(effect.init(), PF_Err_NONE);
        ASSERT_NE(effect.get(), nullptr);
        EXPECT_EQ(effect.dispose(), PF_Err_NONE);
        EXPECT_EQ(effect.get(), nullptr);
        EXPECT_EQ(effect.dispose(), PF_Err_NONE);
    });
    EXPECT_EQ(operations(), (std::vector<std::string>{"AEGP_GetNewEffectForEffect", "AEGP_DisposeEffect"}));
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(EffectHandleTest, DestructorGivesTheReferenceBack) {
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        Nerevo::EffectHandle effect(pluginId, &in, suites);
        ASSERT_EQ(effect.init(), PF_Err_NONE);
    });
    EXPECT_EQ(host.log().count("AEGP_DisposeEffect"), 1u);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(EffectHandleTest, AdoptingDisposesTheHeldReference) {
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
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(EffectHandleTest, NameIsTheEffectsAndCanBeChanged) {
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        Nerevo::EffectHandle effect(pluginId, &in, suites);
        ASSERT_EQ(effect.init(), PF_Err_NONE);
        Name read;
        ASSERT_EQ(effect.getName(read), PF_Err_NONE);
        EXPECT_EQ(read, name(u"NerevoTiltShift"));

        ASSERT_EQ(effect.setName(name(u"Miniature \u00e9t\u00e9")), PF_Err_NONE);
        ASSERT_EQ(effect.getName(read), PF_Err_NONE);
        EXPECT_EQ(read, name(u"Miniature \u00e9t\u00e9"));
    });
    EXPECT_EQ(target().name, u"Miniature \u00e9t\u00e9");
    // The group streams and the name's memory went back.
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(EffectHandleTest, IndexIsThePlaceInTheLayersEffectList) {
    host::Layer& layer = target().layer();
    layer.addEffect();
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        Nerevo::EffectHandle first(pluginId, &in, suites);
        Nerevo::EffectHandle second(pluginId, &in, suites);
        ASSERT_EQ(first.init(), PF_Err_NONE);
        ASSERT_EQ(second.init(effectLayer(in, suites), 1), PF_Err_NONE);
        int index = -1;
        ASSERT_EQ(first.getIndex(index), PF_Err_NONE);
        EXPECT_EQ(index, 0);
        ASSERT_EQ(second.getIndex(index), PF_Err_NONE);
        EXPECT_EQ(index, 1);

        ASSERT_EQ(second.reorder(0), PF_Err_NONE);
        ASSERT_EQ(first.getIndex(index), PF_Err_NONE);
        EXPECT_EQ(index, 1);
    });
    EXPECT_EQ(target().index(), 1);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(EffectHandleTest, AppliedEffectComesLastAndIsHeld) {
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        Nerevo::EffectHandle effect(pluginId, &in, suites);
        ASSERT_EQ(effect.apply(host::Project::kEffectKey), PF_Err_NONE);
        int index = -1;
        ASSERT_EQ(effect.getIndex(index), PF_Err_NONE);
        EXPECT_EQ(index, 1);
        int key = 0;
        ASSERT_EQ(effect.getKey(key), PF_Err_NONE);
        EXPECT_EQ(key, host::Project::kEffectKey);
        ASSERT_EQ(effect.setEffectFlags(AEGP_EffectFlags_ACTIVE, 0), PF_Err_NONE);
        int flags = -1;
        ASSERT_EQ(effect.getEffectFlags(flags), PF_Err_NONE);
        EXPECT_EQ(flags, 0);
        EXPECT_NE(effect.apply(host::Project::kEffectKey + 1), PF_Err_NONE) << "no such effect is installed";
    });
    ASSERT_EQ(target().layer().effects().size(), 2u);
    EXPECT_EQ(target().flags, AEGP_EffectFlags_ACTIVE);
    EXPECT_EQ(target().layer().effects()[1]->flags, 0);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

// Whatever step fails, its error comes back and the group streams and the
// name's memory go back to the host.
TEST_F(EffectHandleTest, NameErrorsReturnFirstAndLeakNothing) {
    for (const char* call : {"AEGP_GetNewEffectStreamByIndex", "AEGP_GetNewParentStreamRef", "AEGP_GetStreamName",
                             "AEGP_GetMemHandleSize", "AEGP_LockMemHandle"}) {
        host.faults().failCall(call, 1, PF_Err_OUT_OF_MEMORY);
        PF_Err err = PF_Err_NONE;
        run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
            Nerevo::EffectHandle effect(pluginId, &in, suites);
            ASSERT_EQ(effect.init(), PF_Err_NONE);
            Name read;
            err = effect.getName(read);
        });
        EXPECT_EQ(err, PF_Err_OUT_OF_MEMORY) << call;
        EXPECT_TRUE(host.problems().empty()) << call << ": " << host.problems().front();
        host.faults().clear();
    }
}

TEST_F(EffectHandleTest, FreeingTheNameCountsOnlyWithoutEarlierError) {
    host.faults().failCall("AEGP_FreeMemHandle", 1, PF_Err_OUT_OF_MEMORY);
    Name read;
    PF_Err err = PF_Err_NONE;
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        Nerevo::EffectHandle effect(pluginId, &in, suites);
        ASSERT_EQ(effect.init(), PF_Err_NONE);
        err = effect.getName(read);
    });
    EXPECT_EQ(err, PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(read, name(u"NerevoTiltShift")) << "the text was read before the free failed";

    host.faults().failCall("AEGP_LockMemHandle", 1, PF_Err_INVALID_INDEX);
    host.faults().failCall("AEGP_FreeMemHandle", 1, PF_Err_OUT_OF_MEMORY);
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        Nerevo::EffectHandle effect(pluginId, &in, suites);
        ASSERT_EQ(effect.init(), PF_Err_NONE);
        err = effect.getName(read);
    });
    EXPECT_EQ(err, PF_Err_INVALID_INDEX);
}

}  // namespace
