#pragma once
// From a work buffer value back to an output pixel, for the last row pass
// and the outputter alike: the premultiplied colour is divided by its alpha,
// weighted channels go back through the logarithm to base `weight`, and the
// vignetting colour is laid over the pixel by the blend mode, with an
// opacity that grows with the pixel's focus mat value.
//
// Integer stores add 0.5, clamp and truncate; float colours are only kept
// from going negative. Everything before a store is in double precision.
//
// The log scale, log(weight), is the host's, once per band; the logarithm of
// each channel is the standard library's, which is what the host computes,
// without a call through the host's function table for every channel.

#include <cmath>

#include "AE_EffectCB.h"
#include "BoxBlurSample.h"
#include "blend/blend.h"
#include "color/color.h"
#include "utility/clamp.h"

namespace Output {

// The stores of the integer depths, full scale 255 or 32768.
template <typename Pixel>
struct IntegerStore {
    using Channel = typename Nerevo::PixelTraits<Pixel>::Channel;
    static constexpr double kFullScale = Nerevo::PixelTraits<Pixel>::fullScale;

    static Channel store(double u) { return static_cast<Channel>(Nerevo::clamp(u + 0.5, 0.0, kFullScale)); }
    static Channel alpha(double a) { return store(a); }
    static Channel colour(double u) { return store(u); }
    static Channel vignetteColour(float c) { return store(static_cast<double>(c) * kFullScale); }
    static Channel opacity(double m, double vignetting) { return store(m * kFullScale * vignetting); }
};

template <typename Pixel>
struct Store;

template <>
struct Store<PF_Pixel> : IntegerStore<PF_Pixel> {
    static double logScale(double lnWeight) { return 1.0 / lnWeight; }
};

template <>
struct Store<PF_Pixel16> : IntegerStore<PF_Pixel16> {
    // 32768 / 255: 16-bit units per 8-bit unit.
    static double logScale(double lnWeight) { return 128.50196078431372 / lnWeight; }
};

template <>
struct Store<PF_PixelFloat> {
    using Channel = PF_FpShort;
    static constexpr double kFullScale = 1.0;

    static Channel alpha(double a) { return static_cast<Channel>(Nerevo::clamp(a, 0.0, 1.0)); }
    // No upper limit; below 0, and not a number, give 0.
    static Channel colour(double u) { return static_cast<Channel>(u >= 0.0 ? u : 0.0); }
    static Channel vignetteColour(float c) { return c; }
    static Channel opacity(double m, double vignetting) {
        return static_cast<Channel>(Nerevo::clamp(m * vignetting, 0.0, 1.0));
    }
    // 1 / 255: float units per 8-bit unit.
    static double logScale(double lnWeight) { return (1.0 / lnWeight) * 0.00392156862745098; }
};

// Set up once per band: the log scale, the vignette pixel and the blend
// function; then one call per pixel.
template <typename Pixel>
class Conversion {
public:
    // `params` is a blur or outputter record, which name the fields alike.
    template <typename P>
    Conversion(PF_InData* in_data, const P& params)
        : weighted_(params.weighted),
          scale_(params.weight > 1.0 ? Store<Pixel>::logScale(in_data->utils->ansi.log(params.weight)) : 0.0),
          vignetting_(params.vignetting),
          vignette_{0, Store<Pixel>::vignetteColour(params.vignettingColor.r),
                    Store<Pixel>::vignetteColour(params.vignettingColor.g),
                    Store<Pixel>::vignetteColour(params.vignettingColor.b)},
          blend_(Nerevo::getBlendFunc<Pixel>(params.blendingMode)) {}

    // The output pixel of work value v at a pixel of focus mat value m.
    Pixel operator()(Nerevo::Color<double> v, double m) const {
        if (v.a > 0.0) {
            v.r /= v.a;
            v.g /= v.a;
            v.b /= v.a;
        }
        return composed(v.a, colour(v.r), colour(v.g), colour(v.b), m);
    }

    // The same for a wide value; its plain colours convert as above.
    Pixel operator()(const BoxBlur::WideSample& v, double m) const {
        if (v.e.r == 0.0 && v.e.g == 0.0 && v.e.b == 0.0) {
            return (*this)(v.s, m);
        }
        return composed(v.s.a, wideColour(v.s.r, v.e.r, v.s.a), wideColour(v.s.g, v.e.g, v.s.a),
                        wideColour(v.s.b, v.e.b, v.s.a), m);
    }

private:
    using Channel = typename Store<Pixel>::Channel;

    Pixel composed(double alpha, Channel r, Channel g, Channel b, double m) const {
        const Pixel converted{static_cast<Channel>(Store<Pixel>::kFullScale), r, g, b};
        Pixel top = vignette_;
        top.alpha = Store<Pixel>::opacity(m, vignetting_);
        // Every mode leaves its bottom as it is under a transparent top, as
        // the top is without vignetting and over the sharp region: no call.
        Pixel result = top.alpha == 0 ? converted : blend_(converted, top);
        result.alpha = Store<Pixel>::alpha(alpha);
        return result;
    }

    // s · 2^e divided by the alpha when it is positive, taken to channel
    // units through its natural logarithm, so that nothing overflows. Only
    // weighting makes a colour wide.
    Channel wideColour(double s, double e, double a) const {
        if (e == 0.0) {
            return colour(a > 0.0 ? s / a : s);
        }
        if (!(s > 0.0)) {
            return Store<Pixel>::colour(0.0);
        }
        constexpr double kLn2 = 0.6931471805599453;
        const double lnU = std::log(s) + e * kLn2 - (a > 0.0 ? std::log(a) : 0.0);
        return Store<Pixel>::colour(lnU > 0.0 ? lnU * scale_ : 0.0);
    }

    // A weighted channel at or below 1 (the weight of 0 or less) gives 0.
    Channel colour(double u) const {
        if (!weighted_) {
            return Store<Pixel>::colour(u);
        }
        return u > 1.0 ? Store<Pixel>::colour(std::log(u) * scale_) : Store<Pixel>::colour(0.0);
    }

    bool weighted_;
    double scale_;  // a natural log to channel units: 1 / ln(weight), scaled to the depth
    double vignetting_;
    Pixel vignette_;  // its alpha is the opacity, which each pixel sets
    Nerevo::BlendFunc<Pixel> blend_;
};

}  // namespace Output
