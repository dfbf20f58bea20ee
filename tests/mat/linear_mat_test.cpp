// The linear focus mat under both laws, and the work buffer it fills on the
// direct path, against the formulas computed here from the line's geometry.

#include <cmath>

#include "mat_support.h"

namespace {

using namespace MatTest;

// Distance from the line through the centre at angle `direction`, positive
// to the right of its direction of travel in image coordinates (y down):
// the cross product of the line's direction with the offset.
double signedDistance(double dx, double dy, double direction) {
    return std::cos(direction) * dy - std::sin(direction) * dx;
}

double powerLaw(double sd, const LinearMatGeneratorParameters& p) {
    const double e = std::fabs(sd) - p.innerWidth;
    return e > 0.0 ? std::pow(e / p.halfDiagonal, p.power) : 0.0;
}

// |D − F| / D for a point at D = F − e on the near side (at least 1) or
// D = F + e on the far side, capped.
double focusDistanceLaw(double sd, const LinearMatGeneratorParameters& p, double cap) {
    const double e = std::fabs(sd) - p.innerWidth;
    if (e < 0.0) {
        return 0.0;
    }
    const double D = sd > 0.0 ? std::max(p.focusDistance - e, 1.0) : p.focusDistance + e;
    return std::min(e / D, cap);
}

template <typename Pixel>
class LinearMat : public Generators {};
TYPED_TEST_SUITE(LinearMat, PixelTypes);

TYPED_TEST(LinearMat, EveryPixelFollowsItsLawAndHoldsThePremultipliedSource) {
    using Pixel = TypeParam;
    this->host.setThreadCount(3);
    Image input(Nerevo::PixelTraits<Pixel>::format, 13, 9, PF_Point{-3, 4});
    paint<Pixel>(input);
    LinearMatGeneratorParameters p = linearParameters();
    p.center = {6.3, 3.7};
    p.direction = 0.7;
    p.innerWidth = 1.5;
    p.halfDiagonal = 8.0;
    p.power = 1.5;
    p.focusDistance = 6.0;
    p.blurAmount = 20000.0;  // cap 1.5: it matters on the near side
    p.weight = 1.03;
    for (const int mode : {linearPower, linearFocusDistance}) {
        SCOPED_TRACE(mode == linearPower ? "power" : "focus distance");
        p.linearMode = mode;
        const Buffers b = this->template generate<LinearMatGenerator>(bpcOf<Pixel>(), input, p);
        ASSERT_EQ(b.err, PF_Err_NONE);
        for (int y = 0; y < input.height(); ++y) {
            for (int x = 0; x < input.width(); ++x) {
                const double sd = signedDistance(x - p.center.x, y - p.center.y, p.direction);
                expectMat(b.matAt(input, x, y), mode == linearPower ? powerLaw(sd, p) : focusDistanceLaw(sd, p, 1.5),
                          x, y);
                const Work expected = premultiplied(input.at<Pixel>(x, y), p.weight);
                EXPECT_TRUE(same(b.workAt(input, x, y), expected))
                    << "at (" << x << ", " << y << "): " << show(b.workAt(input, x, y)) << " against " << show(expected);
            }
        }
        EXPECT_TRUE(input.untouchedOutside());
    }
}

// A column through the centre: pixel y lies y − 6 below the horizontal line.
class LinearColumn : public Generators {
protected:
    Buffers column(LinearMatGeneratorParameters p) {
        p.center = {0.0, 6.0};
        return generate<LinearMatGenerator>(Nerevo::bpc8, image, p);
    }

