// Raw video through `tiltshift render - -o -`: each pixel format as an image file of its channels; broken streams.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <sstream>
#include <thread>

#include "images/raw_video.h"
#include "render/render_job.h"
#include "tool_files.h"

namespace {

using tiltshift::Depth;
using tiltshift::RawFormat;

struct Fd {
    explicit Fd(int opened) : fd(opened >= 0 ? opened : throw std::runtime_error(std::strerror(errno))) {}
    ~Fd() { close(fd); }
    Fd(const Fd&) = delete;
    operator int() const { return fd; }
    const int fd;
};

Fd openToRead(const std::string& path) { return Fd(open(path.c_str(), O_RDONLY)); }
Fd openToWrite(const std::string& path) { return Fd(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)); }

// Interleaved RGBA values as a frame: as they are, or as planes of green, blue, red and alpha.
template <typename S>
std::string rawFrame(const std::vector<S>& rgba, bool planar) {
    std::vector<S> laid = rgba;
    const std::size_t pixels = rgba.size() / 4, channelOfPlane[4] = {1, 2, 0, 3};
    for (std::size_t plane = 0; planar && plane < 4; ++plane) {
        for (std::size_t i = 0; i < pixels; ++i) {
            laid[plane * pixels + i] = rgba[i * 4 + channelOfPlane[plane]];
        }
    }
    return std::string(reinterpret_cast<const char*>(laid.data()), laid.size() * sizeof(S));
}

// The world's pixels, row after row, without the padding between rows.
std::string worldBytes(const host::Image& image) {
    const PF_EffectWorld& world = *image.world();
    const std::size_t pixel = image.format() == PF_PixelFormat_ARGB32 ? 4 : image.format() == PF_PixelFormat_ARGB64 ? 8 : 16;
    std::string bytes;
    for (int y = 0; y < image.height(); ++y) {
        bytes.append(static_cast<const char*>(world.data) + static_cast<std::ptrdiff_t>(y) * world.rowbytes,
                     pixel * static_cast<std::size_t>(image.width()));
    }
    return bytes;
}

constexpr int kWidth = 3, kHeight = 2;
constexpr std::size_t kValues = kWidth * kHeight * 4;

// PNG stores straight alpha as the stream does; OpenEXR associated, so its frame is opaque (values beyond 0..1).
struct Sample {
    RawFormat format;
    std::string file;  // under the test's folder
    std::string frame;
    std::function<void(const std::string&)> writeFile;
    std::function<std::string(const std::string&)> readFileAsFrame;
};

template <typename S>
Sample sample(RawFormat format, const std::string& file, OIIO::TypeDesc stored, S (*value)(std::size_t)) {
    const std::vector<S> rgba = test::valuesOf<S>(kValues, value);
    const bool planar = format == RawFormat::gbrapf32le;
    return Sample{format, file, rawFrame(rgba, planar),
                  [rgba, stored](const std::string& path) { test::writeFile(path, kWidth, kHeight, 4, stored, rgba, 3); },
                  [planar](const std::string& path) { return rawFrame(test::readFile<S>(path).values, planar); }};
}

std::vector<Sample> samples() {
    return {
        sample<std::uint8_t>(RawFormat::rgba, "8.png", OIIO::TypeDesc::UINT8,
                             [](std::size_t i) { return std::uint8_t(i % 4 == 3 ? (i - 3) * 50 % 256 : i * 37 % 256); }),
        sample<std::uint16_t>(RawFormat::rgba64le, "16.png", OIIO::TypeDesc::UINT16,
                              [](std::size_t i) { return std::uint16_t(i % 4 == 3 ? (i - 3) * 13001 : i * 7919); }),
        sample<float>(RawFormat::gbrapf32le, "32.exr", OIIO::TypeDesc::FLOAT,
                      [](std::size_t i) { return i % 4 == 3 ? 1.0f : float(i % 9) / 4 - 0.25f; }),
    };
}

TEST(RawVideo, ReadAndWrittenAsTheFileRouteAtEveryDepth) {
    test::TempDir dir;
    for (const Sample& s : samples()) {
        s.writeFile(dir / s.file);
        test::writeText(dir / "frame.raw", s.frame);
        for (Depth depth : {Depth::bits8, Depth::bits16, Depth::float32}) {
            const std::string what = tiltshift::rawFormatName(s.format) + (" at " + std::to_string(int(depth)));
            const Fd in = openToRead(dir / "frame.raw");
            tiltshift::RawVideoReader reader(in, "the test stream", s.format, {kWidth, kHeight});
            const std::unique_ptr<host::Image> world = reader.read(depth);
            ASSERT_TRUE(world) << what;
            EXPECT_EQ(worldBytes(*world), worldBytes(*tiltshift::readImage(dir / s.file, depth).image)) << what;

            tiltshift::RawVideoWriter(openToWrite(dir / "written.raw"), "the test stream", s.format).write(*world);
            const std::string stored = dir / ("stored." + s.file);
            tiltshift::writeImage(*world, stored, tiltshift::OutputFormat{tiltshift::channelTypeOf(s.format), true});
            EXPECT_EQ(test::contents(dir / "written.raw"), s.readFileAsFrame(stored)) << what;
            if (depth == tiltshift::depthOf(s.format) && s.format != RawFormat::rgba64le) {
                EXPECT_EQ(test::contents(dir / "written.raw"), s.frame) << what << ": the frame comes back as it was";
            }
        }
    }
}

