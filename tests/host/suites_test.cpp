// Suite acquisition, the call log of a command and fault injection.

#include "AE_EffectCBSuites.h"
#include "AE_GeneralPlug.h"
#include "fake_host.h"

namespace {

using host::Host;
using test::FakeHost;
using test::request;

TEST(Suites, GlobalSetupCallsInOrder) {
    Host host(HOST_FAKE_PLUGIN);
    host.log().setRecording(true);
    ASSERT_EQ(host.globalSetup(), PF_Err_NONE);
    EXPECT_EQ(host.log().names(),
              (std::vector<std::string>{"AcquireSuite", "host_new_handle", "host_lock_handle", "AcquireSuite",
                                        "AEGP_RegisterWithAEGP", "host_unlock_handle", "ReleaseSuite",
                                        "ReleaseSuite"}));
    const std::vector<host::Call> calls = host.log().calls();
    EXPECT_EQ(calls[0].args, "name=\"PF Handle Suite\" version=2");
    EXPECT_EQ(calls[1].args, "size=16");
    EXPECT_EQ(calls[4].args, "name=\"Fake\"");
    EXPECT_EQ(calls[6].args, "name=\"AEGP Utility Suite\" version=7");
    EXPECT_TRUE(host.problems().empty());
}

TEST_F(FakeHost, UnknownAndUnavailableSuitesAreRefused) {
    FakeRequest r = request(kFakeAcquire);
    r.suite = kPFHandleSuite;
    r.version = 3;
    r.table = &r;
    r = run(r);
    EXPECT_NE(r.err, kSPNoError);
    EXPECT_EQ(r.table, nullptr);

    r.version = 2;
    host.faults().makeUnavailable(kPFHandleSuite, 3);
    EXPECT_EQ(run(r).err, kSPNoError);
    host.faults().makeUnavailable(kPFHandleSuite);
    r = run(r);
    EXPECT_NE(r.err, kSPNoError);
    EXPECT_EQ(r.table, nullptr);
    EXPECT_TRUE(host.problems().empty());
}

TEST(Suites, UnavailableUtilitySuiteFailsGlobalSetup) {
    Host host(HOST_FAKE_PLUGIN);
    host.log().setRecording(true);
    host.faults().makeUnavailable(kAEGPUtilitySuite, kAEGPUtilitySuiteVersion7);
    EXPECT_EQ(host.globalSetup(), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host.log().count("AEGP_RegisterWithAEGP"), 0u);
    EXPECT_TRUE(host.problems().empty());
}

TEST_F(FakeHost, UnbalancedSuitesAreReported) {
    FakeRequest r = request(kFakeAcquire);
    r.suite = kPFHandleSuite;
    r.version = 2;
    r.release = false;
    run(r);
    EXPECT_EQ(host.problems(),
              std::vector<std::string>{"suite \"PF Handle Suite\" v2 acquired 1 time(s) more than released"});

    // Counts start again with each command.
    EXPECT_NE(run(request(kFakeReleaseUnheld)).err, kSPNoError);
    ASSERT_EQ(host.problems().size(), 1u);
    EXPECT_NE(host.problems()[0].find("released but not held"), std::string::npos) << host.problems()[0];
}

TEST_F(FakeHost, FaultHitsTheKthCallCountedFromNow) {
    FakeRequest r = request(kFakeNewHandles);
    r.size = 8;
    r.count = 2;
    EXPECT_EQ(run(r).nullHandles, 0u);

    host.faults().failCall("host_new_handle", 2, PF_Err_OUT_OF_MEMORY);
    r.count = 3;
    EXPECT_EQ(run(r).nullHandles, 0b010u);
    EXPECT_EQ(run(r).nullHandles, 0u);  // a plan fires once

    FakeRequest a = request(kFakeAbort);
    a.count = 10;
    host.faults().failCall("abort", 3, PF_Interrupt_CANCEL);
    PF_Err err = PF_Err_NONE;
    a = run(a, &err);
    EXPECT_EQ(err, PF_Interrupt_CANCEL);
    EXPECT_EQ(a.calls, 3);

    FakeRequest s = request(kFakeAcquire);
    s.suite = kPFHandleSuite;
    s.version = 2;
    host.faults().failCall("AcquireSuite", 1, 1234);
    EXPECT_EQ(run(s).err, 1234);
    EXPECT_TRUE(host.problems().empty());
}

Host* probed = nullptr;

TEST_F(FakeHost, SuitesAddedByTestsReachTheCurrentHost) {
    static const FakeProbeSuite1 probe = {[] { probed = Host::current(); }};
    host.suites().add("Fake Probe Suite", 1, &probe);
    EXPECT_EQ(Host::current(), nullptr);
    run(request(kFakeCallProbe));
    EXPECT_EQ(probed, &host);
    EXPECT_EQ(Host::current(), nullptr);
}

}  // namespace
