// Image files in and out: depths, channel layouts, alpha, and writes that
// fail without harm.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "images/image_io.h"
#include "images/pending_file.h"
#include "scene/scene.h"
#include "tool_files.h"

// OpenImageIO's PNG reader records a read error in a string and then
// longjmps out through libpng, past the string's destructor: a leak inside
// the library on every PNG it cannot read whole, which these tests read on
// purpose. Matching it needs the allocation's whole stack.
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

TEST(ImageRead, DepthIsTheFilesUnlessAsked) {
    test::TempDir dir;
    test::writeFile<std::uint8_t>(dir / "a.png", 1, 1, 3, OIIO::TypeDesc::UINT8, {10, 20, 30});
    test::writeFile<std::uint16_t>(dir / "b.tif", 1, 1, 3, OIIO::TypeDesc::UINT16, {0, 257, 65535});
    test::writeFile<float>(dir / "c.exr", 1, 1, 3, OIIO::TypeDesc::HALF, {0.5f, 2.0f, -1.0f});

    EXPECT_EQ(readImage(dir / "a.png").image->format(), PF_PixelFormat_ARGB32);
    const tiltshift::SourceImage b = readImage(dir / "b.tif");
    ASSERT_EQ(b.image->format(), PF_PixelFormat_ARGB64);
    EXPECT_EQ(b.image->at<PF_Pixel16>(0, 0).blue, 32768);
    const tiltshift::SourceImage c = readImage(dir / "c.exr");
    ASSERT_EQ(c.image->format(), PF_PixelFormat_ARGB128);
    EXPECT_EQ(c.channelType, OIIO::TypeDesc::HALF);
    // Float files keep values outside 0..1.
    EXPECT_EQ(c.image->at<PF_PixelFloat>(0, 0).green, 2.0f);
    EXPECT_EQ(c.image->at<PF_PixelFloat>(0, 0).blue, -1.0f);

    const tiltshift::SourceImage asked = readImage(dir / "b.tif", Depth::bits8);
    ASSERT_EQ(asked.image->format(), PF_PixelFormat_ARGB32);
    const PF_Pixel p = asked.image->at<PF_Pixel>(0, 0);
    EXPECT_EQ(p.red, 0);
    EXPECT_EQ(p.green, 1);
    EXPECT_EQ(p.blue, 255);
    EXPECT_EQ(p.alpha, 255) << "no alpha in the file: opaque";
}

TEST(ImageRead, GreyBecomesRedGreenAndBlue) {
    test::TempDir dir;
    test::writeFile<std::uint8_t>(dir / "grey.png", 2, 1, 2, OIIO::TypeDesc::UINT8, {90, 255, 200, 0});
    const tiltshift::SourceImage grey = readImage(dir / "grey.png");
    EXPECT_TRUE(grey.hasAlpha);
    const PF_Pixel first = grey.image->at<PF_Pixel>(0, 0);
    EXPECT_EQ(first.red, 90);
    EXPECT_EQ(first.green, 90);
    EXPECT_EQ(first.blue, 90);
    EXPECT_EQ(first.alpha, 255);
    EXPECT_EQ(grey.image->at<PF_Pixel>(1, 0).alpha, 0);
}

TEST(ImageRead, EachChannelLayoutLandsInTheWorldsOrder) {
    // Straight alpha in the files: nothing to divide out.
    const std::vector<std::tuple<std::string, std::vector<std::uint8_t>, PF_Pixel>> cases = {
        {"grey.png", {77}, {255, 77, 77, 77}},
        {"grey-alpha.png", {77, 128}, {128, 77, 77, 77}},
        {"rgb.png", {1, 2, 3}, {255, 1, 2, 3}},
        {"rgba.png", {1, 2, 3, 200}, {200, 1, 2, 3}},
        {"extra.tif", {1, 2, 3, 200, 9}, {200, 1, 2, 3}},  // read through a copy of all five
    };
    test::TempDir dir;
    for (const auto& [name, values, expected] : cases) {
        const int channels = static_cast<int>(values.size());
        std::vector<std::uint8_t> two = values;
        two.insert(two.end(), values.begin(), values.end());
        OIIO::ImageSpec spec(2, 1, channels, OIIO::TypeDesc::UINT8);
        spec.alpha_channel = channels == 2 ? 1 : channels >= 4 ? 3 : -1;
        spec.attribute("oiio:UnassociatedAlpha", 1);
        const std::unique_ptr<OIIO::ImageOutput> out = OIIO::ImageOutput::create(dir / name);
        ASSERT_TRUE(out && out->open(dir / name, spec) && out->write_image(OIIO::TypeDesc::UINT8, two.data()) &&
                    out->close());
        const tiltshift::SourceImage read = readImage(dir / name);
        for (int x = 0; x < 2; ++x) {
            const PF_Pixel p = read.image->at<PF_Pixel>(x, 0);
            EXPECT_EQ((std::vector<int>{p.alpha, p.red, p.green, p.blue}),
                      (std::vector<int>{expected.alpha, expected.red, expected.green, expected.blue}))
                << name << " pixel " << x;
        }
    }
}

