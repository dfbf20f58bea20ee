// `tiltshift render` through the host and the built plug-in: round trips at
// each depth, options, atomic output, sequences and animation.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include <nlohmann/json.hpp>

#include "DrawbotSuite.h"
#include "effect/effect.h"
#include "host/plugin_error.h"
#include "host/project.h"
#include "images/pixel_convert.h"
#include "params/param_values.h"
#include "render/render_job.h"
#include "tool_files.h"

namespace {

// Every stage that changes pixels turned off: the output is the input.
std::vector<std::string> unchanged(std::vector<std::string> args) {
    for (const char* off : {"Blur Amount=0", "Vignetting=0", "Chromatic Aberration=0", "Weight=0"}) {
        args.insert(args.end(), {"--param", off});
    }
    return args;
}

int render(const std::vector<std::string>& args) { return test::run("render", unchanged(args)); }

// `values` of two rows into a file, through the render, and back as stored.
template <typename T>
void expectRoundTrip(const test::TempDir& dir, const std::string& name, int channels, OIIO::TypeDesc stored,
                     const std::vector<T>& values) {
    test::writeFile(dir / name, static_cast<int>(values.size()) / channels / 2, 2, channels, stored, values);
    ASSERT_EQ(render({dir / name, "-o", dir / ("out-" + name)}), 0);
    const test::FileImage<T> out = test::readFile<T>(dir / ("out-" + name));
    EXPECT_EQ(std::tie(out.spec.format, out.spec.nchannels, out.values), std::tie(stored, channels, values)) << name;
}

// 16-bit files hold more values than the host's worlds: these are world
// values. OpenEXR holds colour times alpha, the render straight colour.
TEST(RenderRoundTrip, EachDepthGivesBackTheSourceWhenNothingChangesIt) {
    test::TempDir dir;
    std::vector<std::uint8_t> eight(30);
    std::vector<std::uint16_t> sixteen(30);
    for (std::size_t i = 0; i < 30; ++i) {
        eight[i] = std::uint8_t(i * 37 % 256);
        sixteen[i] = tiltshift::worldToFile16(std::uint16_t(i * 7919 % 32769));
    }
    expectRoundTrip(dir, "8.png", 3, OIIO::TypeDesc::UINT8, eight);
    expectRoundTrip(dir, "16.png", 3, OIIO::TypeDesc::UINT16, sixteen);
    expectRoundTrip<float>(dir, "32.exr", 3, OIIO::TypeDesc::FLOAT, {0, 0.125f, 2.5f, 1, 0.5f, 0.375f});
    expectRoundTrip<float>(dir, "alpha.exr", 4, OIIO::TypeDesc::HALF,
                           {0.25f, 0.125f, 0.5f, 0.5f, 1, 0.5f, 0, 1, 0, 0, 0, 0, 0.5f, 0.25f, 0.75f, 0.75f});
}

TEST(RenderOptions, DepthDownsampleAndATextLayersPlace) {
    test::TempDir dir;
    std::vector<std::uint8_t> eight(8 * 6 * 3);
    for (std::size_t i = 0; i < eight.size(); ++i) {
        eight[i] = std::uint8_t(i * 11 % 256);
    }
    test::writeFile(dir / "in.png", 8, 6, 3, OIIO::TypeDesc::UINT8, eight);
    ASSERT_EQ(render({dir / "in.png", "-o", dir / "deep.png", "--depth", "16"}), 0);
    const auto deep = test::readFile<std::uint16_t>(dir / "deep.png");
    EXPECT_EQ(deep.spec.format, OIIO::TypeDesc::UINT16);
    ASSERT_EQ(deep.values.size(), eight.size());
    for (std::size_t i = 0; i < eight.size(); ++i) {
        ASSERT_NEAR(deep.values[i], eight[i] * 257, 1) << i;
    }
    ASSERT_EQ(render({dir / "in.png", "-o", dir / "small.tif", "--downsample=2", "--threads", "1"}), 0);
    const auto small = test::readFile<std::uint8_t>(dir / "small.tif");
    EXPECT_EQ(std::pair(small.spec.width, small.spec.height), std::pair(4, 3));
    // Compression changes the file, not the pixels. PNG's default is zlib's
    // fastest level; OpenImageIO's PNG writer takes the level from its own attribute.
    ASSERT_EQ(test::run("scene", {"-o", dir / "scene.png", "--width", "160", "--height", "90"}), 0);
    for (const auto& [a, b, first, second] : {std::tuple("a.png", "b.png", "zip", "zip:9"), std::tuple("a.exr", "b.exr", "zip:9", "none")}) {
        ASSERT_EQ(render({dir / "scene.png", "-o", dir / a, "--compression", first}), 0);
        ASSERT_EQ(render({dir / "scene.png", "-o", dir / b, "--compression", second}), 0);
        EXPECT_NE(test::contents(dir / a).size(), test::contents(dir / b).size()) << a;
        EXPECT_EQ(test::readFile<float>(dir / a).values, test::readFile<float>(dir / b).values);
    }
    // A text layer's content is what is not transparent; without grown
    // bounds the effect renders only that, and the output puts it where it was.
    std::vector<std::uint8_t> text(6 * 4 * 4, 0);
    for (int y = 1; y < 3; ++y) {
        for (int x = 2; x < 5; ++x) {
            const std::uint8_t rgba[] = {std::uint8_t(40 * x), std::uint8_t(70 * y), 9, 255};
            std::copy_n(rgba, 4, &text[static_cast<std::size_t>(y * 6 + x) * 4]);
        }
    }
    test::writeFile(dir / "text.png", 6, 4, 4, OIIO::TypeDesc::UINT8, text);
    ASSERT_EQ(render({dir / "text.png", "-o", dir / "out.png", "--layer", "text", "--param", "Grow Bounds=off"}), 0);
    EXPECT_EQ(test::readFile<std::uint8_t>(dir / "out.png").values, text);
}

// Whatever the spelling, link or frame: no output or overlay may be an
// input (it would be lost) or the other one (the render would be).
TEST(RenderOutput, NeverTheSameFileAsAnInputOrEachOther) {
    test::TempDir dir;
    for (const char* name : {"in.png", "in.1.png", "in.2.png"}) {
        test::writeFlat(dir / name, 2, 2, 5);
    }
    std::filesystem::create_directory(dir / "sub");
    std::filesystem::create_symlink(dir / "in.png", dir / "soft.png");
    std::filesystem::create_hard_link(dir / "in.png", dir / "o.7.png");
    const std::set<std::string> before = dir.names();
    const std::string bytes = test::contents(dir / "in.png");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{dir / "in.png", "-o", dir / "in.png"}, "OUTPUT " + dir / "in.png" + " is an input file"},
        {{dir / "in.png", "-o", dir / "sub/../in.png"}, "is an input file"},
        {{dir / "in.png", "-o", dir / "soft.png"}, "is an input file"},
        {{dir / "in.%d.png", "-o", dir / "./in.%d.png"}, "OUTPUT " + dir / "./in.1.png" + " is an input"},
        {{dir / "in.png", "-o", dir / "out.png", "--overlay", dir / "./in.png"}, "--overlay " + dir / "./in.png"},
        {{dir / "in.png", "-o", dir / "x.png", "--overlay", dir / "sub/../x.png"}, "is the OUTPUT file"},
        {{dir / "in.png", "-o", dir / "o.%d.png", "--frames", "0-999999999"}, dir / "o.7.png" + " is an input"},
        {{dir / "in.png", "-o", dir / "p.%d.png", "--frames", "0-999999999", "--overlay", dir / "sub/../p.%02d.png"},
         "is the OUTPUT file " + dir / "p.999999999.png"},
    };
    for (const auto& [args, error] : cases) {
        const std::string message = test::errorOf<tiltshift::UsageError>([&, &args = args] { render(args); });
        EXPECT_NE(message.find(error), std::string::npos) << message;
        EXPECT_EQ(std::pair(dir.names(), test::contents(dir / "in.png")), std::pair(before, bytes));
    }
}

