#pragma once
// Presets: JSON files holding one object of parameter name → value, the
// values in the forms --param takes ("Blending Mode": "Screen" or 15,
// "Center": [640, 360], "Vignetting Color": "#203040" or [0.1, 0.2, 0.3],
// "Grow Bounds": false or "off"). Animated values are keyframes, either as
// --param takes them ("Blur Amount": "0@1,80@48") or as a list of [frame,
// value] pairs ("Blur Amount": [[1, 0], [48, 80]], "Center": [[0, [100, 100]],
// [48, [300, 200]]]).

#include <istream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "params/param_values.h"

namespace tiltshift {

// The settings of the file, in its order. Throws UsageError naming the file
// (and the entry) when it cannot be read, is not such an object, or holds a
// value of no such form.
std::vector<ParamSetting> readPreset(const std::string& path);

// The same for a preset's text; `source` names it in errors.
std::vector<ParamSetting> parsePreset(std::istream& text, const std::string& source);

// The same for a parsed preset.
std::vector<ParamSetting> presetSettings(const nlohmann::ordered_json& preset, const std::string& source);

}  // namespace tiltshift
