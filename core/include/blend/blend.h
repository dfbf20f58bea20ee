#pragma once
// Per-pixel blend modes at the host's three depths.
//
// Each function takes the bottom pixel and the top pixel and returns their
// composite. A transparent bottom yields the top and a transparent top yields
// the bottom, both unchanged, so an overlay at zero opacity never alters a
// pixel. The functions are pure and are called once per output pixel.

#include <cstdint>
#include <iterator>

#include "AE_Effect.h"

namespace Nerevo {

// Values 0..17 have a pixel function below. The others name host transfer
// modes that only whole-world compositing can apply; as pixel functions they
// fall back to `normal`, as does `dissolve`, which has no per-pixel form.
enum class BlendingMode : std::int32_t {
    none = -1,
    normal = 0,
    dissolve = 1,
    add = 2,
    multiply = 3,
    screen = 4,
    overlay = 5,
    softlight = 6,
    hardlight = 7,
    dodge = 8,
    burn = 9,
    darken = 10,
    lighten = 11,
    difference = 12,
    exclusion = 13,
    hue = 14,
    saturation = 15,
    luminosity = 16,
    alpha_add = 17,
    linear_burn = 18,
    classic_color_burn = 19,
    linear_dodge = 20,
    classic_color_dodge = 21,
    linear_light = 22,
    vivid_light = 23,
    pin_light = 24,
    hard_mix = 25,
    classic_difference = 26,
    color = 27,
    multiply_alpha = 28,
    multiply_alpha_luma = 29,
    multiply_not_alpha = 30,
    multiply_not_alpha_luma = 31,
};

template <typename Pixel>
using BlendFunc = Pixel (*)(const Pixel& bottom, const Pixel& top);

namespace Blend {

PF_Pixel normal(const PF_Pixel& bottom, const PF_Pixel& top);
PF_Pixel add(const PF_Pixel& bottom, const PF_Pixel& top);
PF_Pixel multiply(const PF_Pixel& bottom, const PF_Pixel& top);
PF_Pixel screen(const PF_Pixel& bottom, const PF_Pixel& top);
PF_Pixel overlay(const PF_Pixel& bottom, const PF_Pixel& top);
PF_Pixel softlight(const PF_Pixel& bottom, const PF_Pixel& top);
PF_Pixel hardlight(const PF_Pixel& bottom, const PF_Pixel& top);
PF_Pixel dodge(const PF_Pixel& bottom, const PF_Pixel& top);
PF_Pixel burn(const PF_Pixel& bottom, const PF_Pixel& top);
PF_Pixel darken(const PF_Pixel& bottom, const PF_Pixel& top);
PF_Pixel lighten(const PF_Pixel& bottom, const PF_Pixel& top);
PF_Pixel difference(const PF_Pixel& bottom, const PF_Pixel& top);
PF_Pixel exclusion(const PF_Pixel& bottom, const PF_Pixel& top);
PF_Pixel hue(const PF_Pixel& bottom, const PF_Pixel& top);
PF_Pixel saturation(const PF_Pixel& bottom, const PF_Pixel& top);
PF_Pixel luminosity(const PF_Pixel& bottom, const PF_Pixel& top);
PF_Pixel alpha_add(const PF_Pixel& bottom, const PF_Pixel& top);

PF_Pixel16 normal(const PF_Pixel16& bottom, const PF_Pixel16& top);
PF_Pixel16 add(const PF_Pixel16& bottom, const PF_Pixel16& top);
PF_Pixel16 multiply(const PF_Pixel16& bottom, const PF_Pixel16& top);
PF_Pixel16 screen(const PF_Pixel16& bottom, const PF_Pixel16& top);
PF_Pixel16 overlay(const PF_Pixel16& bottom, const PF_Pixel16& top);
PF_Pixel16 softlight(const PF_Pixel16& bottom, const PF_Pixel16& top);
PF_Pixel16 hardlight(const PF_Pixel16& bottom, const PF_Pixel16& top);
PF_Pixel16 dodge(const PF_Pixel16& bottom, const PF_Pixel16& top);
PF_Pixel16 burn(const PF_Pixel16& bottom, const PF_Pixel16& top);
PF_Pixel16 darken(const PF_Pixel16& bottom, const PF_Pixel16& top);
PF_Pixel16 lighten(const PF_Pixel16& bottom, const PF_Pixel16& top);
PF_Pixel16 difference(const PF_Pixel16& bottom, const PF_Pixel16& top);
PF_Pixel16 exclusion(const PF_Pixel16& bottom, const PF_Pixel16& top);
PF_Pixel16 hue(const PF_Pixel16& bottom, const PF_Pixel16& top);
PF_Pixel16 saturation(const PF_Pixel16& bottom, const PF_Pixel16& top);
PF_Pixel16 luminosity(const PF_Pixel16& bottom, const PF_Pixel16& top);
PF_Pixel16 alpha_add(const PF_Pixel16& bottom, const PF_Pixel16& top);

PF_PixelFloat normal(const PF_PixelFloat& bottom, const PF_PixelFloat& top);
PF_PixelFloat add(const PF_PixelFloat& bottom, const PF_PixelFloat& top);
PF_PixelFloat multiply(const PF_PixelFloat& bottom, const PF_PixelFloat& top);
PF_PixelFloat screen(const PF_PixelFloat& bottom, const PF_PixelFloat& top);
PF_PixelFloat overlay(const PF_PixelFloat& bottom, const PF_PixelFloat& top);
PF_PixelFloat softlight(const PF_PixelFloat& bottom, const PF_PixelFloat& top);
PF_PixelFloat hardlight(const PF_PixelFloat& bottom, const PF_PixelFloat& top);
PF_PixelFloat dodge(const PF_PixelFloat& bottom, const PF_PixelFloat& top);
PF_PixelFloat burn(const PF_PixelFloat& bottom, const PF_PixelFloat& top);
PF_PixelFloat darken(const PF_PixelFloat& bottom, const PF_PixelFloat& top);
PF_PixelFloat lighten(const PF_PixelFloat& bottom, const PF_PixelFloat& top);
PF_PixelFloat difference(const PF_PixelFloat& bottom, const PF_PixelFloat& top);
PF_PixelFloat exclusion(const PF_PixelFloat& bottom, const PF_PixelFloat& top);
PF_PixelFloat hue(const PF_PixelFloat& bottom, const PF_PixelFloat& top);
PF_PixelFloat saturation(const PF_PixelFloat& bottom, const PF_PixelFloat& top);
PF_PixelFloat luminosity(const PF_PixelFloat& bottom, const PF_PixelFloat& top);
PF_PixelFloat alpha_add(const PF_PixelFloat& bottom, const PF_PixelFloat& top);

}  // namespace Blend

// The pixel function of a mode; `normal` for any mode without one.
template <typename Pixel>
BlendFunc<Pixel> getBlendFunc(BlendingMode mode) {
    // Indexed by the mode's value.
    static constexpr BlendFunc<Pixel> table[] = {
        Blend::normal,
        Blend::normal,  // dissolve
        Blend::add,
        Blend::multiply,
        Blend::screen,
        Blend::overlay,
        Blend::softlight,
        Blend::hardlight,
        Blend::dodge,
        Blend::burn,
        Blend::darken,
        Blend::lighten,
        Blend::difference,
        Blend::exclusion,
        Blend::hue,
        Blend::saturation,
        Blend::luminosity,
        Blend::alpha_add,
    };
    static_assert(std::size(table) == static_cast<std::size_t>(BlendingMode::alpha_add) + 1);
    // Compared unsigned, so negative values miss the table as well.
    const auto index = static_cast<std::uint32_t>(mode);
    if (index < std::size(table)) return table[index];
    return Blend::normal;
}

extern template BlendFunc<PF_Pixel> getBlendFunc<PF_Pixel>(BlendingMode mode);
extern template BlendFunc<PF_Pixel16> getBlendFunc<PF_Pixel16>(BlendingMode mode);
extern template BlendFunc<PF_PixelFloat> getBlendFunc<PF_PixelFloat>(BlendingMode mode);

}  // namespace Nerevo
