// Animated parameters: keyframes VALUE@FRAME as --param and presets give
// them, set in the host's project, and sequences that render every frame at
// its own time.

#include <gtest/gtest.h>

#include "effect/effect.h"
#include "host/project.h"
#include "params/param_values.h"
#include "tool_files.h"

namespace {

using Frames = std::vector<std::pair<int, std::vector<double>>>;

class Keyframes : public ::testing::Test {
protected:
    // The keyframes the setting gives the parameter: frame (at 24 a second)
    // and the value's first `components` components.
    Frames keyframes(const std::string& setting, std::size_t components = 1) {
        const tiltshift::ParamSetting parsed = tiltshift::parseSetting(setting);
        tiltshift::applySetting(*host, parsed);
        Frames all;
        for (const host::Keyframe& k : stream(parsed.name).keyframes()) {
            EXPECT_EQ(k.time.scale, 24u);
            all.emplace_back(k.time.value, std::vector<double>(k.value.begin(), k.value.begin() + components));
        }
        return all;
    }

    host::StreamState& stream(const std::string& name) {
        return host->project().target().stream(host->paramIndex(name));
    }

    tiltshift::Effect host = tiltshift::loadEffect(test::pluginPath(), tiltshift::LayerSize{200, 100});
};

TEST_F(Keyframes, EachKindOfParameterInItsOwnFormAndLaterSettingsReplaceEarlierOnes) {
    EXPECT_EQ(keyframes("Blur Amount=0@1, 80.5@48"), (Frames{{1, {0}}, {48, {80.5}}}));
    // Any order; the host keeps them in time order.
    EXPECT_EQ(keyframes("Direction=90@24;-45@0"), (Frames{{0, {-45}}, {24, {90}}}));
    EXPECT_EQ(keyframes("Type=Radial@0,linear@5,1@9"), (Frames{{0, {1}}, {5, {2}}, {9, {1}}}));
    EXPECT_EQ(keyframes("Grow Bounds=on@0,off@3"), (Frames{{0, {1}}, {3, {0}}}));
    // Values that hold commas take ';' between keyframes.
    EXPECT_EQ(keyframes("Center=10,20.5@0; 190,80@12", 2), (Frames{{0, {10, 20.5}}, {12, {190, 80}}}));
    EXPECT_EQ(keyframes("Vignetting Color=#ff0000@0;0,0,1@10", 4), (Frames{{0, {1, 1, 0, 0}}, {10, {1, 0, 0, 1}}}));
    // One keyframe animates too: it holds everywhere.
    EXPECT_EQ(keyframes("Ratio=2@7"), (Frames{{7, {2}}}));

    tiltshift::applySetting(*host, tiltshift::parseSetting("Blur Amount=20"));
    EXPECT_TRUE(stream("Blur Amount").keyframes().empty());
    EXPECT_EQ(host->param(host->paramIndex("Blur Amount")).current.u.fs_d.value, 20);
    EXPECT_EQ(keyframes("Blur Amount=5@2"), (Frames{{2, {5}}}));
}

// Blur Amount 0 on frame 1, 15 on frame 2, 30 on frame 3: each frame the
// same as a still rendered at that value, to the bit, from --param or a preset.
TEST(AnimatedRender, EveryFrameRendersAtItsOwnTime) {
    test::TempDir dir;
    test::writeGreyImage(dir / "in.png", 24, 16);
    test::writeText(dir / "anim.json", R"({"Blur Amount": [[1, 0], [3, 30]]})");
    const auto render = [&](const std::string& out, const std::vector<std::string>& args) {
        std::vector<std::string> all = {dir / "in.png", "-o", dir / out, "--param", "Inner Width=3"};
        all.insert(all.end(), args.begin(), args.end());
        ASSERT_EQ(test::run("render", all), 0);
    };
    render("anim.%d.png", {"--frames", "1-3", "--param", "Blur Amount=0@1,30@3"});
    render("preset.%d.png", {"--frames", "1-3", "--preset", dir / "anim.json"});
    std::vector<std::vector<std::uint8_t>> frames;
    for (int frame = 1; frame <= 3; ++frame) {
        const std::string n = std::to_string(frame);
        render("still.png", {"--param", "Blur Amount=" + std::to_string(15 * (frame - 1))});
        frames.push_back(test::readFile<std::uint8_t>(dir / "still.png").values);
        EXPECT_EQ(test::readFile<std::uint8_t>(dir / ("anim." + n + ".png")).values, frames.back()) << frame;
        EXPECT_EQ(test::readFile<std::uint8_t>(dir / ("preset." + n + ".png")).values, frames.back()) << frame;
    }
    EXPECT_NE(frames[0], frames[1]);
    EXPECT_NE(frames[1], frames[2]);
}

}  // namespace
