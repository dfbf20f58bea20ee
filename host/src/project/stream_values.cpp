#include "project/stream_values.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace host {
namespace {

// Whole numbers beyond the host's 32-bit fields stop at their ends.
A_long saturate(double value) {
    constexpr double low = std::numeric_limits<A_long>::min();
    constexpr double high = std::numeric_limits<A_long>::max();
    return static_cast<A_long>(std::clamp(value, low, high));
}

A_long nearestWhole(double value) {
    return saturate(std::round(value));
}

// 16.16 fixed point, halves away from zero.
PF_Fixed toFixed(double value) {
    return saturate(std::round(value * 65536.0));
}

double fromFixed(PF_Fixed value) {
    return value / 65536.0;
}

A_u_char toByte(double channel) {
    return static_cast<A_u_char>(std::lround(std::clamp(channel, 0.0, 1.0) * 255.0));
}

ValueKind kindOf(PF_ParamType type) {
    switch (type) {
    case PF_Param_SLIDER:
    case PF_Param_FIX_SLIDER:
    case PF_Param_ANGLE:
    case PF_Param_CHECKBOX:
    case PF_Param_POPUP:
    case PF_Param_FLOAT_SLIDER: return ValueKind::OneD;
    case PF_Param_POINT: return ValueKind::TwoD;
    case PF_Param_POINT_3D: return ValueKind::ThreeD;
    case PF_Param_COLOR: return ValueKind::Color;
    default: return ValueKind::None;
    }
}

}  // namespace

StreamValue paramValue(const PF_ParamDef& def) {
    const PF_ParamDefUnion& u = def.u;
    switch (def.param_type) {
    case PF_Param_SLIDER: return {static_cast<double>(u.sd.value)};
    case PF_Param_FIX_SLIDER: return {fromFixed(u.fd.value)};
    case PF_Param_ANGLE: return {fromFixed(u.ad.value)};
    case PF_Param_CHECKBOX: return {static_cast<double>(u.bd.value)};
    case PF_Param_POPUP: return {static_cast<double>(u.pd.value)};
    case PF_Param_FLOAT_SLIDER: return {u.fs_d.value};
    case PF_Param_POINT: return {fromFixed(u.td.x_value), fromFixed(u.td.y_value)};
    case PF_Param_POINT_3D: return {u.point3d_d.x_value, u.point3d_d.y_value, u.point3d_d.z_value};
    case PF_Param_COLOR:
        return {u.cd.value.alpha / 255.0, u.cd.value.red / 255.0, u.cd.value.green / 255.0, u.cd.value.blue / 255.0};
    default: return {};
    }
}

void setParamValue(PF_ParamDef& def, const StreamValue& value) {
    PF_ParamDefUnion& u = def.u;
    switch (def.param_type) {
    case PF_Param_SLIDER: u.sd.value = nearestWhole(value[0]); break;
    case PF_Param_FIX_SLIDER: u.fd.value = toFixed(value[0]); break;
    case PF_Param_ANGLE: u.ad.value = toFixed(value[0]); break;
    case PF_Param_CHECKBOX: u.bd.value = nearestWhole(value[0]) != 0 ? 1 : 0; break;
    case PF_Param_POPUP: u.pd.value = nearestWhole(value[0]); break;
    case PF_Param_FLOAT_SLIDER: u.fs_d.value = value[0]; break;
    case PF_Param_POINT:
        u.td.x_value = toFixed(value[0]);
        u.td.y_value = toFixed(value[1]);
        break;
    case PF_Param_POINT_3D:
        u.point3d_d.x_value = value[0];
        u.point3d_d.y_value = value[1];
        u.point3d_d.z_value = value[2];
        break;
    case PF_Param_COLOR:
        u.cd.value = PF_Pixel{toByte(value[0]), toByte(value[1]), toByte(value[2]), toByte(value[3])};
        break;
    default: break;
    }
}

namespace {

// How far `time` lies from `from` towards `to`, as a fraction of the way.
double fraction(A_Time from, A_Time to, A_Time time) {
    using Wide = long double;
    const auto seconds = [](A_Time t) { return static_cast<Wide>(t.value) / t.scale; };
    return static_cast<double>((seconds(time) - seconds(from)) / (seconds(to) - seconds(from)));
}

StreamValue interpolate(const std::vector<Keyframe>& keyframes, A_Time time, bool hold) {
    if (compareTimes(time, keyframes.front().time) <= 0) {
        return keyframes.front().value;
    }
    if (compareTimes(time, keyframes.back().time) >= 0) {
        return keyframes.back().value;
    }
    const auto next = std::upper_bound(keyframes.begin(), keyframes.end(), time,
                                       [](A_Time t, const Keyframe& k) { return compareTimes(t, k.time) < 0; });
    const Keyframe& before = *(next - 1);
    if (hold || compareTimes(before.time, time) == 0) {
        return before.value;
    }
    const double f = fraction(before.time, next->time, time);
    StreamValue value{};
    for (std::size_t i = 0; i < value.size(); ++i) {
        value[i] = (1 - f) * before.value[i] + f * next->value[i];
    }
    return value;
}

}  // namespace