TEST(ImageRead, AWorldOfTheSameSizeAndDepthIsReused) {
    test::TempDir dir;
    test::writeFile<std::uint8_t>(dir / "a.png", 2, 1, 3, OIIO::TypeDesc::UINT8, {1, 2, 3, 4, 5, 6});
    test::writeFile<std::uint8_t>(dir / "b.png", 2, 1, 3, OIIO::TypeDesc::UINT8, {7, 8, 9, 10, 11, 12});
    test::writeFile<std::uint8_t>(dir / "wide.png", 3, 1, 3, OIIO::TypeDesc::UINT8, std::vector<std::uint8_t>(9, 13));
    tiltshift::SourceImage a = readImage(dir / "a.png");
    const host::Image* world = a.image.get();
    const tiltshift::SourceImage b = tiltshift::InputImage(dir / "b.png").read(std::nullopt, std::move(a.image));
    EXPECT_EQ(b.image.get(), world);
    EXPECT_EQ(b.image->at<PF_Pixel>(1, 0).blue, 12);
    // Another size or depth needs a world of its own.
    tiltshift::SourceImage again = readImage(dir / "a.png");
    const tiltshift::SourceImage wide =
        tiltshift::InputImage(dir / "wide.png").read(std::nullopt, std::move(again.image));
    EXPECT_EQ(wide.image->width(), 3);
    EXPECT_EQ(wide.image->at<PF_Pixel>(2, 0).red, 13);
    tiltshift::SourceImage eight = readImage(dir / "a.png");
    const tiltshift::SourceImage sixteen =
        tiltshift::InputImage(dir / "b.png").read(Depth::bits16, std::move(eight.image));
    EXPECT_EQ(sixteen.image->format(), PF_PixelFormat_ARGB64);
}

// Files written with OpenImageIO's own calls, for what the test helpers do not write.
void writeSpecs(const std::string& path, const std::vector<OIIO::ImageSpec>& specs) {
    std::unique_ptr<OIIO::ImageOutput> out = OIIO::ImageOutput::create(path);
    ASSERT_TRUE(out && out->open(path, static_cast<int>(specs.size()), specs.data())) << path;
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const std::vector<float> pixels(specs[i].image_pixels() * 3, 0.5f);
        ASSERT_TRUE((i == 0 || out->open(path, specs[i], OIIO::ImageOutput::AppendSubimage)) &&
                    out->write_image(OIIO::TypeDesc::FLOAT, pixels.data()))
            << out->geterror();
    }
    ASSERT_TRUE(out->close());
}

// Every file that cannot be read whole is an error naming it, never a
// picture with what the reader made up or left out.
TEST(ImageRead, MissingUnreadableOrPartlyReadableFilesAreNamed) {
    test::TempDir dir;
    test::writeText(dir / "not-an-image.png", "hello");
    test::writeFile<std::uint8_t>(dir / "whole.png", 64, 64, 3, OIIO::TypeDesc::UINT8,
                                  std::vector<std::uint8_t>(64 * 64 * 3, 99));
    const std::string png = test::contents(dir / "whole.png");
    test::writeText(dir / "truncated.png", png.substr(0, png.size() / 2));
    test::writeGreyImage(dir / "whole.jpg", 64, 64);
    test::writeText(dir / "truncated.jpg", test::contents(dir / "whole.jpg").substr(0, 700));
    OIIO::ImageSpec shifted(4, 4, 3, OIIO::TypeDesc::HALF);
    shifted.x = 2;
    OIIO::ImageSpec cropped(4, 4, 3, OIIO::TypeDesc::HALF);
    cropped.full_width = 8;
    writeSpecs(dir / "shifted.exr", {shifted});
    writeSpecs(dir / "cropped.exr", {cropped});
    std::vector<OIIO::ImageSpec> parts(2, OIIO::ImageSpec(4, 4, 3, OIIO::TypeDesc::HALF));
    parts[0].attribute("name", "beauty");
    parts[1].attribute("name", "mask");
    writeSpecs(dir / "parts.exr", parts);
    const std::vector<std::pair<std::string, std::string>> cases = {
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
        try {
            readImage(dir / name);
            ADD_FAILURE() << name << " read";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("cannot read " + dir / name + ": ", 0), 0u) << e.what();
            EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
        }
        // The error says what libpng said; libpng does not say it again.
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << name;
    }
    EXPECT_NO_THROW(readImage(dir / "whole.jpg"));
}

