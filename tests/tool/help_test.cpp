// The command line: help, usage errors and failures with their status and stream; parameter listings; presets.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/tool.h"
#include "effect/effect.h"
#include "params/param_help.h"
#include "params/param_info.h"
#include "params/param_values.h"
#include "params/presets.h"
#include "tool_files.h"

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The numbers either side of the first "..", in the host's floats.
std::optional<std::pair<float, float>> rangeIn(const std::string& line) {
    const std::size_t dots = line.find("..");
    if (dots == std::string::npos) {
        return std::nullopt;
    }
    return std::pair(std::strtof(line.c_str() + line.rfind(' ', dots) + 1, nullptr),
                     std::strtof(line.c_str() + dots + 2, nullptr));
}

std::optional<std::pair<float, float>> registeredRange(const PF_ParamDef& def) {
    switch (def.param_type) {
        case PF_Param_FLOAT_SLIDER: return std::pair(def.u.fs_d.valid_min, def.u.fs_d.valid_max);
        case PF_Param_SLIDER: return std::pair(float(def.u.sd.valid_min), float(def.u.sd.valid_max));
        case PF_Param_POPUP: return std::pair(1.0f, float(def.u.pd.num_choices));
        default: return std::nullopt;
    }
}

std::string printed(const std::vector<std::string>& args) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(test::run("params", args), 0);
    return testing::internal::GetCapturedStdout();
}

// The help leaves popups' ranges out; the table and the JSON show alike which parameters are greyed out.
TEST(ParameterListings, NameEveryRegisteredParameterWithItsRangeAndChoices) {
    test::TempDir dir;
    test::writeFlat(dir / "layer.png", 640, 180, 0);
    const tiltshift::Effect host = tiltshift::loadEffect(test::pluginPath());
    std::ostringstream helpText;
    tiltshift::printParameterHelp(helpText, test::pluginPath());
    const std::vector<std::string> help = linesOf(helpText.str());
    nlohmann::json json;
    for (const bool linear : {false, true}) {
        const std::string type = linear ? "Type=Linear" : "Type=Radial";
        const std::vector<std::string> table = linesOf(printed({"--param", type}));
        const std::vector<std::string> asJson = {"--param", type, "--json", "--input", dir / "layer.png"};
        json = nlohmann::json::parse(printed({asJson.begin(), asJson.begin() + (linear ? 5 : 3)}));
        ASSERT_EQ(json.size() + 1, host->params().size());
        ASSERT_EQ(table.size(), host->params().size());
        std::map<std::string, bool> greyed;
        for (const host::ParamRecord& r : host->params()) {
            if (r.index == 0) {
                continue;
            }
            SCOPED_TRACE(r.name);
            const nlohmann::json& j = json.at(static_cast<std::size_t>(r.index - 1));
            const std::string& row = table.at(static_cast<std::size_t>(r.index));
            EXPECT_EQ(std::tuple(j.at("name"), j.at("index")), std::tuple(r.name, r.index));
            EXPECT_EQ(row.rfind(std::to_string(r.index) + " ", 0), 0u) << row;
            EXPECT_NE(row.find(" " + r.name + " "), std::string::npos) << row;
            const auto range = registeredRange(r.registered);
            EXPECT_EQ(rangeIn(row), range) << row;
            const auto bound = [&](const char* key) { return j.at(key).get<float>(); };
            EXPECT_EQ(j.at("valid_min").is_null() ? std::nullopt : std::optional(std::pair(bound("valid_min"), bound("valid_max"))),
                      range);
            EXPECT_EQ(j.value("items", std::vector<std::string>{}), r.popupItems);
            EXPECT_EQ(j.contains("default_pixels"), linear && r.registered.param_type == PF_Param_POINT);
            greyed[r.name] = j.at("greyed");
            EXPECT_EQ(row.find(" greyed ") != std::string::npos, greyed[r.name]) << row;

            const auto helpRow = std::find_if(help.begin(), help.end(),
                                              [&](const std::string& l) { return l.rfind("  " + r.name + " ", 0) == 0; });
            ASSERT_NE(helpRow, help.end());
            EXPECT_EQ(rangeIn(*helpRow), r.registered.param_type == PF_Param_POPUP ? std::nullopt : range) << *helpRow;
            std::vector<std::string> choices;  // "1 Normal", "3 Add", ...: the separators are none
            for (std::size_t i = 0; i < r.popupItems.size(); ++i) {
                const std::string choice = std::to_string(i + 1) + " " + r.popupItems[i];
                EXPECT_EQ(helpText.str().find(choice) != std::string::npos, r.popupItems[i] != "(-") << choice;
                if (r.popupItems[i] != "(-") {
                    choices.push_back(choice);
                }
            }
            // Choices share a line as long as they fit.
            EXPECT_TRUE(choices.empty() || helpText.str().find(choices[0] + ", " + choices[1]) != std::string::npos);
        }
        EXPECT_EQ(std::pair(greyed.at("Ratio"), greyed.at("Linear Mode")), std::pair(linear, !linear));
    }
    // For scripts: the unit, and bounds as the decimals registered, not their nearest floats.
    const std::tuple<const char*, const char*, const char*> fields[] = {
        {"Center", "default", "[50.0,50.0]"},          {"Center", "display_unit", R"("pixels")"},
        {"Center", "default_pixels", "[320.0,90.0]"},  {"Direction", "display_unit", R"("degrees")"},
        {"Vignetting", "display_unit", R"("percent")"}, {"Vignetting", "precision", "1"},
        {"Power", "slider_min", "0.1"},                 {"Ratio", "valid_min", "0.0001"},
        {"Blur Amount", "display_unit", "null"},        {"Type", "precision", "null"},
    };
    for (const auto& [name, field, dumped] : fields) {
        const auto p = std::find_if(json.begin(), json.end(), [&](const nlohmann::json& j) { return j["name"] == name; });
        EXPECT_EQ(p->at(field).dump(), dumped) << name << " " << field;
    }
    // The decimals still take exactly the values the host's floats take.
    EXPECT_NO_THROW(tiltshift::applySetting(*host, {"Ratio", "0.0001"}));
    EXPECT_NO_THROW(tiltshift::applySetting(*host, {"Power", "0.1"}));
    EXPECT_THROW(tiltshift::applySetting(*host, {"Ratio", "0.0000999"}), tiltshift::UsageError);

    // The choices wrap under their parameter to fit a terminal.
    const auto parameters = std::find(help.begin(), help.end(), "Parameters (--param \"NAME=VALUE\"; NAME as below):");
    ASSERT_NE(parameters, help.end());
    for (auto line = parameters; line != help.end(); ++line) {
        EXPECT_LE(line->size(), 79u) << *line;
    }
}

