// Image files in and out: depths, channel layouts, alpha, 16-bit scales, and writes that fail without harm.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "images/image_io.h"
#include "images/pending_file.h"
#include "images/pixel_convert.h"
#include "tool_files.h"

// OpenImageIO's PNG reader longjmps past a string's destructor on every PNG it
// cannot read whole (read here on purpose); matching the leak needs the whole stack.
extern "C" __attribute__((visibility("default"))) const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:OpenImageIO_v2_4::PNGInput::PngReadCallback\n";
}

namespace {

using tiltshift::Depth;
using tiltshift::OutputFormat;
using tiltshift::readImage;
using tiltshift::writeImage;

std::vector<int> argb(const host::Image& image, int x) {
    const PF_Pixel p = image.at<PF_Pixel>(x, 0);
    return {p.alpha, p.red, p.green, p.blue};
}

TEST(ImageRead, DepthIsTheFilesUnlessAskedAndEachChannelLayoutLandsInTheWorldsOrder) {
    test::TempDir dir;
    test::writeFile<std::uint16_t>(dir / "b.tif", 1, 1, 3, OIIO::TypeDesc::UINT16, {0, 257, 65535});
    test::writeFile<float>(dir / "c.exr", 1, 1, 3, OIIO::TypeDesc::HALF, {0.5f, 2.0f, -1.0f});
    const tiltshift::SourceImage b = readImage(dir / "b.tif");
    ASSERT_EQ(b.image->format(), PF_PixelFormat_ARGB64);
    EXPECT_EQ(b.image->at<PF_Pixel16>(0, 0).blue, 32768);
    const tiltshift::SourceImage c = readImage(dir / "c.exr");
    ASSERT_EQ(std::tuple(c.image->format(), c.channelType), std::tuple(PF_PixelFormat_ARGB128, OIIO::TypeDesc::HALF));
    const PF_PixelFloat& outside = c.image->at<PF_PixelFloat>(0, 0);
    EXPECT_EQ(std::tuple(outside.green, outside.blue), std::tuple(2.0f, -1.0f)) << "float files keep values outside 0..1";
    const tiltshift::SourceImage asked = readImage(dir / "b.tif", Depth::bits8);
    ASSERT_EQ(asked.image->format(), PF_PixelFormat_ARGB32);
    EXPECT_EQ(argb(*asked.image, 0), (std::vector<int>{255, 0, 1, 255})) << "no alpha in the file: opaque";
    // Straight alpha in the files: nothing to divide out.
    const std::tuple<std::string, std::vector<std::uint8_t>, std::vector<int>> cases[] = {
        {"grey.png", {77}, {255, 77, 77, 77}},
        {"grey-alpha.png", {77, 128}, {128, 77, 77, 77}},
        {"rgb.png", {1, 2, 3}, {255, 1, 2, 3}},
        {"rgba.png", {1, 2, 3, 200}, {200, 1, 2, 3}},
        {"extra.tif", {1, 2, 3, 200, 9}, {200, 1, 2, 3}},  // read through a copy of all five
    };
    for (const auto& [name, values, expected] : cases) {
        const int channels = static_cast<int>(values.size());
        std::vector<std::uint8_t> two = values;
        two.insert(two.end(), values.begin(), values.end());
        test::writeFile(dir / name, 2, 1, channels, OIIO::TypeDesc::UINT8, two, channels == 2 ? 1 : channels >= 4 ? 3 : -1);
        const tiltshift::SourceImage read = readImage(dir / name);
        EXPECT_EQ(std::tuple(read.image->format(), read.hasAlpha, argb(*read.image, 0), argb(*read.image, 1)),
                  std::tuple(PF_PixelFormat_ARGB32, expected[0] != 255, expected, expected)) << name;
    }
    // Two channels of no alpha (an OpenEXR's red and green) are no grey and alpha.
    test::writeFile<float>(dir / "rg.exr", 1, 1, 2, OIIO::TypeDesc::HALF, {0.5f, 0.25f});
    EXPECT_EQ(argb(*readImage(dir / "rg.exr", Depth::bits8).image, 0), (std::vector<int>{255, 128, 128, 128}));
}

// Any other world would take pixels it has no room for.
TEST(ImageRead, OnlyAWorldOfTheSameSizeAndDepthIsReused) {
    test::TempDir dir;
    test::writeFlat(dir / "a.png", 2, 1, 1);
    test::writeFlat(dir / "b.png", 2, 1, 12);
    test::writeFlat(dir / "wide.png", 3, 1, 13);
    test::writeFlat(dir / "tall.png", 2, 2, 14);
    const std::tuple<const char*, std::optional<Depth>, int, int, PF_PixelFormat, bool> cases[] = {
        {"b.png", std::nullopt, 2, 1, PF_PixelFormat_ARGB32, true},
        {"wide.png", std::nullopt, 3, 1, PF_PixelFormat_ARGB32, false},
        {"tall.png", std::nullopt, 2, 2, PF_PixelFormat_ARGB32, false},
        {"b.png", Depth::bits16, 2, 1, PF_PixelFormat_ARGB64, false},
    };
    for (const auto& [name, depth, width, height, format, reused] : cases) {
        tiltshift::SourceImage a = readImage(dir / "a.png");
        const host::Image* world = a.image.get();
        const tiltshift::SourceImage next = tiltshift::InputImage(dir / name).read(depth, std::move(a.image));
        EXPECT_EQ(std::tuple(next.image->format(), next.image->width(), next.image->height(), next.image->untouchedOutside()),
                  std::tuple(format, width, height, true)) << name;
        // Another world may be given the same address: only reuse is certain.
        EXPECT_TRUE(!reused || next.image.get() == world) << name << " was not reused";
    }
}

void writeSpecs(const std::string& path, const std::vector<OIIO::ImageSpec>& specs) {
    std::unique_ptr<OIIO::ImageOutput> out = OIIO::ImageOutput::create(path);
    ASSERT_TRUE(out && out->open(path, static_cast<int>(specs.size()), specs.data())) << path;
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const std::vector<float> pixels(specs[i].image_pixels() * 3, 0.5f);
        ASSERT_TRUE((i == 0 || out->open(path, specs[i], OIIO::ImageOutput::AppendSubimage)) &&
                    out->write_image(OIIO::TypeDesc::FLOAT, pixels.data())) << out->geterror();
    }
    ASSERT_TRUE(out->close());
}

