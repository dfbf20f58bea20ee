#pragma once
// The box blur of one line of N samples, a row or a column of the work
// buffer, with a radius that changes from sample to sample. A radius r of
// n − w (n whole, 0 <= w < 1) covers the samples x − n … x + n: the inner
// ones weigh 1, the two end ones 1 − w, 2r + 1 in all. Outside the line a
// sample is the edge sample ("Repeat Edge Pixels") or transparent black.
// Prefix sums make every value cost the same whatever its radius.
//
// A window sum taken as the difference of two prefix sums is rounded
// relative to everything before the window, not to the window itself: a
// float highlight weighted to 1e19 leaves nothing of the values around 5
// in any window after it, and an infinite or not-a-number sample spoils
// every window after it. A line whose colours rise too far above its alpha
// for the differences to keep their digits, or whose sums are not finite,
// is summed from a tree of sums inside each window instead, at a cost of
// O(log N) per value. Every other line, and so every 8- and 16-bit line,
// keeps the prefix-sum differences to the bit.
//
// The line keeps its own samples beside the prefix sums: nothing is read
// back from the row or column being rewritten, so the blurred values may go
// straight back where the samples came from.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "BoxBlurSample.h"
#include "SumTree.h"

namespace BoxBlur {

// A radius of at most 1e-5 leaves its sample alone, and so does one that is
// not a number.
inline bool blurs(double r) {
    return r > 0.00001;
}

class Line {
public:
    // Room for a line of `length` samples, zero-filled; allocated once per
    // band and reused for every line of it.
    Line(std::size_t length, bool repeatEdgePixels)
        : entries_(length), tree_(length), repeatEdgePixels_(repeatEdgePixels) {}

    // Takes the samples first[0], first[stride], … first[(N − 1) × stride]
    // and their prefix sums, and the tree when the sums cannot be trusted.
    void load(const Sample* first, std::ptrdiff_t stride) {
        if (entries_.empty()) {
            return;
        }
        Sample sum = first[0];
        entries_[0] = Entry{sum, sum};
        Magnitudes largest;
        largest.take(sum);
        for (std::ptrdiff_t k = 1; k < length(); ++k) {
            const Sample& next = first[k * stride];
            sum = next + sum;
            entries_[static_cast<std::size_t>(k)] = Entry{next, sum};
            largest.take(next);
        }
        differencesHold_ = largest.withinPlainRange() && finite(sum);
        if (!differencesHold_) {
            for (std::ptrdiff_t k = 0; k < length(); ++k) {
                tree_.leaf(k) = sample(k);
            }
            tree_.sumUp();
        }
    }

    std::ptrdiff_t length() const { return static_cast<std::ptrdiff_t>(entries_.size()); }

    // Sample k as loaded.
    const Sample& sample(std::ptrdiff_t k) const { return entries_[static_cast<std::size_t>(k)].sample; }

    // The value at x blurred with radius r, for a radius that blurs.
    Sample blurred(std::ptrdiff_t x, double r) const {
        if (r <= static_cast<double>(length())) {
            return differencesHold_ ? withinLine(x, r) : withinLineAdded(x, r);
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

    // How far a line's colours may rise above its largest alpha, and that
    // alpha above 1, while prefix-sum differences keep the digits of every
    // window that is not all but transparent: four times the widest spread
    // of the integer depths. Weighted 8- and 16-bit colours reach at most
    // weight^255 ≈ 2.5e5 times their pixel's alpha (the weight being at
    // most 1.05), unweighted ones 65535 times, and their alpha stays below
    // 65536; blurring averages colour and alpha alike, so every pass stays
    // within that, and so does float footage in 0..1. A float highlight
    // weighted to 1e19 does not.
    static constexpr double kPlainRange = 0x1p20;

    // The largest alpha and colour magnitudes of a line.
    struct Magnitudes {
        double alpha = 0.0;
        double colour = 0.0;

        // Not-a-number samples are left to the finite total to find.
        void take(const Sample& c) {
            alpha = std::max(alpha, std::fabs(c.a));
            colour = std::max({colour, std::fabs(c.r), std::fabs(c.g), std::fabs(c.b)});
        }

        bool withinPlainRange() const { return alpha <= kPlainRange && colour <= kPlainRange * alpha; }
    };

    // An infinite or not-a-number sample, or an overflow, makes the total
    // infinite or not a number, and every later prefix sum with it.
    static bool finite(const Sample& total) {
        return std::isfinite(total.a) && std::isfinite(total.r) && std::isfinite(total.g) && std::isfinite(total.b);
    }

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

    // withinLine's kernel with every window added up from the tree, never
    // from a difference: the inner samples from x − n + 1 to x + n − 1 (so
    // far as they lie in the line), then each end sample at 1 − w, or the
    // missing samples counted as withinLine counts them.
    Sample withinLineAdded(std::ptrdiff_t x, double r) const {
        const double ceiling = std::ceil(r);
        const auto n = static_cast<std::ptrdiff_t>(ceiling);
        const double w = ceiling - r;
        const std::ptrdiff_t last = length() - 1;
        const std::ptrdiff_t low = x - n;
        const std::ptrdiff_t high = x + n;
        Sample sum = tree_.sum(std::max<std::ptrdiff_t>(low + 1, 0), std::min(high - 1, last));
        if (high <= last) {
            sum = sum + (1.0 - w) * c(high);
        } else if (repeatEdgePixels_) {
            sum = sum + (static_cast<double>(high - last) - w) * c(last);
        }
        if (low >= 0) {
            sum = sum + (1.0 - w) * c(low);
        } else if (repeatEdgePixels_) {
            sum = sum + (static_cast<double>(-low) - w) * c(0);
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
    SumTree tree_;  // built only for lines whose differences do not hold
    bool repeatEdgePixels_;
    bool differencesHold_ = true;
};

}  // namespace BoxBlur