// Mistakes: named on standard error with the way to the usage, status 2, nothing written; failures: 1.
TEST(CommandLine, StatusAndMessageForEachKindOfMistake) {
    test::TempDir dir;
    const std::string in = dir / "in.png", out = dir / "out.png", heavy = dir / "heavy.json";
    test::writeFlat(in, 4, 4, 99);
    test::writeText(heavy, R"({"Weight": 9})");
    const std::vector<std::string> drag = {"drag", in, "--from", "1,1", "--to", "2,2"};
    const auto with = [](std::vector<std::string> args, const std::vector<std::string>& more) {
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const std::vector<std::string> render = {"render", in, "-o", out};
    // Help goes to standard output, anything else to standard error.
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"--help"}, 0, "Commands:"}, {{"render", "--help", "--bogus"}, 0, "--frames FIRST-LAST"},
        {{"scene", "--help"}, 0, "--width W"},
        {{"--plugin", "/nonexistent/plugin.so", "render", "--help"}, 0, "Parameters: not available"},
        {{}, 2, "Usage: tiltshift [--plugin PATH] [--trace FILE] COMMAND"},
        {{"--bogus"}, 2, "tiltshift: unknown option --bogus"}, {{"bogus"}, 2, "tiltshift: unknown command bogus"},
        {{"--plugin"}, 2, "--plugin needs a value"},
        {{"render", "in.png", "-o"}, 2, "needs a value\nUsage: tiltshift render INPUT"},
        {{"render", "in.png", "-o=" + out, "--depth=12"}, 2, "tiltshift render: --depth expects 8, 16 or 32"},
        {{"render", "in.png", "--output", out, "--bogus", "1"}, 2, "unknown option --bogus"},
        {{"scene", "-o", out, "--width", "15"}, 2, "--width expects a whole number from 16 to 4096"},
        {{"about", "more"}, 2, "tiltshift about: unexpected argument more"},
        {{"render", "-", "-o", "-", "--pix-fmt", "rgba"}, 2, "INPUT - needs the frames' size: --size"},
        {{"render", "-", "-o", "-", "--size", "64x", "--pix-fmt", "rgba"}, 2, "--size's height expects"},
        {{"render", "-", "-o", "-", "--size", "4x4", "--pix-fmt", "yuv420p"}, 2, "--pix-fmt expects rgba,"},
        {{"render", "in.%04d.png", "-o", "-"}, 2, "OUTPUT - is raw video to standard output, so INPUT"},
        {{"render", "-", "-o", "out.%04d.png"}, 2, "INPUT - is raw video from standard input, so OUTPUT"},
        {{"render", "in.png", "-o", out, "--size", "4x4"}, 2, "--size describes raw video"},
        {{"render", "-", "-o", "-", "--size=4x4", "--pix-fmt=rgba", "--frames", "1-3"}, 2,
         "--frames does not apply to raw video"},
        {{"render", dir / "missing.png", "-o", out}, 1, "tiltshift render: no such file: " + dir / "missing.png"},
        {{"--plugin", "/nonexistent/plugin.so", "about"}, 1, "tiltshift about: "},
        // Values, by name, in the forms of the effect controls.
        {with(render, {"--param", "Blur Amount=6000"}), 2, "\"Blur Amount\": 6000 is outside the valid range 0..5000"},
        {with(render, {"--param", "Bogus=1"}), 2, "no parameter named \"Bogus\"; the parameters are Type, Blur Amount,"},
        {with(render, {"--param", "Type=Diagonal"}), 2, "\"Type\": no item \"Diagonal\"; the items are 1 Radial, 2 Linear"},
        {with(render, {"--param", "Grow Bounds=maybe"}), 2, "\"Grow Bounds\": expected on or off, got \"maybe\""},
        {with(render, {"--param", "Center=1"}), 2, "\"Center\": expected x,y in layer pixels, got \"1\""},
        {{"params", "--param", "Vignetting Color=1.5,0,0"}, 2, "expected r,g,b from 0 to 1 or #rrggbb, got \"1.5,0,0\""},
        {{"params", "--param", "Vignetting Color=#ff00zz"}, 2, "expected r,g,b from 0 to 1 or #rrggbb"},
        {with(render, {"--param", "Blur Amount"}), 2, "expected NAME=VALUE, got \"Blur Amount\""},
        {with(render, {"--preset", heavy}), 2, heavy + ": \"Weight\": 9 is outside the valid range 0..5"},
        {with(render, {"--layer", "solid"}), 2, "--layer expects footage, text or shape, got \"solid\""},
        {with(render, {"--downsample", "0"}), 2, "--downsample expects a whole number from 1 to 1024"},
        {with(render, {"--downsample", "5"}), 2, "--downsample 5 is more than the image's 4 x 4 pixels"},
        {{"render", "in.%d.png", "-o", "out.%d.png", "--overlay", "over.png"}, 2, "--overlay must be one too"},
        // Keyframes VALUE@FRAME name the offending piece.
        {{"params", "--param", "Blur Amount=0@1,80@x"}, 2, "\"Blur Amount\": \"80@x\" is no keyframe: the frame after"},
        {{"params", "--param", "Blur Amount=0@1,80"}, 2, "\"80\" is no keyframe: expected VALUE@FRAME"},
        {{"params", "--param", "Blur Amount=0@1,,80@4"}, 2, "\"Blur Amount\": an empty keyframe in \"0@1,,80@4\""},
        {{"params", "--param", "Blur Amount=0@1,80@1"}, 2, "\"Blur Amount\": two keyframes at frame 1"},
        {{"params", "--param", "Blur Amount=0@1,6000@3"}, 2, "\"Blur Amount\" keyframe \"6000@3\": 6000 is outside"},
        {{"params", "--param", "Blur Amount=@3"}, 2, "\"Blur Amount\" keyframe \"@3\": expected a number"},
        {{"params", "--param", "Type=Radial@0,Diagonal@4"}, 2, "\"Type\" keyframe \"Diagonal@4\": no item \"Diagonal\""},
        {{"params", "--param", "Center=10,10@0,20,20@5"}, 2, "keyframes with ';'"},
        {{"params", "--param", "Center=10@0;20,20@5"}, 2, "\"Center\" keyframe \"10@0\": expected x,y"},
        {{"drag", in, "--from", "250,100"}, 2, "--from X,Y --to X,Y"},
        {{"drag", in, "--from", "250", "--to", "1,1"}, 2, "--from expects X,Y"},
        {{"drag", in, "--from", "1,1", "--to", "40000,1"}, 2, "--to expects X,Y"},
        {with(drag, {"--panel", "effect"}), 2, "--panel expects layer or comp"},
        {with(drag, {"--steps", "0"}), 2, "--steps"},
        {with(drag, {"--overlay", "h.png"}), 2, "--overlay needs -o OUTPUT"},
        {with(drag, {"-o", "out.%d.png"}), 2, "is a frame sequence"},
        {with(drag, {"--param", "Blur Amount=0@0,80@10"}), 2, "\"Blur Amount\" is animated"},
        {{"preview"}, 2, "give the INPUT image or frame sequence"},
        {{"preview", "a.png", "b.png"}, 2, "give one INPUT, not 2"},
        {{"preview", "a.png", "--port", "65536"}, 2, "--port"},
        {{"preview", "a.png", "--listen", "0.0.0.0"}, 2, "--listen takes the address the page is to be reached at"},
    };
    for (const auto& [command, status, fragment] : cases) {
        std::ostringstream stdOut, stdErr;
        const std::string line = command.empty() ? "(nothing)" : command.front() + " ... " + command.back();
        EXPECT_EQ(tiltshift::runTool(with({"--plugin", test::pluginPath()}, command), stdOut, stdErr), status) << line;
        const std::string& shown = (status == 0 ? stdOut : stdErr).str();
        EXPECT_NE(shown.find(fragment), std::string::npos) << line << ":\n" << shown;
        EXPECT_EQ((status == 0 ? stdErr : stdOut).str(), "") << line;
        const bool guided = shown.find("Usage: tiltshift") != std::string::npos || shown.find("--help") != std::string::npos;
        EXPECT_TRUE(status != 2 || guided) << shown;
    }
    EXPECT_EQ(dir.names(), (std::set<std::string>{"in.png", "heavy.json"}));
}

