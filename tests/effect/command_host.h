#pragma once
// A host with the plug-in set up that runs library code as if it were the
// plug-in serving a command.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "AEGP_SuiteHandler.h"
#include "host/host.h"
#include "host/project.h"
#include "plugin_path.h"

namespace test {

class CommandHost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(host.globalSetup(), PF_Err_NONE);
        ASSERT_EQ(host.paramsSetup(), PF_Err_NONE);
        ASSERT_EQ(host.registeredPlugins().size(), 1u);
        host.log().setRecording(true);  // the tests read what the plug-in called
    }

    // The suite handler goes before the end-of-command check, as in a command.
    void run(const std::function<void(PF_InData&, AEGP_SuiteHandler&)>& body) {
        host.withCommandData([&](PF_InData& in, PF_OutData&) {
            AEGP_SuiteHandler suites(in.pica_basicP);
            body(in, suites);
        });
    }

    // The calls of the suites' operations, without acquiring and releasing them.
    std::vector<std::string> operations() {
        std::vector<std::string> names;
        for (const std::string& name : host.log().names()) {
            if (name != "AcquireSuite" && name != "ReleaseSuite") {
                names.push_back(name);
            }
        }
        return names;
    }

    int index(const char* name) const { return host.paramIndex(name); }
    host::Effect& target() { return host.project().target(); }

    const int pluginId = 1;  // the first and only registration
    host::Host host{pluginPath()};
};

}  // namespace test
