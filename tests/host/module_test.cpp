// The module, its suites, handles and parameters, as the fake plug-in meets them.

#include <cstring>
#include <string>

#include "AE_EffectCBSuites.h"
#include "AE_GeneralPlug.h"
#include "fake_host.h"
#include "host/panel.h"
#include "host/project.h"
#include "host/render.h"

// Under the sanitizers an impossible allocation must still return null, so the host's handling is tested.
extern "C" __attribute__((visibility("default"))) const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}
extern "C" __attribute__((visibility("default"))) const char* __tsan_default_options() {
    return "allocator_may_return_null=1";
}

namespace {

using host::Host;
using host::HostError;
using test::FakeHost;

std::string loadError(const std::string& path) {
    try {
        Host host(path);
    } catch (const HostError& error) {
        return error.what();
    }
    return "";
}

TEST(ModuleLoading, FailuresNameThePathAndTheReason) {
    for (const auto& [path, reason] : {std::pair<std::string, std::string>{"/nonexistent/plugin.so", "No such file"},
                                       {HOST_NO_ENTRY_MODULE, "EntryPointFunc"}}) {
        const std::string error = loadError(path);
        EXPECT_TRUE(error.find(path) != std::string::npos && error.find(reason) != std::string::npos) << error;
    }
    EXPECT_NE(loadError(""), "") << "an unset path must not load the test program itself";

    Host host(HOST_FAKE_PLUGIN);
    EXPECT_NE(host.symbol("FakeState"), nullptr);
    EXPECT_EQ(host.symbol("globalSetup"), nullptr) << "not exported";
}

TEST(ModuleLoading, UnloadSendsGlobalSetdownOnlyAfterSuccessfulSetup) {
    Host keeper(HOST_FAKE_PLUGIN);  // keeps the module and its counters loaded
    const auto* state = static_cast<const FakeCounters*>(keeper.symbol("FakeState"));
    const int before = state->setdowns;
    enum { kUnloaded, kSetDownFirst, kSetupFailed };
    for (const int way : {kUnloaded, kSetDownFirst, kSetupFailed}) {
        Host host(HOST_FAKE_PLUGIN);
        if (way == kSetupFailed) {
            host.faults().failCall("AEGP_RegisterWithAEGP", 1, A_Err_GENERIC);
        }
        ASSERT_EQ(host.globalSetup(), way == kSetupFailed ? PF_Err{A_Err_GENERIC} : PF_Err{PF_Err_NONE});
        if (way == kSetDownFirst) {
            EXPECT_EQ(host.send(PF_Cmd_GLOBAL_SETDOWN), PF_Err_NONE);
            EXPECT_TRUE(host.problems().empty()) << "the plug-in freed its global data";
            EXPECT_EQ(host.liveHandles(), 0u);
        }
    }
    EXPECT_EQ(state->setdowns, before + 2);
}

TEST_F(FakeHost, SprintfNeverWritesPastTheReturnMessage) {
    run([&](PF_InData& in, PF_OutData& out) {
        out.start_sampL = 77;
        EXPECT_EQ(in.utils->ansi.sprintf(out.return_msg, "%s", std::string(400, 'x').c_str()), PF_MAX_EFFECT_MSG_LEN);
        EXPECT_EQ(std::strlen(out.return_msg), static_cast<std::size_t>(PF_MAX_EFFECT_MSG_LEN));
        EXPECT_EQ(out.start_sampL, 77);
    });
}

TEST_F(FakeHost, UnknownSuitesFailAndUnbalancedOnesAreReported) {
    run([](PF_InData& in, PF_OutData&) {
        const void* table = &in;
        EXPECT_NE(in.pica_basicP->AcquireSuite(kPFHandleSuite, 3, &table), kSPNoError);
        EXPECT_EQ(table, nullptr);
    });
    EXPECT_TRUE(host.problems().empty());
    run([](PF_InData& in, PF_OutData&) { EXPECT_NE(acquire<PF_HandleSuite2>(in, kPFHandleSuite, 2), nullptr); });
    EXPECT_EQ(host.problems(),
              std::vector<std::string>{"suite \"PF Handle Suite\" v2 acquired 1 time(s) more than released"});
    // Counts start again with each command; a release beyond the acquisitions is refused.
    run([](PF_InData& in, PF_OutData&) {
        EXPECT_NE(in.pica_basicP->ReleaseSuite(kPFHandleSuite, 2), kSPNoError);
        acquire<PF_HandleSuite2>(in, kPFHandleSuite, 2);
        EXPECT_EQ(in.pica_basicP->ReleaseSuite(kPFHandleSuite, 2), kSPNoError);
        EXPECT_NE(in.pica_basicP->ReleaseSuite(kPFHandleSuite, 2), kSPNoError);
        const std::string same = kPFHandleSuite;
        EXPECT_TRUE(in.pica_basicP->IsEqual(kPFHandleSuite, same.c_str()));
        EXPECT_FALSE(in.pica_basicP->IsEqual(kPFHandleSuite, "PF Handle Suite 2"));
        EXPECT_FALSE(in.pica_basicP->IsEqual(kPFHandleSuite, nullptr));
    });
    ASSERT_EQ(host.problems().size(), 2u);
    EXPECT_NE(host.problems()[1].find("released but not held"), std::string::npos) << host.problems()[1];
}

TEST_F(FakeHost, HandlesRoundTripAndLeakedTwiceDisposedOrKeptGlobalOnesAreReportedForTheirCommandOnly) {
    run([](PF_InData& in, PF_OutData&) {
        const auto& suite = *acquire<PF_HandleSuite2>(in, kPFHandleSuite, kPFHandleSuiteVersion2);
        PF_Handle handle = suite.host_new_handle(16);
        auto* bytes = static_cast<char*>(suite.host_lock_handle(handle));
        EXPECT_EQ(std::string(bytes, 16), std::string(16, 0));
        std::memset(bytes, 'x', 16);
        suite.host_unlock_handle(handle);
        EXPECT_EQ(suite.host_resize_handle(64, &handle), PF_Err_NONE);
        bytes = static_cast<char*>(suite.host_lock_handle(handle));
        EXPECT_EQ(std::string(bytes, 64), std::string(16, 'x') + std::string(48, 0));
        EXPECT_EQ(suite.host_get_handle_size(handle), 64u);
        suite.host_dispose_handle(handle);
        EXPECT_EQ(suite.host_new_handle(A_u_longlong{1} << 62), nullptr);
        in.pica_basicP->ReleaseSuite(kPFHandleSuite, kPFHandleSuiteVersion2);
    });
    EXPECT_TRUE(host.problems().empty());
    EXPECT_EQ(host.liveHandles(), 1u);  // the global data
    run([](PF_InData& in, PF_OutData&) { in.utils->host_new_handle(24); });
    EXPECT_EQ(host.problems(),
              std::vector<std::string>{"handle of 24 bytes neither disposed nor handed to the host"});
    EXPECT_EQ(host.liveHandles(), 2u);
    run([](PF_InData& in, PF_OutData&) {
        PF_Handle handle = in.utils->host_new_handle(4);
        in.utils->host_dispose_handle(handle);
        in.utils->host_dispose_handle(handle);
    });
    ASSERT_EQ(host.problems().size(), 1u);
    EXPECT_NE(host.problems()[0].find("disposed twice"), std::string::npos) << host.problems()[0];

    EXPECT_EQ(host.registeredPlugins(), std::vector<std::string>{"Fake"});
    int keep = 1;
    host.send(PF_Cmd_GLOBAL_SETDOWN, &keep);
    EXPECT_EQ(host.problems(),
              std::vector<std::string>{"global data handle of 16 bytes not disposed at global setdown"});
}

// The cache key takes any bytes but none from nowhere.
TEST_F(FakeHost, RendersInTheLayersFrameCoverTheLayerAndTheResult) {
    auto& fake = *static_cast<FakeCounters*>(host.symbol("FakeState"));
    const host::Image layer(PF_PixelFormat_ARGB32, 6, 4);
    host::RenderOptions options;
    options.inLayerFrame = true;
    const struct {
        PF_LRect result, frame;
    } cases[] = {
        {{-2, -1, 3, 4}, {-2, -1, 6, 4}}, {{0, 0, 3, 4}, {0, 0, 6, 4}}, {{0, 0, 6, 2}, {0, 0, 6, 4}},
        {{1, 1, 8, 5}, {0, 0, 8, 5}},     {{0, 0, 6, 4}, {0, 0, 6, 4}},
    };
    for (const auto& c : cases) {
        fake.result = c.result;
        const host::RenderResult r = host::renderFrame(host, layer, options);
        ASSERT_EQ(r.err, PF_Err_NONE);
        const PF_EffectWorld& w = *r.output->world();
        ASSERT_EQ((std::vector<A_long>{w.origin_x, w.origin_y, w.origin_x + w.width, w.origin_y + w.height}),
                  (std::vector<A_long>{c.frame.left, c.frame.top, c.frame.right, c.frame.bottom}));
        for (int i = 0; i < w.width * w.height; ++i) {
            const int x = w.origin_x + i % w.width, y = w.origin_y + i / w.width;
            const bool inside = x >= c.result.left && x < c.result.right && y >= c.result.top && y < c.result.bottom;
            EXPECT_EQ(r.output->at<PF_Pixel>(i % w.width, i / w.width).red, inside ? kFakeGrey.red : 0) << x << "," << y;
        }
    }
    for (const auto& [guid, expected] : {std::pair{16, PF_Err_NONE}, {0, PF_Err_NONE}, {-16, PF_Err_BAD_CALLBACK_PARAM}}) {
        fake.guid = guid;
        EXPECT_EQ(host::renderFrame(host, layer).err, expected) << guid;
    }
    fake.guid = 0;  // the layer's pixels checked out are its content, away from the origin too
    options.content = PF_LRect{2, 1, 5, 3};
    ASSERT_EQ(host::renderFrame(host, layer, options).err, PF_Err_NONE);
    EXPECT_EQ((std::vector<A_long>{fake.input.left, fake.input.top, fake.input.right, fake.input.bottom}),
              (std::vector<A_long>{2, 1, 5, 3}));
}

TEST_F(FakeHost, RecordsRegisteredParametersAfterTheInputLayerInOrder) {
    EXPECT_EQ(std::make_pair(host.param(0).name, host.param(0).registered.param_type),
              std::make_pair(std::string("Input"), PF_ParamType{PF_Param_LAYER}));
    const host::ParamRecord& type = host.param(1);
    EXPECT_EQ(type.popupItems, (std::vector<std::string>{"Radial", "(-", "Linear"}));
    EXPECT_STREQ(type.registered.u.pd.u.namesptr, "Radial|(-|Linear");
    EXPECT_STREQ(type.current.u.pd.u.namesptr, "Radial|(-|Linear");
    EXPECT_EQ(host.param(3).checkboxLabel, "Grow bounds");
    EXPECT_STREQ(host.param(3).registered.u.bd.u.nameptr, "Grow bounds");
    EXPECT_EQ(host.paramIndex("Amount"), 2);
    EXPECT_THROW(host.paramIndex("Nothing"), HostError);
    EXPECT_THROW(host.param(4), HostError);
    EXPECT_THROW(host.param(-1), HostError);
}

TEST_F(FakeHost, CheckoutHandsOutTheInputWithoutPixelsAndRejectsBadCalls) {
    run([&](PF_InData& in, PF_OutData&) {
        const auto checkout = [&](PF_ParamIndex index, PF_ProgPtr ref, PF_ParamDef& def) {
            return in.inter.checkout_param(ref, index, in.current_time, in.time_step, in.time_scale, &def);
        };
        PF_ParamDef def{};
        EXPECT_EQ(checkout(0, in.effect_ref, def), PF_Err_NONE);
        EXPECT_TRUE(def.param_type == PF_Param_LAYER && def.u.ld.data == nullptr);
        for (const PF_ParamIndex index : {-1, 4}) {
            EXPECT_EQ(checkout(index, in.effect_ref, def), PF_Err_BAD_CALLBACK_PARAM) << index;
        }
        EXPECT_EQ(checkout(1, reinterpret_cast<PF_ProgPtr>(&def), def), PF_Err_BAD_CALLBACK_PARAM) << "not the host's";
        EXPECT_EQ(in.inter.add_param(in.effect_ref, -1, &def), PF_Err_BAD_CALLBACK_PARAM) << "outside params setup";
    });
}

// A value the plug-in changes in an event becomes the keyframe at the event's time; the host's
// record keeps the value the stream holds without keyframes.
TEST_F(FakeHost, EventsSeeAnimatedValuesAtTheirTime) {
    auto& fake = *static_cast<FakeCounters*>(host.symbol("FakeState"));
    const int amount = host.paramIndex("Amount");
    const A_long step = host.frame().timeStep;
    const A_u_long scale = host.frame().timeScale;
    host.project().target().stream(amount).setKeyframes({{A_Time{0, scale}, {10}}, {A_Time{10 * step, scale}, {30}}});
    host::Panel panel;
    panel.width = panel.height = 100;
    const auto clickAt = [&](A_long frame) {
        host.frame().currentTime = frame * step;
        return host.ui().click(panel, PF_Point{1, 1});
    };
    const std::pair<A_long, double> events[] = {{0, 10}, {5, 20}, {10, 30}, {-3, 10}, {40, 30}};
    for (const auto& [frame, seen] : events) {
        ASSERT_EQ(clickAt(frame).err, PF_Err_NONE);
        EXPECT_EQ(fake.eventAmount, seen) << "at frame " << frame;
        EXPECT_EQ(host.param(amount).current.u.fs_d.value, 50) << "at frame " << frame;
    }

    fake.clickAmount = 42;
    const host::EventResult changed = clickAt(5);
    fake.clickAmount = -1;
    EXPECT_EQ(changed.changed, std::vector<int>{amount});
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
    const std::vector<host::Keyframe>& keyframes = host.project().target().stream(amount).keyframes();
    ASSERT_EQ(keyframes.size(), 3u);
    EXPECT_EQ(std::make_pair(keyframes[1].time.value, keyframes[1].value[0]), std::make_pair(5 * step, 42.0));
    EXPECT_EQ(host.param(amount).current.u.fs_d.value, 50);
    ASSERT_EQ(clickAt(7).err, PF_Err_NONE);
    EXPECT_DOUBLE_EQ(fake.eventAmount, 42 + (30 - 42) * 2 / 5.0) << "between the new keyframe and the last";
}

}  // namespace
