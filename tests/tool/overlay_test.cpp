// `tiltshift render --overlay`: the handles the plug-in draws, over the
// rendered output and nowhere else. On a 200 x 200 layer at Ratio 0.5 the
// radial defaults draw the inner ellipse 100 x 50 pixels about the centre
// (100, 100), the outer one 150 x 75, and the arrow up to (100, 20).

#include <gtest/gtest.h>

#include <algorithm>
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

// The pixels of a 200 x 200 image within `reach` of the strokes through the
// points marked; pixel (x, y) covers x..x+1 and y..y+1.
class NearStrokes {
public:
    explicit NearStrokes(double reach) : reach_(reach), near_(200 * 200) {}

    void line(double x0, double y0, double x1, double y1) {
        const int steps = static_cast<int>(std::hypot(x1 - x0, y1 - y0) * 4) + 1;
        for (int i = 0; i <= steps; ++i) {
            mark(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
        }
    }
    void ellipse(double cx, double cy, double a, double b) {
        for (int i = 0; i < 4000; ++i) {
            mark(cx + a * std::cos(2 * kPi * i / 4000), cy + b * std::sin(2 * kPi * i / 4000));
        }
    }
    bool operator()(int x, int y) const { return near_[static_cast<std::size_t>(y * 200 + x)]; }

private:
    void mark(double x, double y) {
        for (int py = std::max(0, int(std::floor(y - reach_))); py <= std::min(199, int(y + reach_)); ++py) {
            for (int px = std::max(0, int(std::floor(x - reach_))); px <= std::min(199, int(x + reach_)); ++px) {
                near_[static_cast<std::size_t>(py * 200 + px)] =
                    near_[static_cast<std::size_t>(py * 200 + px)] || std::hypot(px + 0.5 - x, py + 0.5 - y) <= reach_;
            }
        }
    }

    double reach_;
    std::vector<bool> near_;
};

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
    NearStrokes near(3);
    near.ellipse(100, 100, 100, 50);
    near.ellipse(100, 100, 150, 75);
    near.line(100, 100, 100, 20);
    near.line(100, 20, 92, 36);
    near.line(92, 36, 108, 36);
    near.line(108, 36, 100, 20);
    int changed = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (near(x, y)) {
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

TEST_F(Overlay, FileMustFitTheOutput) {
    const std::string error = test::errorOf<tiltshift::UsageError>(
        [&] { render({"-o", dir / "out.%d.png", "--frames", "1-2", "--overlay", dir / "over.png"}); });
    EXPECT_NE(error.find("--overlay must be one too"), std::string::npos) << error;
    EXPECT_THROW(render({"-o", dir / "out.png", "--overlay", dir / "out.png"}), tiltshift::UsageError);
    // A folder that takes no files stops the run before anything is written.
    EXPECT_THROW(render({"-o", dir / "out.png", "--overlay", dir / "none/over.png"}), std::runtime_error);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"in.png"}));
}

}  // namespace
