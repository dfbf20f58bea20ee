#include "video_params.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace video {
namespace {

// A popup item that only separates the others.
constexpr const char* kSeparator = "(-";

// Within this of the default's frei0r value a double counts as the default:
// hosts that print values with ten or more digits still reach it exactly.
constexpr double kDefaultTolerance = 1e-9;

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

PF_Fixed fixedOf(double value) {
    // The host's 16.16 range, halves rounded away from zero.
    const double limit = 32767.0;
    return static_cast<PF_Fixed>(std::round(std::clamp(value, -limit, limit) * 65536.0));
}

// A bound the plug-in registered in single precision, as the decimal it was
// written as (0.2f stands for 0.2, not 0.20000000298...).
double decimalOf(float bound) {
    char text[32];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text - 1, bound);
    *end.ptr = '\0';
    return std::strtod(text, nullptr);
}

double fraction(double value, double low, double high) {
    return high > low ? (value - low) / (high - low) : 0.0;
}

bool isDefault(const VideoParam& param, double value) {
    return std::isnan(value) || std::fabs(value - param.defaultValue) <= kDefaultTolerance;
}

// A parameter of `record` taken through `mapping`; a double unless said otherwise.
VideoParam start(const host::ParamRecord& record, Mapping mapping, int type = F0R_PARAM_DOUBLE) {
    VideoParam param;
    param.name = record.name;
    param.type = type;
    param.mapping = mapping;
    param.hostIndex = record.index;
    return param;
}

VideoParam slider(const host::ParamRecord& record) {
    const PF_FloatSliderDef& fs = record.registered.u.fs_d;
    VideoParam param = start(record, Mapping::slider);
    param.low = decimalOf(fs.slider_min);
    param.high = decimalOf(fs.slider_max);
    param.validMin = decimalOf(fs.valid_min);
    param.validMax = decimalOf(fs.valid_max);
    param.percent = (fs.display_flags & PF_ValueDisplayFlag_PERCENT) != 0;
    param.defaultValue = fraction(fs.value, param.low, param.high);
    const char* unit = param.percent ? " %" : "";
    param.explanation = "0..1 over " + number(param.low) + ".." + number(param.high) + unit;
    if (param.validMax > param.high) {
        param.explanation += " (beyond 1, up to " + number(param.validMax) + unit + ")";
    }
    param.explanation += "; default " + number(param.defaultValue) + " = " + number(fs.value) + unit;
    return param;
}

VideoParam angle(const host::ParamRecord& record) {
    VideoParam param = start(record, Mapping::angle);
    param.low = 0;
    param.high = 360;
    param.defaultValue = fraction(record.registered.u.ad.value / 65536.0, param.low, param.high);
    param.explanation = "0..1 over 0..360 degrees; default " + number(param.defaultValue);
    return param;
}

VideoParam popup(const host::ParamRecord& record) {
    VideoParam param = start(record, Mapping::popup);
    for (std::size_t i = 0; i < record.popupItems.size(); ++i) {
        if (record.popupItems[i] != kSeparator) {
            param.items.push_back(static_cast<int>(i + 1));
            param.itemNames.push_back(record.popupItems[i]);
        }
    }
    if (param.items.empty()) {
        throw std::runtime_error("the popup \"" + record.name + "\" has no items to choose");
    }
    const auto chosen = std::find(param.items.begin(), param.items.end(), record.registered.u.pd.value);
    const std::size_t steps = param.items.size() - 1;
    const std::size_t defaultStep = chosen == param.items.end() ? 0 : static_cast<std::size_t>(chosen - param.items.begin());
    param.defaultValue = steps ? static_cast<double>(defaultStep) / static_cast<double>(steps) : 0.0;
    param.explanation = "0..1 in equal steps:";
    for (std::size_t i = 0; i < param.items.size(); ++i) {
        param.explanation += (i ? ", " : " ") + param.itemNames[i] + " " +
                             number(steps ? static_cast<double>(i) / static_cast<double>(steps) : 0.0);
    }
    return param;
}

VideoParam checkbox(const host::ParamRecord& record) {
    VideoParam param = start(record, Mapping::checkbox, F0R_PARAM_BOOL);
    param.defaultValue = record.registered.u.bd.value ? 1.0 : 0.0;
    param.explanation = std::string("on or off; default ") + (param.defaultValue != 0 ? "on" : "off");
    return param;
}

