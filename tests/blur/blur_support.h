#pragma once
// Blur passes on the headless host, test samples, and the kernel written out tap by tap and as prefix sums.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <string>
#include <vector>

#include "pixel_types.h"
#include "AEGP_SuiteHandler.h"
#include "BoxBlurPass.h"
#include "filter/run_filter.h"
#include "host/host.h"
#include "host/image.h"
#include "plugin_path.h"

namespace BlurTest {

using BoxBlur::Sample;
using host::Image;

using test::bpcOf;
using test::PixelTypes;
using test::samePixel;

// Premultiplied values of no particular pattern, opaque and transparent ones among them.
inline Sample patternSample(int i) {
    const double a = (i * 37) % 5 == 0 ? 0.0 : ((i * 53) % 256);
    return Sample{a, a * ((i * 29) % 17) * 0.25, a * ((i * 7) % 11) * 0.5, a * ((i * 13) % 19) * 3.0};
}

inline BoxBlur::Line loaded(const std::vector<Sample>& samples, bool repeat) {
    BoxBlur::Line line(samples.size(), repeat);
    line.load(samples.data(), 1);
    return line;
}

inline double largest(const std::vector<Sample>& line) {
    double m = 0.0;
    for (const Sample& c : line) m = std::max({m, std::fabs(c.a), std::fabs(c.r), std::fabs(c.g), std::fabs(c.b)});
    return m;
}

inline std::string where(std::int64_t x, double r, bool repeat) {
    return "x " + std::to_string(x) + ", r " + std::to_string(r) + (repeat ? ", repeated" : "");
}

class HostTest : public ::testing::Test {
protected:
    template <typename Stage, typename Params>
    PF_Err run(Nerevo::Bpc bpc, Image& input, Image* output, Params& params) {
        PF_Err err = PF_Err_NONE;
        host.withCommandData([&](PF_InData& in, PF_OutData&) {
            AEGP_SuiteHandler suites(in.pica_basicP);
            const Stage stage(&in, suites, bpc, input.world(), output ? output->world() : nullptr, &params);
            err = Nerevo::Filter::runFilter(stage);
        });
        EXPECT_TRUE(host.problems().empty()) << host.problems().front();
        return err;
    }

    host::Host host{test::pluginPath()};
};

// The kernel tap by tap in long double: x − n … x + n, the two ends at 1 − (n − r), outside the line the edge
// value or nothing; `value(k)` is the k-th of `length`.
template <typename Value>
long double literalWindow(std::int64_t length, std::int64_t x, double r, bool repeat, Value value) {
    const auto n = static_cast<std::int64_t>(std::ceil(r));
    long double sum = 0.0L;
    for (std::int64_t j = x - n; j <= x + n; ++j) {
        const std::int64_t k = repeat ? std::clamp<std::int64_t>(j, 0, length - 1) : j;
        if (k >= 0 && k < length) sum += (j == x - n || j == x + n ? 1.0L - (n - r) : 1.0L) * value(k);
    }
    return sum / (2.0L * r + 1.0L);
}

// Prefix-sum differences with a wide integer n, which lines that need no careful summing match to the bit.
inline Sample prefixSumBlurred(const std::vector<Sample>& c, std::int64_t x, double r, bool repeat) {
    using BoxBlur::operator+;
    using BoxBlur::operator-;
    using BoxBlur::operator*;
    using BoxBlur::operator/;
    const double ceiling = std::ceil(r);
    const auto n = static_cast<std::int64_t>(ceiling);
    const double w = ceiling - r;
    const auto last = static_cast<std::int64_t>(c.size()) - 1;
    std::vector<Sample> S(c.size());
    S[0] = c[0];
    for (std::size_t k = 1; k < c.size(); ++k) {
        S[k] = c[k] + S[k - 1];
    }
    Sample sum = x + n <= last ? S[x + n] - w * c[x + n] : S[last];
    if (x + n > last && repeat) {
        sum = sum + (static_cast<double>(x + n - last) - w) * c[last];
    }
    if (x - n >= 1) {
        sum = sum - S[x - n - 1] - w * c[x - n];
    } else if (repeat) {
        sum = sum + (static_cast<double>(n - x) - w) * c[0];
    } else if (x == n) {
        sum = sum - w * c[0];
    }
    return sum / (2.0 * r + 1.0);
}

}  // namespace BlurTest