struct Prepared {
    tiltshift::RenderJob job;
    tiltshift::FramePlan frames;
    tiltshift::Effect host;
    std::ostringstream log;

    // Three-by-two frames of one grey each, 50 times the frame number.
    Prepared(const test::TempDir& dir, int frames, std::vector<std::string> args) {
        for (int frame = 1; frame <= frames; ++frame) {
            test::writeFlat(dir / ("in." + std::to_string(frame) + ".png"), 3, 2, std::uint8_t(frame * 50));
        }
        job = tiltshift::parseRenderArgs(args);
        this->frames = tiltshift::planFrames(job.input, job.output, job.frames);
        host = tiltshift::prepareEffect(test::pluginPath(), job, this->frames.front().input);
    }
    void render() { tiltshift::renderFrames(*host, job, frames, log, false); }
};

TEST(RenderOutput, AFailedRenderWritesNothingAndKeepsWhatWasThere) {
    test::TempDir dir;
    Prepared p(dir, 1, {dir / "in.1.png", "-o", dir / "out.png"});
    p.host->cancelAtAbortCheck(1);
    EXPECT_NE(test::errorOf<host::PluginError>([&] { p.render(); }).find("error 517 PF_Interrupt_CANCEL"), std::string::npos);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"in.1.png"}));
    test::writeText(dir / "out.png", "what was there");
    EXPECT_THROW(p.render(), host::PluginError);
    EXPECT_EQ(test::contents(dir / "out.png"), "what was there");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"in.1.png", "out.png"}));
}

