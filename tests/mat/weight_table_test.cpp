// The weighting table of a render and the weighting of single channels, float values outside 0..1 included.

#include <cmath>
#include <limits>

#include "mat_support.h"

namespace {

using namespace MatTest;

class WeightTables : public Generators {
protected:
    std::vector<double> table(Nerevo::Bpc bpc, double weight) {
        std::vector<double> result;
        host.withCommandData([&](PF_InData& in, PF_OutData&) { result = makeWeightTable(&in, bpc, weight); });
        return result;
    }
};

TEST_F(WeightTables, EntriesArePowersOfTheWeightInEightBitUnits) {
    host.log().setRecording(true);
    const std::vector<double> t8 = table(Nerevo::bpc8, 1.03);
    EXPECT_EQ(host.log().count("pow"), 256u) << "the host's maths";
    ASSERT_EQ(t8.size(), 256u);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(t8[i], std::pow(1.03, i)) << i;
    }
    const std::vector<double> deep = table(Nerevo::bpc16, 1.03);
    ASSERT_EQ(deep.size(), 32769u);
    for (int i = 0; i <= 32768; i += 127) {
        EXPECT_EQ(deep[i], std::pow(1.03, i * 255.0 / 32768.0)) << i;
    }
    EXPECT_EQ(deep[32768], t8[255]) << "full scale weighs like 255";
    EXPECT_TRUE(table(Nerevo::bpc32, 1.03).empty()) << "floats are weighted one by one";
}

TEST_F(WeightTables, WeightingStaysOffUpToJustAboveOne) {
    for (const Nerevo::Bpc bpc : {Nerevo::bpc8, Nerevo::bpc16}) {
        EXPECT_TRUE(table(bpc, 1.0).empty());
        EXPECT_TRUE(table(bpc, 1.000001).empty());
        EXPECT_FALSE(table(bpc, 1.0000011).empty());
    }
    EXPECT_TRUE(table(static_cast<Nerevo::Bpc>(3), 2.0).empty());
}

// Floats take their exact power, between the table's steps too; 16-bit values beyond full scale weigh like it.
TEST_F(WeightTables, FloatsExactlyAndInvalidDeepValues) {
    const double weight = 1.05;
    const std::vector<double> deep = table(Nerevo::bpc16, weight);
    const Weighting on{true, weight, deep.data(), std::log2(weight)};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(on(-0.25f), 1.0) << "below 0 weighs like 0";
    EXPECT_EQ(on(nan), 1.0);
    const float values[] = {0.0f, 1e-5f, 0.3f, 0.5f, 1.0f, 1.5f, 100.0f};
    for (const float v : values) {
        EXPECT_EQ(on(v), std::pow(weight, 255.0 * v)) << v;
    }
    EXPECT_GT(on(1e-5f), 1.0) << "no step of the table swallows it";
    EXPECT_EQ(on(static_cast<A_u_short>(32768)), deep[32768]);
    EXPECT_EQ(on(static_cast<A_u_short>(40000)), deep[32768]) << "no read past the table";

    const Weighting off{false, weight, nullptr, 0.0};
    EXPECT_TRUE(off(-0.25f) == -0.25 && std::isnan(off(nan))) << "unweighted floats pass as they are";
    EXPECT_TRUE(off(static_cast<A_u_char>(200)) == 200.0 && off(static_cast<A_u_short>(32768)) == 32768.0);
}

}  // namespace
