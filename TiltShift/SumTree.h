#pragma once
// Sums of runs of a line's samples, made by adding sums of samples inside
// the run only. The difference of two prefix sums loses every digit of a
// run of small values once a huge value ahead of the run sits in both
// prefixes; here nothing outside the run takes part, so its sum is rounded
// relative to its own samples alone, and a sample that is infinite or not a
// number spoils only the runs that hold it.
//
// The bottom-up tree: leaf k is node N + k, node i the sum of nodes 2i and
// 2i + 1. A run takes at most two nodes from each level, so its sum costs
// O(log N) whatever its length. Nodes are plain samples, or wide ones for
// lines whose sums leave the double range.

#include <cstddef>
#include <vector>

#include "BoxBlurSample.h"

namespace BoxBlur {

template <typename T>
class SumTree {
public:
    // Room for a line of `length` samples, allocated once per band.
    explicit SumTree(std::size_t length = 0) : nodes_(2 * length) {}

    // Sample k; every leaf is set before sumUp.
    T& leaf(std::ptrdiff_t k) { return nodes_[static_cast<std::size_t>(length() + k)]; }
    const T& leaf(std::ptrdiff_t k) const { return nodes_[static_cast<std::size_t>(length() + k)]; }

    std::ptrdiff_t leafCount() const { return length(); }

    // The nodes above the leaves, from the leaves as they are now.
    void sumUp() {
        for (std::ptrdiff_t i = length() - 1; i > 0; --i) {
            nodes_[static_cast<std::size_t>(i)] = node(2 * i) + node(2 * i + 1);
        }
    }

    // Samples first … last, for 0 <= first <= last < N.
    T sum(std::ptrdiff_t first, std::ptrdiff_t last) const {
        T total{};
        std::ptrdiff_t low = length() + first;
        std::ptrdiff_t high = length() + last + 1;
        for (; low < high; low /= 2, high /= 2) {
            if (low % 2 == 1) {
                total = total + node(low++);
            }
            if (high % 2 == 1) {
                total = total + node(--high);
            }
        }
        return total;
    }

private:
    std::ptrdiff_t length() const { return static_cast<std::ptrdiff_t>(nodes_.size() / 2); }
    const T& node(std::ptrdiff_t i) const { return nodes_[static_cast<std::size_t>(i)]; }

    std::vector<T> nodes_;  // node 0 is unused
};

}  // namespace BoxBlur