int compareTimes(A_Time a, A_Time b) {
    // Each product fits: |value| < 2^31 and scale < 2^32.
    const std::int64_t left = static_cast<std::int64_t>(a.value) * b.scale;
    const std::int64_t right = static_cast<std::int64_t>(b.value) * a.scale;
    return left < right ? -1 : left > right ? 1 : 0;
}

bool validTimeMode(AEGP_LTimeMode mode) {
    return mode == AEGP_LTimeMode_LayerTime || mode == AEGP_LTimeMode_CompTime;
}

bool validTime(AEGP_LTimeMode mode, const A_Time* time) {
    return validTimeMode(mode) && time && time->scale != 0;
}

std::string timeArg(AEGP_LTimeMode mode, const A_Time* time) {
    return "mode=" + std::to_string(mode) + " time=" +
           (time ? std::to_string(time->value) + "/" + std::to_string(time->scale) : std::string("null"));
}

ValueKind ValueStream::kind() const {
    if (!target_.effect) {
        return target_.which == kLayerRotation || target_.which == kLayerOpacity ? ValueKind::OneD
                                                                                 : ValueKind::ThreeD;
    }
    return kindOf(host_->effect.params[static_cast<std::size_t>(target_.param)].registered.param_type);
}

StreamState& ValueStream::state() const {
    return target_.effect ? target_.effect->stream(target_.param) : target_.layer->stream(target_.which);
}

bool ValueStream::holdsBetweenKeyframes() const {
    if (!target_.effect) {
        return false;
    }
    const PF_ParamType type = host_->effect.params[static_cast<std::size_t>(target_.param)].registered.param_type;
    return type == PF_Param_POPUP || type == PF_Param_CHECKBOX;
}

StreamValue ValueStream::constant() const {
    if (!target_.effect) {
        return target_.layer->stream(target_.which).value;
    }
    return paramValue(host_->effect.params[static_cast<std::size_t>(target_.param)].current);
}

StreamValue ValueStream::at(A_Time time) const {
    const std::vector<Keyframe>& keyframes = state().keyframes();
    return keyframes.empty() ? constant() : interpolate(keyframes, time, holdsBetweenKeyframes());
}

void ValueStream::setValue(const StreamValue& value) const {
    if (target_.effect) {
        setParamValue(host_->effect.params[static_cast<std::size_t>(target_.param)].current, value);
    } else {
        target_.layer->stream(target_.which).value = value;
    }
}

bool hasValueStream(const StreamTarget& target) {
    return target.effect ? target.param && target.effect->hasStream(target.param) : target.layer != nullptr;
}

const StreamTarget* findValueStream(Host::Impl& host, AEGP_StreamRefH stream) {
    const StreamTarget* found = host.effect.references.find(stream);
    return found && hasValueStream(*found) ? found : nullptr;
}

AEGP_StreamVal2 toRecord(ValueKind kind, const StreamValue& value) {
    AEGP_StreamVal2 record{};
    switch (kind) {
    case ValueKind::OneD: record.one_d = value[0]; break;
    case ValueKind::TwoD: record.two_d = AEGP_TwoDVal{value[0], value[1]}; break;
    case ValueKind::ThreeD: record.three_d = AEGP_ThreeDVal{value[0], value[1], value[2]}; break;
    case ValueKind::Color: record.color = AEGP_ColorVal{value[0], value[1], value[2], value[3]}; break;
    case ValueKind::None: break;
    }
    return record;
}

bool fromRecord(ValueKind kind, const AEGP_StreamVal2& record, StreamValue& value) {
    StreamValue read{};
    switch (kind) {
    case ValueKind::OneD: read = {record.one_d}; break;
    case ValueKind::TwoD: read = {record.two_d.x, record.two_d.y}; break;
    case ValueKind::ThreeD: read = {record.three_d.x, record.three_d.y, record.three_d.z}; break;
    case ValueKind::Color:
        read = {record.color.alphaF, record.color.redF, record.color.greenF, record.color.blueF};
        break;
    case ValueKind::None: return false;
    }
    if (!std::all_of(read.begin(), read.end(), [](double v) { return std::isfinite(v); })) {
        return false;
    }
    value = read;
    return true;
}

PF_ParamDef paramAt(Host::Impl& host, int index, A_Time time) {
    PF_ParamDef def = host.effect.params[static_cast<std::size_t>(index)].current;
    Effect& target = host.effect.project.target();
    if (target.hasStream(index) && !target.stream(index).keyframes().empty()) {
        setParamValue(def, ValueStream(host, StreamTarget{&target, index}).at(time));
    }
    return def;
}

}  // namespace host