    Image image{PF_PixelFormat_ARGB32, 1, 13};
};

TEST_F(LinearColumn, PowerLawIsZeroToTheBandsEdgeAndSymmetric) {
    LinearMatGeneratorParameters p = linearParameters();
    p.innerWidth = 1.0;
    const Buffers b = column(p);
    for (const int y : {5, 6, 7}) {
        EXPECT_EQ(b.mat[y], 0.0) << y << ": within the band or on its edge";
    }
    EXPECT_EQ(b.mat[12], 0.25) << "5 past the edge of 10: (5 / 10)²";
    EXPECT_EQ(b.mat[0], 0.25) << "mirrored across the line";
    EXPECT_DOUBLE_EQ(b.mat[8], 0.01);

    p.halfDiagonal = 2.0;
    EXPECT_EQ(column(p).mat[12], 6.25) << "past the half diagonal it keeps growing, uncapped";

    p.innerWidth = 0.0;
    const Buffers thin = column(p);
    EXPECT_EQ(thin.mat[6], 0.0) << "only the line itself is sharp";
    EXPECT_GT(thin.mat[5], 0.0);
    EXPECT_GT(thin.mat[7], 0.0);
}

TEST_F(LinearColumn, FocusDistanceBlursTheNearSideMore) {
    LinearMatGeneratorParameters p = linearParameters();
    p.linearMode = linearFocusDistance;
    p.innerWidth = 0.0;
    p.focusDistance = 10.0;
    Buffers b = column(p);
    EXPECT_EQ(b.mat[11], 1.0) << "near, below the line: 5 / (10 − 5)";
    EXPECT_EQ(b.mat[1], 5.0 / 15.0) << "far, above it: 5 / (10 + 5)";
    EXPECT_EQ(b.mat[6], 0.0);
    EXPECT_EQ(b.mat[7], 1.0 / 9.0);
    EXPECT_EQ(b.mat[5], 1.0 / 11.0);

    p.focusDistance = 3.0;
    b = column(p);
    EXPECT_EQ(b.mat[8], 2.0);
    EXPECT_EQ(b.mat[11], 5.0) << "nearer than 1 counts as 1";
    EXPECT_EQ(b.mat[1], 5.0 / 8.0) << "the far side never reaches 1";
}

TEST_F(LinearColumn, FocusDistanceCapScalesWithTheDownsampleFraction) {
    LinearMatGeneratorParameters p = linearParameters();
    p.linearMode = linearFocusDistance;
    p.innerWidth = 0.0;
    p.focusDistance = 10.0;
    p.blurAmount = 30000.0;  // cap 1 at full resolution
    EXPECT_EQ(column(p).mat[11], 1.0);

    host.frame().downsampleX = PF_RationalScale{1, 2};
    Buffers b = column(p);
    EXPECT_EQ(b.mat[11], 0.5) << "cap 0.5 × 30000 / 30000";
    EXPECT_EQ(b.mat[1], 5.0 / 15.0) << "below the cap";

    p.blurAmount = 50.0;
    b = column(p);
    EXPECT_EQ(b.mat[11], 1.0) << "half resolution must not make the cap 0";
    EXPECT_EQ(b.mat[7], 1.0 / 9.0);
}

TEST_F(Generators, TheNormalPointsDownAtZeroAndLeftAtNinetyDegrees) {
    LinearMatGeneratorParameters p = linearParameters();
    p.linearMode = linearFocusDistance;
    p.innerWidth = 0.0;
    p.focusDistance = 10.0;
    p.direction = 1.5707963267948966;
    p.center = {6.0, 0.0};
    Image row(PF_PixelFormat_ARGB32, 13, 1);
    Buffers b = generate<LinearMatGenerator>(Nerevo::bpc8, row, p);
    EXPECT_EQ(b.mat[1], 1.0) << "left of the centre is near";
    EXPECT_EQ(b.mat[11], 5.0 / 15.0);

    p.direction = 3.141592653589793;  // the line reversed: above is near
    p.center = {0.0, 6.0};
    Image column(PF_PixelFormat_ARGB32, 1, 13);
    b = generate<LinearMatGenerator>(Nerevo::bpc8, column, p);
    EXPECT_DOUBLE_EQ(b.mat[1], 1.0);
    EXPECT_DOUBLE_EQ(b.mat[11], 5.0 / 15.0);
}

TEST_F(Generators, LinearModesOtherThanPowerAndFocusDistanceWriteNothing) {
    Image image(PF_PixelFormat_ARGB64, 4, 3);
    paint<PF_Pixel16>(image);
    LinearMatGeneratorParameters p = linearParameters();
    for (const int mode : {0, 3}) {
        p.linearMode = mode;
        const Buffers b = generate<LinearMatGenerator>(Nerevo::bpc16, image, p, 7.0);
        EXPECT_EQ(b.err, PF_Err_NONE);
        for (std::size_t i = 0; i < b.mat.size(); ++i) {
            EXPECT_EQ(b.mat[i], 7.0);
            EXPECT_EQ(b.work[i].r, 7.0);
        }
    }
}

}  // namespace