// A header may claim any size: what does not fit is refused before the
// pixels are read, naming the file, its size and the need or the limit.
TEST(ImageRead, FramesBeyondTheLimitAreRefusedBeforeReading) {
    test::TempDir dir;
    test::writeText(dir / "claims.ppm", "P6\n30000 30000\n255\n" + std::string(64, '\x7f'));
    test::writeFile<std::uint8_t>(dir / "small.png", 64, 64, 3, OIIO::TypeDesc::UINT8,
                                  std::vector<std::uint8_t>(64 * 64 * 3, 9));
    const std::uint64_t gibibyte = 1ull << 30;
    const struct {
        const char* file;
        tiltshift::FrameLimit limit;
        const char* error;  // nullptr: it reads
    } cases[] = {
        {"claims.ppm", {gibibyte, std::nullopt}, "30000 x 30000 pixels at 8 bits needs about 54074 MiB, but only 1024"},
        {"claims.ppm", {gibibyte, 1000000}, "30000 x 30000 pixels are more than --max-pixels 1000000"},
        {"small.png", {tiltshift::frameMemory(64, 64, 3, Depth::bits8) - 1, std::nullopt}, "64 x 64 pixels at 8"},
        {"small.png", {tiltshift::frameMemory(64, 64, 3, Depth::bits8), std::nullopt}, nullptr},
        {"small.png", {0, 4096}, nullptr},
        {"small.png", {gibibyte, 4095}, "more than --max-pixels 4095"},
    };
    for (const auto& c : cases) {
        try {
            const tiltshift::SourceImage read = readImage(dir / c.file, std::nullopt, c.limit);
            EXPECT_EQ(c.error, nullptr) << c.file << " read";
        } catch (const std::runtime_error& e) {
            ASSERT_NE(c.error, nullptr) << e.what();
            EXPECT_NE(std::string(e.what()).find("cannot render " + dir / c.file + ": "), std::string::npos)
                << e.what();
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
        }
    }
}

// A signal that ends the process takes the temporary file with it; one
// ignored before any file was written stays ignored (SIGHUP under nohup).
// Each case runs in a child that raises the signal at a fixed point.
TEST(PendingFile, SignalsThatEndTheProcessRemoveTheTemporaryFile) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "ThreadSanitizer holds signals back for its own handler, past the point where they are raised";
#endif
    const struct {
        int signal;
        bool ignoredBefore;
    } cases[] = {{SIGINT, false},  {SIGTERM, false}, {SIGHUP, false}, {SIGQUIT, false},
                 {SIGPIPE, false}, {SIGUSR1, false}, {SIGHUP, true},  {SIGPIPE, true}};
    for (const auto& c : cases) {
        test::TempDir dir;
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            if (c.ignoredBefore) {
                std::signal(c.signal, SIG_IGN);
            }
            // Never destroyed: only the signal's handler can remove the file.
            new tiltshift::PendingFile(dir / "out.png");
            std::raise(c.signal);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (c.ignoredBefore) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << strsignal(c.signal) << " " << status;
            EXPECT_EQ(dir.names().size(), 1u) << strsignal(c.signal);
        } else {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << strsignal(c.signal) << " " << status;
            EXPECT_EQ(dir.names(), std::set<std::string>()) << strsignal(c.signal);
        }
    }
}

