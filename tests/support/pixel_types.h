#pragma once
// The three host pixel types for typed tests, their depths, and images of them painted and compared bit for bit.

#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>

#include "AE_Effect.h"
#include "utility/bpc.h"

namespace test {

using PixelTypes = ::testing::Types<PF_Pixel, PF_Pixel16, PF_PixelFloat>;

template <typename Pixel>
constexpr Nerevo::Bpc bpcOf() {
    if constexpr (std::is_same_v<Pixel, PF_Pixel>) {
        return Nerevo::bpc8;
    } else if constexpr (std::is_same_v<Pixel, PF_Pixel16>) {
        return Nerevo::bpc16;
    } else {
        return Nerevo::bpc32;
    }
}

// Bit for bit: not-a-number channels compare equal to themselves.
template <typename Pixel>
bool samePixel(const Pixel& p, const Pixel& q) {
    return std::memcmp(&p, &q, sizeof(Pixel)) == 0;
}

template <typename Pixel, typename Image>
bool sameImage(const Image& a, const Image& b) {
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (!samePixel(a.template at<Pixel>(x, y), b.template at<Pixel>(x, y))) {
                return false;
            }
        }
    }
    return a.width() == b.width() && a.height() == b.height();
}

template <typename Pixel, typename Image, typename Paint>
void paint(Image& image, Paint pixel) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.template at<Pixel>(x, y) = pixel(x, y);
        }
    }
}

}  // namespace test