// A failed command leaves a trace too; one that cannot be written stops the command before it runs.
TEST(CommandLine, TraceHoldsTheHostCallsOfEveryEffectTheCommandOpened) {
    test::TempDir dir;
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{"calls.txt", "params"}, 0, "\nadd_param "},
        {{"calls.txt", "about"}, 0, "\nsprintf format="},
        {{"calls.txt", "params", "--param", "Blur Amount=bogus"}, 2, "\nadd_param "},
        {{"missing/calls.txt", "params"}, 1, nullptr},
    };
    for (const auto& [command, status, call] : cases) {
        std::vector<std::string> args = {"--plugin", test::pluginPath(), "--trace", dir / command[0]};
        args.insert(args.end(), command.begin() + 1, command.end());
        std::ostringstream stdOut, stdErr;
        testing::internal::CaptureStdout();
        EXPECT_EQ(tiltshift::runTool(args, stdOut, stdErr), status) << stdErr.str();
        const std::string printed = testing::internal::GetCapturedStdout();
        if (call) {
            EXPECT_NE(("\n" + test::contents(dir / command[0])).find(call), std::string::npos) << command.back();
        } else {
            EXPECT_EQ(printed, "") << "the command ran";
            EXPECT_NE(stdErr.str().find(dir / command[0]), std::string::npos) << stdErr.str();
        }
    }
    EXPECT_EQ(dir.names(), std::set<std::string>{"calls.txt"});
}

