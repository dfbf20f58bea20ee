// The parameter list in the help comes from the plug-in's registration.

#include <gtest/gtest.h>

#include <sstream>

#include "params/param_help.h"
#include "plugin_path.h"

namespace {

std::string lineOf(const std::string& text, const std::string& name) {
    const std::size_t at = text.find("  " + name + " ");
    return at == std::string::npos ? "" : text.substr(at, text.find('\n', at) - at);
}

TEST(ParameterHelp, ListsEveryParameterWithDefaultAndRange) {
    std::ostringstream help;
    tiltshift::printParameterHelp(help, test::pluginPath());
    const std::string text = help.str();
    for (const char* name : {"Type", "Blur Amount", "Blur Offset", "Weight", "Center", "Direction", "Ratio",
                             "Inner Width", "Linear Mode", "Power", "Focus Distance", "Chromatic Aberration",
                             "Vignetting", "Vignetting Color", "Blending Mode", "Repeat Edge Pixels", "Grow Bounds"}) {
        EXPECT_NE(lineOf(text, name), "") << name;
    }
    EXPECT_NE(lineOf(text, "Blur Amount").find("50"), std::string::npos) << lineOf(text, "Blur Amount");
    EXPECT_NE(lineOf(text, "Blur Amount").find("0..5000"), std::string::npos);
    EXPECT_NE(lineOf(text, "Ratio").find("0.0001..100"), std::string::npos) << lineOf(text, "Ratio");
    EXPECT_NE(lineOf(text, "Type").find("1 (Radial)"), std::string::npos);
    EXPECT_NE(text.find("15 Difference"), std::string::npos) << "popup items by number";
    EXPECT_EQ(text.find("2 (-"), std::string::npos) << "separators are no choice";
}

TEST(ParameterHelp, SaysSoWhenThePluginDoesNotLoad) {
    std::ostringstream help;
    tiltshift::printParameterHelp(help, "/nonexistent/plugin.so");
    EXPECT_NE(help.str().find("not available"), std::string::npos) << help.str();
}

}  // namespace
