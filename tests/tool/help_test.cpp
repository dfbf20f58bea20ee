// The command line as a whole: help, usage errors and failures, each with
// its exit status and stream; the parameter list in the help comes from the
// plug-in's registration.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "cli/arguments.h"
#include "cli/tool.h"
#include "effect/effect.h"
#include "params/param_help.h"
#include "params/param_info.h"
#include "params/param_values.h"
#include "plugin_path.h"
#include "tool_files.h"

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

TEST(CommandLine, StatusAndMessageForEachKindOfMistake) {
    test::TempDir dir;
    const std::string out = dir / "out.png";
    struct Case {
        std::vector<std::string> args;
        int status;
        bool toOut;  // help goes to standard output, anything else to standard error
        std::string fragment;
    };
    const std::vector<Case> cases = {
        {{"--help"}, 0, true, "Commands:"},
        {{"render", "--help", "--bogus"}, 0, true, "--frames FIRST-LAST"},
        {{"render", "-h"}, 0, true, "Blur Amount"},
        {{"scene", "--help"}, 0, true, "--width W"},
        {{}, 2, false, "Usage: tiltshift [--plugin PATH] [--trace FILE] COMMAND"},
        {{"--bogus"}, 2, false, "tiltshift: unknown option --bogus"},
        {{"bogus"}, 2, false, "tiltshift: unknown command bogus"},
        {{"--plugin"}, 2, false, "--plugin needs a value"},
        {{"--trace"}, 2, false, "--trace needs a value"},
        {{"render", "in.png", "-o"}, 2, false, "needs a value\nUsage: tiltshift render INPUT"},
        {{"render", "in.png", "-o=" + out, "--depth=12"}, 2, false, "tiltshift render: --depth expects 8, 16 or 32"},
        {{"render", "in.png", "--output", out, "--bogus", "1"}, 2, false, "unknown option --bogus"},
        {{"params", "--param"}, 2, false, "tiltshift params: --param needs a value"},
        {{"scene", "-o", out, "--width", "15"}, 2, false, "--width expects a whole number from 16 to 4096"},
        {{"about", "more"}, 2, false, "tiltshift about: unexpected argument more"},
        {{"render", "-", "-o", "-", "--pix-fmt", "rgba"}, 2, false, "INPUT - needs the frames' size: --size"},
        {{"render", "-", "-o", "-", "--size", "64x", "--pix-fmt", "rgba"}, 2, false, "--size's height expects"},
        {{"render", "-", "-o", "-", "--size", "4x4", "--pix-fmt", "yuv420p"}, 2, false, "--pix-fmt expects rgba,"},
        {{"render", "in.%04d.png", "-o", "-"}, 2, false, "OUTPUT - is raw video to standard output, so INPUT"},
        {{"render", "-", "-o", "out.%04d.png"}, 2, false, "INPUT - is raw video from standard input, so OUTPUT"},
        {{"render", "in.png", "-o", out, "--size", "4x4"}, 2, false, "--size describes raw video"},
        {{"render", "-", "-o", "-", "--size=4x4", "--pix-fmt=rgba", "--frames", "1-3"}, 2, false,
         "--frames does not apply to raw video"},
        {{"render", dir / "missing.png", "-o", out}, 1, false, "tiltshift render: "},
        {{"--plugin", "/nonexistent/plugin.so", "about"}, 1, false, "tiltshift about: "},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--plugin", test::pluginPath()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::ostringstream stdOut, stdErr;
        const std::string line = c.args.empty() ? "(nothing)" : c.args.front() + " ... " + c.args.back();
        EXPECT_EQ(tiltshift::runTool(args, stdOut, stdErr), c.status) << line;
        const std::string& shown = (c.toOut ? stdOut : stdErr).str();
        EXPECT_NE(shown.find(c.fragment), std::string::npos) << line << ":\n" << shown;
        EXPECT_EQ((c.toOut ? stdErr : stdOut).str(), "") << line;
    }
    EXPECT_EQ(dir.names(), std::set<std::string>{});
}