std::vector<std::string> settingsOf(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> all;
    for (const tiltshift::ParamSetting& s : tiltshift::parsePreset(in, "p.json")) {
        all.push_back(s.name + "=" + s.value);
    }
    return all;
}

TEST(Preset, ValuesAndKeyframesTakeTheFormsOfTheCommandLine) {
    EXPECT_EQ(settingsOf(R"({"Type": "Linear", "Blur Amount": 80, "Weight": 2.5, "Center": [640, 360.5],
        "Grow Bounds": false, "Repeat Edge Pixels": true, "Vignetting Color": "#ff8000", "Blending Mode": 15})"),
              (std::vector<std::string>{"Type=Linear", "Blur Amount=80", "Weight=2.5", "Center=640,360.5",
                                        "Grow Bounds=off", "Repeat Edge Pixels=on", "Vignetting Color=#ff8000",
                                        "Blending Mode=15"}));
    // Keyframes as [frame, value] pairs, or as text.
    EXPECT_EQ(settingsOf(R"({"Blur Amount": [[1, 0], [48, 80.5]], "Center": [[0, [100, 100]], [48, [300, 200]]],
        "Type": [[0, "Radial"], [5, "Linear"]], "Grow Bounds": [[0, true], [3, false]], "Ratio": "0.5@0,2@10"})"),
              (std::vector<std::string>{"Blur Amount=0@1;80.5@48", "Center=100,100@0;300,200@48",
                                        "Type=Radial@0;Linear@5", "Grow Bounds=on@0;off@3", "Ratio=0.5@0,2@10"}));
    // Numbers in the fewest digits that read back, in full up to seventeen: they end up in errors.
    EXPECT_EQ(settingsOf(R"({"a": 1e20, "b": [[0, 1e20]], "c": 0.3333333333333333, "d": 1e16, "e": 1e17,
        "f": 123456789012345678901, "g": 1.7976931348623157e308})"),
              (std::vector<std::string>{"a=1e+20", "b=1e+20@0", "c=0.3333333333333333", "d=10000000000000000", "e=1e+17",
                                        "f=1.2345678901234568e+20", "g=1.7976931348623157e+308"}));
}

