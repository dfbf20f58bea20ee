// The registration resource against the code: the application reads the
// resource before it loads the code and warns when the two disagree, and it
// calls the entry function the resource names.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "host/host.h"
#include "plugin_path.h"

namespace {

std::string resourceSource() {
    std::ifstream in(NEREVO_PIPL_SOURCE);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The values of every `<property> { <value> }` in the resource source, as
// written (numbers in decimal or 0x hex, strings with their quotes).
std::vector<std::string> propertyValues(const std::string& source, const std::string& property) {
    const std::regex pattern("\\b" + property + R"(\s*\{\s*("[^"]*"|0[xX][0-9A-Fa-f]+|[0-9]+)\s*\})");
    std::vector<std::string> values;
    for (auto it = std::sregex_iterator(source.begin(), source.end(), pattern); it != std::sregex_iterator(); ++it) {
        values.push_back((*it)[1]);
    }
    return values;
}

// The one number the resource gives for a property; fails the test when the
// property is missing, repeated or not a number.
long long numberOf(const std::string& source, const std::string& property) {
    const std::vector<std::string> values = propertyValues(source, property);
    if (values.size() != 1 || values[0][0] == '"') {
        ADD_FAILURE() << property << " should appear once with a number, found " << values.size();
        return -1;
    }
    return std::stoll(values[0], nullptr, 0);
}

TEST(BundleResource, DeclaresGlobalSetupsVersionAndFlagsAndTheExportedEntryFunction) {
    const std::string source = resourceSource();
    ASSERT_FALSE(source.empty()) << "cannot read " << NEREVO_PIPL_SOURCE;
    host::Host host(test::pluginPath());
    ASSERT_EQ(host.globalSetup(), 0);
    EXPECT_EQ(numberOf(source, "AE_Effect_Version"), static_cast<long long>(host.outData().my_version));
    EXPECT_EQ(numberOf(source, "AE_Effect_Global_OutFlags"), static_cast<long long>(host.outData().out_flags));
    EXPECT_EQ(numberOf(source, "AE_Effect_Global_OutFlags_2"), static_cast<long long>(host.outData().out_flags2));
    for (const char* code : {"CodeMacARM64", "CodeMacIntel64"}) {
        const std::vector<std::string> names = propertyValues(source, code);
        ASSERT_EQ(names.size(), 1u) << code;
        EXPECT_EQ(names[0], "\"EntryPointFunc\"") << code;
    }
}

}  // namespace
