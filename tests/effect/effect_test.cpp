// The effect in the project the host plays: the references the host's AEGP suites hand out, as the
// end-of-command check holds them against the plug-in, and the library's effect handle and checkouts.

#include <cstring>

#include "command_host.h"
#include "effect/effect_handle.h"
#include "parameter/checkout.h"

namespace {

using ProjectTest = test::CommandHost;

TEST_F(ProjectTest, OneFootageLayerOfTheFrameSizeCarriesTheEffectAndCommandsGoToTheTarget) {
    host::Composition& comp = host.project().composition();
    ASSERT_EQ(comp.layers().size(), 1u);
    host::Layer& layer = *comp.layers()[0];
    EXPECT_EQ(layer.type, AEGP_ObjectType_AV);
    ASSERT_EQ(layer.effects().size(), 1u);
    EXPECT_EQ(&target(), layer.effects()[0].get());
    host.frame().width = 640;
    host.frame().height = 360;
    EXPECT_EQ(std::make_pair(layer.width(), layer.height()), std::make_pair(640, 360));
    layer.setSize(320, 180);
    EXPECT_EQ(std::make_pair(host.frame().width, host.frame().height), std::make_pair(320, 180));
    host.project().setTarget(comp.addLayer(AEGP_ObjectType_TEXT, 200, 50).addEffect());
    EXPECT_EQ(std::make_pair(host.frame().width, host.frame().height), std::make_pair(200, 50));
    EXPECT_EQ(layer.width(), 320) << "the footage layer keeps the size the frame had";
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        EXPECT_EQ(in.width, 200);
        const AEGP_LayerH handle = layerOf(in, suites);
        AEGP_CompH parent = nullptr;
        AEGP_ObjectType type = AEGP_ObjectType_NONE;
        ASSERT_EQ(suites.LayerSuite13()->AEGP_GetLayerObjectType(handle, &type), A_Err_NONE);
        ASSERT_EQ(suites.LayerSuite13()->AEGP_GetLayerParentComp(handle, &parent), A_Err_NONE);
        EXPECT_EQ(std::make_pair(type, parent), std::make_pair(AEGP_ObjectType(AEGP_ObjectType_TEXT),
                                                                reinterpret_cast<AEGP_CompH>(&comp)));
    });
}

// Kept past the command: reported once, the next command starts clean.
TEST_F(ProjectTest, ReferencesKeptOrGivenBackTwiceAreReported) {
    AEGP_EffectRefH effect = nullptr;
    AEGP_StreamRefH stream = nullptr;
    const auto takeBoth = [&](PF_InData& in, AEGP_SuiteHandler& suites) {
        ASSERT_EQ(suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(pluginId, in.effect_ref, &effect),
                  A_Err_NONE);
        ASSERT_EQ(suites.StreamSuite9()->AEGP_GetNewEffectStreamByIndex(pluginId, effect, 1, &stream), A_Err_NONE);
    };
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        takeBoth(in, suites);
        AEGP_MemHandle memory = nullptr;
        ASSERT_EQ(suites.MemorySuite1()->AEGP_NewMemHandle(pluginId, "scratch", 24, AEGP_MemFlag_CLEAR, &memory),
                  A_Err_NONE);
    });
    EXPECT_EQ(host.problems(), (std::vector<std::string>{
                                   "effect reference to \"NerevoTiltShift\" not disposed",
                                   "stream reference to parameter 1 of \"NerevoTiltShift\" not disposed",
                                   "memory handle \"scratch\" of 24 bytes not freed"}));
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        takeBoth(in, suites);
        EXPECT_NE(suites.EffectSuite3()->AEGP_DisposeEffect(reinterpret_cast<AEGP_EffectRefH>(stream)), A_Err_NONE);
        EXPECT_EQ(suites.StreamSuite9()->AEGP_DisposeStream(stream), A_Err_NONE);
        EXPECT_NE(suites.StreamSuite9()->AEGP_DisposeStream(stream), A_Err_NONE);
        EXPECT_EQ(suites.EffectSuite3()->AEGP_DisposeEffect(effect), A_Err_NONE);
        EXPECT_NE(suites.EffectSuite3()->AEGP_DisposeEffect(effect), A_Err_NONE);
    });
    EXPECT_EQ(host.problems().size(), 3u);
}