// The user reads what the plug-in asked the application to show, not only
// its error code: here the handles cannot be drawn without Drawbot.
TEST(RenderOutput, AFailingPlugInsOwnMessageIsNamed) {
    test::TempDir dir;
    Prepared p(dir, 1, {dir / "in.1.png", "-o", dir / "out.png", "--overlay", dir / "handles.png"});
    p.host->faults().makeUnavailable(kDRAWBOT_DrawSuite);
    const std::string error = test::errorOf<host::PluginError>([&] { p.render(); });
    EXPECT_NE(error.find("to draw its handles with error"), std::string::npos) << error;
    EXPECT_NE(error.find(": Not able to acquire AEFX Suite."), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir / "handles.png"));
}

TEST(RenderSequence, AFailedWriteStopsTheRunWithTheFramesBeforeItWritten) {
    test::TempDir dir;
    Prepared p(dir, 4, unchanged({dir / "in.%d.png", "-o", dir / "out.%d.png"}));
    // Frame 3 cannot take its place; frame 4 has been read, and maybe rendered, by then.
    std::filesystem::create_directory(dir / "out.3.png");
    EXPECT_THROW(p.render(), std::runtime_error);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"in.1.png", "in.2.png", "in.3.png", "in.4.png", "out.1.png",
                                                  "out.2.png", "out.3.png"}));
    EXPECT_EQ(test::readFile<std::uint8_t>(dir / "out.2.png").values, std::vector<std::uint8_t>(18, 100));
    // Reported in order, though each frame is written while the next renders.
    const std::string log = p.log.str();
    EXPECT_LT(log.find("frame 1 (1/4): " + dir / "out.1.png"), log.find("frame 2 (2/4): ")) << log;
    EXPECT_EQ(log.find("(3/4)"), std::string::npos) << log;
}

TEST(RenderSequence, JsonTimingsAreOneObjectPerFrameThenOneForTheRun) {
    test::TempDir dir;
    Prepared p(dir, 2, {dir / "in.%d.png", "-o", dir / "out.%d.png", "--timings=json"});
    p.render();
    std::istringstream lines(p.log.str());
    std::vector<nlohmann::json> objects;
    for (std::string line; std::getline(lines, line);) {
        objects.push_back(nlohmann::json::parse(line));  // nothing but JSON
    }
    ASSERT_EQ(objects.size(), 3u) << p.log.str();
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(objects[i].at("frame"), i + 1);
        EXPECT_GE(std::min({objects[i].at("read_ms"), objects[i].at("render_ms"), objects[i].at("write_ms")}), 0) << i;
    }
    EXPECT_GT(std::min(objects[2].at("peak_rss_mib"), objects[2].at("frames_per_s")), 0);
}

// The parameters hold the first frame's geometry: a frame of another size
// (the height alone differs) stops the run rather than render off centre.
TEST(RenderSequence, AFrameOfAnotherSizeStopsTheRun) {
    test::TempDir dir;
    test::writeFlat(dir / "in.1.png", 3, 2, 60);
    test::writeFlat(dir / "in.2.png", 3, 3, 60);
    EXPECT_EQ(test::errorOf([&] { render({dir / "in.%d.png", "-o", dir / "out.%d.png"}); })
                  .rfind(dir / "in.2.png" + " is 3 x 3 pixels, but the sequence began at 3 x 2", 0),
              0u);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"in.1.png", "in.2.png", "out.1.png"}));
}

using Frames = std::vector<std::pair<int, std::vector<double>>>;

TEST(Keyframes, EachKindOfParameterInItsOwnFormAndLaterSettingsReplaceEarlierOnes) {
    const tiltshift::Effect host = tiltshift::loadEffect(test::pluginPath(), tiltshift::LayerSize{200, 100});
    const auto stream = [&](const std::string& name) -> host::StreamState& {
        return host->project().target().stream(host->paramIndex(name));
    };
    // The frames (at 24 a second) and the values' first `components` components.
    const auto keyframes = [&](const std::string& setting, std::size_t components = 1) {
        const tiltshift::ParamSetting parsed = tiltshift::parseSetting(setting);
        tiltshift::applySetting(*host, parsed);
        Frames all;
        for (const host::Keyframe& k : stream(parsed.name).keyframes()) {
            EXPECT_EQ(k.time.scale, 24u);
            all.emplace_back(k.time.value, std::vector<double>(k.value.begin(), k.value.begin() + components));
        }
        return all;
    };
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

}  // namespace
