// Chromatic aberration's samples and work values, through sampling suites that record and answer each position.

#include <cmath>
#include <cstdint>
#include <mutex>
#include <utility>

#include "mat_support.h"

namespace {

using namespace MatTest;

template <typename Pixel>
Pixel probe(PF_Fixed x, PF_Fixed y) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 2654435761u ^ static_cast<std::uint32_t>(y) * 2246822519u;
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    const auto unit = [h](int shift) { return ((h >> shift) % 1000) / 999.0f; };
    return Nerevo::toPixel<Pixel>(Nerevo::Color<float>{0.002f + unit(0), unit(5) * 1.5f - 0.2f, unit(10), unit(20)});
}

using Position = std::pair<PF_Fixed, PF_Fixed>;

// What the test's sampling suites saw; the suites may be called from several threads.
struct Probes {
    std::mutex mutex;
    std::vector<Position> positions;
    bool recordOnlySource = true;  // every record held its source world and nothing else
    const PF_EffectWorld* source = nullptr;
};

Probes g_probes;

template <typename Pixel>
PF_Err sampleProbe(PF_ProgPtr, PF_Fixed x, PF_Fixed y, const PF_SampPB* pb, Pixel* out) {
    std::lock_guard<std::mutex> lock(g_probes.mutex);
    g_probes.positions.emplace_back(x, y);
    if (pb->src != g_probes.source || pb->x_radius || pb->y_radius || pb->area || pb->samp_behave || pb->mask0 ||
        pb->comp_mode.opacity) {
        g_probes.recordOnlySource = false;
    }
    *out = probe<Pixel>(x, y);
    return PF_Err_NONE;
}

const PF_Sampling8Suite1 kProbe8 = {sampleProbe<PF_Pixel>};
const PF_Sampling16Suite1 kProbe16 = {sampleProbe<PF_Pixel16>};
const PF_SamplingFloatSuite1 kProbeFloat = {sampleProbe<PF_PixelFloat>};

std::int64_t step(double s, double component) {
    const double v = 65536.0 * s * component;
    return static_cast<std::int64_t>(v >= 0.0 ? v + 0.5 : v - 0.5);
}

template <typename Pixel>
Work aberrated(int x, int y, std::int64_t sx, std::int64_t sy, double weight, std::vector<Position>& expected) {
    Pixel s[3];
    for (int k = 0; k < 3; ++k) {
        const Position at{static_cast<PF_Fixed>(x * 65536 + k * sx), static_cast<PF_Fixed>(y * 65536 + k * sy)};
        expected.push_back(at);
        s[k] = probe<Pixel>(at.first, at.second);
    }
    return Work{std::max({double(s[0].alpha), double(s[1].alpha), double(s[2].alpha)}),
                s[2].alpha * channel(s[2].red, weight), s[1].alpha * channel(s[1].green, weight),
                s[0].alpha * channel(s[0].blue, weight)};
}

template <typename Pixel>
class Aberration : public Generators {
protected:
    void SetUp() override {
        g_probes.positions.clear();
        g_probes.recordOnlySource = true;
        host.suites().add(kPFSampling8Suite, 1, &kProbe8);
        host.suites().add(kPFSampling16Suite, 1, &kProbe16);
        host.suites().add(kPFSamplingFloatSuite, 1, &kProbeFloat);
        host.setThreadCount(1);  // one band: the positions come in pixel order
        paint<Pixel>(image);
        g_probes.source = image.world();
    }

    // Every pixel against the samples its mat value calls for, `towardSharp` the step's direction at a pixel.
    template <typename Toward>
    void expectSamples(const Buffers& b, double scale, double weight, Toward towardSharp) {
        std::vector<Position> expected;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const double m = b.matAt(image, x, y);
                const Work& work = b.workAt(image, x, y);
                if (m == 0.0) {
                    EXPECT_TRUE(same(work, premultiplied(image.at<Pixel>(x, y), weight))) << x << ", " << y;
                    continue;
                }
                const Nerevo::Vector2<double> d = towardSharp(x, y);
                const double s = m * scale;
                const Work want = aberrated<Pixel>(x, y, step(s, d.x), step(s, d.y), weight, expected);
                EXPECT_TRUE(same(work, want)) << x << ", " << y;
            }
        }
        EXPECT_EQ(g_probes.positions, expected);
        EXPECT_TRUE(g_probes.recordOnlySource);
    }

    Image image{Nerevo::PixelTraits<Pixel>::format, 9, 7, PF_Point{3, 3}};
};
TYPED_TEST_SUITE(Aberration, PixelTypes);

TYPED_TEST(Aberration, LinearSamplesStepTowardsTheLineFromEitherSide) {
    LinearMatGeneratorParameters p = linearParameters();
    p.center = {4.2, 3.4};
    p.direction = 0.3;
    p.innerWidth = 1.0;
    p.halfDiagonal = 3.0;
    p.weight = 1.1;
    p.chromaticAberrationOn = true;
    p.chromaticAberration = 1.7;
    const Buffers b = this->template generate<LinearMatGenerator>(bpcOf<TypeParam>(), this->image, p);
    ASSERT_EQ(b.err, PF_Err_NONE);
    const Nerevo::Vector2<double> normal{-std::sin(p.direction), std::cos(p.direction)};
    this->expectSamples(b, p.chromaticAberration, p.weight, [&](int x, int y) {
        const double sd = normal.x * (x - p.center.x) + normal.y * (y - p.center.y);
        return sd > 0.0 ? Nerevo::Vector2<double>{-normal.x, -normal.y} : normal;
    });
}

TYPED_TEST(Aberration, RadialSamplesStepTowardsTheCentre) {
    RadialMatGeneratorParameters p{};
    p.weight = 1.0;
    p.power = 2.0;
    p.center = {4.0, 3.0};
    p.direction = 0.9;
    p.ratio = 0.7;
    p.innerWidth = 1.5;
    p.halfDiagonal = 4.0;
    p.chromaticAberrationOn = true;
    p.chromaticAberration = 2.2;
    const Buffers b = this->template generate<RadialMatGenerator>(bpcOf<TypeParam>(), this->image, p);
    ASSERT_EQ(b.err, PF_Err_NONE);
    this->expectSamples(b, p.chromaticAberration, p.weight, [&](int x, int y) {
        const double dx = x - p.center.x;
        const double dy = y - p.center.y;
        const double r = std::sqrt(dx * dx + dy * dy);
        return Nerevo::Vector2<double>{-dx / r, -dy / r};
    });
}

TYPED_TEST(Aberration, WithoutChromaticAberrationNoSuiteIsNeededAndWithoutItsSuiteNothingRuns) {
    this->host.log().setRecording(true);
    LinearMatGeneratorParameters p = linearParameters();
    p.center = {4.0, 3.0};
    for (const char* suite : {kPFSampling8Suite, kPFSampling16Suite, kPFSamplingFloatSuite}) {
        this->host.faults().makeUnavailable(suite);
    }
    EXPECT_EQ(this->template generate<LinearMatGenerator>(bpcOf<TypeParam>(), this->image, p).err, PF_Err_NONE);

    p.chromaticAberrationOn = true;
    p.chromaticAberration = 1.0;
    EXPECT_THROW(this->template generate<LinearMatGenerator>(bpcOf<TypeParam>(), this->image, p), PF_Err);
    EXPECT_EQ(this->host.log().count("iterate_generic"), 1u) << "no band ran without the suite";
}

}  // namespace
