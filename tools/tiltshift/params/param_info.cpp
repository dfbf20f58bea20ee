#include "params/param_info.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "host/project.h"

namespace tiltshift {

namespace {

constexpr double kFixed = 1.0 / 65536.0;

// A bound registered as a float, as the decimal written in the registration
// (0.1, not 0.10000000149011612), so that scripts read what was meant.
double registeredDecimal(float v) {
    return std::strtod(formatNumber(v).c_str(), nullptr);
}

}  // namespace

// The fewest digits that read back as the same number, in float precision
// when the number is a float (slider bounds are), and never fewer than the
// integer part has, so that no large number turns into an exponent. 17
// digits always read back, so numbers with more integer digits than that
// get them in exponent form.
std::string formatNumber(double v) {
    if (!std::isfinite(v)) {
        return std::isnan(v) ? "nan" : v < 0 ? "-inf" : "inf";
    }
    constexpr int kRoundTripDigits = 17;
    const bool isFloat = static_cast<double>(static_cast<float>(v)) == v;
    const double magnitude = std::fabs(v);
    int precision = magnitude >= 1 ? static_cast<int>(std::floor(std::log10(magnitude))) + 1 : 1;
    precision = std::min(precision, kRoundTripDigits);
    char buf[64];
    for (;; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*g", precision, v);
        const double back = std::strtod(buf, nullptr);
        if (precision == kRoundTripDigits ||
            (isFloat ? static_cast<float>(back) == static_cast<float>(v) : back == v)) {
            return buf;
        }
    }
}

const char* typeName(ParamType type) {
    switch (type) {
        case ParamType::layer: return "layer";
        case ParamType::slider: return "slider";
        case ParamType::floatSlider: return "float";
        case ParamType::percent: return "percent";
        case ParamType::angle: return "angle";
        case ParamType::point: return "point";
        case ParamType::point3d: return "point3d";
        case ParamType::color: return "color";
        case ParamType::checkbox: return "checkbox";
        case ParamType::popup: return "popup";
        case ParamType::other: break;
    }
    return "other";
}

ParamInfo describe(const host::ParamRecord& record, const std::optional<LayerSize>& layer) {
    const PF_ParamDef& def = record.registered;
    ParamInfo p;
    p.index = record.index;
    p.name = record.name;
    switch (def.param_type) {
        case PF_Param_LAYER:
            p.type = ParamType::layer;
            break;
        case PF_Param_SLIDER:
            p.type = ParamType::slider;
            p.dflt = def.u.sd.dephault;
            p.validMin = def.u.sd.valid_min;
            p.validMax = def.u.sd.valid_max;
            p.sliderMin = def.u.sd.slider_min;
            p.sliderMax = def.u.sd.slider_max;
            break;
        case PF_Param_FLOAT_SLIDER: {
            const PF_FloatSliderDef& fs = def.u.fs_d;
            p.type = (fs.display_flags & PF_ValueDisplayFlag_PERCENT) ? ParamType::percent : ParamType::floatSlider;
            p.dflt = fs.value;
            p.validMin = registeredDecimal(fs.valid_min);
            p.validMax = registeredDecimal(fs.valid_max);
            p.sliderMin = registeredDecimal(fs.slider_min);
            p.sliderMax = registeredDecimal(fs.slider_max);
            p.precision = fs.precision;
            p.displayUnit = (fs.display_flags & PF_ValueDisplayFlag_PERCENT) ? "percent"
                            : (fs.display_flags & PF_ValueDisplayFlag_PIXEL) ? "pixels"
                                                                               : "";
            break;
        }
        case PF_Param_ANGLE:
            p.type = ParamType::angle;
            p.dflt = def.u.ad.dephault * kFixed;
            p.displayUnit = "degrees";
            break;
        case PF_Param_POINT: {
            const double x = def.u.td.x_dephault * kFixed;
            const double y = def.u.td.y_dephault * kFixed;
            p.type = ParamType::point;
            p.dflt = {x, y};
            p.displayUnit = "pixels";
            p.defaultUnit = "percent";
            if (layer) {
                p.defaultPixels = std::vector<double>{x / 100 * layer->width, y / 100 * layer->height};
            }
            break;
        }
        case PF_Param_POINT_3D:
            p.type = ParamType::point3d;
            p.dflt = {def.u.point3d_d.x_dephault, def.u.point3d_d.y_dephault, def.u.point3d_d.z_dephault};
            break;
        case PF_Param_COLOR: {
            const PF_Pixel& c = def.u.cd.dephault;
            p.type = ParamType::color;
            p.dflt = {c.red / 255.0, c.green / 255.0, c.blue / 255.0};
            break;
        }
        case PF_Param_CHECKBOX:
            p.type = ParamType::checkbox;
            p.dflt = def.u.bd.dephault != 0;
            break;
        case PF_Param_POPUP:
            p.type = ParamType::popup;
            p.dflt = def.u.pd.dephault;
            p.validMin = 1;
            p.validMax = def.u.pd.num_choices;
            p.items = record.popupItems;
            break;
        default:
            p.type = ParamType::other;
            break;
    }
    if (p.defaultUnit.empty()) {
        p.defaultUnit = p.displayUnit;
    }
    return p;
}

std::vector<ParamInfo> describeAll(host::Host& host, const std::optional<LayerSize>& layer) {
    std::vector<ParamInfo> all;
    for (const host::ParamRecord& r : host.params()) {
        if (r.index > 0) {
            all.push_back(describe(r, layer));
            all.back().greyed = (host.project().target().stream(r.index).uiFlags & PF_PUI_DISABLED) != 0;
        }
    }
    return all;
}

std::string formatDefault(const ParamInfo& p) {
    if (p.type == ParamType::popup) {
        int item = p.dflt.get<int>();
        bool known = item >= 1 && item <= static_cast<int>(p.items.size());
        return std::to_string(item) + (known ? " (" + p.items[item - 1] + ")" : "");
    }
    if (p.type == ParamType::checkbox) {
        return p.dflt.get<bool>() ? "on" : "off";
    }
    if (p.type == ParamType::color) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "#%02x%02x%02x", static_cast<int>(std::lround(p.dflt[0].get<double>() * 255)),
                      static_cast<int>(std::lround(p.dflt[1].get<double>() * 255)),
                      static_cast<int>(std::lround(p.dflt[2].get<double>() * 255)));
        return buf;
    }
    if (p.dflt.is_array()) {
        // A point's default is a percentage of the layer: (50, 50) is its centre.
        const char* unit = p.type == ParamType::point ? "%" : "";
        std::string s;
        for (const auto& v : p.dflt) {
            s += (s.empty() ? "" : ",") + formatNumber(v.get<double>()) + unit;
        }
        return s;
    }
    if (p.dflt.is_number()) {
        return formatNumber(p.dflt.get<double>()) + (p.type == ParamType::percent ? "%" : p.type == ParamType::angle ? "°" : "");
    }
    return "";
}

