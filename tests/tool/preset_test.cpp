// Preset files: JSON values turned into the settings --param takes.

#include <gtest/gtest.h>

#include <sstream>

#include "params/param_info.h"
#include "params/presets.h"
#include "tool_files.h"

namespace {

using nlohmann::ordered_json;

std::vector<std::string> settingsOf(const char* json) {
    std::vector<std::string> all;
    for (const tiltshift::ParamSetting& s : tiltshift::presetSettings(ordered_json::parse(json), "p.json")) {
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
    // Numbers a parameter cannot hold still print in full: they end up in errors.
    EXPECT_EQ(settingsOf(R"({"Blur Amount": 1e20, "Weight": [[0, 1e20]]})"),
              (std::vector<std::string>{"Blur Amount=1e+20", "Weight=1e+20@0"}));
}

TEST(Preset, ValuesOfNoFormAreErrorsNamingTheFileAndTheEntry) {
    EXPECT_EQ(test::errorOf<tiltshift::UsageError>([] { settingsOf("[1, 2]"); })
                  .rfind("p.json: expected an object of parameter names and values", 0), 0u);
    for (const std::string json : {R"({"Center": {"x": 1}})", R"({"Center": ["a", "b"]})", R"({"Ratio": [[-1, 2]]})",
                                   R"({"Ratio": [[1.5, 2]]})", R"({"Ratio": [[1, null]]})", R"({"Ratio": [[1, [[2, 3]]]]})",
                                   R"({"Ratio": [[1, 2], 3]})"}) {
        const std::string error = test::errorOf<tiltshift::UsageError>([&] { settingsOf(json.c_str()); });
        EXPECT_EQ(error.rfind("p.json: " + json.substr(1, json.find(':') - 1) + ": expected", 0), 0u) << json << ": " << error;
    }
}

std::vector<tiltshift::ParamSetting> parsed(const std::string& text) {
    std::istringstream in(text);
    return tiltshift::parsePreset(in, "p.json");
}

// Files no one writes by hand: a usage error naming the file, not a crash,
// garbage or a long wait.
TEST(Preset, UnreadableAndHostileFilesAreUsageErrors) {
    std::string manyKeys = "{", nestedObjects;
    for (int i = 0; i < 200000; ++i) {
        manyKeys += (i ? ",\"k" : "\"k") + std::to_string(i) + "\": 1";
    }
    for (int i = 0; i < 100; ++i) {
        nestedObjects += "{\"a\": ";
    }
    const std::pair<std::string, std::string> cases[] = {
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
        const std::string error = test::errorOf<tiltshift::UsageError>([&] { parsed(text); });
        EXPECT_EQ(error.rfind("p.json: ", 0), 0u) << error;
        EXPECT_NE(error.find(fragment), std::string::npos) << text.substr(0, 40) << ": " << error;
    }
    // Entries, not the lists in them, count towards the limit.
    std::string most = "{";
    for (int i = 0; i < 1000; ++i) {
        most += (i ? ",\"k" : "\"k") + std::to_string(i) + "\": [[0, 1]]";
    }
    EXPECT_EQ(parsed(most + "}").size(), 1000u);

    test::TempDir dir;
    EXPECT_EQ(test::errorOf<tiltshift::UsageError>([&] { tiltshift::readPreset(dir / "missing.json"); }),
              "cannot read the preset " + dir / "missing.json");
    EXPECT_EQ(test::errorOf<tiltshift::UsageError>([&] { tiltshift::readPreset(dir / "."); }),
              "the preset " + dir / "." + " is a folder, not a file");
    test::writeText(dir / "good.json", R"({"Weight": 0})");
    EXPECT_EQ(tiltshift::readPreset(dir / "good.json").at(0).value, "0");
}

// Numbers in full, from the fewest digits that read back the same, to an
// exponent only past the seventeen digits that always do.
TEST(Preset, NumbersAreWrittenInTheFewestDigitsThatReadBack) {
    const std::pair<double, const char*> cases[] = {
        {1.0 / 3, "0.3333333333333333"},
        {1e16, "10000000000000000"},
        {1e17, "1e+17"},
        {123456789012345678901.0, "1.2345678901234568e+20"},
        {1.7976931348623157e308, "1.7976931348623157e+308"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(tiltshift::formatNumber(value), text);
    }
}

}  // namespace
