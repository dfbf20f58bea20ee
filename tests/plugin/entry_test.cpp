// The entry point as the application drives it: identity, global data, parameter registration (the
// ids and popup items a saved project refers to), error handling and commands the effect does not answer.

#include <cstdio>
#include <new>
#include <regex>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "AE_EffectSuites.h"
#include "command_host.h"
#include "plugin/plugin.h"

namespace {

using Commands = test::CommandHost;  // after global and parameter setup

TEST(EntryPoint, AboutNamesTheVersionAndGlobalSetupDeclaresFlagsAndRegistersUntilSetdown) {
    host::Host host(test::pluginPath());
    ASSERT_EQ(host.about(), 0);
    const std::string text = host.outData().return_msg;
    EXPECT_EQ(text.substr(0, text.find('\r')), "NerevoTiltShift, v1.0.0");
    EXPECT_NE(text.find('\r'), std::string::npos) << "a notice line follows the name";

    ASSERT_EQ(host.globalSetup(), 0);
    const PF_OutData& out = host.outData();
    EXPECT_EQ((std::vector<long>{long(out.my_version), out.out_flags, out.out_flags2}),
              (std::vector<long>{0x80600, 0x6008000, 0x1480}));
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
    ASSERT_EQ(host.send(PF_Cmd_GLOBAL_SETDOWN), 0);
    EXPECT_EQ(host.liveHandles(), 0u);
}

// A record that cannot be locked is named to the user: no later command could work without it.
TEST(EntryPoint, FailedGlobalSetupReturnsTheErrorWithNothingHeld) {
    const struct {
        const char* what;
        const char* suite;  // made unavailable, or the call failing first
        bool unavailable;
        PF_Err expected;
        const char* message;
    } cases[] = {
        {"no handle suite", "PF Handle Suite", true, PF_Err_BAD_CALLBACK_PARAM, ""},
        {"no utility suite", "AEGP Utility Suite", true, PF_Err_BAD_CALLBACK_PARAM, ""},
        {"no handle", "host_new_handle", false, PF_Err_INTERNAL_STRUCT_DAMAGED, ""},
        {"no lock", "host_lock_handle", false, PF_Err_OUT_OF_MEMORY,
         "Cannot lock the global data handle at global setup."},
        {"no registration", "AEGP_RegisterWithAEGP", false, PF_Err_OUT_OF_MEMORY, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        host::Host host(test::pluginPath());
        if (c.unavailable) {
            host.faults().makeUnavailable(c.suite);
        } else {
            host.faults().failCall(c.suite, 1, PF_Err_OUT_OF_MEMORY);
        }
        EXPECT_EQ(host.globalSetup(), c.expected);
        EXPECT_EQ(host.outData().global_data, nullptr);
        EXPECT_STREQ(host.outData().return_msg, c.message);
        EXPECT_EQ((host.outData().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE) != 0, *c.message != 0);
        EXPECT_TRUE(host.problems().empty()) << host.problems().front();
        EXPECT_EQ(host.liveHandles(), 0u);
    }
}

// The effect reference and suites still go back when a command throws.
TEST_F(Commands, ExceptionsInsideACommandBecomeItsError) {
    static const PF_ParamUtilsSuite2 suites[] = {
        {[](PF_ProgPtr, PF_ParamIndex, const PF_ParamDef*) -> PF_Err { throw std::bad_alloc(); }},
        {[](PF_ProgPtr, PF_ParamIndex, const PF_ParamDef*) -> PF_Err { throw std::logic_error("a fault of ours"); }},
        {[](PF_ProgPtr, PF_ParamIndex, const PF_ParamDef*) -> PF_Err { throw PF_Err{PF_Err_INVALID_INDEX}; }}};
    const PF_Err expected[] = {PF_Err_OUT_OF_MEMORY, PF_Err_INTERNAL_STRUCT_DAMAGED, PF_Err_INVALID_INDEX};
    for (std::size_t i = 0; i < std::size(suites); ++i) {
        host.suites().add(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion2, &suites[i]);
        PF_Err err = PF_Err_NONE;
        EXPECT_NO_THROW(err = host.send(PF_Cmd_UPDATE_PARAMS_UI)) << i;
        EXPECT_EQ(err, expected[i]) << i;
        EXPECT_TRUE(host.problems().empty()) << i << ": " << host.problems().front();
    }
}

TEST_F(Commands, TheEffectDoesNotAnswerReturnZeroAndTouchNothing) {
    for (const PF_Cmd cmd : std::initializer_list<PF_Cmd>{PF_Cmd_SEQUENCE_SETUP, PF_Cmd_SEQUENCE_RESETUP, PF_Cmd_SEQUENCE_FLATTEN,
                       PF_Cmd_SEQUENCE_SETDOWN, PF_Cmd_RENDER, PF_Cmd_DO_DIALOG, 25, -1}) {
        host.log().clear();
        EXPECT_EQ(host.send(cmd), 0) << "command " << cmd;
        EXPECT_EQ(host.log().calls().size(), 0u) << "command " << cmd << " called the host";
        EXPECT_EQ(host.outData().out_flags, 0) << "command " << cmd;
    }
}

TEST(EntryPoint, ModuleExportsOnlyEntryPointAndInfo) {
    // A sanitizer build exports its own bookkeeping next to the module's globals.
    const std::regex sanitizer("^__(odr_asan|asan|ubsan|sanitizer)");
    FILE* pipe = popen(("nm -D --defined-only '" + test::pluginPath() + "'").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> exported;
    char kind = 0, name[400] = {};
    while (std::fscanf(pipe, "%*s %c %399s", &kind, name) == 2) {  // "<address> <kind> <name>"
        if (kind >= 'A' && kind <= 'Z' && !std::regex_search(name, sanitizer)) {  // upper case: global
            exported.insert(name);
        }
    }
    ASSERT_EQ(pclose(pipe), 0);
    EXPECT_EQ(exported, (std::set<std::string>{"EntryPointFunc", "PluginInfo"}));
}

using Nerevo::Plugin::PluginInfo;

const PluginInfo& exportedInfo(host::Host& host) {
    const auto* info = static_cast<const PluginInfo*>(host.symbol("PluginInfo"));
    EXPECT_NE(info, nullptr);
    return *info;
}

// A project stores each value under the parameter's id and a popup's value as the item's number.
TEST_F(Commands, ParamsSetupRegistersEveryRowAfterTheInputWithItsIdTypeAndItemsCollapsed) {
    const PluginInfo& info = exportedInfo(host);
    EXPECT_EQ(host.outData().num_params, info.paramCount + 1);
    ASSERT_EQ(host.params().size(), static_cast<std::size_t>(info.paramCount + 1));
    for (int i = 1; i <= info.paramCount; ++i) {
        const host::ParamRecord& p = host.params()[static_cast<std::size_t>(i)];
        const Nerevo::Plugin::ParameterDef& row = info.paramDefs[i - 1];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.index, i);
        EXPECT_EQ(p.name, row.name);
        EXPECT_EQ(p.registered.uu.id, static_cast<A_long>(i));
        EXPECT_EQ(std::make_pair(p.registered.flags, p.registered.ui_flags),
                  std::make_pair(A_long{PF_ParamFlag_START_COLLAPSED}, A_long{0}));
        if (row.type == Nerevo::Plugin::paramPopup) {
            EXPECT_EQ(p.registered.u.pd.num_choices, static_cast<A_short>(p.popupItems.size()));
            EXPECT_EQ(row.validMax.i, static_cast<int32_t>(p.popupItems.size()));
        }
    }
    EXPECT_EQ(host.param(1).popupItems, (std::vector<std::string>{"Radial", "Linear"}));
    EXPECT_EQ(host.param(9).popupItems, (std::vector<std::string>{"Power", "Focus Distance"}));
    const host::ParamRecord& mode = host.param(15);  // separators take a number too
    ASSERT_EQ(mode.popupItems.size(), 20u);
    EXPECT_EQ(std::make_tuple(mode.registered.u.pd.dephault, mode.popupItems[3], mode.popupItems[8], mode.popupItems[19]),
              std::make_tuple(A_short{4}, "Multiply", "(-", "Luminosity"));
    ASSERT_TRUE(host.customUIRegistered());
    EXPECT_EQ(host.customUI().events, PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER);
    EXPECT_TRUE(host.problems().empty());
}

// The host keeps what was added before the failure, and a new setup starts afresh.
TEST(ParamsSetup, FailingAddParamStopsRegistrationButStillReportsEveryParameter) {
    host::Host host(test::pluginPath());
    host.log().setRecording(true);
    ASSERT_EQ(host.globalSetup(), 0);
    host.faults().failCall("add_param", 15, PF_Err_OUT_OF_MEMORY);  // "Blending Mode"
    EXPECT_EQ(host.paramsSetup(), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(host.log().count("add_param"), 15u);
    EXPECT_EQ(host.params().size(), 15u);
    EXPECT_FALSE(host.customUIRegistered());
    const int count = exportedInfo(host).paramCount + 1;
    EXPECT_EQ(host.outData().num_params, count);
    ASSERT_EQ(host.paramsSetup(), PF_Err_NONE);
    EXPECT_EQ(host.params().size(), static_cast<std::size_t>(count));
}

}  // namespace