VideoParam color(const host::ParamRecord& record) {
    const PF_Pixel& c = record.registered.u.cd.value;
    VideoParam param = start(record, Mapping::color, F0R_PARAM_COLOR);
    param.defaultColor = {c.red / 255.0f, c.green / 255.0f, c.blue / 255.0f};
    param.explanation = "red, green, blue from 0 to 1";
    return param;
}

// A point is percent of the layer by default, as the application reads it.
void point(const host::ParamRecord& record, std::vector<VideoParam>& params) {
    const PF_Fixed defaults[2] = {record.registered.u.td.x_dephault, record.registered.u.td.y_dephault};
    const char* axes[2] = {" X", " Y"};
    const char* sides[2] = {"width, from the left", "height, from the top"};
    for (int axis = 0; axis < 2; ++axis) {
        VideoParam param;
        param.name = record.name + axes[axis];
        param.mapping = axis == 0 ? Mapping::centerX : Mapping::centerY;
        param.hostIndex = record.index;
        param.defaultValue = defaults[axis] / 65536.0 / 100.0;
        param.explanation = std::string("fraction of the frame's ") + sides[axis] + "; default " +
                            number(param.defaultValue);
        params.push_back(std::move(param));
    }
}

}  // namespace

std::vector<VideoParam> videoParams(const std::vector<host::ParamRecord>& registered) {
    std::vector<VideoParam> params;
    for (const host::ParamRecord& record : registered) {
        switch (record.registered.param_type) {
            case PF_Param_LAYER: break;  // the frame itself
            case PF_Param_FLOAT_SLIDER: params.push_back(slider(record)); break;
            case PF_Param_ANGLE: params.push_back(angle(record)); break;
            case PF_Param_POPUP: params.push_back(popup(record)); break;
            case PF_Param_CHECKBOX: params.push_back(checkbox(record)); break;
            case PF_Param_COLOR: params.push_back(color(record)); break;
            case PF_Param_POINT: point(record, params); break;
            default:
                throw std::runtime_error("the parameter \"" + record.name + "\" is of a type (" +
                                         std::to_string(record.registered.param_type) +
                                         ") that video hosts cannot set");
        }
    }
    return params;
}

VideoValue defaultValueOf(const VideoParam& param) {
    VideoValue value{};
    if (param.type == F0R_PARAM_COLOR) {
        value.color = param.defaultColor;
    } else {
        value.number = param.defaultValue;
    }
    return value;
}

void applyValue(const VideoParam& param, VideoValue value, const PF_ParamDef& initial, int width, int height,
                PF_ParamDef& def) {
    const double v = param.type == F0R_PARAM_COLOR ? 0.0 : value.number;
    switch (param.mapping) {
        case Mapping::slider:
            def.u.fs_d.value = isDefault(param, v)
                                   ? initial.u.fs_d.value
                                   : std::clamp(param.low + v * (param.high - param.low), param.validMin, param.validMax);
            break;
        case Mapping::angle:
            def.u.ad.value = isDefault(param, v) ? initial.u.ad.value : fixedOf(param.low + v * (param.high - param.low));
            break;
        case Mapping::popup: {
            const double steps = static_cast<double>(param.items.size() - 1);
            const double step = std::isnan(v) ? param.defaultValue * steps : std::clamp(v, 0.0, 1.0) * steps;
            def.u.pd.value = param.items[static_cast<std::size_t>(std::lround(step))];
            break;
        }
        case Mapping::checkbox: def.u.bd.value = (std::isnan(v) ? param.defaultValue : v) >= 0.5 ? 1 : 0; break;
        case Mapping::color: {
            // As the plug-in stores a colour: 0..1 times 255, rounded.
            const auto byte = [](float c) {
                return static_cast<A_u_char>(std::isnan(c) ? 0.0f : std::clamp(c, 0.0f, 1.0f) * 255.0f + 0.5f);
            };
            def.u.cd.value.alpha = 255;
            def.u.cd.value.red = byte(value.color.r);
            def.u.cd.value.green = byte(value.color.g);
            def.u.cd.value.blue = byte(value.color.b);
            break;
        }
        case Mapping::centerX:
            def.u.td.x_value = isDefault(param, v) ? initial.u.td.x_value : fixedOf(v * width);
            break;
        case Mapping::centerY:
            def.u.td.y_value = isDefault(param, v) ? initial.u.td.y_value : fixedOf(v * height);
            break;
    }
}

}  // namespace video
