// Preset files: JSON values turned into the settings --param takes.

#include <gtest/gtest.h>

#include "cli/arguments.h"
#include "params/param_info.h"
#include "params/presets.h"
#include "tool_files.h"

namespace {

std::string repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

std::string usageError(const std::function<void()>& f) {
    try {
        f();
    } catch (const tiltshift::UsageError& e) {
        return e.what();
    }
    return "no error";
}

TEST(Preset, ValuesTakeTheFormsOfTheCommandLine) {
    const auto preset = nlohmann::ordered_json::parse(R"({
        "Type": "Linear", "Blur Amount": 80, "Weight": 2.5, "Ratio": 0.1, "Center": [640, 360.5],
        "Grow Bounds": false, "Repeat Edge Pixels": true, "Vignetting Color": "#ff8000",
        "Blending Mode": 15
    })");
    const std::vector<tiltshift::ParamSetting> settings = tiltshift::presetSettings(preset, "p.json");
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto& s : settings) {
        pairs.emplace_back(s.name, s.value);
    }
    EXPECT_EQ(pairs, (std::vector<std::pair<std::string, std::string>>{{"Type", "Linear"},
                                                                       {"Blur Amount", "80"},
                                                                       {"Weight", "2.5"},
                                                                       {"Ratio", "0.1"},
                                                                       {"Center", "640,360.5"},
                                                                       {"Grow Bounds", "off"},
                                                                       {"Repeat Edge Pixels", "on"},
                                                                       {"Vignetting Color", "#ff8000"},
                                                                       {"Blending Mode", "15"}}));
}

TEST(Preset, ErrorsNameTheFileAndTheEntry) {
    using nlohmann::ordered_json;
    EXPECT_EQ(usageError([] { tiltshift::presetSettings(ordered_json::parse("[1, 2]"), "p.json"); }),
              "p.json: expected an object of parameter names and values");
    for (const char* bad :
         {R"({"Center": {"x": 1}})", R"({"Center": null})", R"({"Center": ["a", "b"]})", R"({"Center": []})"}) {
        const std::string error = usageError([&] { tiltshift::presetSettings(ordered_json::parse(bad), "p.json"); });
        EXPECT_EQ(error.rfind("p.json: \"Center\": expected", 0), 0u) << error;
    }
}

TEST(Preset, KeyframesAsFramesAndValuesOrAsText) {
    const auto preset = nlohmann::ordered_json::parse(R"({
        "Blur Amount": [[1, 0], [48, 80.5]], "Center": [[0, [100, 100]], [48, [300, 200]]],
        "Type": [[0, "Radial"], [5, "Linear"]], "Grow Bounds": [[0, true], [3, false]], "Ratio": "0.5@0,2@10"
    })");
    std::vector<std::string> values;
    for (const auto& s : tiltshift::presetSettings(preset, "p.json")) {
        values.push_back(s.value);
    }
    EXPECT_EQ(values, (std::vector<std::string>{"0@1;80.5@48", "100,100@0;300,200@48", "Radial@0;Linear@5",
                                                "on@0;off@3", "0.5@0,2@10"}));
}

TEST(Preset, KeyframesThatAreNotFramesAndValuesAreErrors) {
    using nlohmann::ordered_json;
    for (const char* bad : {R"({"Ratio": [[1]]})", R"({"Ratio": [[-1, 2]]})", R"({"Ratio": [[1.5, 2]]})",
                            R"({"Ratio": [[1, null]]})", R"({"Ratio": [[1, [[2, 3]]]]})", R"({"Ratio": [[1, 2], 3]})"}) {
        const std::string error = usageError([&] { tiltshift::presetSettings(ordered_json::parse(bad), "p.json"); });
        EXPECT_EQ(error.rfind("p.json: \"Ratio\": expected", 0), 0u) << bad << ": " << error;
    }
}

TEST(Preset, UnreadableFilesAreUsageErrors) {
    test::TempDir dir;
    test::writeText(dir / "broken.json", "{\n  \"Weight\": 2,\n  oops\n}");
    const std::string broken = usageError([&] { tiltshift::readPreset(dir / "broken.json"); });
    EXPECT_EQ(broken.rfind(dir / "broken.json" + ": parse error at line 3", 0), 0u) << broken;
    EXPECT_EQ(usageError([&] { tiltshift::readPreset(dir / "missing.json"); }),
              "cannot read the preset " + dir / "missing.json");

    test::writeText(dir / "good.json", R"({"Weight": 0})");
    EXPECT_EQ(tiltshift::readPreset(dir / "good.json").at(0).value, "0");
}

// Files no one writes by hand: each must end in a usage error naming the
// file, not a crash, garbage or a long wait.
TEST(Preset, HostileFilesAreUsageErrors) {
    test::TempDir dir;
    std::string manyKeys = "{";
    for (int i = 0; i < 200000; ++i) {
        manyKeys += (i ? ",\"k" : "\"k") + std::to_string(i) + "\": 1";
    }
    manyKeys += "}";
    const struct {
        const char* name;
        std::string text;
        const char* error;
    } cases[] = {
        {"deep.json", "{\"Type\": " + std::string(70000, '[') + std::string(70000, ']') + "}", "nest more than"},
        {"objects.json", "{\"Type\": " + repeated("{\"a\": ", 100) + "1" + std::string(100, '}') + "}", "nest more than"},
        {"keys.json", manyKeys, "more than 1000 entries"},
        {"huge.json", R"({"Weight": 1e400})", "number overflow"},
        {"tiny.json", R"({"Weight": -1e400})", "number overflow"},
    };
    for (const auto& c : cases) {
        test::writeText(dir / c.name, c.text);
        const std::string error = usageError([&] { tiltshift::readPreset(dir / c.name); });
        EXPECT_EQ(error.rfind(dir / c.name + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
    EXPECT_EQ(usageError([&] { tiltshift::readPreset(dir / "."); }),
              "the preset " + dir / "." + " is a folder, not a file");
}

// Numbers a parameter cannot hold still print in full: they end up in errors.
TEST(Preset, NumbersBeyondWhatFitsDigitsAreWrittenOut) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.1, "0.1"},
        {2.5, "2.5"},
        {1.0 / 3, "0.3333333333333333"},
        {12345678, "12345678"},
        {1e16, "10000000000000000"},
        {1e17, "1e+17"},
        {-1e20, "-1e+20"},
        {123456789012345678901.0, "1.2345678901234568e+20"},
        {1.7976931348623157e308, "1.7976931348623157e+308"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tiltshift::formatNumber(c.value), c.text);
    }
    const auto preset = nlohmann::ordered_json::parse(R"({"Blur Amount": 1e20, "Weight": [[0, 1e20]]})");
    const std::vector<tiltshift::ParamSetting> settings = tiltshift::presetSettings(preset, "p.json");
    EXPECT_EQ(settings.at(0).value, "1e+20");
    EXPECT_EQ(settings.at(1).value, "1e+20@0");
}

}  // namespace
