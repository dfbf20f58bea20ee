#pragma once
// A host running the fake plug-in, set up and recording its call log.

#include <gtest/gtest.h>

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

    // Asks the fake plug-in for one action; `err` receives the command's result.
    FakeRequest run(FakeRequest request, PF_Err* err = nullptr) {
        const PF_Err result = host.send(PF_Cmd_COMPLETELY_GENERAL, &request);
        if (err) {
            *err = result;
        }
        return request;
    }

    host::Host host{HOST_FAKE_PLUGIN};
};

inline FakeRequest request(FakeAction action) {
    FakeRequest r{};
    r.action = action;
    return r;
}

}  // namespace test
