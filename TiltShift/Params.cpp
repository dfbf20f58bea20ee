#include "Params.h"

#include <cstring>

using namespace Nerevo::Plugin;

namespace {

ParameterUnionValue integer(int32_t v) {
    ParameterUnionValue u{};
    u.i = v;
    return u;
}

ParameterUnionValue real(double v) {
    ParameterUnionValue u{};
    u.d = v;
    return u;
}

ParameterUnionValue flag(bool v) {
    ParameterUnionValue u{};
    u.b = v;
    return u;
}

ParameterUnionValue point(double x, double y) {
    ParameterUnionValue u{};
    u.point[0] = x;
    u.point[1] = y;
    return u;
}

ParameterUnionValue rgb(float r, float g, float b) {
    ParameterUnionValue u{};
    u.color[0] = r;
    u.color[1] = g;
    u.color[2] = b;
    return u;
}

ParameterDef row(const char* name, ParameterType type, int index, ParameterUnionValue dflt,
                 ParameterUnionValue validMin = {}, ParameterUnionValue validMax = {},
                 ParameterUnionValue sliderMin = {}, ParameterUnionValue sliderMax = {}) {
    ParameterDef def{};
    std::strncpy(def.name, name, sizeof def.name - 1);
    def.type = type;
    def.index = index;
    def.dflt = dflt;
    def.validMin = validMin;
    def.validMax = validMax;
    def.sliderMin = sliderMin;
    def.sliderMax = sliderMax;
    return def;
}

ParameterDef popup(const char* name, int index, int dflt, int items) {
    return row(name, paramPopup, index, integer(dflt), integer(1), integer(items));
}

ParameterDef slider(const char* name, int index, double dflt, double validMin, double validMax, double sliderMin,
                    double sliderMax) {
    return row(name, paramFloat, index, real(dflt), real(validMin), real(validMax), real(sliderMin),
               real(sliderMax));
}

const char* const TYPE_ITEMS = "Radial|Linear";
const char* const LINEAR_MODE_ITEMS = "Power|Focus Distance";
const char* const BLENDING_MODE_ITEMS =
    "Normal|(-|Add|Multiply|Screen|Overlay|Soft Light|Hard Light|(-|Color Dodge|Color Burn|(-|"
    "Darken|Lighten|Difference|Exclusion|(-|Hue|Saturation|Luminosity";

}  // namespace

const ParameterDef PARAM_DEFS[PARAM_COUNT] = {
    popup("Type", Param::Type, typeRadial, 2),
    slider("Blur Amount", Param::BlurAmount, 50, 0, 5000, 0, 100),
    slider("Blur Offset", Param::BlurOffset, 0, 0, 5000, 0, 100),
    slider("Weight", Param::Weight, 3, 0, 5, 0, 5),
    row("Center", paramPoint, Param::Center, point(50, 50)),
    row("Direction", paramAngle, Param::Direction, real(0)),
    slider("Ratio", Param::Ratio, 1, 0.0001, 100, 0.2, 5),
    slider("Inner Width", Param::InnerWidth, 100, 0, 100000, 0, 200),
    popup("Linear Mode", Param::LinearMode, linearPower, 2),
    slider("Power", Param::Power, 2, 0.1, 5, 0.1, 3),
    slider("Focus Distance", Param::FocusDistance, 1000, 1, 1000000, 500, 2000),
    slider("Chromatic Aberration", Param::ChromaticAberration, 0, 0, 100, 0, 10),
    slider("Vignetting", Param::Vignetting, 0, 0, 10000, 0, 100),
    row("Vignetting Color", paramColor, Param::VignettingColor, rgb(0, 0, 0)),
    popup("Blending Mode", Param::BlendingMode, 4, 20),
    row("Repeat Edge Pixels", paramCheckbox, Param::RepeatEdgePixels, flag(true)),
    row("Grow Bounds", paramCheckbox, Param::GrowBounds, flag(true)),
};

PF_Err registerParam(PF_InData* in, PF_ParamDef& def, int k) {
    const ParameterDef& r = PARAM_DEFS[k];
    switch (r.index) {
        case Param::Type: return addPopup(in, def, r, TYPE_ITEMS);
        case Param::LinearMode: return addPopup(in, def, r, LINEAR_MODE_ITEMS);
        case Param::BlendingMode: return addPopup(in, def, r, BLENDING_MODE_ITEMS);
        case Param::Center: return addPoint(in, def, r, false);
        case Param::Direction: return addAngle(in, def, r);
        case Param::VignettingColor: return addColor(in, def, r);
        case Param::Vignetting: return addPercent(in, def, r, 1);
        case Param::RepeatEdgePixels:
        case Param::GrowBounds: return addCheckbox(in, def, r, "");
        case Param::Weight:
        case Param::Ratio:
        case Param::Power: return addFloat(in, def, r, 2);
        default: return addFloat(in, def, r, 1);
    }
}

Nerevo::BlendingMode convertBlendingMode(int item) {
    // Mode value per popup item; separators repeat the item before them.
    static const int MODES[20] = {0, 0, 2, 3, 4, 5, 6, 7, 7, 8, 9, 9, 10, 11, 12, 13, 13, 14, 15, 16};
    if (item < 1 || item > 20) {
        return static_cast<Nerevo::BlendingMode>(0);
    }
    return static_cast<Nerevo::BlendingMode>(MODES[item - 1]);
}
