#include "params/presets.h"

#include <filesystem>
#include <fstream>

#include "cli/arguments.h"
#include "params/param_info.h"

namespace tiltshift {

namespace {

// One value as it would be typed after NAME=, or nothing for a form no
// parameter takes.
std::optional<std::string> singleValueText(const nlohmann::ordered_json& value) {
    if (value.is_boolean()) {
        return value.get<bool>() ? "on" : "off";
    }
    if (value.is_number_integer()) {
        return value.dump();
    }
    if (value.is_number()) {
        return formatNumber(value.get<double>());
    }
    if (value.is_string()) {
        return value.get<std::string>();
    }
    if (value.is_array() && !value.empty()) {
        std::string list;
        for (const auto& item : value) {
            if (!item.is_number()) {
                return std::nullopt;
            }
            list += (list.empty() ? "" : ",") + *singleValueText(item);
        }
        return list;
    }
    return std::nullopt;
}

// [[1, 0], [48, 80]] → "0@1;80@48", or nothing when it is not a list of
// [frame, value] pairs.
std::optional<std::string> keyframesText(const nlohmann::ordered_json& value) {
    if (!value.is_array() || value.empty()) {
        return std::nullopt;
    }
    std::string keyframes;
    for (const auto& pair : value) {
        if (!pair.is_array() || pair.size() != 2 || !pair[0].is_number_unsigned()) {
            return std::nullopt;
        }
        const std::optional<std::string> text = singleValueText(pair[1]);
        if (!text) {
            return std::nullopt;
        }
        keyframes += (keyframes.empty() ? "" : ";") + *text + "@" + pair[0].dump();
    }
    return keyframes;
}

}  // namespace

std::vector<ParamSetting> presetSettings(const nlohmann::ordered_json& preset, const std::string& source) {
    if (!preset.is_object()) {
        throw UsageError(source + ": expected an object of parameter names and values");
    }
    std::vector<ParamSetting> settings;
    for (const auto& [name, value] : preset.items()) {
        std::optional<std::string> text = singleValueText(value);
        if (!text) {
            text = keyframesText(value);
        }
        if (!text) {
            throw UsageError(source + ": \"" + name +
                             "\": expected a number, text, true or false, a list of numbers, or keyframes as "
                             "[[FRAME, VALUE], ...], got " + value.dump());
        }
        settings.push_back(ParamSetting{name, *text});
    }
    return settings;
}

std::vector<ParamSetting> readPreset(const std::string& path) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        throw UsageError("the preset " + path + " is a folder, not a file");
    }
    std::ifstream file(path);
    if (!file) {
        throw UsageError("cannot read the preset " + path);
    }
    return parsePreset(file, path);
}

std::vector<ParamSetting> parsePreset(std::istream& text, const std::string& source) {
    // A preset is an object of values, lists and keyframe pairs: nothing
    // deeper than a point's keyframes, nor with more entries than an effect
    // has parameters many times over. Refusing more while parsing keeps
    // hostile files from exhausting the stack (the library recurses over
    // nesting when it prints or frees a value) or costing quadratic time (an
    // ordered object looks up each new key among all before it).
    constexpr int kDeepest = 8;
    constexpr std::size_t kMostEntries = 1000;
    std::size_t entries = 0;
    const auto bounded = [&](int depth, nlohmann::json::parse_event_t event, nlohmann::ordered_json&) {
        using Event = nlohmann::json::parse_event_t;
        if ((event == Event::object_start || event == Event::array_start) && depth >= kDeepest) {
            throw UsageError(source + ": values nest more than " + std::to_string(kDeepest) + " deep");
        }
        if (event == Event::key && depth == 1 && ++entries > kMostEntries) {
            throw UsageError(source + ": more than " + std::to_string(kMostEntries) + " entries");
        }
        return true;
    };
    nlohmann::ordered_json preset;
    try {
        preset = nlohmann::ordered_json::parse(text, bounded);
    } catch (const nlohmann::json::exception& e) {
        // "[json.exception.parse_error.101] parse error at line 2, column 5: ..." without the library's tag;
        // a number beyond a double's range is such an error too.
        const std::string what = e.what();
        const std::size_t tag = what.find("] ");
        throw UsageError(source + ": " + (tag == std::string::npos ? what : what.substr(tag + 2)));
    }
    return presetSettings(preset, source);
}

}  // namespace tiltshift
