#include "params/param_values.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "cli/arguments.h"
#include "host/project.h"
#include "params/keyframes.h"
#include "params/param_info.h"

namespace tiltshift {

namespace {

constexpr const char* kSeparator = "(-";

std::string lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// The whole text as a finite number.
std::optional<double> parseNumber(const std::string& text) {
    const std::string t = trim(text);
    if (t.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(t.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// "1.5, 2" → {1.5, 2}: exactly `count` numbers separated by commas.
std::optional<std::vector<double>> parseNumbers(const std::string& text, std::size_t count) {
    std::vector<double> values;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::optional<double> value = parseNumber(text.substr(start, comma - start));
        if (!value) {
            return std::nullopt;
        }
        values.push_back(*value);
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return values.size() == count ? std::optional<std::vector<double>>(values) : std::nullopt;
}

class Setter {
public:
    // `where` tells errors which part of the setting the value is, if not all of it.
    Setter(const host::ParamRecord& record, PF_ParamDef& def, const std::string& value, std::string where = "")
        : info_(describe(record)), def_(def), value_(trim(value)), where_(std::move(where)) {}

    void apply() {
        switch (info_.type) {
            case ParamType::popup: def_.u.pd.value = popupItem(); return;
            case ParamType::floatSlider:
            case ParamType::percent: def_.u.fs_d.value = floatValue(); return;
            case ParamType::slider: def_.u.sd.value = sliderValue(); return;
            case ParamType::checkbox: def_.u.bd.value = checked() ? 1 : 0; return;
            case ParamType::angle: def_.u.ad.value = fixed(single("a number of degrees")); return;
            case ParamType::point: {
                const std::vector<double> xy = list(2, "x,y in layer pixels");
                def_.u.td.x_value = fixed(xy[0]);
                def_.u.td.y_value = fixed(xy[1]);
                return;
            }
            case ParamType::color: def_.u.cd.value = colour(); return;
            case ParamType::layer:
            case ParamType::point3d:
            case ParamType::other: break;
        }
        fail("cannot be set from the command line");
    }

private:
    [[noreturn]] void fail(const std::string& why) const {
        throw UsageError("\"" + info_.name + "\"" + where_ + ": " + why);
    }

    [[noreturn]] void expected(const std::string& what) const {
        fail("expected " + what + ", got \"" + value_ + "\"");
    }

    double single(const std::string& what) const {
        const std::optional<double> value = parseNumber(value_);
        if (!value) {
            expected(what);
        }
        return *value;
    }

    std::vector<double> list(std::size_t count, const std::string& what) const {
        const std::optional<std::vector<double>> values = parseNumbers(value_, count);
        if (!values) {
            expected(what);
        }
        return *values;
    }

    [[noreturn]] void outsideRange(double value) const {
        fail(formatNumber(value) + " is outside the valid range " + formatRange(info_.validMin, info_.validMax));
    }

    // By item text (any case) or number; separators are no choice.
    int popupItem() const {
        const std::vector<std::string>& items = info_.items;
        std::string choices;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i] == kSeparator) {
                continue;
            }
            if (lower(items[i]) == lower(value_) || value_ == std::to_string(i + 1)) {
                return static_cast<int>(i + 1);
            }
            choices += (choices.empty() ? "" : ", ") + std::to_string(i + 1) + " " + items[i];
        }
        fail("no item \"" + value_ + "\"; the items are " + choices);
    }

    // Bounds are the host's single-precision ones (described as the decimals
    // registered): a value reads as in range when it rounds to a float inside
    // them, so typing a bound is always accepted.
    double floatValue() const {
        const double value = single("a number");
        const float rounded = static_cast<float>(value);
        if (rounded < static_cast<float>(*info_.validMin) || rounded > static_cast<float>(*info_.validMax)) {
            outsideRange(value);
        }
        return value;
    }

    PF_ParamValue sliderValue() const {
        const double value = single("a whole number");
        if (value != std::floor(value)) {
            expected("a whole number");
        }
        if (value < *info_.validMin || value > *info_.validMax) {
            outsideRange(value);
        }
        return static_cast<PF_ParamValue>(value);
    }

    bool checked() const {
        const std::string v = lower(value_);
        if (v != "on" && v != "off") {
            expected("on or off");
        }
        return v == "on";
    }

    // 16.16 fixed point, halves rounded away from zero.
    PF_Fixed fixed(double value) const {
        const double scaled = std::round(value * 65536.0);
        if (scaled < INT32_MIN || scaled > INT32_MAX) {
            fail(formatNumber(value) + " does not fit the host's fixed-point range (about -32768..32767)");
        }
        return static_cast<PF_Fixed>(scaled);
    }

    PF_Pixel colour() const {
        const char* what = "r,g,b from 0 to 1 or #rrggbb";
        double rgb[3] = {0, 0, 0};
        if (!value_.empty() && value_[0] == '#') {
            const bool hexDigits = std::all_of(value_.begin() + 1, value_.end(),
                                               [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
            if (value_.size() != 7 || !hexDigits) {
                expected(what);
            }
            const unsigned long hex = std::strtoul(value_.c_str() + 1, nullptr, 16);
            for (int k = 0; k < 3; ++k) {
                rgb[k] = ((hex >> (16 - 8 * k)) & 0xFF) / 255.0;
            }
        } else {
            const std::vector<double> values = list(3, what);
            for (int k = 0; k < 3; ++k) {
                if (values[static_cast<std::size_t>(k)] < 0 || values[static_cast<std::size_t>(k)] > 1) {
                    expected(what);
                }
                rgb[k] = values[static_cast<std::size_t>(k)];
            }
        }
        const auto byte = [](double c) { return static_cast<A_u_char>(std::lround(c * 255.0)); };
        return PF_Pixel{255, byte(rgb[0]), byte(rgb[1]), byte(rgb[2])};
    }

    const ParamInfo info_;
    PF_ParamDef& def_;
    const std::string value_;
    const std::string where_;
};

// Keyframes at the host's frame times; each value checked as a single one is.
std::vector<host::Keyframe> keyframesOf(host::Host& host, const host::ParamRecord& record, const std::string& text) {
    const ParamType type = describe(record).type;
    const bool valuesHoldCommas = type == ParamType::point || type == ParamType::color;
    const host::Host::Frame& frame = host.frame();
    std::vector<host::Keyframe> keyframes;
    for (const KeyframeText& keyframe : splitKeyframes(record.name, text, !valuesHoldCommas)) {
        PF_ParamDef def = record.current;
        Setter(record, def, keyframe.value, " keyframe \"" + keyframe.piece + "\"").apply();
        keyframes.push_back({A_Time{keyframe.frame * frame.timeStep, frame.timeScale}, host::paramValue(def)});
    }
    return keyframes;
}

}  // namespace

ParamSetting parseSetting(const std::string& text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || trim(text.substr(0, equals)).empty()) {
        throw UsageError("expected NAME=VALUE, got \"" + text + "\"");
    }
    return ParamSetting{trim(text.substr(0, equals)), text.substr(equals + 1)};
}

void applySetting(host::Host& host, const ParamSetting& setting) {
    std::string names;
    for (const host::ParamRecord& record : host.params()) {
        if (record.index == 0) {
            continue;  // the input layer is the footage, not a value
        }
        if (record.name != setting.name) {
            names += (names.empty() ? "" : ", ") + record.name;
            continue;
        }
        // A value given later replaces keyframes given earlier, and the other way round.
        host::StreamState& stream = host.project().target().stream(record.index);
        if (isAnimated(setting.value)) {
            stream.setKeyframes(keyframesOf(host, record, setting.value));
        } else {
            Setter(record, host.param(record.index).current, setting.value).apply();
            stream.setKeyframes({});
        }
        return;
    }
    throw UsageError("no parameter named \"" + setting.name + "\"; the parameters are " + names);
}

std::string formatValue(const host::ParamRecord& record, const PF_ParamDef& def) {
    const PF_ParamDefUnion& u = def.u;
    switch (def.param_type) {
        case PF_Param_POPUP: {
            const std::size_t item = static_cast<std::size_t>(u.pd.value);
            const std::vector<std::string>& items = record.popupItems;
            return item >= 1 && item <= items.size() ? items[item - 1] : std::to_string(u.pd.value);
        }
        case PF_Param_FLOAT_SLIDER: return formatNumber(u.fs_d.value);
        case PF_Param_SLIDER: return std::to_string(u.sd.value);
        case PF_Param_CHECKBOX: return u.bd.value ? "on" : "off";
        case PF_Param_ANGLE: return formatNumber(u.ad.value / 65536.0);
        case PF_Param_POINT: return formatNumber(u.td.x_value / 65536.0) + "," + formatNumber(u.td.y_value / 65536.0);
        case PF_Param_COLOR: {
            char hex[8];
            std::snprintf(hex, sizeof hex, "#%02x%02x%02x", u.cd.value.red, u.cd.value.green, u.cd.value.blue);
            return hex;
        }
        default: return "";
    }
}

}  // namespace tiltshift
