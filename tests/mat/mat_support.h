#pragma once
// The focus mat generators on the headless host, test images, and slow references for what they write.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "pixel_types.h"
#include "AEGP_SuiteHandler.h"
#include "LinearMatGenerator.h"
#include "Params.h"
#include "RadialMatGenerator.h"
#include "WeightTable.h"
#include "filter/run_filter.h"
#include "host/host.h"
#include "host/image.h"
#include "plugin_path.h"

namespace MatTest {

using host::Image;
using Work = Nerevo::Color<double>;

using test::bpcOf;
using test::PixelTypes;

// Channels over each depth's range: floats beyond 0..1, and not a number among the colours.
template <typename Pixel>
Pixel patternPixel(int x, int y) {
    const float green = (x + y) % 5 == 3 ? std::numeric_limits<float>::quiet_NaN() : ((x * 3 + y) % 7) * 0.25f;
    return Nerevo::toPixel<Pixel>(Nerevo::Color<float>{((x * 7 + y * 3) % 11) * 0.1f,
                                                       ((x * 5 + y * 13) % 17) * 0.125f - 0.5f, green,
                                                       ((x + y * 2) % 9) * 0.2f - 0.3f});
}

template <typename Pixel>
void paint(Image& image) {
    test::paint<Pixel>(image, patternPixel<Pixel>);
}

// The weighting from its definition: weight to the power of the value in 8-bit units.
inline double weighted(A_u_char v, double weight) { return std::pow(weight, static_cast<double>(v)); }
inline double weighted(A_u_short v, double weight) { return std::pow(weight, v * 255.0 / 32768.0); }
inline double weighted(float v, double weight) { return std::isnan(v) || v < 0.0f ? 1.0 : std::pow(weight, 255.0 * v); }

template <typename Channel>
double channel(Channel v, double weight) {
    return isWeighted(weight) ? weighted(v, weight) : static_cast<double>(v);
}

template <typename Pixel>
Work premultiplied(const Pixel& p, double weight) {
    const double a = p.alpha;
    return Work{a, a * channel(p.red, weight), a * channel(p.green, weight), a * channel(p.blue, weight)};
}

// Equal, NaN included.
inline ::testing::AssertionResult same(const Work& a, const Work& b) {
    const auto eq = [](double u, double v) { return u == v || (std::isnan(u) && std::isnan(v)); };
    if (eq(a.a, b.a) && eq(a.r, b.r) && eq(a.g, b.g) && eq(a.b, b.b)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.a << ", " << a.r << ", " << a.g << ", " << a.b << ") against ("
                                         << b.a << ", " << b.r << ", " << b.g << ", " << b.b << ")";
}

struct Buffers {
    PF_Err err = PF_Err_NONE;
    std::vector<double> mat;
    std::vector<Work> work;

    double matAt(const Image& i, int x, int y) const { return mat[static_cast<std::size_t>(y * i.width() + x)]; }
    const Work& workAt(const Image& i, int x, int y) const { return work[static_cast<std::size_t>(y * i.width() + x)]; }
};

// Every pixel's mat value follows `law(x, y)` to rounding, and its work value is the premultiplied source.
template <typename Pixel, typename Law>
void expectMatAndWork(const Buffers& b, const Image& input, double weight, Law law) {
    ASSERT_EQ(b.err, PF_Err_NONE);
    for (int y = 0; y < input.height(); ++y) {
        for (int x = 0; x < input.width(); ++x) {
            const double want = law(x, y);
            EXPECT_NEAR(b.matAt(input, x, y), want, 1e-12 * std::max(1.0, std::fabs(want))) << x << ", " << y;
            EXPECT_TRUE(same(b.workAt(input, x, y), premultiplied(input.at<Pixel>(x, y), weight))) << x << ", " << y;
        }
    }
    EXPECT_TRUE(input.untouchedOutside());
}

inline LinearMatGeneratorParameters linearParameters() {
    LinearMatGeneratorParameters p{};
    p.halfDiagonal = 10.0;
    p.blurAmount = 50.0;
    p.weight = 1.0;
    p.innerWidth = 2.0;
    p.linearMode = linearPower;
    p.power = 2.0;
    p.focusDistance = 10.0;
    return p;
}

class Generators : public ::testing::Test {
protected:
    // With the table and buffers a tilt shifter would give, the buffers filled with `initial`.
    template <typename Generator, typename Params>
    Buffers generate(Nerevo::Bpc bpc, Image& input, Params params, double initial = 0.0) {
        Buffers buffers;
        const std::size_t pixels = static_cast<std::size_t>(input.width()) * static_cast<std::size_t>(input.height());
        buffers.mat.assign(pixels, initial);
        buffers.work.assign(pixels, Work{initial, initial, initial, initial});
        host.withCommandData([&](PF_InData& in, PF_OutData&) {
            AEGP_SuiteHandler suites(in.pica_basicP);
            const std::vector<double> table = makeWeightTable(&in, bpc, params.weight);
            params.weighted = isWeighted(params.weight);
            params.weightTable = &table;
            params.mat = &buffers.mat;
            params.work = &buffers.work;
            Generator generator(&in, suites, bpc, input.world(), input.world(), &params);
            buffers.err = Nerevo::Filter::runFilter(generator);
        });
        EXPECT_TRUE(host.problems().empty()) << host.problems().front();
        return buffers;
    }

    host::Host host{test::pluginPath()};
};

}  // namespace MatTest
