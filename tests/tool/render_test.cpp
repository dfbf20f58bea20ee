// `tiltshift render` through the host and plug-in: round trips, options, atomic output, sequences, keyframes.

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
#include "render/progress.h"
#include "render/render_job.h"
#include "render/sequence.h"
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
    expectRoundTrip(dir, "8.png", 3, OIIO::TypeDesc::UINT8,
                    test::valuesOf<std::uint8_t>(30, [](std::size_t i) { return i * 37; }));
    expectRoundTrip(dir, "16.png", 3, OIIO::TypeDesc::UINT16, test::valuesOf<std::uint16_t>(30, [](std::size_t i) {
        return tiltshift::worldToFile16(std::uint16_t(i * 7919 % 32769));
    }));
    expectRoundTrip<float>(dir, "32.exr", 3, OIIO::TypeDesc::FLOAT, {0, 0.125f, 2.5f, 1, 0.5f, 0.375f});
    expectRoundTrip<float>(dir, "alpha.exr", 4, OIIO::TypeDesc::HALF,
                           {0.25f, 0.125f, 0.5f, 0.5f, 1, 0.5f, 0, 1, 0, 0, 0, 0, 0.5f, 0.25f, 0.75f, 0.75f});
}

TEST(RenderOptions, DepthDownsampleAndATextLayersPlace) {
    test::TempDir dir;
    const auto eight = test::valuesOf<std::uint8_t>(8 * 6 * 3, [](std::size_t i) { return i * 11; });
    test::writeFile(dir / "in.png", 8, 6, 3, OIIO::TypeDesc::UINT8, eight);
    ASSERT_EQ(render({dir / "in.png", "-o", dir / "deep.png", "--depth", "16"}), 0);
    const auto deep = test::readFile<std::uint16_t>(dir / "deep.png");
    ASSERT_EQ(std::pair(deep.spec.format, deep.values.size()), std::pair(OIIO::TypeDesc(OIIO::TypeDesc::UINT16), eight.size()));
    for (std::size_t i = 0; i < eight.size(); ++i) {
        ASSERT_NEAR(deep.values[i], eight[i] * 257, 1) << i;
    }
    ASSERT_EQ(render({dir / "in.png", "-o", dir / "small.tif", "--downsample=2", "--threads", "1"}), 0);
    const auto small = test::readFile<std::uint8_t>(dir / "small.tif");
    EXPECT_EQ(std::pair(small.spec.width, small.spec.height), std::pair(4, 3));
    // PNG's default is zlib's fastest level, which OpenImageIO's writer takes from its own attribute.
    ASSERT_EQ(test::run("scene", {"-o", dir / "scene.png", "--width", "160", "--height", "90"}), 0);
    for (const auto& [a, b, first, second] :
         {std::tuple("a.png", "b.png", "zip", "zip:9"), std::tuple("a.exr", "b.exr", "zip:9", "none")}) {
        ASSERT_EQ(render({dir / "scene.png", "-o", dir / a, "--compression", first}), 0);
        ASSERT_EQ(render({dir / "scene.png", "-o", dir / b, "--compression", second}), 0);
        EXPECT_NE(test::contents(dir / a).size(), test::contents(dir / b).size()) << a;
        EXPECT_EQ(test::readFile<float>(dir / a).values, test::readFile<float>(dir / b).values);
    }
    // A text layer's content is what is not transparent: the output puts it where it was.
    const auto text = test::valuesOf<std::uint8_t>(6 * 4 * 4, [](std::size_t i) {
        const std::size_t x = i / 4 % 6, y = i / 24, channel = i % 4;
        const std::size_t rgba[] = {40 * x, 70 * y, 9, 255};
        return x >= 2 && x < 5 && y >= 1 && y < 3 ? rgba[channel] : 0;
    });
    test::writeFile(dir / "text.png", 6, 4, 4, OIIO::TypeDesc::UINT8, text);
    ASSERT_EQ(render({dir / "text.png", "-o", dir / "out.png", "--layer", "text", "--param", "Grow Bounds=off"}), 0);
    EXPECT_EQ(test::readFile<std::uint8_t>(dir / "out.png").values, text);
}

// Whatever the spelling, link or frame, no output or overlay may be an input (lost) or the other one.
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

TEST(RenderOutput, AFailedRenderWritesNothingKeepsWhatWasThereAndNamesThePlugInsMessage) {
    test::TempDir dir;
    Prepared p(dir, 1, {dir / "in.1.png", "-o", dir / "out.png", "--overlay", dir / "handles.png"});
    p.host->cancelAtAbortCheck(1);
    EXPECT_NE(test::errorOf<host::PluginError>([&] { p.render(); }).find("error 517 PF_Interrupt_CANCEL"), std::string::npos);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"in.1.png"}));
    test::writeText(dir / "out.png", "what was there");
    EXPECT_THROW(p.render(), host::PluginError);
    EXPECT_EQ(test::contents(dir / "out.png"), "what was there");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"in.1.png", "out.png"}));
    // Not only the error code: here the handles cannot be drawn without Drawbot.
    p.host->cancelAtAbortCheck(0);
    p.host->faults().makeUnavailable(kDRAWBOT_DrawSuite);
    const std::string error = test::errorOf<host::PluginError>([&] { p.render(); });
    EXPECT_NE(error.find("to draw its handles with error"), std::string::npos) << error;
    EXPECT_NE(error.find(": Not able to acquire AEFX Suite."), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir / "handles.png"));
}

