// The mat and the work buffer do not depend on how many bands the host
// makes, chromatic aberration and the host's sampler included.

#include <cstring>

#include "mat_support.h"

namespace {

using namespace MatTest;

template <typename Pixel>
class Bands : public Generators {
protected:
    // The buffers of runs on 1, 2 and 7 threads are identical to the bit.
    template <typename Generator, typename Params>
    void expectSameForAnyBandCount(const Params& params) {
        Image input(Nerevo::PixelTraits<Pixel>::format, 10, 11, PF_Point{-5, -8});
        paint<Pixel>(input);
        host.setThreadCount(1);
        const Buffers one = generate<Generator>(bpcOf<Pixel>(), input, params);
        ASSERT_EQ(one.err, PF_Err_NONE);
        for (const int threads : {2, 7}) {
            host.setThreadCount(threads);
            const Buffers many = generate<Generator>(bpcOf<Pixel>(), input, params);
            ASSERT_EQ(many.err, PF_Err_NONE);
            EXPECT_EQ(std::memcmp(one.mat.data(), many.mat.data(), one.mat.size() * sizeof(double)), 0)
                << threads << " threads";
            EXPECT_EQ(std::memcmp(one.work.data(), many.work.data(), one.work.size() * sizeof(Work)), 0)
                << threads << " threads";
        }
    }
};
TYPED_TEST_SUITE(Bands, PixelTypes);

TYPED_TEST(Bands, LinearFocusDistanceWithAberration) {
    LinearMatGeneratorParameters p = linearParameters();
    p.linearMode = linearFocusDistance;
    p.center = {4.6, 5.2};
    p.direction = -0.6;
    p.innerWidth = 1.0;
    p.focusDistance = 7.0;
    p.weight = 1.04;
    p.chromaticAberrationOn = true;
    p.chromaticAberration = 0.9;
    this->template expectSameForAnyBandCount<LinearMatGenerator>(p);
}

TYPED_TEST(Bands, RadialWithAberration) {
    RadialMatGeneratorParameters p = radialParameters();
    p.center = {5.5, 4.0};
    p.direction = 2.0;
    p.ratio = 1.7;
    p.innerWidth = 1.0;
    p.halfDiagonal = 6.0;
    p.weight = 1.04;
    p.chromaticAberrationOn = true;
    p.chromaticAberration = 1.3;
    this->template expectSameForAnyBandCount<RadialMatGenerator>(p);
}

}  // namespace
