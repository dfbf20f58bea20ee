// Handles: their memory, who holds them, and the leak report.

#include "fake_host.h"

// Under AddressSanitizer or ThreadSanitizer an impossible allocation must
// fail the way it does without them, by returning null, so the host's own
// handling is what is tested.
extern "C" __attribute__((visibility("default"))) const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}
extern "C" __attribute__((visibility("default"))) const char* __tsan_default_options() {
    return "allocator_may_return_null=1";
}

namespace {

using test::FakeHost;
using test::request;

TEST_F(FakeHost, HandleRoundTripThroughTheSuite) {
    const FakeRequest r = run(request(kFakeHandleRoundTrip));
    EXPECT_TRUE(r.zeroed);
    EXPECT_EQ(r.err, PF_Err_NONE);
    EXPECT_TRUE(r.resizeKept);
    EXPECT_EQ(r.handleSize, 64u);
    EXPECT_TRUE(host.problems().empty());
    EXPECT_EQ(host.liveHandles(), 1u);  // the global data
}

TEST_F(FakeHost, LeakIsReportedForItsCommandOnly) {
    FakeRequest r = request(kFakeLeakHandle);
    r.size = 24;
    run(r);
    EXPECT_EQ(host.problems(),
              std::vector<std::string>{"handle of 24 bytes neither disposed nor handed to the host"});
    EXPECT_EQ(host.liveHandles(), 2u);

    run(request(kFakeHandleRoundTrip));
    EXPECT_TRUE(host.problems().empty());
}

TEST_F(FakeHost, DisposingTwiceIsReportedNotFatal) {
    run(request(kFakeDisposeTwice));
    ASSERT_EQ(host.problems().size(), 1u);
    EXPECT_NE(host.problems()[0].find("disposed twice"), std::string::npos) << host.problems()[0];
}

TEST_F(FakeHost, ImpossibleSizeGivesNull) {
    FakeRequest r = request(kFakeNewHandles);
    r.count = 1;
    r.size = A_u_longlong{1} << 62;
    EXPECT_EQ(run(r).nullHandles, 1u);
    EXPECT_TRUE(host.problems().empty());
}

TEST_F(FakeHost, GlobalDataLivesUntilSetdown) {
    EXPECT_EQ(run(request(kFakeReadGlobal)).pluginId, 1);
    EXPECT_EQ(host.registeredPlugins(), std::vector<std::string>{"Fake"});
    EXPECT_EQ(host.liveHandles(), 1u);

    EXPECT_EQ(host.send(PF_Cmd_GLOBAL_SETDOWN), PF_Err_NONE);
    EXPECT_TRUE(host.problems().empty());
    EXPECT_EQ(host.liveHandles(), 0u);
}

TEST_F(FakeHost, GlobalDataLeftAtSetdownIsReported) {
    int keep = 1;
    host.send(PF_Cmd_GLOBAL_SETDOWN, &keep);
    EXPECT_EQ(host.problems(),
              std::vector<std::string>{"global data handle of 16 bytes not disposed at global setdown"});
    EXPECT_EQ(host.liveHandles(), 1u);  // freed when the host goes
}

TEST_F(FakeHost, FailedGlobalSetupKeepsNoGlobalData) {
    host.send(PF_Cmd_GLOBAL_SETDOWN);
    host.faults().failCall("AEGP_RegisterWithAEGP", 1, A_Err_GENERIC);
    EXPECT_EQ(host.globalSetup(), A_Err_GENERIC);
    EXPECT_TRUE(host.problems().empty());
    EXPECT_EQ(host.liveHandles(), 0u);
}

TEST_F(FakeHost, CallbacksFromSeveralThreadsAtOnce) {
    FakeRequest r = request(kFakeThreads);
    r.count = 4;
    r.size = 250;
    run(r);
    EXPECT_TRUE(host.problems().empty());
    EXPECT_EQ(host.log().count("host_new_handle"), 1000u);
    EXPECT_EQ(host.log().count("host_dispose_handle"), 1000u);
    EXPECT_EQ(host.log().count("abort"), 1000u);
    EXPECT_EQ(host.liveHandles(), 1u);
}

}  // namespace
