// `tiltshift render` through the host and the built plug-in: round trips at
// each depth, options, parameter errors, atomic output and sequences.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/arguments.h"
#include "cli/command.h"
#include "host/plugin_error.h"
#include "images/pixel_convert.h"
#include "plugin_path.h"
#include "render/render_job.h"
#include "tool_files.h"

namespace {

// Every stage that changes pixels turned off: the output is the input.
const std::vector<std::string> kUnchanged = {
    "--param", "Blur Amount=0", "--param", "Vignetting=0", "--param", "Chromatic Aberration=0", "--param", "Weight=0",
};

int render(const std::vector<std::string>& args, const std::vector<std::string>& more = kUnchanged) {
    std::vector<std::string> all = args;
    all.insert(all.end(), more.begin(), more.end());
    return tiltshift::runCommand("render", tiltshift::Common{test::pluginPath()}, all);
}

template <typename T>
std::vector<T> pattern(std::size_t count, T (*value)(std::size_t)) {
    std::vector<T> values(count);
    for (std::size_t i = 0; i < count; ++i) {
        values[i] = value(i);
    }
    return values;
}

TEST(RenderRoundTrip, EachDepthGivesBackTheSourceWhenNothingChangesIt) {
    test::TempDir dir;
    const auto eight = pattern<std::uint8_t>(5 * 4 * 3, [](std::size_t i) { return std::uint8_t(i * 37 % 256); });
    // 16-bit files hold more values than the host's worlds; these are world values.
    const auto sixteen = pattern<std::uint16_t>(
        5 * 4 * 3, [](std::size_t i) { return tiltshift::worldToFile16(std::uint16_t(i * 7919 % 32769)); });
    const auto floats = pattern<float>(5 * 4 * 3, [](std::size_t i) { return float(i % 17) / 8.0f; });
    test::writeFile(dir / "8.png", 5, 4, 3, OIIO::TypeDesc::UINT8, eight);
    test::writeFile(dir / "16.png", 5, 4, 3, OIIO::TypeDesc::UINT16, sixteen);
    test::writeFile(dir / "32.exr", 5, 4, 3, OIIO::TypeDesc::FLOAT, floats);

    ASSERT_EQ(render({dir / "8.png", "-o", dir / "8-out.png"}), 0);
    ASSERT_EQ(render({dir / "16.png", "-o", dir / "16-out.png"}), 0);
    ASSERT_EQ(render({dir / "32.exr", "-o", dir / "32-out.exr"}), 0);

    const auto eightOut = test::readFile<std::uint8_t>(dir / "8-out.png");
    EXPECT_EQ(eightOut.spec.format, OIIO::TypeDesc::UINT8);
    EXPECT_EQ(eightOut.values, eight);
    const auto sixteenOut = test::readFile<std::uint16_t>(dir / "16-out.png");
    EXPECT_EQ(sixteenOut.spec.format, OIIO::TypeDesc::UINT16);
    EXPECT_EQ(sixteenOut.values, sixteen);
    const auto floatOut = test::readFile<float>(dir / "32-out.exr");
    EXPECT_EQ(floatOut.spec.format, OIIO::TypeDesc::FLOAT);
    EXPECT_EQ(floatOut.values, floats);
}

// Colour times alpha in the file, straight in the render, times alpha again.
TEST(RenderRoundTrip, OpenExrAlphaStaysAssociated) {
    test::TempDir dir;
    // Pixel by pixel: red, green, blue, alpha.
    const std::vector<float> values = {
        0.25f, 0.125f, 0.5f,  0.5f,  //
        1.0f,  0.5f,   0.0f,  1.0f,  //
        0.0f,  0.0f,   0.0f,  0.0f,  //
        0.5f,  0.25f,  0.75f, 0.75f,
    };
    test::writeFile(dir / "in.exr", 2, 2, 4, OIIO::TypeDesc::HALF, values);
    ASSERT_EQ(render({dir / "in.exr", "-o", dir / "out.exr"}), 0);
    const auto out = test::readFile<float>(dir / "out.exr");
    EXPECT_EQ(out.spec.format, OIIO::TypeDesc::HALF);
    ASSERT_EQ(out.spec.nchannels, 4);
    EXPECT_EQ(out.values, values);
}

TEST(RenderOptions, DepthAndDownsample) {
    test::TempDir dir;
    const auto eight = pattern<std::uint8_t>(8 * 6 * 3, [](std::size_t i) { return std::uint8_t(i * 11 % 256); });
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
    EXPECT_EQ(small.spec.width, 4);
    EXPECT_EQ(small.spec.height, 3);
}

// A text layer's content is what is not transparent; without grown bounds
// the effect renders only that, and the output puts it where it was.
TEST(RenderOptions, TextLayerResultStaysInPlace) {
    test::TempDir dir;
    std::vector<std::uint8_t> values(6 * 4 * 4, 0);
    for (int y = 1; y < 3; ++y) {
        for (int x = 2; x < 5; ++x) {
            std::uint8_t* p = &values[static_cast<std::size_t>(y * 6 + x) * 4];
            p[0] = std::uint8_t(40 * x);
            p[1] = std::uint8_t(70 * y);
            p[2] = 9;
            p[3] = 255;
        }
    }
    test::writeFile(dir / "in.png", 6, 4, 4, OIIO::TypeDesc::UINT8, values);
    ASSERT_EQ(render({dir / "in.png", "-o", dir / "out.png", "--layer", "text", "--param", "Grow Bounds=off"}), 0);
    EXPECT_EQ(test::readFile<std::uint8_t>(dir / "out.png").values, values);
}

TEST(RenderParameters, AnyParameterByNameInTheFormsOfTheEffectControls) {
    test::TempDir dir;
    test::writeFile<std::uint8_t>(dir / "in.png", 4, 4, 3, OIIO::TypeDesc::UINT8, std::vector<std::uint8_t>(48, 99));
    test::writeText(dir / "look.json", R"({"Type": "linear", "Direction": 30, "Vignetting Color": [1, 0.5, 0]})");
    EXPECT_EQ(
        render({dir / "in.png", "-o", dir / "out.png", "--preset", dir / "look.json", "--param", "Blending Mode=15",
                "--param", "Vignetting Color=#ff0000", "--param", "Center=1,2.5", "--param", "Grow Bounds=off"}),
        0);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"in.png", "look.json", "out.png"}));
}

