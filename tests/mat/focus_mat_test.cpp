// The linear and radial focus mats and their work buffer against the geometry's formulas; the weighting tables.

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "mat_support.h"

namespace {

using namespace MatTest;

// Positive to the right of the line's direction in image coordinates (y down).
double signedDistance(double dx, double dy, double direction) {
    return std::cos(direction) * dy - std::sin(direction) * dx;
}

double powerLaw(double sd, const LinearMatGeneratorParameters& p) {
    const double e = std::fabs(sd) - p.innerWidth;
    return e > 0.0 ? std::pow(e / p.halfDiagonal, p.power) : 0.0;
}

// |D − F| / D for a point at D = F − e on the near side (at least 1) or D = F + e on the far side, capped.
double focusDistanceLaw(double sd, const LinearMatGeneratorParameters& p, double cap) {
    const double e = std::fabs(sd) - p.innerWidth;
    if (e < 0.0) {
        return 0.0;
    }
    const double D = sd > 0.0 ? std::max(p.focusDistance - e, 1.0) : p.focusDistance + e;
    return std::min(e / D, cap);
}

// Distance in units of the ellipse: the offset rotated by −direction, its second axis stretched by 1 / ratio.
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
class FocusMat : public Generators {};
TYPED_TEST_SUITE(FocusMat, PixelTypes);

TYPED_TEST(FocusMat, EveryPixelFollowsItsLawAndHoldsThePremultipliedSource) {
    using Pixel = TypeParam;
    this->host.setThreadCount(3);
    Image input(Nerevo::PixelTraits<Pixel>::format, 13, 9, PF_Point{-3, 4});
    paint<Pixel>(input);
    RadialMatGeneratorParameters r{};
    r.center = {5.4, 4.1};
    r.direction = 0.4;
    r.ratio = 0.6;
    r.innerWidth = 2.5;
    r.halfDiagonal = 7.0;
    r.power = 1.5;
    r.weight = 1.2;
    expectMatAndWork<Pixel>(this->template generate<RadialMatGenerator>(bpcOf<Pixel>(), input, r), input, r.weight,
                            [&](int x, int y) { return ellipseLaw(x - r.center.x, y - r.center.y, r); });
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
        expectMatAndWork<Pixel>(this->template generate<LinearMatGenerator>(bpcOf<Pixel>(), input, p), input, p.weight,
                                [&](int x, int y) {
                                    const double sd = signedDistance(x - p.center.x, y - p.center.y, p.direction);
                                    return mode == linearPower ? powerLaw(sd, p) : focusDistanceLaw(sd, p, 1.5);
                                });
    }
}

