// `tiltshift drag` and `render --overlay`. On a 200 x 200 layer the defaults put the centre at (100, 100),
// the inner outline 100 from it, the outer 150 (+ Blur Amount 50), circles at Ratio 1 (ellipses 100 x 50,
// 150 x 75 at 0.5), the arrow's tip at (100, 20).

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <sstream>

#include "render/drag.h"
#include "tool_files.h"

namespace {

using Image = test::FileImage<std::uint8_t>;
using Rgb = std::array<int, 3>;

Rgb pixel(const Image& image, int x, int y) {
    const std::size_t i = static_cast<std::size_t>((y * image.spec.width + x) * image.spec.nchannels);
    return {image.values[i], image.values[i + 1], image.values[i + 2]};
}

bool cyan(Rgb c) { return c[0] < 80 && c[1] > 200 && c[2] > 200; }
bool red(Rgb c) { return c[0] > 200 && c[1] < 80 && c[2] < 80; }

bool colourNear(const Image& image, double x, double y, bool (*is)(Rgb)) {
    for (int py = static_cast<int>(y) - 2; py <= static_cast<int>(y) + 2; ++py) {
        for (int px = static_cast<int>(x) - 2; px <= static_cast<int>(x) + 2; ++px) {
            if (px >= 0 && py >= 0 && px < image.spec.width && py < image.spec.height && is(pixel(image, px, py))) {
                return true;
            }
        }
    }
    return false;
}

// Whether (x, y) lies within about three pixels of the ellipses a x a/2 (a 100 or `outer`) or the arrow.
bool nearHandles(int x, int y, double outer) {
    const double dx = x + 0.5 - 100, dy = y + 0.5 - 100;
    for (const double a : {100.0, outer}) {
        if (std::abs(std::hypot(dx / a, dy / (a / 2)) - 1) <= 3.5 / (a / 2)) {
            return true;
        }
    }
    return std::abs(dx) <= 10 && dy >= -84 && dy <= 3;
}

class Handles : public ::testing::Test {
protected:
    void SetUp() override { test::writeGreyImage(dir / "in.png", 200, 200); }

    std::string drag(std::vector<std::string> args) {
        args.insert(args.begin(), dir / "in.png");
        std::ostringstream out, log;
        tiltshift::runDragJob(test::pluginPath(), tiltshift::parseDragArgs(args), out, log);
        EXPECT_EQ(log.str(), "");
        return out.str();
    }

    int renderAtHalfRatio(std::vector<std::string> args) {
        args.insert(args.begin(), dir / "in.png");
        args.insert(args.end(), {"--param", "Ratio=0.5"});
        return test::run("render", args);
    }

    test::TempDir dir;
};

TEST_F(Handles, EachHandleChangesItsParameterOrNothingChangedSaysWhy) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--from", "250,100", "--to", "270,100"}, "Blur Amount: 50 -> 70\n"},
        {{"--from=250,100", "--to=150,100", "--steps", "1"}, "Blur Amount: 50 -> 0\n"},
        // The layer sits unscaled at the composition's origin.
        {{"--panel", "comp", "--from", "250,100", "--to", "270,100"}, "Blur Amount: 50 -> 70\n"},
        {{"--from", "210,100", "--to", "270,100", "--param", "Blur Amount=10"}, "Blur Amount: 10 -> 70\n"},
        {{"--from", "240,100", "--to", "270,100"}, "Nothing changed: the click at (240, 100) grabbed no handle.\n"},
        {{"--from", "250,100", "--to", "250,100"},
         "Nothing changed: the drag to (250, 100) left every value as it was.\n"},
        // Shift turns the inner outline into a ratio handle, the arrow head into a direction (an angle).
        {{"--from", "100,200", "--to", "100,150", "--shift"}, "Ratio: 1 -> 0.5\n"},
        {{"--from", "100,30", "--to", "170,80", "--shift"}, "Direction: 0 -> 90\n"},
    };
    for (const auto& [args, printed] : cases) {
        EXPECT_EQ(drag(args), printed) << args[1] << " " << args.back();
    }
}

// The overlay differs from the output exactly where the new values' handles are.
TEST_F(Handles, DragRendersWithTheNewValuesAndDrawsTheirHandles) {
    EXPECT_EQ(drag({"--from", "250,100", "--to", "270,100", "--param", "Ratio=0.5", "-o", dir / "out.png",
                    "--overlay", dir / "over.png"}), "Blur Amount: 50 -> 70\n");
    ASSERT_EQ(renderAtHalfRatio({"-o", dir / "set.png", "--param", "Blur Amount=70"}), 0);
    const Image out = test::readFile<std::uint8_t>(dir / "out.png");
    EXPECT_EQ(out.values, test::readFile<std::uint8_t>(dir / "set.png").values);
    const Image over = test::readFile<std::uint8_t>(dir / "over.png");
    ASSERT_EQ(std::tuple(over.spec.width, over.spec.height, over.spec.format), std::tuple(200, 200, OIIO::TypeDesc::UINT8));
    // Pens 2.5 pixels wide, smoothed at their edges.
    int changed = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (nearHandles(x, y, 170)) {
                changed += pixel(over, x, y) != pixel(out, x, y);
            } else {
                ASSERT_EQ(pixel(over, x, y), pixel(out, x, y)) << "at (" << x << ", " << y << "), off the handles";
            }
        }
    }
    EXPECT_GT(changed, 1000);
}

// At 8 bits and the output's size; the outer ellipse grows from the inner one's (Blur Amount 0) to 140 x 70 (40).
TEST_F(Handles, OverlayFollowsTheOutputsSizeAndEachFramesValues) {
    ASSERT_EQ(renderAtHalfRatio({"-o", dir / "out.%d.png", "--frames", "1-3", "--param", "Blur Amount=0@1,40@3",
                                 "--overlay", dir / "over.%d.tif", "--downsample", "2", "--depth", "16"}), 0);
    const double t = -2 * std::acos(-1.0) / 3;  // up and left of the centre, clear of the arrow
    for (int frame = 1; frame <= 3; ++frame) {
        const Image over = test::readFile<std::uint8_t>(dir / ("over." + std::to_string(frame) + ".tif"));
        EXPECT_EQ(std::tuple(over.spec.width, over.spec.height, over.spec.format), std::tuple(100, 100, OIIO::TypeDesc::UINT8));
        EXPECT_TRUE(colourNear(over, 50, 30, red)) << "the shaft from (50, 50) up to (50, 10)";
        for (int amount : {0, 20, 40}) {
            const double a = (100 + amount) / 2.0;
            EXPECT_EQ(colourNear(over, 50 + a * std::cos(t), 50 + a / 2 * std::sin(t), cyan), amount == 20 * (frame - 1))
                << "frame " << frame << ", Blur Amount " << amount;
        }
    }
}

}  // namespace
