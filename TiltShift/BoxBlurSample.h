#pragma once
// A sample of the box blur, a premultiplied work buffer entry, and the
// arithmetic the kernel does on all four components at once; the same for
// a wide sample, whose colours may lie beyond the double range.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

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

// A weighted float highlight, premultiplied, can pass the double range (the
// default weight carries a value of 95 to about 1e309), and so can the sums
// of values below it. A wide sample keeps each colour as s · 2^e, e a whole
// number, its alpha plain: alpha stays within the float range. Scaling by a
// power of two is exact, so values with e = 0 add, multiply and divide to
// the same bits as plain samples, and a sum only moves up an exponent when
// the plain one would have overflowed.
struct WideSample {
    Sample s;
    Nerevo::Color<double> e;  // e.a stays 0
};

namespace Wide {

// s · 2^shift for a whole shift <= 0, as ldexp gives it: one exact product
// by a normal power of two where there is one, and beyond 2^-2200 nothing
// of a finite s is left. The far case is the common one in a wide line, the
// small sums against the highlight's.
inline double shifted(double s, double shift) {
    if (shift >= -1022.0) {
        const std::uint64_t bits = static_cast<std::uint64_t>(1023 + static_cast<int>(shift)) << 52;
        double power;
        std::memcpy(&power, &bits, sizeof power);
        return s * power;
    }
    if (shift < -2200.0) {
        return std::isfinite(s) ? std::copysign(0.0, s) : s;
    }
    return std::ldexp(s, static_cast<int>(shift));
}

inline void add(double& s, double& e, double s2, double e2) {
    if (e2 > e) {
        std::swap(s, s2);
        std::swap(e, e2);
    }
    const double sum = e2 == e ? s + s2 : s + shifted(s2, e2 - e);
    if (std::isinf(sum) && std::isfinite(s) && std::isfinite(s2)) {
        s = std::ldexp(s, -1) + shifted(s2, e2 - e - 1.0);
        e += 1.0;
        return;
    }
    s = sum;
}

// Counts reach 2^512 at most (beyond it the kernel divides by the radius),
// so a product that overflows leaves a finite one 600 binades down.
inline void multiply(double k, double& s, double& e) {
    const double product = k * s;
    if (std::isinf(product) && std::isfinite(k) && std::isfinite(s)) {
        s = k * std::ldexp(s, -600);
        e += 600.0;
        return;
    }
    s = product;
}

}  // namespace Wide

inline WideSample operator+(WideSample p, const WideSample& q) {
    p.s.a += q.s.a;
    Wide::add(p.s.r, p.e.r, q.s.r, q.e.r);
    Wide::add(p.s.g, p.e.g, q.s.g, q.e.g);
    Wide::add(p.s.b, p.e.b, q.s.b, q.e.b);
    return p;
}

inline WideSample operator*(double k, WideSample p) {
    p.s.a *= k;
    Wide::multiply(k, p.s.r, p.e.r);
    Wide::multiply(k, p.s.g, p.e.g);
    Wide::multiply(k, p.s.b, p.e.b);
    return p;
}

// Only ever by 2r + 1 >= 1, or by a radius above 2^512: no overflow.
inline WideSample operator/(WideSample p, double d) {
    p.s = p.s / d;
    return p;
}

// A colour beyond the double range sits in the work buffer as an infinity
// of its sign, its log2 magnitude beside it in the log buffer; an infinity
// with an infinite (or no) log is a true one.
// Only an infinite colour's log is ever set, and only it is read.
inline double wideColour(double c, const double& log2Magnitude, double& e) {
    e = 0.0;
    if (!std::isinf(c) || !std::isfinite(log2Magnitude)) {
        return c;
    }
    e = std::floor(log2Magnitude);
    return std::copysign(std::exp2(log2Magnitude - e), c);
}

inline WideSample widened(const Sample& c, const Sample* log) {
    WideSample w{c, Nerevo::Color<double>{0.0, 0.0, 0.0, 0.0}};
    if (log) {
        w.s.r = wideColour(c.r, log->r, w.e.r);
        w.s.g = wideColour(c.g, log->g, w.e.g);
        w.s.b = wideColour(c.b, log->b, w.e.b);
    }
    return w;
}

// A true infinity, or not a number, gets an infinite log, so that no log
// left from an earlier value makes it look wide.
inline double narrowColour(double s, double e, double& log2Magnitude) {
    const double plain = std::ldexp(s, e > 2200.0 ? 2200 : static_cast<int>(e));
    if (std::isfinite(plain)) {
        return plain;
    }
    log2Magnitude = std::isfinite(s) ? std::log2(std::fabs(s)) + e : std::numeric_limits<double>::infinity();
    return std::isfinite(s) ? std::copysign(std::numeric_limits<double>::infinity(), s) : s;
}

// Back into the work buffer: plainly where the value fits, else as above.
inline void narrowed(const WideSample& w, Sample& c, Sample& log) {
    c.a = w.s.a;
    c.r = narrowColour(w.s.r, w.e.r, log.r);
    c.g = narrowColour(w.s.g, w.e.g, log.g);
    c.b = narrowColour(w.s.b, w.e.b, log.b);
}

}  // namespace BoxBlur