TEST(RenderParameters, BadValuesNameTheParameterAndWriteNothing) {
    test::TempDir dir;
    test::writeFile<std::uint8_t>(dir / "in.png", 4, 4, 3, OIIO::TypeDesc::UINT8, std::vector<std::uint8_t>(48, 99));
    test::writeText(dir / "heavy.json", R"({"Weight": 9})");
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> cases = {
        {{"--param", "Blur Amount=6000"}, {"\"Blur Amount\"", "6000", "0..5000"}},
        {{"--param", "Blur Amount=1e20"}, {"\"Blur Amount\": 1e+20 is outside", "0..5000"}},
        {{"--param", "Bogus=1"}, {"no parameter named \"Bogus\"", "Blur Amount"}},
        {{"--param", "Type=Diagonal"}, {"\"Type\"", "1 Radial, 2 Linear"}},
        {{"--param", "Grow Bounds=maybe"}, {"\"Grow Bounds\"", "on or off"}},
        {{"--param", "Center=1"}, {"\"Center\"", "x,y"}},
        {{"--param", "Blur Amount"}, {"NAME=VALUE"}},
        {{"--preset", dir / "heavy.json"}, {dir / "heavy.json" + ": \"Weight\"", "0..5"}},
        {{"--depth", "12"}, {"--depth", "8, 16 or 32"}},
        {{"--layer", "solid"}, {"--layer", "footage, text or shape"}},
        {{"--downsample", "0"}, {"--downsample"}},
        {{"--downsample", "5"}, {"--downsample 5 is more than the image's 4 x 4 pixels"}},
        {{"--bogus", "1"}, {"unknown option --bogus"}},
    };
    for (const auto& [args, fragments] : cases) {
        std::vector<std::string> all = {dir / "in.png", "-o", dir / "out.png"};
        all.insert(all.end(), args.begin(), args.end());
        try {
            render(all, {});
            ADD_FAILURE() << args.back() << " was accepted";
        } catch (const tiltshift::UsageError& e) {
            for (const std::string& fragment : fragments) {
                EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
            }
        }
        EXPECT_EQ(dir.names(), (std::set<std::string>{"in.png", "heavy.json"})) << args.back();
    }
}

