#pragma once
// How the tool describes a registered parameter: its kind, default and
// ranges as the plug-in registered them with the host.

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "effect/effect.h"
#include "host/host.h"

namespace tiltshift {

// The kinds of parameter as the effect controls show them: a float slider
// shown in percent is set and printed as a percentage.
enum class ParamType { layer, slider, floatSlider, percent, angle, point, point3d, color, checkbox, popup, other };

// The name the help and the JSON listing give the kind: "float", "popup", ...
const char* typeName(ParamType type);

struct ParamInfo {
    int index = 0;
    std::string name;
    ParamType type = ParamType::other;
    nlohmann::ordered_json dflt;
    std::optional<double> validMin, validMax, sliderMin, sliderMax;
    std::vector<std::string> items;  // popups, separators included as "(-"
    bool greyed = false;             // greyed out in the effect controls by the plug-in
    std::optional<int> precision;    // float sliders: the decimals the effect controls show
    std::string displayUnit;         // what values are shown and given in: "percent", "degrees", "pixels" or ""
    // A point's default is a percentage of the layer, its value layer pixels.
    std::string defaultUnit;
    std::optional<std::vector<double>> defaultPixels;  // a point's default on a layer of known size
};

// `layer`: the size of the layer the effect sits on, when known.
ParamInfo describe(const host::ParamRecord& record, const std::optional<LayerSize>& layer = std::nullopt);

// The parameters of the effect (the input layer left out), greyed out or
// not as the plug-in last said for the effect commands go to.
std::vector<ParamInfo> describeAll(host::Host& host, const std::optional<LayerSize>& layer = std::nullopt);

// "1 (Radial)", "50%,50%" (a point, in percent of the layer), "#000000", "on", ...
std::string formatDefault(const ParamInfo& p);
// As many digits as the number needs: "0.0001", "1000000", "0.2".
std::string formatNumber(double v);
// "0..5000", or "" when the parameter has no range.
std::string formatRange(std::optional<double> lo, std::optional<double> hi);

nlohmann::ordered_json toJson(const ParamInfo& p);

}  // namespace tiltshift
