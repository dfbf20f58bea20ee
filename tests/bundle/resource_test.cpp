// The registration resource against the code: the application reads the resource before it loads
// the code, warns when the two disagree, and calls the entry function the resource names.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host/host.h"
#include "plugin_path.h"

namespace {

// The values of every `<property> { <value> }`, as written (numbers decimal or 0x hex, strings quoted).
std::vector<std::string> propertyValues(const std::string& source, const std::string& property) {
    const std::regex pattern("\\b" + property + R"(\s*\{\s*("[^"]*"|0[xX][0-9A-Fa-f]+|[0-9]+)\s*\})");
    std::vector<std::string> values;
    for (auto it = std::sregex_iterator(source.begin(), source.end(), pattern); it != std::sregex_iterator(); ++it) {
        values.push_back((*it)[1]);
    }
    return values;
}

TEST(BundleResource, DeclaresGlobalSetupsVersionAndFlagsAndTheExportedEntryFunction) {
    std::ostringstream text;
    text << std::ifstream(NEREVO_PIPL_SOURCE).rdbuf();
    const std::string source = text.str();
    ASSERT_FALSE(source.empty()) << "cannot read " << NEREVO_PIPL_SOURCE;
    host::Host host(test::pluginPath());
    ASSERT_EQ(host.globalSetup(), 0);
    const PF_OutData& out = host.outData();
    for (const auto& [property, value] : {std::pair<const char*, long long>{"AE_Effect_Version", out.my_version},
                                          {"AE_Effect_Global_OutFlags", out.out_flags},
                                          {"AE_Effect_Global_OutFlags_2", out.out_flags2}}) {
        const std::vector<std::string> values = propertyValues(source, property);
        ASSERT_EQ(values.size(), 1u) << property;
        EXPECT_EQ(std::stoll(values[0], nullptr, 0), value) << property;
    }
    for (const char* code : {"CodeMacARM64", "CodeMacIntel64"}) {
        EXPECT_EQ(propertyValues(source, code), std::vector<std::string>{"\"EntryPointFunc\""}) << code;
    }
}

}  // namespace