// Whatever the spelling, link or frame: no output or overlay may be an
// input (it would be lost) or the other one (the render would be).
TEST(RenderOutput, NeverTheSameFileAsAnInputOrEachOther) {
    test::TempDir dir;
    for (const char* name : {"in.png", "in.1.png", "in.2.png"}) {
        test::writeFile<std::uint8_t>(dir / name, 2, 2, 3, OIIO::TypeDesc::UINT8, std::vector<std::uint8_t>(12, 5));
    }
    std::filesystem::create_directory(dir / "sub");
    std::filesystem::create_symlink(dir / "in.png", dir / "soft.png");
    std::filesystem::create_hard_link(dir / "in.png", dir / "o.7.png");
    const std::set<std::string> before = dir.names();
    const std::string bytes = test::contents(dir / "in.png");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
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
        try {
            render(args);
            ADD_FAILURE() << args.back() << " was accepted";
        } catch (const tiltshift::UsageError& e) {
            EXPECT_NE(std::string(e.what()).find(error), std::string::npos) << e.what();
        }
        EXPECT_EQ(dir.names(), before);
        EXPECT_EQ(test::contents(dir / "in.png"), bytes);
    }
}

struct Prepared {
    tiltshift::RenderJob job;
    tiltshift::FramePlan frames;
    tiltshift::Effect host;
};

Prepared prepare(const std::vector<std::string>& args) {
    Prepared p;
    p.job = tiltshift::parseRenderArgs(args);
    p.frames = tiltshift::planFrames(p.job.input, p.job.output, p.job.frames);
    p.host = tiltshift::prepareEffect(test::pluginPath(), p.job, p.frames.front().input);
    return p;
}

TEST(RenderOutput, AFailedRenderWritesNothingAndKeepsWhatWasThere) {
    test::TempDir dir;
    test::writeFile<std::uint8_t>(dir / "in.png", 8, 8, 3, OIIO::TypeDesc::UINT8, std::vector<std::uint8_t>(192, 50));
    Prepared p = prepare({dir / "in.png", "-o", dir / "out.png"});
    p.host->cancelAtAbortCheck(1);
    std::ostringstream log;
    try {
        tiltshift::renderFrames(*p.host, p.job, p.frames, log, false);
        ADD_FAILURE() << "the render was not cancelled";
    } catch (const host::PluginError& e) {
        EXPECT_EQ(e.err, PF_Interrupt_CANCEL);
        EXPECT_NE(std::string(e.what()).find("error 517 PF_Interrupt_CANCEL"), std::string::npos) << e.what();
    }
    EXPECT_EQ(dir.names(), (std::set<std::string>{"in.png"}));

    test::writeText(dir / "out.png", "what was there");
    EXPECT_THROW(tiltshift::renderFrames(*p.host, p.job, p.frames, log, false), host::PluginError);
    EXPECT_EQ(test::contents(dir / "out.png"), "what was there");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"in.png", "out.png"}));
}

TEST(RenderSequence, ThreeFramesOneAfterAnother) {
    test::TempDir dir;
    for (int frame = 1; frame <= 3; ++frame) {
        test::writeFile(dir / "in." + std::to_string(frame) + ".png", 3, 2, 3, OIIO::TypeDesc::UINT8,
                        std::vector<std::uint8_t>(18, std::uint8_t(frame * 60)));
    }
    std::vector<std::string> args = {dir / "in.%d.png", "-o", dir / "out.%03d.png", "--frames", "1-3"};
    args.insert(args.end(), kUnchanged.begin(), kUnchanged.end());
    Prepared p = prepare(args);
    std::ostringstream log;
    tiltshift::renderFrames(*p.host, p.job, p.frames, log, false);

    std::size_t previous = 0;
    for (int frame = 1; frame <= 3; ++frame) {
        const std::string out = dir / ("out.00" + std::to_string(frame) + ".png");
        EXPECT_EQ(test::readFile<std::uint8_t>(out).values, std::vector<std::uint8_t>(18, std::uint8_t(frame * 60)))
            << out;
        // Reported in order, though each frame is written while the next renders.
        const std::string line = "frame " + std::to_string(frame) + " (" + std::to_string(frame) + "/3): " + out;
        const std::size_t at = log.str().find(line);
        EXPECT_NE(at, std::string::npos) << log.str();
        EXPECT_GE(at, previous) << log.str();
        previous = at;
    }
}

