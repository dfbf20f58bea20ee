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

// A row of the table: the exported record and what registering it takes.
struct Row {
    ParameterDef def;
    ParameterUI ui;
};

Row row(const char* name, ParameterType type, int index, ParameterUnionValue dflt,
        ParameterUnionValue validMin = {}, ParameterUnionValue validMax = {}, ParameterUnionValue sliderMin = {},
        ParameterUnionValue sliderMax = {}) {
    Row r{};
    std::strncpy(r.def.name, name, sizeof r.def.name - 1);
    r.def.type = type;
    r.def.index = index;
    r.def.dflt = dflt;
    r.def.validMin = validMin;
    r.def.validMax = validMax;
    r.def.sliderMin = sliderMin;
    r.def.sliderMax = sliderMax;
    return r;
}

Row popup(const char* name, int index, int dflt, const char* items) {
    Row r = row(name, paramPopup, index, integer(dflt), integer(1), integer(popupItemCount(items)));
    r.ui.items = items;
    return r;
}

Row slider(const char* name, int index, double dflt, double validMin, double validMax, double sliderMin,
           double sliderMax, int precision) {
    Row r = row(name, paramFloat, index, real(dflt), real(validMin), real(validMax), real(sliderMin),
                real(sliderMax));
    r.ui.precision = precision;
    return r;
}

Row percent(const char* name, int index, double dflt, double validMin, double validMax, double sliderMin,
            double sliderMax, int precision) {
    Row r = slider(name, index, dflt, validMin, validMax, sliderMin, sliderMax, precision);
    r.ui.displayFlags = PF_ValueDisplayFlag_PERCENT;
    return r;
}

// Percent of the layer, as the host reads a point's default.
Row point(const char* name, int index, double x, double y) {
    ParameterUnionValue u{};
    u.point[0] = x;
    u.point[1] = y;
    return row(name, paramPoint, index, u);
}

Row angle(const char* name, int index, double degrees) {
    return row(name, paramAngle, index, real(degrees));
}

Row color(const char* name, int index, float r, float g, float b) {
    ParameterUnionValue u{};
    u.color[0] = r;
    u.color[1] = g;
    u.color[2] = b;
    return row(name, paramColor, index, u);
}

Row checkbox(const char* name, int index, bool on) {
    ParameterUnionValue u{};
    u.b = on;
    return row(name, paramCheckbox, index, u);
}

const char* const TYPE_ITEMS = "Radial|Linear";
const char* const LINEAR_MODE_ITEMS = "Power|Focus Distance";
const char* const BLENDING_MODE_ITEMS =
    "Normal|(-|Add|Multiply|Screen|Overlay|Soft Light|Hard Light|(-|Color Dodge|Color Burn|(-|"
    "Darken|Lighten|Difference|Exclusion|(-|Hue|Saturation|Luminosity";

// In the order of the host indices.
const Row ROWS[] = {
    popup("Type", Param::Type, typeRadial, TYPE_ITEMS),
    slider("Blur Amount", Param::BlurAmount, 50, 0, 5000, 0, 100, 1),
    slider("Blur Offset", Param::BlurOffset, 0, 0, 5000, 0, 100, 1),
    slider("Weight", Param::Weight, 3, 0, 5, 0, 5, 2),
    point("Center", Param::Center, 50, 50),
    angle("Direction", Param::Direction, 0),
    slider("Ratio", Param::Ratio, 1, 0.0001, 100, 0.2, 5, 2),
    slider("Inner Width", Param::InnerWidth, 100, 0, 100000, 0, 200, 1),
    popup("Linear Mode", Param::LinearMode, linearPower, LINEAR_MODE_ITEMS),
    slider("Power", Param::Power, 2, 0.1, 5, 0.1, 3, 2),
    slider("Focus Distance", Param::FocusDistance, 1000, 1, 1000000, 500, 2000, 1),
    slider("Chromatic Aberration", Param::ChromaticAberration, 0, 0, 100, 0, 10, 1),
    percent("Vignetting", Param::Vignetting, 0, 0, 10000, 0, 100, 1),
    color("Vignetting Color", Param::VignettingColor, 0, 0, 0),
    popup("Blending Mode", Param::BlendingMode, 4, BLENDING_MODE_ITEMS),
    checkbox("Repeat Edge Pixels", Param::RepeatEdgePixels, true),
    checkbox("Grow Bounds", Param::GrowBounds, true),
};
static_assert(sizeof ROWS / sizeof ROWS[0] == PARAM_COUNT, "one row for every host index");

// The exported records side by side, as PluginInfo hands them out, and the
// registration facts beside them.
struct Table {
    ParameterDef defs[PARAM_COUNT];
    ParameterUI ui[PARAM_COUNT];
};

Table tableOf(const Row (&rows)[PARAM_COUNT]) {
    Table t{};
    for (int k = 0; k < PARAM_COUNT; ++k) {
        t.defs[k] = rows[k].def;
        t.ui[k] = rows[k].ui;
    }
    return t;
}

const Table TABLE = tableOf(ROWS);

}  // namespace

const ParameterDef (&PARAM_DEFS)[PARAM_COUNT] = TABLE.defs;
const ParameterUI (&PARAM_UI)[PARAM_COUNT] = TABLE.ui;

Nerevo::BlendingMode convertBlendingMode(int item) {
    // Mode value per popup item; separators repeat the item before them.
    static const int MODES[] = {0, 0, 2, 3, 4, 5, 6, 7, 7, 8, 9, 9, 10, 11, 12, 13, 13, 14, 15, 16};
    if (item < 1 || item > static_cast<int>(sizeof MODES / sizeof MODES[0])) {
        return static_cast<Nerevo::BlendingMode>(0);
    }
    return static_cast<Nerevo::BlendingMode>(MODES[item - 1]);
}
