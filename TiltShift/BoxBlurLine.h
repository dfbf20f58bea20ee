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
// A weighted float highlight can carry a colour beyond the double range
// (see WideSample). A line that holds one, or whose sums overflow, while its
// samples have logs beside them, is summed from a tree of wide samples: the
// same additions wherever the plain ones stay finite, and no infinity where
// they would not.
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
    // band and reused for every line of it. The trees are made on the first
    // line that needs one and kept.
    Line(std::size_t length, bool repeatEdgePixels) : entries_(length), repeatEdgePixels_(repeatEdgePixels) {}

    // Takes the samples first[0], first[stride], … first[(N − 1) × stride]
    // and their prefix sums, and the tree when the sums cannot be trusted.
    // `logs`, when given, holds the log of every colour beyond the double
    // range at the same strides, and the line is wide when its sums could
    // overflow.
    void load(const Sample* first, std::ptrdiff_t stride, const Sample* logs = nullptr,
              std::ptrdiff_t logStride = 0) {
        if (entries_.empty()) {
            return;
        }
        Magnitudes largest;
        Sample sum = begin(first[0], largest);
        for (std::ptrdiff_t k = 1; k < length(); ++k) {
            sum = add(k, first[k * stride], sum, largest);
        }
        largest_ = largest;
        settle(logs != nullptr);
        if (wide_) {
            loadWide(logs, logStride);
        } else if (!differencesHold_) {
            makeTree();
            for (std::ptrdiff_t k = 0; k < length(); ++k) {
                tree_.leaf(k) = sample(k);
            }
            tree_.sumUp();
        }
    }

    // The plain part of load() a sample at a time, for lines loaded side by
    // side in one sweep over their rows: sample 0, then samples 1 … N − 1 in
    // order, then settle, told whether load would have had logs. A plain
    // line is then ready for blurred(); any other is to be loaded again.
    void start(const Sample& first) { begin(first, largest_); }
    void append(std::ptrdiff_t k, const Sample& next) {
        add(k, next, entries_[static_cast<std::size_t>(k - 1)].sum, largest_);
    }
    bool settle(bool withLogs) {
        const Sample& sum = entries_.back().sum;
        differencesHold_ = largest_.withinPlainRange() && finite(sum);
        wide_ = withLogs && (!finite(sum) || largest_.colour() > kNarrowColour);
        return plain();
    }

    std::ptrdiff_t length() const { return static_cast<std::ptrdiff_t>(entries_.size()); }

    // Sample k as loaded.
    const Sample& sample(std::ptrdiff_t k) const { return entries_[static_cast<std::size_t>(k)].sample; }

    // Whether the line was loaded wide: its values come from blurredWide
    // and wideSample, not blurred and sample.
    bool wide() const { return wide_; }

    // Whether every value comes from prefix-sum differences: neither wide
    // nor summed from a tree.
    bool plain() const { return !wide_ && differencesHold_; }

    // The value at x blurred with radius r, for a radius that blurs.
    // The common case, a window of prefix sums, is kept apart from the rest
    // so that the passes' loops take it inline.
    [[gnu::always_inline]] Sample blurred(std::ptrdiff_t x, double r) const {
        if (differencesHold_ && r <= static_cast<double>(length())) {
            return withinLine(x, r);
        }
        return blurredOtherwise(x, r);
    }

    // The same for a wide line: a window that holds a wide sample from the
    // wide tree, any other from the plain one, which adds it to the same
    // bits at a fraction of the cost.
    WideSample blurredWide(std::ptrdiff_t x, double r) const {
        if (r <= static_cast<double>(length())) {
            const auto n = static_cast<std::ptrdiff_t>(std::ceil(r));
            const std::ptrdiff_t first = std::max<std::ptrdiff_t>(x - n, 0);
            const std::ptrdiff_t last = std::min(x + n, length() - 1);
            if (widesUpTo_[static_cast<std::size_t>(last + 1)] == widesUpTo_[static_cast<std::size_t>(first)]) {
                return WideSample{withinLineAdded(tree_, x, r), Nerevo::Color<double>{0.0, 0.0, 0.0, 0.0}};
            }
            return withinLineAdded(wideTree_, x, r);
        }
        const std::ptrdiff_t last = length() - 1;
        const WideSample total = wideTree_.sum(0, last);
        if (r <= kHugeRadius) {
            return beyondLine(total, wideTree_.leaf(last), wideTree_.leaf(0), x, r);
        }
        return divided(total, wideTree_.leaf(last), wideTree_.leaf(0), x, r);
    }

    const WideSample& wideSample(std::ptrdiff_t k) const { return wideTree_.leaf(k); }

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
        // Each component's largest apart, the same operation on all four, so
        // that the compiler takes them two at a time; the colour's is the
        // largest of the three, the same value whatever the order.
        Sample largest{0.0, 0.0, 0.0, 0.0};

        // Not-a-number samples are left to the finite total to find.
        void take(const Sample& c) {
            largest.a = std::max(largest.a, std::fabs(c.a));
            largest.r = std::max(largest.r, std::fabs(c.r));
            largest.g = std::max(largest.g, std::fabs(c.g));
            largest.b = std::max(largest.b, std::fabs(c.b));
        }

        double alpha() const { return largest.a; }
        double colour() const { return std::max({largest.r, largest.g, largest.b}); }

        bool withinPlainRange() const { return alpha() <= kPlainRange && colour() <= kPlainRange * alpha(); }
    };

    // Sample 0 of a line, and sample k after the prefix sum up to k − 1;
    // each gives its own prefix sum.
    Sample begin(const Sample& first, Magnitudes& largest) {
        entries_[0] = Entry{first, first};
        largest = Magnitudes{};
        largest.take(first);
        return first;
    }
    Sample add(std::ptrdiff_t k, const Sample& next, const Sample& previous, Magnitudes& largest) {
        const Sample sum = next + previous;
        entries_[static_cast<std::size_t>(k)] = Entry{next, sum};
        largest.take(next);
        return sum;
    }

    void makeTree() {
        if (tree_.leafCount() != length()) {
            tree_ = SumTree<Sample>(entries_.size());
        }
    }

    // Below this no product or sum of the kernel overflows, whatever the
    // radius: counts stay below 2^513 (beyond 2^512 the kernel divides by
    // the radius) and the line below 2^31 samples. Lines with logs and a
    // colour above it go wide, so that no plain line ever leaves an
    // infinity in the work buffer without its log.
    static constexpr double kNarrowColour = 0x1p508;

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

    Sample blurredOtherwise(std::ptrdiff_t x, double r) const {
        if (r <= static_cast<double>(length())) {
            return withinLineAdded(tree_, x, r);
        }
        if (r <= kHugeRadius) {
            return beyondLine(S(length() - 1), c(length() - 1), c(0), x, r);
        }
        return divided(S(length() - 1), c(length() - 1), c(0), x, r);
    }

    // Both ends of the kernel may lie inside the line; n = ceil(r) <= N.
    [[gnu::always_inline]] Sample withinLine(std::ptrdiff_t x, double r) const {
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

    // Both trees, and widesUpTo_[k]: how many samples before k are wide, a
    // colour of theirs beyond kNarrowColour or beyond the double range. The
    // wide buffers are made on a band's first wide line and kept.
    void loadWide(const Sample* logs, std::ptrdiff_t logStride) {
        if (wideTree_.leafCount() != length()) {
            wideTree_ = SumTree<WideSample>(entries_.size());
            widesUpTo_.resize(entries_.size() + 1);
        }
        makeTree();
        const auto narrow = [](double s, double e) { return e == 0.0 && !(std::fabs(s) > kNarrowColour); };
        for (std::ptrdiff_t k = 0; k < length(); ++k) {
            const WideSample& w = wideTree_.leaf(k) = widened(sample(k), logs + k * logStride);
            tree_.leaf(k) = sample(k);
            const bool isNarrow = narrow(w.s.r, w.e.r) && narrow(w.s.g, w.e.g) && narrow(w.s.b, w.e.b);
            widesUpTo_[static_cast<std::size_t>(k + 1)] = widesUpTo_[static_cast<std::size_t>(k)] + !isNarrow;
        }
        wideTree_.sumUp();
        tree_.sumUp();
    }

    // withinLine's kernel with every window added up from the tree, never
    // from a difference: the inner samples from x − n + 1 to x + n − 1 (so
    // far as they lie in the line), then each end sample at 1 − w, or the
    // missing samples counted as withinLine counts them.
    template <typename T>
    T withinLineAdded(const SumTree<T>& tree, std::ptrdiff_t x, double r) const {
        const double ceiling = std::ceil(r);
        const auto n = static_cast<std::ptrdiff_t>(ceiling);
        const double w = ceiling - r;
        const std::ptrdiff_t last = length() - 1;
        const std::ptrdiff_t low = x - n;
        const std::ptrdiff_t high = x + n;
        T sum = tree.sum(std::max<std::ptrdiff_t>(low + 1, 0), std::min(high - 1, last));
        if (high <= last) {
            sum = sum + (1.0 - w) * tree.leaf(high);
        } else if (repeatEdgePixels_) {
            sum = sum + (static_cast<double>(high - last) - w) * tree.leaf(last);
        }
        if (low >= 0) {
            sum = sum + (1.0 - w) * tree.leaf(low);
        } else if (repeatEdgePixels_) {
            sum = sum + (static_cast<double>(-low) - w) * tree.leaf(0);
        }
        return sum / (2.0 * r + 1.0);
    }

    // r > N: both ends lie outside the line wherever x is, and n matters
    // only through w = n − r, so the missing samples are counted from r
    // itself: x − (N − 1) + r above, r − x below. Each count is rounded once
    // from the same exact value as (x + n − (N − 1)) − w and (n − x) − w,
    // so the result is the formula's to the bit, with no integer n to
    // overflow.
    template <typename T>
    T beyondLine(const T& total, const T& lastSample, const T& firstSample, std::ptrdiff_t x, double r) const {
        const std::ptrdiff_t last = length() - 1;
        T sum = total;
        if (repeatEdgePixels_) {
            sum = sum + (static_cast<double>(x - last) + r) * lastSample;
            sum = sum + (r - static_cast<double>(x)) * firstSample;
        }
        return sum / (2.0 * r + 1.0);
    }

    // beyondLine's sum and divisor both divided by r. An infinite radius
    // gives the limit: the mean of the two edge samples, or nothing.
    template <typename T>
    T divided(const T& total, const T& lastSample, const T& firstSample, std::ptrdiff_t x, double r) const {
        const std::ptrdiff_t last = length() - 1;
        T sum = total / r;
        if (repeatEdgePixels_) {
            sum = sum + (1.0 + static_cast<double>(x - last) / r) * lastSample;
            sum = sum + (1.0 - static_cast<double>(x) / r) * firstSample;
        }
        return sum / (2.0 + 1.0 / r);
    }

    std::vector<Entry> entries_;
    SumTree<Sample> tree_;  // only for lines whose differences do not hold, and wide ones
    SumTree<WideSample> wideTree_;  // only for wide lines
    std::vector<std::ptrdiff_t> widesUpTo_;  // only for wide lines
    bool repeatEdgePixels_;
    Magnitudes largest_;  // of the samples loaded so far
    bool differencesHold_ = true;
    bool wide_ = false;
};

}  // namespace BoxBlur