// Never a picture with what the reader made up or left out.
TEST(ImageRead, MissingUnreadableOrPartlyReadableFilesAreNamed) {
    test::TempDir dir;
    test::writeText(dir / "not-an-image.png", "hello");
    test::writeGreyImage(dir / "whole.png", 64, 64);
    test::writeGreyImage(dir / "whole.jpg", 64, 64);
    for (const char* extension : {"png", "jpg"}) {
        const std::string whole = test::contents(dir / ("whole." + std::string(extension)));
        test::writeText(dir / ("truncated." + std::string(extension)), whole.substr(0, whole.size() / 2));
    }
    OIIO::ImageSpec shifted(4, 4, 3, OIIO::TypeDesc::HALF), cropped = shifted;
    shifted.x = 2;
    cropped.full_width = 8;
    writeSpecs(dir / "shifted.exr", {shifted});
    writeSpecs(dir / "cropped.exr", {cropped});
    std::vector<OIIO::ImageSpec> parts(2, OIIO::ImageSpec(4, 4, 3, OIIO::TypeDesc::HALF));
    parts[0].attribute("name", "beauty");
    parts[1].attribute("name", "mask");
    writeSpecs(dir / "parts.exr", parts);
    const std::pair<std::string, std::string> cases[] = {
        {"missing.png", ""},
        {"not-an-image.png", ""},
        {"truncated.png", ""},
        {"truncated.jpg", "Premature end"},
        {"shifted.exr", "data window (4 x 4 at 2,0) is not its display window (4 x 4 at 0,0)"},
        {"cropped.exr", "data window (4 x 4 at 0,0) is not its display window (8 x 4 at 0,0)"},
        {"parts.exr", "more than one image"},
    };
    for (const auto& [name, fragment] : cases) {
        testing::internal::CaptureStderr();
        const std::string error = test::errorOf([&] { readImage(dir / name); });
        EXPECT_EQ(error.rfind("cannot read " + dir / name + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(fragment), std::string::npos) << error;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << name << ": libpng's message is the error's alone";
    }
    EXPECT_NO_THROW(readImage(dir / "whole.jpg"));
}

// A header may claim any size.
TEST(ImageRead, FramesBeyondTheLimitAreRefusedBeforeReading) {
    test::TempDir dir;
    test::writeText(dir / "claims.ppm", "P6\n30000 30000\n255\n" + std::string(64, '\x7f'));
    test::writeFlat(dir / "small.png", 64, 64, 9);
    const std::uint64_t gibibyte = 1ull << 30, small = tiltshift::frameMemory(64, 64, 3, Depth::bits8);
    const std::tuple<const char*, tiltshift::FrameLimit, std::string> cases[] = {
        {"claims.ppm", {gibibyte, std::nullopt}, "30000 x 30000 pixels at 8 bits needs about 54074 MiB, but only 1024"},
        {"claims.ppm", {gibibyte, 1000000}, "30000 x 30000 pixels are more than --max-pixels 1000000"},
        {"small.png", {small - 1, std::nullopt}, "64 x 64 pixels at 8"},
        {"small.png", {small, std::nullopt}, "no error"},
        {"small.png", {0, 4096}, "no error"},
        {"small.png", {gibibyte, 4095}, "more than --max-pixels 4095"},
    };
    for (const auto& [file, limit, fragment] : cases) {
        const std::string error = test::errorOf([&, &limit = limit] { readImage(dir / file, std::nullopt, limit); });
        EXPECT_NE(error.find(fragment), std::string::npos) << error;
        EXPECT_TRUE(fragment == "no error" || error.rfind("cannot render " + dir / file + ": ", 0) == 0) << error;
    }
}

// A signal that ends the process takes the temporary file with it; one ignored before (nohup) stays ignored.
TEST(PendingFile, SignalsThatEndTheProcessRemoveTheTemporaryFile) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "ThreadSanitizer holds signals back for its own handler, past the point where they are raised";
#endif
    const std::pair<int, bool> cases[] = {{SIGINT, false},  {SIGTERM, false}, {SIGHUP, false}, {SIGQUIT, false},
                                          {SIGPIPE, false}, {SIGUSR1, false}, {SIGHUP, true},  {SIGPIPE, true}};
    for (const auto& [signal, ignoredBefore] : cases) {
        test::TempDir dir;
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            if (ignoredBefore) {
                std::signal(signal, SIG_IGN);
            }
            new tiltshift::PendingFile(dir / "out.png");  // never destroyed: only the handler removes it
            std::raise(signal);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        const bool ended = ignoredBefore ? WIFEXITED(status) && WEXITSTATUS(status) == 0
                                         : WIFSIGNALED(status) && WTERMSIG(status) == signal;
        EXPECT_TRUE(ended) << strsignal(signal) << " " << status;
        EXPECT_EQ(dir.names().size(), ignoredBefore ? 1u : 0u) << strsignal(signal);
    }
}

