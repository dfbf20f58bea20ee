// The entry point as the application drives it: identity, global data,
// error handling and commands the effect does not answer.

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "host/host.h"
#include "plugin_path.h"

namespace {

TEST(EntryPoint, AboutNamesTheEffectAndItsVersion) {
    host::Host host(test::pluginPath());
    ASSERT_EQ(host.about(), 0);
    const std::string text = host.outData().return_msg;
    EXPECT_EQ(text.substr(0, text.find('\r')), "NerevoTiltShift, v1.0.0");
    EXPECT_NE(text.find('\r'), std::string::npos) << "a notice line follows the name";
    EXPECT_TRUE(host.problems().empty());
}

TEST(EntryPoint, GlobalSetupDeclaresVersionFlagsAndRegisters) {
    host::Host host(test::pluginPath());
    host.log().setRecording(true);
    ASSERT_EQ(host.globalSetup(), 0);
    EXPECT_EQ(host.outData().my_version, 0x80600u);
    EXPECT_EQ(host.outData().out_flags, 0x6008000);
    EXPECT_EQ(host.outData().out_flags2, 0x1480);
    EXPECT_NE(host.outData().global_data, nullptr);
    EXPECT_EQ(host.log().count("AEGP_RegisterWithAEGP"), 1u);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();

    // Setdown gives the global record back.
    ASSERT_EQ(host.send(PF_Cmd_GLOBAL_SETDOWN), 0);
    EXPECT_EQ(host.liveHandles(), 0u);
}

TEST(EntryPoint, MissingSuiteComesBackAsBadCallbackParamWithNothingHeld) {
    for (const char* suite : {"PF Handle Suite", "AEGP Utility Suite"}) {
        host::Host host(test::pluginPath());
        host.faults().makeUnavailable(suite);
        EXPECT_EQ(host.globalSetup(), PF_Err_BAD_CALLBACK_PARAM) << suite;
        EXPECT_TRUE(host.problems().empty()) << suite << ": " << host.problems().front();
        EXPECT_EQ(host.liveHandles(), 0u) << suite;
    }
}

TEST(EntryPoint, FailedRegistrationIsReturnedAndFreesTheRecord) {
    host::Host host(test::pluginPath());
    host.faults().failCall("AEGP_RegisterWithAEGP", 1, PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(host.globalSetup(), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(host.outData().global_data, nullptr);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST(EntryPoint, NoGlobalHandleIsStructDamage) {
    host::Host host(test::pluginPath());
    host.faults().failCall("host_new_handle", 1, PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(host.globalSetup(), PF_Err_INTERNAL_STRUCT_DAMAGED);
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
}

TEST(EntryPoint, CommandsTheEffectDoesNotAnswerReturnZeroAndTouchNothing) {
    host::Host host(test::pluginPath());
    ASSERT_EQ(host.globalSetup(), 0);
    ASSERT_EQ(host.paramsSetup(), 0);
    for (PF_Cmd cmd : std::initializer_list<PF_Cmd>{PF_Cmd_SEQUENCE_SETUP, PF_Cmd_SEQUENCE_RESETUP, PF_Cmd_SEQUENCE_FLATTEN,
                       PF_Cmd_SEQUENCE_SETDOWN, PF_Cmd_RENDER, PF_Cmd_DO_DIALOG, 25, 99, -1}) {
        host.log().clear();
        EXPECT_EQ(host.send(cmd), 0) << "command " << cmd;
        EXPECT_EQ(host.log().calls().size(), 0u) << "command " << cmd << " called the host";
        EXPECT_EQ(host.outData().out_flags, 0) << "command " << cmd;
    }
}

// A sanitizer build exports its own bookkeeping next to the module's
// globals (AddressSanitizer's one-definition-rule indicators).
bool isSanitizerSymbol(const std::string& name) {
    for (const char* prefix : {"__odr_asan", "__asan", "__ubsan", "__sanitizer"}) {
        if (name.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    return false;
}

TEST(EntryPoint, ModuleExportsOnlyEntryPointAndInfo) {
    const std::string cmd = "nm -D --defined-only '" + test::pluginPath() + "'";
    FILE* pipe = popen(cmd.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> exported;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        char kind = 0;
        char name[400] = {};
        // "<address> <kind> <name>"; kinds in upper case are global.
        if (std::sscanf(line, "%*s %c %399s", &kind, name) == 2 && kind >= 'A' && kind <= 'Z' &&
            !isSanitizerSymbol(name)) {
            exported.insert(name);
        }
    }
    ASSERT_EQ(pclose(pipe), 0);
    EXPECT_EQ(exported, (std::set<std::string>{"EntryPointFunc", "PluginInfo"}));
}

}  // namespace