TEST_F(ProjectTest, MemoryHandlesHoldZeroedBytesAndUnlockOnlyWhenLocked) {
    run([&](PF_InData&, AEGP_SuiteHandler& suites) {
        const AEGP_MemorySuite1& memory = *suites.MemorySuite1();
        AEGP_MemHandle handle = nullptr;
        ASSERT_EQ(memory.AEGP_NewMemHandle(pluginId, "buffer", 8, AEGP_MemFlag_NONE, &handle), A_Err_NONE);
        AEGP_MemSize size = 0;
        void* data = nullptr;
        ASSERT_EQ(memory.AEGP_GetMemHandleSize(handle, &size), A_Err_NONE);
        ASSERT_EQ(memory.AEGP_LockMemHandle(handle, &data), A_Err_NONE);
        EXPECT_EQ(std::string(static_cast<const char*>(data), size), std::string(8, '\0'));
        EXPECT_EQ(memory.AEGP_UnlockMemHandle(handle), A_Err_NONE);
        EXPECT_NE(memory.AEGP_UnlockMemHandle(handle), A_Err_NONE);
        EXPECT_EQ(memory.AEGP_FreeMemHandle(handle), A_Err_NONE);
        handle = reinterpret_cast<AEGP_MemHandle>(&data);
        EXPECT_EQ(memory.AEGP_NewMemHandle(pluginId, "huge", ~AEGP_MemSize{0}, AEGP_MemFlag_NONE, &handle),
                  A_Err_ALLOC);
        EXPECT_EQ(handle, nullptr);
    });
    EXPECT_EQ(host.problems(), std::vector<std::string>{"AEGP_UnlockMemHandle of \"buffer\", which is not locked"});
}

TEST_F(ProjectTest, ParameterStreamsAreNamedAfterTheirParametersAndStrangersAreRefused) {
    withEffect([&](PF_InData& in, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
        AEGP_StreamRefH stream = nullptr;
        AEGP_MemHandle name = nullptr;
        ASSERT_EQ(suites.StreamSuite9()->AEGP_GetNewEffectStreamByIndex(pluginId, effect, index("Focus Distance"),
                                                                        &stream),
                  A_Err_NONE);
        ASSERT_EQ(suites.StreamSuite9()->AEGP_GetStreamName(pluginId, stream, false, &name), A_Err_NONE);
        void* text = nullptr;
        AEGP_MemSize size = 0;
        A_long place = -1;
        ASSERT_EQ(suites.MemorySuite1()->AEGP_LockMemHandle(name, &text), A_Err_NONE);
        ASSERT_EQ(suites.MemorySuite1()->AEGP_GetMemHandleSize(name, &size), A_Err_NONE);
        ASSERT_EQ(suites.DynamicStreamSuite5()->AEGP_GetStreamIndexInParent(stream, &place), A_Err_NONE);
        EXPECT_EQ(std::make_pair(std::u16string(static_cast<const char16_t*>(text), size / 2), int(place)),
                  std::make_pair(std::u16string(u"Focus Distance", 15), index("Focus Distance") - 1));
        const A_UTF16Char other[] = {'X', 0};
        EXPECT_NE(suites.DynamicStreamSuite5()->AEGP_SetStreamName(stream, other), A_Err_NONE);
        // The input layer, past the last parameter, not an effect reference, no place for the result.
        AEGP_StreamRefH none = nullptr;
        const std::tuple<AEGP_EffectRefH, int, AEGP_StreamRefH*> refused[] = {
            {effect, 0, &none}, {effect, static_cast<int>(host.params().size()), &none},
            {reinterpret_cast<AEGP_EffectRefH>(&none), 1, &none}, {effect, 1, nullptr}};
        for (const auto& [from, param, out] : refused) {
            EXPECT_EQ(suites.StreamSuite9()->AEGP_GetNewEffectStreamByIndex(pluginId, from, param, out),
                      PF_Err_BAD_CALLBACK_PARAM) << param;
        }
        // Another plug-in's id, no plug-in's id, handles the host did not hand out.
        AEGP_EffectRefH stranger = nullptr;
        AEGP_LayerH layer = nullptr;
        AEGP_ObjectType type = AEGP_ObjectType_NONE;
        EXPECT_EQ((std::vector<A_Err>{
                      suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(pluginId + 1, in.effect_ref, &stranger),
                      suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(0, in.effect_ref, &stranger),
                      suites.PFInterfaceSuite1()->AEGP_GetEffectLayer(reinterpret_cast<PF_ProgPtr>(&in), &layer),
                      suites.LayerSuite13()->AEGP_GetLayerObjectType(reinterpret_cast<AEGP_LayerH>(&in), &type)}),
                  std::vector<A_Err>(4, PF_Err_BAD_CALLBACK_PARAM));
        EXPECT_EQ(stranger, nullptr);
        suites.MemorySuite1()->AEGP_FreeMemHandle(name);
        suites.StreamSuite9()->AEGP_DisposeStream(stream);
    });
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

using Name = std::basic_string<unsigned short>;

Name name(const char16_t* text) {
    return Name(text, text + std::char_traits<char16_t>::length(text));
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
        ASSERT_EQ(suites.EffectSuite3()->AEGP_GetLayerEffectByIndex(pluginId, layerOf(in, suites), 0, &other),
                  A_Err_NONE);
        Nerevo::EffectHandle effect(pluginId, &in, suites);
        ASSERT_EQ(effect.init(), PF_Err_NONE);
        EXPECT_EQ(effect.init(other), PF_Err_NONE);
        EXPECT_EQ(effect.get(), other);
    });
    EXPECT_EQ(host.log().count("AEGP_DisposeEffect"), 2u);
}