TEST(RenderSequence, AFailedWriteStopsTheRunWithTheFramesBeforeItWritten) {
    test::TempDir dir;
    for (int frame = 1; frame <= 4; ++frame) {
        test::writeFile(dir / "in." + std::to_string(frame) + ".png", 3, 2, 3, OIIO::TypeDesc::UINT8,
                        std::vector<std::uint8_t>(18, std::uint8_t(frame * 50)));
    }
    std::vector<std::string> args = {dir / "in.%d.png", "-o", dir / "out.%d.png"};
    args.insert(args.end(), kUnchanged.begin(), kUnchanged.end());
    Prepared p = prepare(args);
    // Frame 3 cannot take its place; frame 4 has been read, and maybe rendered, by then.
    std::filesystem::create_directory(dir / "out.3.png");
    std::ostringstream log;
    EXPECT_THROW(tiltshift::renderFrames(*p.host, p.job, p.frames, log, false), std::runtime_error);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"in.1.png", "in.2.png", "in.3.png", "in.4.png", "out.1.png",
                                                  "out.2.png", "out.3.png"}));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "out.3.png"));
    EXPECT_EQ(test::readFile<std::uint8_t>(dir / "out.2.png").values, std::vector<std::uint8_t>(18, 100));
    EXPECT_NE(log.str().find("(2/4)"), std::string::npos) << log.str();
    EXPECT_EQ(log.str().find("(3/4)"), std::string::npos) << log.str();
}

TEST(RenderSequence, JsonTimingsAreOneObjectPerFrameThenOneForTheRun) {
    test::TempDir dir;
    for (int frame = 1; frame <= 2; ++frame) {
        test::writeFile(dir / "in." + std::to_string(frame) + ".png", 3, 2, 3, OIIO::TypeDesc::UINT8,
                        std::vector<std::uint8_t>(18, 9));
    }
    Prepared p = prepare({dir / "in.%d.png", "-o", dir / "out.%d.png", "--timings=json"});
    std::ostringstream log;
    tiltshift::renderFrames(*p.host, p.job, p.frames, log, false);
    std::istringstream lines(log.str());
    std::vector<nlohmann::json> objects;
    for (std::string line; std::getline(lines, line);) {
        objects.push_back(nlohmann::json::parse(line));  // nothing but JSON
    }
    ASSERT_EQ(objects.size(), 3u) << log.str();
    for (int frame = 1; frame <= 2; ++frame) {
        const nlohmann::json& o = objects[static_cast<std::size_t>(frame - 1)];
        EXPECT_EQ(o.at("frame"), frame);
        for (const char* key : {"read_ms", "render_ms", "write_ms"}) {
            EXPECT_GE(o.at(key).get<double>(), 0) << key;
        }
    }
    EXPECT_GT(objects[2].at("peak_rss_mib").get<double>(), 0);
    EXPECT_GT(objects[2].at("frames_per_s").get<double>(), 0);
}

// The parameters hold the first frame's geometry; a frame of another size
// stops the run rather than render around the wrong centre.
TEST(RenderSequence, AFrameOfAnotherSizeStopsTheRun) {
    test::TempDir dir;
    test::writeFile(dir / "in.1.png", 3, 2, 3, OIIO::TypeDesc::UINT8, std::vector<std::uint8_t>(18, 60));
    // One side alike is not enough: the height alone differs.
    test::writeFile(dir / "in.2.png", 3, 3, 3, OIIO::TypeDesc::UINT8, std::vector<std::uint8_t>(27, 60));
    try {
        render({dir / "in.%d.png", "-o", dir / "out.%d.png"});
        ADD_FAILURE() << "frames of two sizes rendered";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind(dir / "in.2.png" + " is 3 x 3 pixels, but the sequence began at 3 x 2", 0),
                  0u) << e.what();
    }
    EXPECT_EQ(dir.names(), (std::set<std::string>{"in.1.png", "in.2.png", "out.1.png"}));
}

TEST(RenderSequence, AMissingInputFrameStopsTheRunBeforeItStarts) {
    test::TempDir dir;
    for (const char* name : {"in.1.png", "in.3.png"}) {
        test::writeFile(dir / name, 2, 2, 3, OIIO::TypeDesc::UINT8, std::vector<std::uint8_t>(12, 7));
    }
    EXPECT_THROW(render({dir / "in.%d.png", "-o", dir / "out.%d.png", "--frames", "1-3"}), std::runtime_error);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"in.1.png", "in.3.png"}));
    // Without --frames, the frames on disk.
    EXPECT_EQ(render({dir / "in.%d.png", "-o", dir / "out.%d.png"}), 0);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"in.1.png", "in.3.png", "out.1.png", "out.3.png"}));
}

}  // namespace