// Straight alpha goes into PNG and TIFF as it is, colour under clear pixels
// included, and comes back unchanged at 8 and 16 bits.
TEST(ImageRoundTrip, StraightAlphaSurvivesPngAndTiff) {
    test::TempDir dir;
    host::Image eight(PF_PixelFormat_ARGB32, 3, 1);
    eight.at<PF_Pixel>(0, 0) = PF_Pixel{0, 200, 100, 50};
    eight.at<PF_Pixel>(1, 0) = PF_Pixel{1, 255, 254, 3};
    eight.at<PF_Pixel>(2, 0) = PF_Pixel{128, 7, 77, 177};
    host::Image sixteen(PF_PixelFormat_ARGB64, 3, 1);
    sixteen.at<PF_Pixel16>(0, 0) = PF_Pixel16{0, 32768, 12345, 1};
    sixteen.at<PF_Pixel16>(1, 0) = PF_Pixel16{1, 32767, 2, 3};
    sixteen.at<PF_Pixel16>(2, 0) = PF_Pixel16{16385, 100, 20000, 30000};

    for (const char* name : {"e.png", "e.tif"}) {
        writeImage(eight, dir / name, OutputFormat{OIIO::TypeDesc::UINT8});
        const tiltshift::SourceImage back = readImage(dir / name);
        for (int x = 0; x < 3; ++x) {
            const PF_Pixel a = eight.at<PF_Pixel>(x, 0);
            const PF_Pixel b = back.image->at<PF_Pixel>(x, 0);
            EXPECT_TRUE(a.alpha == b.alpha && a.red == b.red && a.green == b.green && a.blue == b.blue)
                << name << " pixel " << x;
        }
    }
    for (const char* name : {"s.png", "s.tif"}) {
        writeImage(sixteen, dir / name, OutputFormat{OIIO::TypeDesc::UINT16});
        const tiltshift::SourceImage back = readImage(dir / name);
        ASSERT_EQ(back.image->format(), PF_PixelFormat_ARGB64) << name;
        for (int x = 0; x < 3; ++x) {
            const PF_Pixel16 a = sixteen.at<PF_Pixel16>(x, 0);
            const PF_Pixel16 b = back.image->at<PF_Pixel16>(x, 0);
            EXPECT_TRUE(a.alpha == b.alpha && a.red == b.red && a.green == b.green && a.blue == b.blue)
                << name << " pixel " << x;
        }
    }
    // On disk, full scale is 65535.
    EXPECT_EQ(test::readFile<std::uint16_t>(dir / "s.png").values[0], 65535);
}

// OpenEXR stores colour times alpha: the world gets it straight, the file
// gets it associated.
TEST(ImageRoundTrip, OpenExrAlphaIsAssociatedOnDisk) {
    test::TempDir dir;
    test::writeFile<float>(dir / "in.exr", 2, 1, 4, OIIO::TypeDesc::FLOAT, {0.25f, 0.5f, 0.125f, 0.5f, 0, 0, 0, 0});
    const tiltshift::SourceImage in = readImage(dir / "in.exr");
    ASSERT_TRUE(in.hasAlpha);
    const PF_PixelFloat straight = in.image->at<PF_PixelFloat>(0, 0);
    EXPECT_EQ(straight.red, 0.5f);
    EXPECT_EQ(straight.green, 1.0f);
    EXPECT_EQ(straight.blue, 0.25f);
    EXPECT_EQ(straight.alpha, 0.5f);

    writeImage(*in.image, dir / "out.exr", OutputFormat{OIIO::TypeDesc::HALF, true});
    const test::FileImage<float> out = test::readFile<float>(dir / "out.exr");
    EXPECT_EQ(out.spec.format, OIIO::TypeDesc::HALF);
    EXPECT_EQ(out.values, (std::vector<float>{0.25f, 0.5f, 0.125f, 0.5f, 0, 0, 0, 0}));
}

TEST(ImageWrite, AlphaOnlyWhenTheInputHadItOrTheResultNeedsIt) {
    test::TempDir dir;
    host::Image image(PF_PixelFormat_ARGB32, 2, 1);
    image.at<PF_Pixel>(0, 0) = PF_Pixel{255, 1, 2, 3};
    image.at<PF_Pixel>(1, 0) = PF_Pixel{255, 4, 5, 6};
    writeImage(image, dir / "opaque.png", OutputFormat{OIIO::TypeDesc::UINT8});
    EXPECT_EQ(test::readFile<std::uint8_t>(dir / "opaque.png").spec.nchannels, 3);
    writeImage(image, dir / "kept.png", OutputFormat{OIIO::TypeDesc::UINT8, true});
    EXPECT_EQ(test::readFile<std::uint8_t>(dir / "kept.png").spec.nchannels, 4);

    image.at<PF_Pixel>(1, 0).alpha = 254;
    writeImage(image, dir / "grown.png", OutputFormat{OIIO::TypeDesc::UINT8});
    EXPECT_EQ(test::readFile<std::uint8_t>(dir / "grown.png").spec.nchannels, 4);
    // JPEG has no alpha to store.
    writeImage(image, dir / "grown.jpg", OutputFormat{OIIO::TypeDesc::UINT8});
    EXPECT_EQ(test::readFile<std::uint8_t>(dir / "grown.jpg").spec.nchannels, 3);
}

