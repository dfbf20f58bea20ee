#pragma once
// A host with the plug-in set up, its parameters at hand, that runs library
// code as if it were the plug-in serving a command.

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

    // The arguments of the first logged call of `name`, or "" when none.
    std::string argsOf(const std::string& name) {
        for (const host::Call& call : host.log().calls()) {
            if (call.name == name) {
                return call.args;
            }
        }
        return "";
    }

    int index(const std::string& name) const { return host.paramIndex(name); }
    PF_ParamDef& def(const std::string& name) { return host.param(index(name)).current; }
    void set(const std::string& name, double value) { def(name).u.fs_d.value = value; }
    double get(const std::string& name) { return def(name).u.fs_d.value; }
    void setPopup(const std::string& name, int item) { def(name).u.pd.value = item; }
    host::Effect& target() { return host.project().target(); }

    const int pluginId = 1;  // the first and only registration
    host::Host host{pluginPath()};
};

}  // namespace test
