// Loading modules, unloading them, and commands the host passes through.

#include <climits>
#include <cstring>

#include "fake_host.h"

namespace {

using host::Host;
using host::HostError;
using test::FakeHost;
using test::request;

std::string loadError(const std::string& path) {
    try {
        Host host(path);
    } catch (const HostError& error) {
        return error.what();
    }
    return "";
}

TEST(ModuleLoading, FailuresNameThePathAndTheReason) {
    const std::string missing = loadError("/nonexistent/plugin.so");
    EXPECT_NE(missing.find("/nonexistent/plugin.so"), std::string::npos) << missing;
    EXPECT_NE(missing.find("No such file"), std::string::npos) << missing;

    const std::string noEntry = loadError(HOST_NO_ENTRY_MODULE);
    EXPECT_NE(noEntry.find(HOST_NO_ENTRY_MODULE), std::string::npos) << noEntry;
    EXPECT_NE(noEntry.find("EntryPointFunc"), std::string::npos) << noEntry;

    // An unset module path must not load the test program itself.
    EXPECT_NE(loadError(""), "");
}

TEST(ModuleLoading, OnlyExportedSymbolsAreFound) {
    Host host(HOST_FAKE_PLUGIN);
    EXPECT_NE(host.symbol("FakeState"), nullptr);
    EXPECT_EQ(host.symbol("globalSetup"), nullptr);
    EXPECT_EQ(host.symbol("NoSuchSymbol"), nullptr);
}

TEST(ModuleLoading, UnloadSendsGlobalSetdownOnlyAfterSuccessfulSetup) {
    Host keeper(HOST_FAKE_PLUGIN);  // keeps the module and its counters loaded
    const auto* state = static_cast<const FakeCounters*>(keeper.symbol("FakeState"));
    const int before = state->setdowns;
    {
        Host host(HOST_FAKE_PLUGIN);
        ASSERT_EQ(host.globalSetup(), PF_Err_NONE);
    }
    EXPECT_EQ(state->setdowns, before + 1);
    {
        Host host(HOST_FAKE_PLUGIN);
        ASSERT_EQ(host.globalSetup(), PF_Err_NONE);
        host.send(PF_Cmd_GLOBAL_SETDOWN);
    }
    EXPECT_EQ(state->setdowns, before + 2);
    {
        Host host(HOST_FAKE_PLUGIN);
        host.faults().failCall("AEGP_RegisterWithAEGP", 1, A_Err_GENERIC);
        EXPECT_EQ(host.globalSetup(), A_Err_GENERIC);
        EXPECT_EQ(host.liveHandles(), 0u);
    }
    EXPECT_EQ(state->setdowns, before + 2);
}

TEST_F(FakeHost, AnyCommandNumberPassesThrough) {
    const PF_Cmd commands[] = {PF_Cmd_UNUSED_0, PF_Cmd_SEQUENCE_FLATTEN, PF_Cmd_RENDER, PF_Cmd_SMART_RENDER,
                               25, 99, -1, INT_MAX};
    for (const PF_Cmd cmd : commands) {
        EXPECT_EQ(host.send(cmd), PF_Err_NONE) << cmd;
        EXPECT_TRUE(host.problems().empty()) << cmd;
    }
}

TEST_F(FakeHost, AboutFormatsThroughTheHostsSprintf) {
    ASSERT_EQ(host.about(), PF_Err_NONE);
    EXPECT_STREQ(host.outData().return_msg, "Fake, v1.2\rA test plug-in");
    ASSERT_EQ(host.log().calls().size(), 1u);
    EXPECT_EQ(host.log().calls()[0].name, "sprintf");
    EXPECT_EQ(host.log().calls()[0].args, "format=\"%s, v%d.%d\\r%s\"");
}

TEST_F(FakeHost, SprintfNeverWritesPastTheReturnMessage) {
    const FakeRequest r = run(request(kFakeLongMessage));
    EXPECT_EQ(r.calls, PF_MAX_EFFECT_MSG_LEN);
    EXPECT_EQ(std::strlen(host.outData().return_msg), static_cast<std::size_t>(PF_MAX_EFFECT_MSG_LEN));
    EXPECT_EQ(host.outData().start_sampL, 77);
}

}  // namespace
