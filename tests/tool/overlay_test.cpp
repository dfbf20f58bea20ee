// `tiltshift render --overlay`: the handles the plug-in draws, over the
// rendered output and nowhere else. On a 200 x 200 layer at Ratio 0.5 the
// radial defaults draw the inner ellipse 100 x 50 pixels about the centre
// (100, 100), the outer one 150 x 75, and the arrow up to (100, 20).

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "tool_files.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

using Image = test::FileImage<std::uint8_t>;
using Rgb = std::array<int, 3>;

Rgb pixel(const Image& image, int x, int y) {
    const std::size_t i = static_cast<std::size_t>((y * image.spec.width + x) * image.spec.nchannels);
    return {image.values[i], image.values[i + 1], image.values[i + 2]};
}

bool yellow(Rgb c) { return c[0] > 200 && c[1] > 200 && c[2] < 80; }
bool cyan(Rgb c) { return c[0] < 80 && c[1] > 200 && c[2] > 200; }
bool red(Rgb c) { return c[0] > 200 && c[1] < 80 && c[2] < 80; }

// Whether a pixel within two of (x, y) has the colour.
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

// Whether pixel (x, y), covering x..x+1 and y..y+1, lies within about three
// pixels of a handle: an ellipse a x a/2 about the centre (within three of
// its short axis' scale), or the arrow up from the centre.
bool nearHandles(int x, int y) {
    const double dx = x + 0.5 - 100, dy = y + 0.5 - 100;
    for (const double a : {100.0, 150.0}) {
        if (std::abs(std::hypot(dx / a, dy / (a / 2)) - 1) <= 3.5 / (a / 2)) {
            return true;
        }
    }
    return std::abs(dx) <= 10 && dy >= -84 && dy <= 3;
}

class Overlay : public ::testing::Test {
protected:
    void SetUp() override { test::writeGreyImage(dir / "in.png", 200, 200); }

    int render(std::vector<std::string> args) {
        args.insert(args.begin(), dir / "in.png");
        args.insert(args.end(), {"--param", "Ratio=0.5"});
        return test::run("render", args);
    }

    test::TempDir dir;
};

TEST_F(Overlay, DiffersFromTheOutputExactlyWhereTheHandlesAre) {
    ASSERT_EQ(render({"-o", dir / "out.png", "--overlay", dir / "over.png"}), 0);
    const Image out = test::readFile<std::uint8_t>(dir / "out.png");
    const Image over = test::readFile<std::uint8_t>(dir / "over.png");
    ASSERT_EQ(over.spec.width, 200);
    ASSERT_EQ(over.spec.height, 200);
    EXPECT_EQ(over.spec.format, OIIO::TypeDesc::UINT8);

    // Pens 2.5 pixels wide, smoothed at their edges.
    int changed = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (nearHandles(x, y)) {
                changed += pixel(over, x, y) != pixel(out, x, y);
            } else {
                ASSERT_EQ(pixel(over, x, y), pixel(out, x, y)) << "at (" << x << ", " << y << "), off the handles";
            }
        }
    }
    EXPECT_GT(changed, 1000);
    EXPECT_TRUE(colourNear(over, 100 + 100 * std::cos(-kPi / 3), 100 + 50 * std::sin(-kPi / 3), yellow));
    EXPECT_TRUE(colourNear(over, 100 + 150 * std::cos(-2 * kPi / 3), 100 + 75 * std::sin(-2 * kPi / 3), cyan));
    EXPECT_TRUE(colourNear(over, 100, 60, red));
    EXPECT_TRUE(colourNear(over, 100, 30, red)) << "the arrow head";
}

// At 8 bits and the output's size, whatever its depth and downsample; each
// frame's handles at that frame's values: the outer ellipse grows from the
// inner one's size (Blur Amount 0) to 140 x 70 (Blur Amount 40).
TEST_F(Overlay, FollowsTheOutputsSizeAndEachFramesValues) {
    ASSERT_EQ(render({"-o", dir / "out.%d.png", "--frames", "1-3", "--param", "Blur Amount=0@1,40@3", "--overlay",
                      dir / "over.%d.tif", "--downsample", "2", "--depth", "16"}),
              0);
    const double t = -2 * kPi / 3;
    for (int frame = 1; frame <= 3; ++frame) {
        const Image over = test::readFile<std::uint8_t>(dir / ("over." + std::to_string(frame) + ".tif"));
        EXPECT_EQ(over.spec.width, 100);
        EXPECT_EQ(over.spec.height, 100);
        EXPECT_EQ(over.spec.format, OIIO::TypeDesc::UINT8);
        // The shaft from (50, 50) up to (50, 10).
        EXPECT_TRUE(colourNear(over, 50, 30, red));
        for (int amount : {0, 20, 40}) {
            const double a = (100 + amount) / 2.0;
            EXPECT_EQ(colourNear(over, 50 + a * std::cos(t), 50 + a / 2 * std::sin(t), cyan), amount == 20 * (frame - 1))
                << "frame " << frame << ", Blur Amount " << amount;
        }
    }
}

}  // namespace