// What rendering `args` from a stream of `input` wrote, and its error.
std::pair<std::string, std::string> streamed(const test::TempDir& dir, std::vector<std::string> args,
                                             const std::string& input, std::ostream& log) {
    test::writeText(dir / "in.raw", input);
    args.insert(args.begin(), {"-", "-o", "-", "--size", "3x2"});
    std::string error;
    {
        const Fd in = openToRead(dir / "in.raw"), out = openToWrite(dir / "out.raw");
        error = test::errorOf(
            [&] { tiltshift::runStreamJob(test::pluginPath(), tiltshift::parseRenderArgs(args), in, out, log, false); });
    }
    return {test::contents(dir / "out.raw"), error};
}

// Blur Amount 0 at frame 0, 20 at 1, 40 at 2; the stream's frames count from 0 too.
TEST(AnimatedRender, EveryFrameRendersAtItsOwnTimeThroughFilesAndTheStream) {
    test::TempDir dir;
    const Sample s = samples()[1];  // 16 bits, alpha from 0 to full
    const std::size_t size = s.frame.size();
    s.writeFile(dir / "still.png");
    const std::vector<std::string> look = {"--param", "Inner Width=0.5", "--param", "Vignetting=30"};
    const auto render = [&](const std::string& out, std::vector<std::string> args) {
        args.insert(args.begin(), {dir / "still.png", "-o", dir / out});
        args.insert(args.end(), look.begin(), look.end());
        ASSERT_EQ(test::run("render", args), 0);
    };
    render("anim.%d.png", {"--frames", "0-2", "--param", "Blur Amount=0@0,40@2"});
    std::string reference;
    for (int frame = 0; frame < 3; ++frame) {
        render("at.png", {"--param", "Blur Amount=" + std::to_string(20 * frame)});
        reference += s.readFileAsFrame(dir / "at.png");
        EXPECT_EQ(s.readFileAsFrame(dir / ("anim." + std::to_string(frame) + ".png")), reference.substr(frame * size)) << frame;
    }
    EXPECT_NE(reference.substr(0, size), reference.substr(size, size)) << "the keyframes changed nothing";
    std::vector<std::string> stream = look;
    stream.insert(stream.end(), {"--param", "Blur Amount=0@0,40@2", "--pix-fmt", "rgba64le"});
    const std::tuple<std::size_t, std::size_t, std::string> cases[] = {
        {0, 0, "standard input holds no frames"},
        {1, 0, "ended inside frame 0: 1 of its 48 bytes came"},
        {2 * size + 5, 2, "ended inside frame 2: 5 of its 48 bytes came"},
        {3 * size, 3, "no error"},
    };
    for (const auto& [bytes, whole, fragment] : cases) {
        std::ostringstream log;
        const auto [out, error] = streamed(dir, stream, (s.frame + s.frame + s.frame).substr(0, bytes), log);
        EXPECT_EQ(out, reference.substr(0, whole * size)) << bytes;
        EXPECT_NE(error.find(fragment), std::string::npos) << bytes << ": " << error;
        const std::string last = "frame " + std::to_string(int(whole) - 1) + ": standard output";
        EXPECT_EQ(log.str().find(last) != std::string::npos, whole > 0) << bytes << ": " << log.str();
    }
}

TEST(RawVideo, FramesFromAPipeAreWholeHoweverItsWriterCutsThem) {
    const std::string frame = samples()[0].frame;
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const Fd readEnd(ends[0]);
    std::thread writer([two = frame + frame, writeEnd = ends[1]] {
        EXPECT_EQ(write(writeEnd, two.data(), 1), 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the first read takes one byte alone
        EXPECT_EQ(write(writeEnd, two.data() + 1, two.size() - 1), static_cast<ssize_t>(two.size() - 1));
        close(writeEnd);
    });
    tiltshift::RawVideoReader reader(readEnd, "the pipe", RawFormat::rgba, {kWidth, kHeight});
    const std::string first = worldBytes(*reader.read(Depth::bits8));
    EXPECT_EQ(test::errorOf([&] { EXPECT_EQ(worldBytes(*reader.read(Depth::bits8)), first); }), "no error");
    writer.join();
}

// A reader that has gone (ffmpeg quit) is named; the broken pipe does not end the process.
TEST(RawVideoRender, RefusesATerminalAtEitherEndAndNamesAReaderThatHasGone) {
    test::TempDir dir;
    const Fd master(posix_openpt(O_RDWR | O_NOCTTY));
    ASSERT_TRUE(grantpt(master) == 0 && unlockpt(master) == 0);
    const Fd terminal(open(ptsname(master), O_RDWR | O_NOCTTY));
    test::writeText(dir / "in.raw", samples()[0].frame);
    const Fd file = openToRead(dir / "in.raw");
    const tiltshift::RenderJob job = tiltshift::parseRenderArgs({"-", "-o", "-", "--size", "3x2", "--pix-fmt", "rgba"});
    std::ostringstream log;
    EXPECT_THROW(tiltshift::runStreamJob(test::pluginPath(), job, terminal, terminal, log, false),
                 tiltshift::UsageError);
    EXPECT_THROW(tiltshift::runStreamJob(test::pluginPath(), job, file, terminal, log, false), tiltshift::UsageError);

    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    const Fd writeEnd(ends[1]);
    const host::Image frame(PF_PixelFormat_ARGB32, 3, 2), other(PF_PixelFormat_ARGB32, 2, 2);
    EXPECT_EQ(test::errorOf([&] { tiltshift::RawVideoWriter(writeEnd, "the pipe", RawFormat::rgba).write(frame); }),
              "cannot write frame 0 to the pipe: the program reading it has ended");
    // A raw stream says nothing of its size: every frame has the first one's.
    const Fd out = openToWrite(dir / "out.raw");
    tiltshift::RawVideoWriter writer(out, "the file", RawFormat::rgba);
    writer.write(frame);
    EXPECT_EQ(test::errorOf([&] { writer.write(other); }),
              "cannot write frame 1 to the file: it is 2 x 2 pixels, but the stream's frames are 3 x 2");
}

}  // namespace
