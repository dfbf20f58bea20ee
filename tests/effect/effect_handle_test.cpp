// EffectHandle: the references it owns, and the effect's name and place read through its own
// stream group.

#include "command_host.h"
#include "effect/effect_handle.h"

namespace {

using Name = std::basic_string<unsigned short>;

Name name(const char16_t* text) {
    return Name(text, text + std::char_traits<char16_t>::length(text));
}

AEGP_LayerH effectLayer(PF_InData& in, AEGP_SuiteHandler& suites) {
    AEGP_LayerH layer = nullptr;
    EXPECT_EQ(suites.PFInterfaceSuite1()->AEGP_GetEffectLayer(in.effect_ref, &layer), A_Err_NONE);
    return layer;
}

class EffectHandleTest : public test::CommandHost {
protected:
    void TearDown() override { expectAllGivenBack(); }

    void withHandle(const std::function<void(Nerevo::EffectHandle&)>& body) {
        run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
            Nerevo::EffectHandle effect(pluginId, &in, suites);
            ASSERT_EQ(effect.init(), PF_Err_NONE);
            body(effect);
        });
    }
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
    const struct { const char *first, *second; } cases[] = {  // second: failing too, or null
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

}  // namespace
