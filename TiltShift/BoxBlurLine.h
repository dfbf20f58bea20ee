#pragma once
// The box blur of one line of N samples, a row or a column of the work
// buffer, with a radius that changes from sample to sample. A radius r of
// n − w (n whole, 0 <= w < 1) covers the samples x − n … x + n: the inner
// ones weigh 1, the two end ones 1 − w, 2r + 1 in all. Outside the line a
// sample is the edge sample ("Repeat Edge Pixels") or transparent black.
// Prefix sums make every value cost the same whatever its radius.
//
// The line keeps its own samples beside the prefix sums: nothing is read
// back from the row or column being rewritten, so the blurred values may go
// straight back where the samples came from.

#include <cmath>
#include <cstddef>
#include <vector>

#include "color/color.h"

namespace BoxBlur {

using Sample = Nerevo::Color<double>;

inline Sample operator+(const Sample& p, const Sample& q) {
    return Sample{p.a + q.a, p.r + q.r, p.g + q.g, p.b + q.b};
}

inline Sample operator-(const Sample& p, const Sample& q) {
    return Sample{p.a - q.a, p.r - q.r, p.g - q.g, p.b - q.b};
}

inline Sample operator*(double s, const Sample& p) {
    return Sample{s * p.a, s * p.r, s * p.g, s * p.b};
}

inline Sample operator/(const Sample& p, double d) {
    return Sample{p.a / d, p.r / d, p.g / d, p.b / d};
}

// A radius of at most 1e-5 leaves its sample alone, and so does one that is
// not a number.
inline bool blurs(double r) {
    return r > 0.00001;
}

class Line {
public:
    // Room for a line of `length` samples, zero-filled; allocated once per
    // band and reused for every line of it.
    Line(std::size_t length, bool repeatEdgePixels) : entries_(length), repeatEdgePixels_(repeatEdgePixels) {}

    // Takes the samples first[0], first[stride], … first[(N − 1) × stride]
    // and their prefix sums.
    void load(const Sample* first, std::ptrdiff_t stride) {
        if (entries_.empty()) {
            return;
        }
        Sample sum = first[0];
        entries_[0] = Entry{sum, sum};
        for (std::ptrdiff_t k = 1; k < length(); ++k) {
            const Sample& next = first[k * stride];
            sum = next + sum;
            entries_[static_cast<std::size_t>(k)] = Entry{next, sum};
        }
    }

    std::ptrdiff_t length() const { return static_cast<std::ptrdiff_t>(entries_.size()); }

    // Sample k as loaded.
    const Sample& sample(std::ptrdiff_t k) const { return entries_[static_cast<std::size_t>(k)].sample; }

    // The value at x blurred with radius r, for a radius that blurs.
    Sample blurred(std::ptrdiff_t x, double r) const {
        if (r <= static_cast<double>(length())) {
            return withinLine(x, r);
        }
        if (r <= kHugeRadius) {
            return beyondLine(x, r);
        }
        return divided(x, r);
    }

private:
    struct Entry {
        Sample sample;
        Sample sum;
    };

    // Beyond this the sample-times-count products and 2r + 1 could leave
    // the double range; divided through by r they cannot.
    static constexpr double kHugeRadius = 0x1p512;

    // Sample k and the prefix sum c(0) + … + c(k), as the formulas name them.
    const Sample& c(std::ptrdiff_t k) const { return sample(k); }
    const Sample& S(std::ptrdiff_t k) const { return entries_[static_cast<std::size_t>(k)].sum; }

    // Both ends of the kernel may lie inside the line; n = ceil(r) <= N.
    Sample withinLine(std::ptrdiff_t x, double r) const {
        const double ceiling = std::ceil(r);
        const auto n = static_cast<std::ptrdiff_t>(ceiling);
        const double w = ceiling - r;
        const std::ptrdiff_t last = length() - 1;
        Sample sum;
        if (x + n <= last) {
            sum = S(x + n) - w * c(x + n);
        } else {
            sum = S(last);
            if (repeatEdgePixels_) {
                // The missing samples, the outer one at 1 − w.
                sum = sum + (static_cast<double>(x + n - last) - w) * c(last);
            }
        }
        if (x - n >= 1) {
            sum = sum - S(x - n - 1) - w * c(x - n);
        } else if (repeatEdgePixels_) {
            sum = sum + (static_cast<double>(n - x) - w) * c(0);
        } else if (x == n) {
            sum = sum - w * c(0);
        }
        return sum / (2.0 * r + 1.0);
    }

    // r > N: both ends lie outside the line wherever x is, and n matters
    // only through w = n − r, so the missing samples are counted from r
    // itself: x − (N − 1) + r above, r − x below. Each count is rounded once
    // from the same exact value as (x + n − (N − 1)) − w and (n − x) − w,
    // so the result is the formula's to the bit, with no integer n to
    // overflow.
    Sample beyondLine(std::ptrdiff_t x, double r) const {
        const std::ptrdiff_t last = length() - 1;
        Sample sum = S(last);
        if (repeatEdgePixels_) {
            sum = sum + (static_cast<double>(x - last) + r) * c(last);
            sum = sum + (r - static_cast<double>(x)) * c(0);
        }
        return sum / (2.0 * r + 1.0);
    }

    // beyondLine's sum and divisor both divided by r. An infinite radius
    // gives the limit: the mean of the two edge samples, or nothing.
    Sample divided(std::ptrdiff_t x, double r) const {
        const std::ptrdiff_t last = length() - 1;
        Sample sum = S(last) / r;
        if (repeatEdgePixels_) {
            sum = sum + (1.0 + static_cast<double>(x - last) / r) * c(last);
            sum = sum + (1.0 - static_cast<double>(x) / r) * c(0);
        }
        return sum / (2.0 + 1.0 / r);
    }

    std::vector<Entry> entries_;
    bool repeatEdgePixels_;
};

}  // namespace BoxBlur
