#pragma once
// A sample of the box blur, a premultiplied work buffer entry, and the
// arithmetic the kernel does on all four components at once.

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

}  // namespace BoxBlur