std::string formatRange(std::optional<double> lo, std::optional<double> hi) {
    if (!lo || !hi) {
        return "";
    }
    return formatNumber(*lo) + ".." + formatNumber(*hi);
}

nlohmann::ordered_json toJson(const ParamInfo& p) {
    auto optional = [](std::optional<double> v) { return v ? nlohmann::ordered_json(*v) : nullptr; };
    nlohmann::ordered_json j;
    j["index"] = p.index;
    j["name"] = p.name;
    j["type"] = typeName(p.type);
    j["default"] = p.dflt;
    j["valid_min"] = optional(p.validMin);
    j["valid_max"] = optional(p.validMax);
    j["slider_min"] = optional(p.sliderMin);
    j["slider_max"] = optional(p.sliderMax);
    const auto text = [](const std::string& v) { return v.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(v); };
    j["display_unit"] = text(p.displayUnit);
    j["default_unit"] = text(p.defaultUnit);
    if (p.defaultPixels) {
        j["default_pixels"] = *p.defaultPixels;
    }
    j["precision"] = p.precision ? nlohmann::ordered_json(*p.precision) : nullptr;
    if (p.type == ParamType::popup) {
        j["items"] = p.items;
    }
    j["greyed"] = p.greyed;
    return j;
}

}  // namespace tiltshift
