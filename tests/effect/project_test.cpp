// The project the host plays and the references its AEGP suites hand out, as the end-of-command
// check holds them against the plug-in.

#include "command_host.h"

namespace {

using ProjectTest = test::CommandHost;

TEST_F(ProjectTest, OneFootageLayerOfTheFrameSizeCarriesTheEffectAndCommandsGoToTheTarget) {
    host::Composition& comp = host.project().composition();
    ASSERT_EQ(comp.layers().size(), 1u);
    host::Layer& layer = *comp.layers()[0];
    EXPECT_EQ(layer.type, AEGP_ObjectType_AV);
    ASSERT_EQ(layer.effects().size(), 1u);
    EXPECT_EQ(&target(), layer.effects()[0].get());
    EXPECT_EQ(target().name, u"NerevoTiltShift");

    host.frame().width = 640;
    host.frame().height = 360;
    EXPECT_EQ(std::make_pair(layer.width(), layer.height()), std::make_pair(640, 360));
    layer.setSize(320, 180);
    EXPECT_EQ(std::make_pair(host.frame().width, host.frame().height), std::make_pair(320, 180));

    host::Layer& text = host.project().composition().addLayer(AEGP_ObjectType_TEXT, 200, 50);
    host::Effect& onText = text.addEffect();
    host.project().setTarget(onText);
    EXPECT_EQ(std::make_pair(host.frame().width, host.frame().height), std::make_pair(200, 50));
    EXPECT_EQ(layer.width(), 320) << "the footage layer keeps the size the frame had";

    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        EXPECT_EQ(in.width, 200);
        AEGP_LayerH handle = nullptr;
        AEGP_CompH parent = nullptr;
        AEGP_ObjectType type = AEGP_ObjectType_NONE;
        ASSERT_EQ(suites.PFInterfaceSuite1()->AEGP_GetEffectLayer(in.effect_ref, &handle), A_Err_NONE);
        ASSERT_EQ(suites.LayerSuite13()->AEGP_GetLayerObjectType(handle, &type), A_Err_NONE);
        ASSERT_EQ(suites.LayerSuite13()->AEGP_GetLayerParentComp(handle, &parent), A_Err_NONE);
        EXPECT_EQ(type, AEGP_ObjectType_TEXT);
        EXPECT_EQ(parent, reinterpret_cast<AEGP_CompH>(&comp));
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

TEST_F(ProjectTest, CallsNeedTheRegisteredPluginAndTheirOwnEffect) {
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        AEGP_EffectRefH effect = nullptr;
        EXPECT_EQ(suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(pluginId + 1, in.effect_ref, &effect),
                  PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(0, in.effect_ref, &effect),
                  PF_Err_BAD_CALLBACK_PARAM);
        AEGP_LayerH layer = nullptr;
        EXPECT_EQ(suites.PFInterfaceSuite1()->AEGP_GetEffectLayer(reinterpret_cast<PF_ProgPtr>(&in), &layer),
                  PF_Err_BAD_CALLBACK_PARAM);
        AEGP_ObjectType type = AEGP_ObjectType_NONE;
        EXPECT_EQ(suites.LayerSuite13()->AEGP_GetLayerObjectType(reinterpret_cast<AEGP_LayerH>(&in), &type),
                  PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(effect, nullptr);
    });
    EXPECT_TRUE(host.problems().empty());
}

TEST_F(ProjectTest, ParameterStreamsAreNamedAfterTheirParameters) {
    withEffect([&](PF_InData&, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect, AEGP_LayerH) {
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
        suites.MemorySuite1()->AEGP_FreeMemHandle(name);
        suites.StreamSuite9()->AEGP_DisposeStream(stream);
    });
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST_F(ProjectTest, UpdatesMustDescribeARegisteredParameter) {
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        const PF_ParamUtilsSuite2& utils = *suites.ParamUtilsSuite2();
        PF_ParamDef def = host.param(index("Ratio")).current;
        def.ui_flags = PF_PUI_DISABLED;
        EXPECT_EQ(utils.PF_UpdateParamUI(in.effect_ref, 0, &def), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(utils.PF_UpdateParamUI(in.effect_ref, index("Type"), &def), PF_Err_BAD_CALLBACK_PARAM)
            << "a float slider's definition for a popup";
        EXPECT_EQ(utils.PF_UpdateParamUI(in.effect_ref, index("Ratio"), nullptr), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(utils.PF_UpdateParamUI(in.effect_ref, index("Ratio"), &def), PF_Err_NONE);
    });
    EXPECT_EQ(std::make_tuple(stream("Ratio").uiFlags, stream("Type").uiFlags, def("Ratio").ui_flags),
              std::make_tuple(PF_PUI_DISABLED, 0, 0));
}

}  // namespace