// A trace is for debugging, so a failed command leaves one too; a trace
// that cannot be written stops the command before it runs.
TEST(CommandLine, TraceHoldsTheHostCallsOfEveryEffectTheCommandOpened) {
    test::TempDir dir;
    const std::string trace = dir / "calls.txt";
    struct Case {
        std::vector<std::string> args;
        std::string traceFile;
        int status;
        std::string callLine;  // a line the trace holds; "" for no trace at all
    };
    const std::vector<Case> cases = {
        {{"params"}, trace, 0, "\nadd_param "},
        {{"about"}, trace, 0, "\nsprintf format="},
        {{"params", "--param", "Blur Amount=bogus"}, trace, 2, "\nadd_param "},
        {{"params"}, dir / "missing/calls.txt", 1, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--plugin", test::pluginPath(), "--trace", c.traceFile};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::ostringstream stdOut, stdErr;
        const std::string line = c.args.front() + " ... " + c.args.back();
        EXPECT_EQ(tiltshift::runTool(args, stdOut, stdErr), c.status) << line << ": " << stdErr.str();
        std::ifstream in(c.traceFile);
        const std::string calls{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (c.callLine.empty()) {
            EXPECT_FALSE(in.is_open()) << line;
            EXPECT_NE(stdErr.str().find(c.traceFile), std::string::npos) << line << ": " << stdErr.str();
            EXPECT_EQ(stdOut.str(), "") << line << ": the command ran";
        } else {
            EXPECT_NE(("\n" + calls).find(c.callLine), std::string::npos) << line << ":\n" << calls;
        }
        std::remove(trace.c_str());
    }
    EXPECT_EQ(dir.names(), std::set<std::string>{});
}

// What a script needs to feed values back: in which unit, and bounds as the
// decimals registered, not their nearest floats.
TEST(ParameterJson, CarriesUnitsPrecisionAndThePointDefaultInPixels) {
    const tiltshift::LayerSize layer{640, 180};
    const tiltshift::Effect host = tiltshift::loadEffect(test::pluginPath(), layer);
    std::map<std::string, nlohmann::ordered_json> byName;
    for (const tiltshift::ParamInfo& p : tiltshift::describeAll(*host, layer)) {
        byName[p.name] = tiltshift::toJson(p);
    }
    struct Case {
        const char* name;
        const char* field;
        const char* json;
    };
    const Case cases[] = {
        {"Center", "default", "[50.0,50.0]"},
        {"Center", "default_unit", R"("percent")"},
        {"Center", "display_unit", R"("pixels")"},
        {"Center", "default_pixels", "[320.0,90.0]"},
        {"Direction", "display_unit", R"("degrees")"},
        {"Vignetting", "display_unit", R"("percent")"},
        {"Vignetting", "precision", "1"},
        {"Power", "valid_min", "0.1"},
        {"Power", "slider_min", "0.1"},
        {"Ratio", "valid_min", "0.0001"},
        {"Ratio", "slider_min", "0.2"},
        {"Ratio", "precision", "2"},
        {"Blur Amount", "display_unit", "null"},
        {"Type", "precision", "null"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(byName.at(c.name)[c.field].dump(), c.json) << c.name << " " << c.field;
    }
    EXPECT_FALSE(byName.at("Type").contains("default_pixels"));
    EXPECT_FALSE(tiltshift::toJson(tiltshift::describeAll(*host)[4]).contains("default_pixels"))
        << "no pixels without a layer";

    // The bounds read back as decimals still take exactly the values the host's floats take.
    EXPECT_NO_THROW(tiltshift::applySetting(*host, {"Ratio", "0.0001"}));
    EXPECT_NO_THROW(tiltshift::applySetting(*host, {"Power", "0.1"}));
    EXPECT_THROW(tiltshift::applySetting(*host, {"Ratio", "0.0000999"}), tiltshift::UsageError);
}

}  // namespace
