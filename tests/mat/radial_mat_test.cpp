// The radial focus mat against the ellipse computed here by rotating each
// offset into the ellipse's axes, and the work buffer on the direct path.

#include <cmath>

#include "mat_support.h"

namespace {

using namespace MatTest;

// Distance in units of the ellipse: rotate the offset by −direction, then
// stretch the second axis by 1 / ratio.
double ellipseDistance(double dx, double dy, const RadialMatGeneratorParameters& p) {
    const double along = dx * std::cos(p.direction) + dy * std::sin(p.direction);
    const double across = -dx * std::sin(p.direction) + dy * std::cos(p.direction);
    return std::sqrt(along * along + (across / p.ratio) * (across / p.ratio));
}

double ellipseLaw(double dx, double dy, const RadialMatGeneratorParameters& p) {
    const double e = ellipseDistance(dx, dy, p) - p.innerWidth;
    return e > 0.0 ? std::pow(e / p.halfDiagonal, p.power) : 0.0;
}

template <typename Pixel>
class RadialMat : public Generators {};
TYPED_TEST_SUITE(RadialMat, PixelTypes);

TYPED_TEST(RadialMat, EveryPixelFollowsTheEllipseAndHoldsThePremultipliedSource) {
    using Pixel = TypeParam;
    this->host.setThreadCount(4);
    Image input(Nerevo::PixelTraits<Pixel>::format, 11, 10, PF_Point{7, -2});
    paint<Pixel>(input);
    RadialMatGeneratorParameters p = radialParameters();
    p.center = {5.4, 4.1};
    p.direction = 0.4;
    p.ratio = 0.6;
    p.innerWidth = 2.5;
    p.halfDiagonal = 7.0;
    p.power = 1.5;
    p.weight = 1.2;
    const Buffers b = this->template generate<RadialMatGenerator>(bpcOf<Pixel>(), input, p);
    ASSERT_EQ(b.err, PF_Err_NONE);
    for (int y = 0; y < input.height(); ++y) {
        for (int x = 0; x < input.width(); ++x) {
            expectMat(b.matAt(input, x, y), ellipseLaw(x - p.center.x, y - p.center.y, p), x, y);
            const Work expected = premultiplied(input.at<Pixel>(x, y), p.weight);
            EXPECT_TRUE(same(b.workAt(input, x, y), expected))
                << "at (" << x << ", " << y << "): " << show(b.workAt(input, x, y)) << " against " << show(expected);
        }
    }
}

class RadialSquare : public Generators {
protected:
    Buffers square(RadialMatGeneratorParameters p) {
        p.center = {6.0, 6.0};
        return generate<RadialMatGenerator>(Nerevo::bpc8, image, p);
    }
    double at(const Buffers& b, int x, int y) const { return b.matAt(image, x, y); }

    Image image{PF_PixelFormat_ARGB32, 13, 13};
};

TEST_F(RadialSquare, HalfRatioSqueezesTheEllipseAcrossItsDirection) {
    RadialMatGeneratorParameters p = radialParameters();
    p.ratio = 0.5;
    p.innerWidth = 4.0;
    const Buffers b = square(p);
    EXPECT_EQ(at(b, 6, 6), 0.0);
    EXPECT_EQ(at(b, 10, 6), 0.0) << "on the rim along the direction";
    EXPECT_EQ(at(b, 2, 6), 0.0) << "on the rim along the direction";
    EXPECT_EQ(at(b, 6, 8), 0.0) << "on the rim across it, at half the width";
    EXPECT_DOUBLE_EQ(at(b, 6, 10), 0.16) << "twice the width away in ellipse units: ((8 − 4) / 10)²";
    EXPECT_DOUBLE_EQ(at(b, 12, 6), 0.04);
}

TEST_F(RadialSquare, ACircleIgnoresTheDirectionAndZeroWidthLeavesOnlyTheCentreSharp) {
    RadialMatGeneratorParameters p = radialParameters();
    p.innerWidth = 3.0;
    const Buffers level = square(p);
    p.direction = 1.1;
    const Buffers turned = square(p);
    for (std::size_t i = 0; i < level.mat.size(); ++i) {
        EXPECT_NEAR(level.mat[i], turned.mat[i], 1e-12);
    }
    EXPECT_EQ(at(level, 9, 6), 0.0);
    EXPECT_EQ(at(level, 6, 3), 0.0);

    p.innerWidth = 0.0;
    const Buffers point = square(p);
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 13; ++x) {
            if (x == 6 && y == 6) {
                EXPECT_EQ(at(point, x, y), 0.0);
            } else {
                EXPECT_GT(at(point, x, y), 0.0) << x << ", " << y;
            }
        }
    }
}

}  // namespace