// Whatever step fails, the group streams and the name's memory go back to the host; a failed
// free counts only without an earlier error.
TEST_F(EffectHandleTest, NameCanBeChangedAndReadingItReturnsTheFirstErrorAndLeaksNothing) {
    withHandle([](Nerevo::EffectHandle& effect) {
        Name read;
        ASSERT_EQ(effect.setName(name(u"Miniature \u00e9t\u00e9")), PF_Err_NONE);
        ASSERT_EQ(effect.getName(read), PF_Err_NONE);
        EXPECT_EQ(read, name(u"Miniature \u00e9t\u00e9"));
    });
    EXPECT_EQ(target().name, u"Miniature \u00e9t\u00e9");
    const struct { const char *first, *second; } cases[] = {  // second: failing too, or null
        {"AEGP_LockMemHandle", "AEGP_FreeMemHandle"}, {"AEGP_FreeMemHandle", nullptr}, {"AEGP_LockMemHandle", nullptr},
        {"AEGP_GetNewEffectStreamByIndex", nullptr}, {"AEGP_GetNewParentStreamRef", nullptr},
        {"AEGP_GetStreamName", nullptr}, {"AEGP_GetMemHandleSize", nullptr}};
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
            EXPECT_EQ(read, name(u"Miniature \u00e9t\u00e9")) << "the text was read before the free failed";
        } else if (!c.second) {
            EXPECT_TRUE(host.problems().empty()) << host.problems().front();
        }
        host.faults().clear();
    }
}

// An applied effect comes last and is held; the place is read back through another handle.
TEST_F(EffectHandleTest, AppliedEffectComesLastAndIndexIsThePlaceInTheLayersEffectList) {
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        Nerevo::EffectHandle first(pluginId, &in, suites), applied(pluginId, &in, suites),
            second(pluginId, &in, suites);
        ASSERT_EQ(first.init(), PF_Err_NONE);
        ASSERT_EQ(applied.apply(host::Project::kEffectKey), PF_Err_NONE);
        ASSERT_EQ(second.init(layerOf(in, suites), 1), PF_Err_NONE);
        const auto place = [](Nerevo::EffectHandle& effect) {
            int index = -1;
            EXPECT_EQ(effect.getIndex(index), PF_Err_NONE);
            return index;
        };
        int key = 0, flags = -1;
        ASSERT_EQ(applied.getKey(key), PF_Err_NONE);
        ASSERT_EQ(applied.setEffectFlags(AEGP_EffectFlags_ACTIVE, 0), PF_Err_NONE);
        ASSERT_EQ(second.getEffectFlags(flags), PF_Err_NONE);
        EXPECT_EQ(std::make_tuple(place(first), place(applied), place(second), key, flags),
                  std::make_tuple(0, 1, 1, host::Project::kEffectKey, 0));
        EXPECT_NE(applied.apply(host::Project::kEffectKey + 1), PF_Err_NONE) << "no such effect is installed";
        ASSERT_EQ(second.reorder(0), PF_Err_NONE);
        EXPECT_EQ(place(first), 1);
    });
    ASSERT_EQ(target().layer().effects().size(), 2u);
    EXPECT_EQ(std::make_tuple(target().index(), target().flags, target().layer().effects()[0]->flags),
              std::make_tuple(1, AEGP_EffectFlags(AEGP_EffectFlags_ACTIVE), AEGP_EffectFlags(0)));
}

using CheckoutTest = test::CommandHost;