TEST(ImageWrite, AlphaOnlyWhenTheInputHadItOrTheResultNeedsIt) {
    test::TempDir dir;
    host::Image image(PF_PixelFormat_ARGB32, 2, 1);
    image.at<PF_Pixel>(0, 0) = image.at<PF_Pixel>(1, 0) = PF_Pixel{255, 1, 2, 3};
    const auto channels = [&](const std::string& name, bool keepAlpha) {
        writeImage(image, dir / name, OutputFormat{OIIO::TypeDesc::UINT8, keepAlpha});
        return test::readFile<std::uint8_t>(dir / name).spec.nchannels;
    };
    EXPECT_EQ(std::pair(channels("opaque.png", false), channels("kept.png", true)), std::pair(3, 4));
    image.at<PF_Pixel>(1, 0).alpha = 254;
    EXPECT_EQ(std::pair(channels("grown.png", false), channels("grown.jpg", false)), std::pair(4, 3)) << "JPEG has no alpha";
}

TEST(ImageWrite, FailedWritesLeaveTheTargetAndNoTemporaryFile) {
    test::TempDir dir;
    const host::Image image(PF_PixelFormat_ARGB32, 2, 2);
    EXPECT_THROW(writeImage(image, dir / "image.nosuchformat", OutputFormat{OIIO::TypeDesc::UINT8}),
                 std::runtime_error);
    EXPECT_THROW(tiltshift::checkWritable(dir / "image.nosuchformat"), std::runtime_error);
    EXPECT_THROW(tiltshift::checkWritable(dir / "no-folder/image.png"), std::runtime_error);
    EXPECT_EQ(dir.names(), std::set<std::string>{});
    // A read-only file is replaced as a rename would: only its folder decides.
    for (const auto mode : {std::filesystem::perms(0640), std::filesystem::perms(0444)}) {
        test::writeText(dir / "out.png", "old");
        std::filesystem::permissions(dir / "out.png", mode);
        writeImage(image, dir / "out.png", OutputFormat{OIIO::TypeDesc::UINT8});
        EXPECT_EQ(std::tuple(test::readFile<std::uint8_t>(dir / "out.png").spec.width,
                             std::filesystem::status(dir / "out.png").permissions(), dir.names()),
                  std::tuple(2, mode, std::set<std::string>{"out.png"}));
        std::filesystem::remove(dir / "out.png");
    }
}