// Pixels of a square around the centre (6, 6), worked out by hand: at 0° the normal points down, at 90° left, and
// the side it points to is the near one. The cap is 30000 / "Blur Amount", scaled by the downsample.
TEST_F(Generators, BothLinearLawsAtPointsWorkedOutByHandAndOtherModesWriteNothing) {
    constexpr int P = linearPower;
    constexpr int F = linearFocusDistance;
    const struct {
        int mode;
        double innerWidth, halfDiagonal, focusDistance, blurAmount;
        bool halfResolution;
        double direction;
        int x, y;
        double expected;
        const char* what;
    } cases[] = {
        {P, 1, 10, 10, 50, false, 0, 6, 12, 0.25, "5 past the edge of 10: (5 / 10)²"},
        {P, 1, 2, 10, 50, false, 0, 6, 12, 6.25, "past the half diagonal it keeps growing, uncapped"},
        {P, 0, 10, 10, 50, false, 0, 6, 6, 0.0, "only the line itself is sharp"},
        {F, 0, 10, 10, 50, false, 0, 6, 11, 1.0, "near, below the line: 5 / (10 − 5)"},
        {F, 0, 10, 3, 50, false, 0, 6, 11, 5.0, "nearer than 1 counts as 1"},
        {F, 0, 10, 3, 50, false, 0, 6, 1, 5.0 / 8.0, "the far side never reaches 1"},
        {F, 0, 10, 10, 60000, false, 0, 6, 11, 0.5, "capped at 30000 / 60000"},
        {F, 0, 10, 10, 30000, true, 0, 6, 11, 0.5, "cap 0.5 × 30000 / 30000 at half resolution"},
        {F, 0, 10, 10, 30000, true, 0, 6, 1, 5.0 / 15.0, "below the cap"},
        {F, 0, 10, 10, 50, true, 0, 6, 11, 1.0, "half resolution must not make the cap 0"},
        {F, 0, 10, 10, 50, false, 1.5707963267948966, 1, 6, 1.0, "at 90° left of the centre is near"},
        {0, 1, 10, 10, 50, false, 0, 6, 12, -1.0, "no law 0"},
        {3, 1, 10, 10, 50, false, 0, 6, 12, -1.0, "no law 3"},
    };
    Image square(PF_PixelFormat_ARGB32, 13, 13);
    for (const auto& c : cases) {
        LinearMatGeneratorParameters p = linearParameters();
        p.linearMode = c.mode;
        p.innerWidth = c.innerWidth;
        p.halfDiagonal = c.halfDiagonal;
        p.focusDistance = c.focusDistance;
        p.blurAmount = c.blurAmount;
        p.direction = c.direction;
        p.center = {6.0, 6.0};
        host.frame().downsampleX = PF_RationalScale{1, c.halfResolution ? 2u : 1u};
        const Buffers b = generate<LinearMatGenerator>(Nerevo::bpc8, square, p, -1.0);
        EXPECT_EQ(b.err, PF_Err_NONE) << c.what;
        EXPECT_DOUBLE_EQ(b.matAt(square, c.x, c.y), c.expected) << c.what;
    }
}

class WeightTables : public Generators {
protected:
    std::vector<double> table(Nerevo::Bpc bpc, double weight) {
        std::vector<double> result;
        host.withCommandData([&](PF_InData& in, PF_OutData&) { result = makeWeightTable(&in, bpc, weight); });
        return result;
    }
};

// Every entry a pixel reads is the mats' tests' to check against the definition.
TEST_F(WeightTables, EntriesArePowersInEightBitUnitsOnceTheWeightIsJustAboveOne) {
    host.log().setRecording(true);
    const std::vector<double> t8 = table(Nerevo::bpc8, 1.03);
    EXPECT_EQ(host.log().count("pow"), 256u) << "the host's maths";
    const std::vector<double> deep = table(Nerevo::bpc16, 1.03);
    EXPECT_EQ(std::make_tuple(t8.size(), deep.size(), t8[200], deep[32768]),
              std::make_tuple(256u, 32769u, std::pow(1.03, 200), t8[255]));
    EXPECT_TRUE(table(Nerevo::bpc32, 1.03).empty()) << "floats are weighted one by one";
    for (const Nerevo::Bpc bpc : {Nerevo::bpc8, Nerevo::bpc16}) {
        EXPECT_TRUE(table(bpc, 1.000001).empty() && !table(bpc, 1.0000011).empty()) << bpc;
    }
    EXPECT_TRUE(table(static_cast<Nerevo::Bpc>(3), 2.0).empty());
}

// 16-bit values beyond full scale weigh like it; floats take their exact power, between the table's steps too.
TEST_F(WeightTables, InvalidDeepValuesAndTinyFloats) {
    const std::vector<double> deep = table(Nerevo::bpc16, 1.05);
    const Weighting on{true, 1.05, deep.data(), std::log2(1.05)};
    EXPECT_EQ(on(static_cast<A_u_short>(40000)), deep[32768]) << "no read past the table";
    EXPECT_GT(on(1e-5f), 1.0) << "no step of the table swallows it";
    const Weighting off{false, 1.05, nullptr, 0.0};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(off(-0.25f) == -0.25 && std::isnan(off(nan))) << "unweighted floats pass as they are";
    EXPECT_TRUE(off(static_cast<A_u_char>(200)) == 200.0 && off(static_cast<A_u_short>(32768)) == 32768.0);
}

}  // namespace
