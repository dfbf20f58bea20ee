#pragma once
// The three host pixel types, for typed tests, and the depth of each.

#include <gtest/gtest.h>

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

}  // namespace test