// Writes beyond `bytes` fail with EFBIG, as on a full disk, while it lives.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &before);
        const rlimit limit{bytes, before.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, previous);
    }
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
};

// Noise, which no codec shrinks much: every format writes far more than the limit.
TEST(ImageWrite, AFullDiskLeavesTheOldFileWhateverTheFormat) {
    host::Image noise(PF_PixelFormat_ARGB32, 512, 512);
    std::uint32_t state = 12345;
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 512; ++x) {
            state = state * 1664525u + 1013904223u;
            noise.at<PF_Pixel>(x, y) = PF_Pixel{255, A_u_char(state >> 24), A_u_char(state >> 16), A_u_char(state >> 8)};
        }
    }
    // Writers that encode into memory, and SGI, whose writer writes its file itself.
    for (const char* extension : {"png", "jpg", "tif", "exr", "bmp", "tga", "gif", "ppm", "sgi"}) {
        test::TempDir dir;
        const std::string target = dir / (std::string("out.") + extension);
        test::writeText(target, "precious");
        const std::string message = [&] {
            const FileSizeLimit full(64 * 1024);
            return test::errorOf([&] { writeImage(noise, target, OutputFormat{OIIO::TypeDesc::UINT8}); });
        }();
        EXPECT_EQ(message.rfind("cannot write " + target + ": ", 0), 0u) << extension << ": " << message;
        EXPECT_EQ(message.find("/.out."), std::string::npos) << "names the temporary file: " << message;
        EXPECT_EQ(std::pair(test::contents(target), dir.names()),
                  std::pair(std::string("precious"), std::set<std::string>{std::string("out.") + extension})) << extension;
    }
}

using tiltshift::fileToWorld16;
using tiltshift::worldToFile16;

// The error is at most half a step, in units of 1/(32768 * 65535) of full
// scale; a 16-bit render's overlay is drawn at 8 bits, from the nearest byte.
TEST(Convert16, BothDirectionsAndTheOverlaysBytesRoundToTheNearestAndWorldValuesSurvive) {
    for (std::int64_t w = 0; w <= 32768; ++w) {
        const std::uint16_t f = worldToFile16(static_cast<std::uint16_t>(w));
        ASSERT_LE(std::llabs(f * 32768 - w * 65535), 32768 / 2) << "world value " << w;
        ASSERT_EQ(fileToWorld16(f), w) << "world value " << w;
    }
    for (std::int64_t f = 0; f <= 65535; ++f) {
        const std::int64_t w = fileToWorld16(static_cast<std::uint16_t>(f));
        ASSERT_LE(std::llabs(w * 65535 - f * 32768), 65535 / 2) << "file value " << f;
    }
    for (const std::uint16_t above : {32769, 65535}) {
        EXPECT_EQ(worldToFile16(above), 65535) << "above full scale stays at full scale";
    }
    tiltshift::Raster<std::uint16_t> raster(65536, 1);
    for (std::size_t f = 0; f < 65536; ++f) {
        raster.rgba[4 * f] = raster.rgba[4 * f + 1] = raster.rgba[4 * f + 2] = static_cast<std::uint16_t>(f);
        raster.rgba[4 * f + 3] = 65535;
    }
    const std::vector<PF_Pixel> bytes = tiltshift::eightBitPixels(*tiltshift::toImage(raster));
    ASSERT_EQ(bytes.size(), 65536u);
    for (std::size_t f = 0; f < 65536; ++f) {
        const std::int64_t w = fileToWorld16(static_cast<std::uint16_t>(f));
        ASSERT_LE(std::llabs(bytes[f].red * 32768 - w * 255), 32768 / 2) << "world value " << w;
        ASSERT_EQ(bytes[f].alpha, 255);
    }
}

template <typename T>
std::vector<T> unpremultiplied(std::vector<T> rgba) {
    tiltshift::Raster<T> raster(1, 1);
    raster.rgba = std::move(rgba);
    tiltshift::unpremultiply(raster);
    return raster.rgba;
}

// Colour above alpha is no associated colour; it cannot exceed full.
TEST(Association, UnpremultiplyingClampsAndLeavesClearPixelsAlone) {
    EXPECT_EQ(unpremultiplied<std::uint16_t>({60000, 30000, 0, 30000}), (std::vector<std::uint16_t>{65535, 65535, 0, 30000}));
    EXPECT_EQ(unpremultiplied<float>({0.3f, 0.2f, 0.1f, 0.0f}), (std::vector<float>{0.3f, 0.2f, 0.1f, 0.0f}));
}

}  // namespace