TEST(ImageWrite, FailedWritesLeaveTheTargetAndNoTemporaryFile) {
    test::TempDir dir;
    host::Image image(PF_PixelFormat_ARGB32, 2, 2);
    // A folder in the way: the file is written, but cannot take its place.
    std::filesystem::create_directory(dir / "taken.png");
    EXPECT_THROW(writeImage(image, dir / "taken.png", OutputFormat{OIIO::TypeDesc::UINT8}), std::runtime_error);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.png"));
    // No format for the extension.
    EXPECT_THROW(writeImage(image, dir / "image.nosuchformat", OutputFormat{OIIO::TypeDesc::UINT8}),
                 std::runtime_error);
    EXPECT_THROW(tiltshift::checkWritable(dir / "image.nosuchformat"), std::runtime_error);
    EXPECT_THROW(tiltshift::checkWritable(dir / "no-folder/image.png"), std::runtime_error);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"taken.png"}));
}

TEST(ImageWrite, ReplacesAnExistingFileKeepingItsMode) {
    // A read-only file is replaced too, as a rename replaces it: only its
    // folder decides; the temporary file must stay writable until then.
    for (const auto mode : {std::filesystem::perms(0640), std::filesystem::perms(0444)}) {
        test::TempDir dir;
        test::writeText(dir / "out.png", "old");
        std::filesystem::permissions(dir / "out.png", mode);
        host::Image image(PF_PixelFormat_ARGB32, 2, 2);
        writeImage(image, dir / "out.png", OutputFormat{OIIO::TypeDesc::UINT8});
        EXPECT_EQ(test::readFile<std::uint8_t>(dir / "out.png").spec.width, 2);
        EXPECT_EQ(std::filesystem::status(dir / "out.png").permissions(), mode);
        EXPECT_EQ(dir.names(), (std::set<std::string>{"out.png"}));
    }
}

// Writes beyond `bytes` fail with EFBIG, as on a full disk, while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &before_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = before_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &before_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit before_{};
    void (*previous_)(int) = nullptr;
};

// Pixels no codec shrinks much: every format writes far more than the limit.
std::unique_ptr<host::Image> noise(int side) {
    auto image = std::make_unique<host::Image>(PF_PixelFormat_ARGB32, side, side);
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<A_u_char>(state >> 24);
    };
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            image->at<PF_Pixel>(x, y) = PF_Pixel{255, next(), next(), next()};
        }
    }
    return image;
}

TEST(ImageWrite, AFullDiskLeavesTheOldFileWhateverTheFormat) {
    const std::unique_ptr<host::Image> image = noise(512);
    // Writers that encode into memory, and SGI, whose writer writes its file itself.
    for (const char* extension : {"png", "jpg", "tif", "exr", "bmp", "tga", "gif", "ppm", "sgi"}) {
        test::TempDir dir;
        const std::string target = dir / (std::string("out.") + extension);
        test::writeText(target, "precious");
        std::string message = "no error";
        {
            const FileSizeLimit full(64 * 1024);
            try {
                writeImage(*image, target, OutputFormat{OIIO::TypeDesc::UINT8});
            } catch (const std::runtime_error& e) {
                message = e.what();
            }
        }
        EXPECT_EQ(message.rfind("cannot write " + target + ": ", 0), 0u) << extension << ": " << message;
        EXPECT_EQ(message.find("/.out."), std::string::npos) << "names the temporary file: " << message;
        EXPECT_EQ(test::contents(target), "precious") << extension;
        EXPECT_EQ(dir.names(), (std::set<std::string>{std::string("out.") + extension})) << extension;
    }
}

TEST(ImageWrite, CompressionChangesTheFileNotThePixels) {
    const std::unique_ptr<host::Image> image = scene::makeScene(160, 90);
    const tiltshift::Compression best{"zip", 9};
    const tiltshift::Compression none{"none", std::nullopt};
    // PNG's default is zlib's fastest level; OpenImageIO's PNG writer reads
    // the level from an attribute of its own.
    const std::vector<std::tuple<std::string, std::optional<tiltshift::Compression>, tiltshift::Compression>> cases = {
        {"png", std::nullopt, best},
        {"tif", std::nullopt, none},
        {"exr", best, none},
    };
    for (const auto& [extension, first, second] : cases) {
        test::TempDir dir;
        writeImage(*image, dir / ("a." + extension), OutputFormat{OIIO::TypeDesc::UINT8, false, first});
        writeImage(*image, dir / ("b." + extension), OutputFormat{OIIO::TypeDesc::UINT8, false, second});
        EXPECT_NE(std::filesystem::file_size(dir / ("a." + extension)),
                  std::filesystem::file_size(dir / ("b." + extension)))
            << extension;
        EXPECT_EQ(test::readFile<float>(dir / ("a." + extension)).values,
                  test::readFile<float>(dir / ("b." + extension)).values)
            << extension;
    }
}

}  // namespace
