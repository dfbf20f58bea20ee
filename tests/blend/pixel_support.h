#pragma once
// Comparison, printing and construction of host pixels for the blend tests.

#include <ostream>

#include "AE_Effect.h"
#include "blend/blend.h"
#include "color/color.h"

inline bool operator==(const PF_Pixel& x, const PF_Pixel& y) {
    return x.alpha == y.alpha && x.red == y.red && x.green == y.green && x.blue == y.blue;
}

inline bool operator==(const PF_Pixel16& x, const PF_Pixel16& y) {
    return x.alpha == y.alpha && x.red == y.red && x.green == y.green && x.blue == y.blue;
}

inline bool operator==(const PF_PixelFloat& x, const PF_PixelFloat& y) {
    return x.alpha == y.alpha && x.red == y.red && x.green == y.green && x.blue == y.blue;
}

inline std::ostream& operator<<(std::ostream& os, const PF_Pixel& p) {
    return os << "{" << int(p.alpha) << ", " << int(p.red) << ", " << int(p.green) << ", " << int(p.blue) << "}";
}

inline std::ostream& operator<<(std::ostream& os, const PF_Pixel16& p) {
    return os << "{" << p.alpha << ", " << p.red << ", " << p.green << ", " << p.blue << "}";
}

inline std::ostream& operator<<(std::ostream& os, const PF_PixelFloat& p) {
    return os << "{" << p.alpha << ", " << p.red << ", " << p.green << ", " << p.blue << "}";
}

namespace BlendTest {

// A pixel of any depth from channels in 0..1, rounded as the library stores.
template <typename Pixel>
Pixel pixel(float a, float r, float g, float b) {
    return Nerevo::toPixel<Pixel>(Nerevo::Color<float>{a, r, g, b});
}

// Every mode that has a pixel function of its own, plus dissolve.
constexpr int firstPixelMode = 0;
constexpr int lastPixelMode = 17;

}  // namespace BlendTest