TEST_F(CheckoutTest, ConversionsOfTheHostsValues) {
    def("Direction").u.ad.value = -(45 << 16) - (1 << 15);
    def("Center").u.td.x_value = -32768;
    def("Center").u.td.y_value = 6569984;
    def("Vignetting Color").u.cd.value = PF_Pixel{0, 255, 128, 0};
    def("Repeat Edge Pixels").u.bd.value = 7;
    def("Grow Bounds").u.bd.value = 0;
    def("Type").u.pd.value = 2;
    def("Blur Amount").u.fs_d.value = 50.0;
    run([&](PF_InData& in, AEGP_SuiteHandler&) {
        double degrees = 0, radians = 0, amountD = 0;
        float amount = 0;
        Nerevo::Vector2<double> point{};
        Nerevo::Color<float> c{};
        bool repeat = false, grow = true;
        int type = 0;
        EXPECT_EQ(Nerevo::checkoutAngleParam(&in, index("Direction"), degrees, false), PF_Err_NONE);
        EXPECT_EQ(Nerevo::checkoutAngleParam(&in, index("Direction"), radians, true), PF_Err_NONE);
        EXPECT_EQ(Nerevo::checkoutPointParam(&in, index("Center"), point), PF_Err_NONE);
        EXPECT_EQ(Nerevo::checkoutColorParam(&in, index("Vignetting Color"), c), PF_Err_NONE);
        EXPECT_EQ(Nerevo::checkoutCheckboxParam(&in, index("Repeat Edge Pixels"), repeat), PF_Err_NONE);
        EXPECT_EQ(Nerevo::checkoutCheckboxParam(&in, index("Grow Bounds"), grow), PF_Err_NONE);
        EXPECT_EQ(Nerevo::checkoutPopupParam(&in, index("Type"), type), PF_Err_NONE);
        EXPECT_EQ(Nerevo::checkoutFloatParam(&in, index("Blur Amount"), amount, 0.01f), PF_Err_NONE);
        EXPECT_EQ(Nerevo::checkoutFloatParam(&in, index("Blur Amount"), amountD, 0.01), PF_Err_NONE);
        EXPECT_DOUBLE_EQ(radians, -45.5 * 3.14159265358979323846 / 180);
        EXPECT_EQ((std::vector<double>{degrees, point.x, point.y, c.a, c.r, c.g, c.b, double(repeat), double(grow),
                                       double(type), amount, amountD}),
                  (std::vector<double>{-45.5, -0.5, 100.25, 1, 1, 128 / 255.0f, 0, 1, 0, 2, 0.5, 50.0 * 0.01}));
    });
}

// A failed checkout still writes the conversion of an empty record.
TEST_F(CheckoutTest, FailedCheckoutWritesTheEmptyValue) {
    def("Vignetting Color").u.cd.value = PF_Pixel{255, 10, 20, 30};
    def("Blur Amount").u.fs_d.value = 80.0;
    run([&](PF_InData& in, AEGP_SuiteHandler&) {
        Nerevo::Color<float> colour{0.5f, 0.5f, 0.5f, 0.5f};
        double amount = 99;
        bool repeat = true;
        host.faults().failCall("checkout_param", 1, PF_Err_OUT_OF_MEMORY);
        EXPECT_EQ(Nerevo::checkoutColorParam(&in, index("Vignetting Color"), colour), PF_Err_OUT_OF_MEMORY);
        host.faults().failCall("checkout_param", 1, PF_Err_INVALID_INDEX);
        EXPECT_EQ(Nerevo::checkoutFloatParam(&in, index("Blur Amount"), amount, 1.0), PF_Err_INVALID_INDEX);
        EXPECT_NE(Nerevo::checkoutCheckboxParam(&in, static_cast<int>(host.params().size()), repeat), PF_Err_NONE);
        EXPECT_EQ((std::vector<double>{colour.a, colour.r, colour.g, colour.b, amount, double(repeat)}),
                  (std::vector<double>{1, 0, 0, 0, 0, 0}));
    });
}

// The host takes only an update that describes a registered parameter.
TEST_F(CheckoutTest, GrayingOutKeepsTheOtherFlagsAndLeavesTheArray) {
    PF_ParamDef& record = def("Ratio");
    record.ui_flags = 1 << 3;
    PF_ParamDef before;
    std::memcpy(&before, &record, sizeof before);
    std::vector<PF_ParamDef*> params(host.params().size());
    params[index("Ratio")] = &record;
    for (const bool gray : {true, false}) {
        run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
            EXPECT_EQ(Nerevo::grayOutParameter(&in, suites, params.data(), index("Ratio"), gray), PF_Err_NONE);
        });
        EXPECT_EQ(stream("Ratio").uiFlags, gray ? (1 << 3) | PF_PUI_DISABLED : 1 << 3);
        EXPECT_EQ(std::memcmp(&before, &record, sizeof before), 0) << "the parameter array was written";
    }
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        const PF_ParamUtilsSuite2& utils = *suites.ParamUtilsSuite2();
        EXPECT_EQ(utils.PF_UpdateParamUI(in.effect_ref, 0, &record), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(utils.PF_UpdateParamUI(in.effect_ref, index("Type"), &record), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(utils.PF_UpdateParamUI(in.effect_ref, index("Ratio"), nullptr), PF_Err_BAD_CALLBACK_PARAM);
    });
    EXPECT_EQ(stream("Type").uiFlags, 0);
}

}  // namespace
