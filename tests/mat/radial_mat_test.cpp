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
    expectMatAndWork<Pixel>(this->template generate<RadialMatGenerator>(bpcOf<Pixel>(), input, p), input, p.weight,
                            [&](int x, int y) { return ellipseLaw(x - p.center.x, y - p.center.y, p); });
}

}  // namespace