// Values of no form, and files no one writes by hand: a usage error naming
// the file and the entry, not a crash, garbage or a long wait.
TEST(Preset, ValuesOfNoFormUnreadableAndHostileFilesAreUsageErrors) {
    std::string manyKeys = "{", nestedObjects;
    for (int i = 0; i < 200000; ++i) {
        manyKeys += (i ? ",\"k" : "\"k") + std::to_string(i) + "\": 1";
    }
    for (int i = 0; i < 100; ++i) {
        nestedObjects += "{\"a\": ";
    }
    const std::pair<std::string, std::string> cases[] = {
        {"[1, 2]", "p.json: expected an object of parameter names and values"},
        {R"({"Center": {"x": 1}})", "\"Center\": expected"}, {R"({"Center": ["a", "b"]})", "\"Center\": expected"},
        {R"({"Ratio": [[-1, 2]]})", "\"Ratio\": expected"}, {R"({"Ratio": [[1.5, 2]]})", "\"Ratio\": expected"},
        {R"({"Ratio": [[1, null]]})", "\"Ratio\": expected"}, {R"({"Ratio": [[1, [[2, 3]]]]})", "\"Ratio\": expected"},
        {R"({"Ratio": [[1, 2], 3]})", "\"Ratio\": expected"}, {R"({"Ratio": [[1, 2, 3]]})", "\"Ratio\": expected"},
        {"{\n  \"Weight\": 2,\n  oops\n}", "parse error at line 3"},
        {"{\"Type\": " + std::string(70000, '[') + std::string(70000, ']') + "}", "nest more than 8 deep"},
        {"{\"Type\": " + nestedObjects + "1" + std::string(100, '}') + "}", "nest more than"},
        // Eight levels are the most read; within them, a value of no form.
        {R"({"Type": [[[[[[[1]]]]]]]})", "\"Type\": expected"},
        {R"({"Type": [[[[[[[[1]]]]]]]]})", "nest more than"},
        {manyKeys + "}", "more than 1000 entries"},
        {R"({"Weight": 1e400})", "number overflow"},
    };
    for (const auto& [text, fragment] : cases) {
        const std::string error = test::errorOf<tiltshift::UsageError>([&] { settingsOf(text); });
        EXPECT_EQ(error.rfind("p.json: ", 0), 0u) << error;
        EXPECT_NE(error.find(fragment), std::string::npos) << text.substr(0, 40) << ": " << error;
    }
    // Entries, not the lists in them, count towards the limit.
    std::string most = "{";
    for (int i = 0; i < 1000; ++i) {
        most += (i ? ",\"k" : "\"k") + std::to_string(i) + "\": [[0, 1]]";
    }
    EXPECT_EQ(settingsOf(most + "}").size(), 1000u);

    test::TempDir dir;
    EXPECT_EQ(test::errorOf<tiltshift::UsageError>([&] { tiltshift::readPreset(dir / "missing.json"); }),
              "cannot read the preset " + dir / "missing.json");
    EXPECT_EQ(test::errorOf<tiltshift::UsageError>([&] { tiltshift::readPreset(dir / "."); }),
              "the preset " + dir / "." + " is a folder, not a file");
    test::writeText(dir / "good.json", R"({"Weight": 0})");
    EXPECT_EQ(tiltshift::readPreset(dir / "good.json").at(0).value, "0");
}

}  // namespace
