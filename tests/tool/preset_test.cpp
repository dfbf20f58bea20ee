// Preset files: JSON values turned into the settings --param takes.

#include <gtest/gtest.h>

#include "command.h"
#include "presets.h"
#include "tool_files.h"

namespace {

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

}  // namespace