TEST(RenderSequence, AFailedWriteOrAFrameOfAnotherSizeStopsTheRunWithTheFramesBeforeIt) {
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
    // The parameters hold the first frame's geometry; the height alone differs.
    test::TempDir sizes;
    test::writeFlat(sizes / "in.1.png", 3, 2, 60);
    test::writeFlat(sizes / "in.2.png", 3, 3, 60);
    EXPECT_EQ(test::errorOf([&] { render({sizes / "in.%d.png", "-o", sizes / "out.%d.png"}); })
                  .rfind(sizes / "in.2.png" + " is 3 x 3 pixels, but the sequence began at 3 x 2", 0), 0u);
    EXPECT_EQ(sizes.names(), (std::set<std::string>{"in.1.png", "in.2.png", "out.1.png"}));
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

using Frames = std::vector<std::pair<int, std::vector<double>>>;

TEST(Keyframes, EachKindOfParameterInItsOwnFormAndLaterSettingsReplaceEarlierOnes) {
    const tiltshift::Effect host = tiltshift::loadEffect(test::pluginPath(), tiltshift::LayerSize{200, 100});
    // The frames (at 24 a second) and the values' first `components` components.
    const auto keyframes = [&](const std::string& setting, std::size_t components = 1) {
        const tiltshift::ParamSetting parsed = tiltshift::parseSetting(setting);
        tiltshift::applySetting(*host, parsed);
        Frames all;
        for (const host::Keyframe& k : host->project().target().stream(host->paramIndex(parsed.name)).keyframes()) {
            EXPECT_EQ(k.time.scale, 24u);
            all.emplace_back(k.time.value, std::vector<double>(k.value.begin(), k.value.begin() + components));
        }
        return all;
    };
    EXPECT_EQ(keyframes("Blur Amount=0@1, 80.5@48"), (Frames{{1, {0}}, {48, {80.5}}}));
    // Any order; the host keeps them in time order.
    EXPECT_EQ(keyframes("Direction=90@24;-45@0"), (Frames{{0, {-45}}, {24, {90}}}));
    EXPECT_EQ(keyframes("Type=Radial@0,linear@5,1@9"), (Frames{{0, {1}}, {5, {2}}, {9, {1}}}));
    // Values that hold commas take ';' between keyframes.
    EXPECT_EQ(keyframes("Center=10,20.5@0; 190,80@12", 2), (Frames{{0, {10, 20.5}}, {12, {190, 80}}}));
    EXPECT_EQ(keyframes("Vignetting Color=#ff0000@0;0,0,1@10", 4), (Frames{{0, {1, 1, 0, 0}}, {10, {1, 0, 0, 1}}}));
    EXPECT_EQ(keyframes("Blur Amount=20"), Frames{});
    EXPECT_EQ(host->param(host->paramIndex("Blur Amount")).current.u.fs_d.value, 20);
    EXPECT_EQ(keyframes("Blur Amount=5@2"), (Frames{{2, {5}}}));
}

using tiltshift::FramePattern;
using tiltshift::FrameRange;
using tiltshift::planFrames;
using tiltshift::UsageError;

TEST(FramePattern, NumbersFramesAsPrintfWouldAndFindsOnlyThoseOnDisk) {
    const std::tuple<const char*, int, const char*> cases[] = {{"shot.%04d.exr", 7, "shot.0007.exr"},
        {"shot.%04d.exr", 123456, "shot.123456.exr"}, {"dir.v2/f%d", 12, "dir.v2/f12"}, {"50%_%03d.png", 5, "50%_005.png"}};
    for (const auto& [pattern, frame, path] : cases) {
        EXPECT_EQ(FramePattern::parse(pattern)->path(frame), path);
    }
    for (const char* path : {"shot.exr", "50%.png", "a%s.png", "a%0d.png", "a%x.png", "a%"}) {
        EXPECT_FALSE(FramePattern::parse(path)) << path;
    }
    // printf would pad %4d with spaces; a plain name would overwrite one file each frame.
    for (const char* bad : {"a%d_%04d.png", "take%d/frame.png", "a%4d.png", "a%9d.png", "a%12d.png"}) {
        EXPECT_THROW(FramePattern::parse(bad), UsageError) << bad;
    }
    test::TempDir dir;
    for (const char* name : {"shot.0010.png", "shot.0001.png", "shot.0002.png", "shot.7.png", "shot.00003.png",
                             ".shot.0004.png.tmp", "shot.0005.png.bak", "shot.x.png", "other.0006.png"}) {
        test::writeText(dir / name, "");
    }
    EXPECT_EQ(FramePattern::parse(dir / "shot.%04d.png")->framesOnDisk(), (std::vector<int>{1, 2, 10}));
    EXPECT_EQ(FramePattern::parse(dir / "shot.%d.png")->framesOnDisk(), (std::vector<int>{7}));
    EXPECT_TRUE(FramePattern::parse(dir / "nothing/shot.%d.png")->framesOnDisk().empty());
}

TEST(FrameRange, FirstToLastOrOneFrame) {
    EXPECT_EQ(std::pair(tiltshift::parseFrameRange("1-240").first, tiltshift::parseFrameRange("1-240").last), std::pair(1, 240));
    EXPECT_EQ(std::pair(tiltshift::parseFrameRange("0").first, tiltshift::parseFrameRange("0").last), std::pair(0, 0));
    for (const char* bad : {"", "a", "3-1", "-5", "1-", "1-2-3", "1.5", "1 - 3", "9999999999"}) {
        EXPECT_THROW(tiltshift::parseFrameRange(bad), UsageError) << bad;
    }
}

TEST(FramePlan, APatternRendersItsFramesOnDiskOrThoseAskedAStillAnyRange) {
    test::TempDir dir;
    for (const char* name : {"in.01.png", "in.02.png", "in.04.png"}) {
        test::writeText(dir / name, "");
    }
    const tiltshift::FramePlan plan = planFrames(dir / "in.%02d.png", dir / "out.%d.tif", std::nullopt);
    ASSERT_EQ(plan.size(), 3u);
    EXPECT_EQ(std::tuple(plan[2].frame, plan[2].input, plan[2].output), std::tuple(4, dir / "in.04.png", dir / "out.4.tif"));
    EXPECT_EQ(planFrames(dir / "in.%02d.png", dir / "o.%d.png", FrameRange{1, 2}).size(), 2u);
    EXPECT_EQ(test::errorOf([&] { planFrames(dir / "in.%02d.png", dir / "o.%d.png", FrameRange{1, 4}); }),
              "input frame 3 is missing: " + dir / "in.03.png");
    EXPECT_THROW(planFrames(dir / "none.%02d.png", dir / "o.%d.png", std::nullopt), std::runtime_error);

    // No range is listed ahead: a billion frames cost nothing until rendered.
    test::writeText(dir / "still.png", "");
    const auto still = planFrames(dir / "still.png", dir / "o.%d.png", FrameRange{0, 999999999});
    ASSERT_EQ(still.size(), 1000000000u);
    EXPECT_EQ(std::tuple(still[0].input, still[0].output), std::tuple(dir / "still.png", dir / "o.0.png"));
    EXPECT_EQ(std::tuple(still[999999999].frame, still[999999999].output), std::tuple(999999999, dir / "o.999999999.png"));
    EXPECT_EQ(planFrames(dir / "still.png", dir / "o.png", std::nullopt).front().frame, 0);
    EXPECT_EQ(planFrames(dir / "still.png", dir / "o.png", FrameRange{9, 9}).front().frame, 9);
    EXPECT_THROW(planFrames(dir / "gone.png", dir / "o.png", std::nullopt), std::runtime_error);
    EXPECT_EQ(test::errorOf([&] { planFrames(dir / ".", dir / "o.png", std::nullopt); }),
              dir / "." + " is a folder, not an image file");
    test::writeText(dir / "in.0.png", "");
    EXPECT_EQ(test::errorOf([&] { planFrames(dir / "in.%d.png", dir / "o.%d.png", FrameRange{0, 999999999}); }),
              "input frame 1 is missing: " + dir / "in.1.png");
    EXPECT_THROW(planFrames(dir / "in.%d.png", dir / "o.png", std::nullopt), UsageError);
    EXPECT_THROW(planFrames(dir / "still.png", dir / "o.%d.png", std::nullopt), UsageError);
    EXPECT_THROW(planFrames(dir / "still.png", dir / "o.png", FrameRange{1, 2}), UsageError);
}

TEST(ProgressBar, RateAndTimeLeftOnceAFrameIsDone) {
    EXPECT_EQ(tiltshift::progressBar(0, 4, 0.5, 8), "[--------]  0/4 frames  -- fps  -- left");
    EXPECT_EQ(tiltshift::progressBar(1, 3, 2.0, 9), "[###------]  1/3 frames  0.5 fps  0:04 left");
    EXPECT_EQ(tiltshift::progressBar(100, 7300, 4.0, 10), "[----------]  100/7300 frames  25 fps  4:48 left");
    EXPECT_EQ(tiltshift::progressBar(10, 100000, 1.0, 4), "[----]  10/100000 frames  10 fps  2:46:39 left");
    EXPECT_EQ(tiltshift::progressBar(5, 5, 1.0, 4), "[####]  5/5 frames  5 fps  0:00 left");
    EXPECT_EQ(tiltshift::progressBar(0, 0, 0.5, 4), "[####]  0/0 frames  -- fps  -- left") << "no frames: done";
    // A stream's frames are not known before it ends.
    EXPECT_EQ(tiltshift::progressBar(0, std::nullopt, 0.5, 8), "0 frames  -- fps");
    EXPECT_EQ(tiltshift::progressBar(12, std::nullopt, 4.0, 8), "12 frames  3 fps");
}

}  // namespace
