#pragma once
// The effect's parameters as video hosts see them through frei0r, derived
// from what the plug-in registers: every number is a double from 0 to 1
// (GStreamer refuses anything else), a point is two such doubles (MLT never
// sets positions), checkboxes are bools and colours are colours.

#include <string>
#include <vector>

#include "AE_Effect.h"
#include "frei0r_api.h"
#include "host/host.h"

namespace video {

// How a frei0r value reaches the effect's parameter.
enum class Mapping {
    slider,    // 0..1 linearly over the slider range
    angle,     // 0..1 over one turn
    popup,     // 0..1 in equal steps over the selectable items
    checkbox,  // frei0r bool
    color,     // frei0r colour
    centerX,   // fraction of the frame's width
    centerY,   // fraction of the frame's height
};

struct VideoParam {
    std::string name;
    std::string explanation;
    int type = F0R_PARAM_DOUBLE;
    Mapping mapping = Mapping::slider;
    int hostIndex = 0;
    // Slider and angle: the values 0 and 1 stand for, in the effect's units;
    // a slider's value is held to its valid range.
    double low = 0;
    double high = 1;
    double validMin = 0;
    double validMax = 0;
    bool percent = false;
    // Popup: the selectable item numbers (from 1) in order, and their names.
    std::vector<int> items;
    std::vector<std::string> itemNames;
    // The frei0r value standing for the plug-in's default (doubles and bools).
    double defaultValue = 0;
    f0r_param_color defaultColor{0, 0, 0};
};

// The frei0r parameters of the registered ones (Host::params(), input layer
// first), in registration order. Throws std::runtime_error naming a
// parameter of a type frei0r cannot carry.
std::vector<VideoParam> videoParams(const std::vector<host::ParamRecord>& registered);

// One frei0r value, as hosts hand them over.
union VideoValue {
    double number;  // doubles and bools
    f0r_param_color color;
};

// Writes `value` into `def`, the current value of the parameter; a value
// equal to the default writes `initial`, the value the host set up for the
// parameter, so that defaults arrive exactly where the division does not.
// Values that are not numbers count as the default.
void applyValue(const VideoParam& param, VideoValue value, const PF_ParamDef& initial, int width, int height,
                PF_ParamDef& def);

VideoValue defaultValueOf(const VideoParam& param);

}  // namespace video
