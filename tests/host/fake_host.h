#pragma once
// A host running the fake plug-in, set up and recording its call log, called as a plug-in calls it.

#include <gtest/gtest.h>

#include <functional>

#include "fake_protocol.h"
#include "host/host.h"

namespace test {

class FakeHost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(host.globalSetup(), PF_Err_NONE);
        ASSERT_EQ(host.paramsSetup(), PF_Err_NONE);
        host.log().setRecording(true);  // the tests read what the plug-in called
    }

    void run(const std::function<void(PF_InData&, PF_OutData&)>& body) { host.withCommandData(body); }

    template <typename Suite>
    static const Suite* acquire(PF_InData& in, const char* name, int version) {
        const void* suite = nullptr;
        EXPECT_EQ(in.pica_basicP->AcquireSuite(name, version, &suite), kSPNoError);
        return static_cast<const Suite*>(suite);
    }

    host::Host host{HOST_FAKE_PLUGIN};
};

}  // namespace test
