// PF_Cmd_EVENT: the event record, the conversion callbacks computed from the
// panel's view model, and the parameter values the plug-in hands back.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "format.h"
#include "project/stream_values.h"
#include "ui/event_context.h"

namespace host {
namespace {

// ---- Conversion callbacks ------------------------------------------------------

double toDouble(PF_Fixed v) {
    return v / 65536.0;
}

// Halves away from zero; beyond the 16.16 range the value is held at its limits.
PF_Fixed toFixed(double v) {
    const double scaled = std::round(v * 65536.0);
    if (!(scaled == scaled)) {
        return 0;
    }
    return static_cast<PF_Fixed>(std::clamp(scaled, static_cast<double>(std::numeric_limits<PF_Fixed>::min()),
                                            static_cast<double>(std::numeric_limits<PF_Fixed>::max())));
}

std::string pointArgs(const PF_FixedPoint* pt) {
    return pt ? "x=" + number(toDouble(pt->x)) + " y=" + number(toDouble(pt->y)) : "pt=null";
}

std::string timedPointArgs(A_long time, A_long scale, const PF_FixedPoint* pt) {
    return "time=" + std::to_string(time) + " scale=" + std::to_string(scale) + " " + pointArgs(pt);
}

// The event a callback's refcon and context name, when they are those of the
// event being sent; the call is logged and may fail by the fault plan.
PF_Err enterEvent(void* refcon, PF_ContextH context, const char* name, CallArgs args, EventContext*& event) {
    return enterActiveEvent(
        name, args, " called with a refcon or context that is not the event's",
        [&](EventContext& active) { return refcon == &active && context == active.handle(); }, event);
}

template <typename Convert>
PF_Err convertPoint(PF_FixedPoint* pt, Convert convert) {
    if (!pt) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const std::optional<A_FloatPoint> result = convert(A_FloatPoint{toDouble(pt->x), toDouble(pt->y)});
    if (!result) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    pt->x = toFixed(result->x);
    pt->y = toFixed(result->y);
    return PF_Err_NONE;
}

// The view model does not move in time, so the time is only logged.
PF_Err layerToComp(void* refcon, PF_ContextH context, A_long time, A_long scale, PF_FixedPoint* pt) noexcept {
    EventContext* event = nullptr;
    const auto args = [&] { return timedPointArgs(time, scale, pt); };
    if (const PF_Err err = enterEvent(refcon, context, "layer_to_comp", args, event)) {
        return err;
    }
    return convertPoint(pt, [&](A_FloatPoint p) { return std::optional(event->panel().layerToComp(p)); });
}

PF_Err compToLayer(void* refcon, PF_ContextH context, A_long time, A_long scale, PF_FixedPoint* pt) noexcept {
    EventContext* event = nullptr;
    const auto args = [&] { return timedPointArgs(time, scale, pt); };
    if (const PF_Err err = enterEvent(refcon, context, "comp_to_layer", args, event)) {
        return err;
    }
    return convertPoint(pt, [&](A_FloatPoint p) { return event->panel().compToLayer(p); });
}

PF_Err sourceToFrame(void* refcon, PF_ContextH context, PF_FixedPoint* pt) noexcept {
    EventContext* event = nullptr;
    if (const PF_Err err = enterEvent(
            refcon, context, "source_to_frame", [&] { return pointArgs(pt); }, event)) {
        return err;
    }
    return convertPoint(pt, [&](A_FloatPoint p) { return std::optional(event->panel().sourceToFrame(p)); });
}

PF_Err frameToSource(void* refcon, PF_ContextH context, PF_FixedPoint* pt) noexcept {
    EventContext* event = nullptr;
    if (const PF_Err err = enterEvent(
            refcon, context, "frame_to_source", [&] { return pointArgs(pt); }, event)) {
        return err;
    }
    return convertPoint(pt, [&](A_FloatPoint p) { return event->panel().frameToSource(p); });
}

// ---- Parameter values --------------------------------------------------------------

bool sameValue(const PF_ParamDef& a, const PF_ParamDef& b) {
    switch (a.param_type) {
    case PF_Param_FLOAT_SLIDER:
        return std::memcmp(&a.u.fs_d.value, &b.u.fs_d.value, sizeof a.u.fs_d.value) == 0;
    case PF_Param_ANGLE: return a.u.ad.value == b.u.ad.value;
    case PF_Param_POINT: return a.u.td.x_value == b.u.td.x_value && a.u.td.y_value == b.u.td.y_value;
    case PF_Param_POPUP: return a.u.pd.value == b.u.pd.value;
    case PF_Param_CHECKBOX: return a.u.bd.value == b.u.bd.value;
    case PF_Param_SLIDER: return a.u.sd.value == b.u.sd.value;
    case PF_Param_FIX_SLIDER: return a.u.fd.value == b.u.fd.value;
    case PF_Param_COLOR: return std::memcmp(&a.u.cd.value, &b.u.cd.value, sizeof a.u.cd.value) == 0;
    default: return true;
    }
}

// The application takes a float slider's value within its valid range and
// refuses one that is not a number.
bool acceptValue(PF_ParamDef& def) {
    if (def.param_type != PF_Param_FLOAT_SLIDER) {
        return true;
    }
    PF_FloatSliderDef& fs = def.u.fs_d;
    if (!std::isfinite(fs.value)) {
        return false;
    }
    if (fs.valid_min <= fs.valid_max) {
        fs.value = std::clamp<PF_FpLong>(fs.value, fs.valid_min, fs.valid_max);
    }
    return true;
}

// The parameter values an event starts from. Animated parameters take their
// values at the event's time, as the application shows them; the host's own
// records keep the values the streams hold while they have no keyframes.
struct EventValues {
    A_Time time;
    std::vector<PF_ParamDef> before;                    // what the plug-in is handed
    std::vector<std::optional<PF_ParamDefUnion>> held;  // animated: the record's own value
};

bool animated(Host::Impl& host, int index) {
    Effect& target = host.effect.project.target();
    return target.hasStream(index) && !target.stream(index).keyframes().empty();
}

// As in every command after parameter setup, the entries carry change
// flags, none set.
EventValues beginEvent(Host::Impl& host) {
    EventValues values{A_Time{host.currentFrame().currentTime, host.currentFrame().timeScale}, {}, {}};
    std::lock_guard<std::mutex> lock(host.effect.mutex);
    for (ParamRecord& record : host.effect.params) {
        record.current.uu.change_flags = PF_ChangeFlag_NONE;
        std::optional<PF_ParamDefUnion> held;
        if (animated(host, record.index)) {
            held = record.current.u;
            record.current.u = paramAt(host, record.index, values.time).u;
        }
        values.before.push_back(record.current);
        values.held.push_back(held);
    }
    return values;
}

// A value changed at the event's time on an animated parameter becomes the
// keyframe at that time, as with the application's stopwatch on.
void setKeyframe(Host::Impl& host, int index, A_Time time, const StreamValue& value) {
    StreamState& stream = host.effect.project.target().stream(index);
    std::vector<Keyframe> keyframes = stream.keyframes();
    const auto at = std::find_if(keyframes.begin(), keyframes.end(),
                                 [&](const Keyframe& k) { return compareTimes(k.time, time) == 0; });
    if (at != keyframes.end()) {
        at->value = value;
    } else {
        keyframes.push_back({time, value});
    }
    stream.setKeyframes(std::move(keyframes));
}

// Takes what the plug-in flagged as changed; anything else it wrote is undone.
std::vector<int> takeChanges(Host::Impl& host, const EventValues& values) {
    std::lock_guard<std::mutex> lock(host.effect.mutex);
    std::vector<int> changed;
    for (std::size_t i = 0; i < host.effect.params.size() && i < values.before.size(); ++i) {
        ParamRecord& record = host.effect.params[i];
        PF_ParamDef& current = record.current;
        const bool flagged = (current.uu.change_flags & PF_ChangeFlag_CHANGED_VALUE) != 0;
        current.uu.change_flags = PF_ChangeFlag_NONE;
        const std::optional<PF_ParamDefUnion>& held = values.held[i];
        if (flagged && acceptValue(current)) {
            changed.push_back(record.index);
            if (held) {
                setKeyframe(host, record.index, values.time, paramValue(current));
                current.u = *held;
            }
            continue;
        }
        if (!sameValue(current, values.before[i])) {
            host.problems.push_back("parameter " + quoted(record.name) +
                                    (flagged ? " given a value that is not a number"
                                             : " written without PF_ChangeFlag_CHANGED_VALUE") +
                                    "; the change is undone");
        }
        current.u = held ? *held : values.before[i].u;
    }
    return changed;
}

std::vector<int> merged(const std::vector<int>& a, const std::vector<int>& b) {
    std::vector<int> all;
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(all));
    return all;
}

PF_Point between(PF_Point from, PF_Point to, int step, int steps) {
    const double f = static_cast<double>(step) / steps;
    return PF_Point{from.h + static_cast<A_long>(std::lround((to.h - from.h) * f)),
                    from.v + static_cast<A_long>(std::lround((to.v - from.v) * f))};
}

}  // namespace

PF_Err Gesture::err() const {
    for (const EventResult& event : events) {
        if (event.err) {
            return event.err;
        }
    }
    return PF_Err_NONE;
}

EventResult UserInterface::send(const Panel& panel, PF_EventType type, const PF_EventUnion& info,
                                Drawing* drawing) {
    Host::Impl& host = *host_;
    EventContext event(host, panel, drawing);
    PF_EventExtra extra{};
    extra.contextH = event.handle();
    extra.e_type = type;
    extra.u = info;
    extra.cbs.refcon = &event;
    extra.cbs.layer_to_comp = layerToComp;
    extra.cbs.comp_to_layer = compToLayer;
    extra.cbs.source_to_frame = sourceToFrame;
    extra.cbs.frame_to_source = frameToSource;

    const EventValues values = beginEvent(host);
    EventResult result;
    result.err = host.owner.send(PF_Cmd_EVENT, &extra);
    // After the command's own check, which knows nothing of events.
    result.changed = takeChanges(host, values);
    for (std::string& held : event.unreleased()) {
        host.problems.push_back(std::move(held));
    }
    result.extra = extra;
    result.extra.contextH = nullptr;
    result.extra.cbs = PF_EventCallbacks{};
    return result;
}

EventResult UserInterface::draw(const Panel& panel, Drawing& drawing) {
    PF_EventUnion info{};
    info.draw.update_rect = PF_Rect{0, 0, panel.width, panel.height};
    return send(panel, PF_Event_DRAW, info, &drawing);
}

EventResult UserInterface::click(const Panel& panel, PF_Point at, PF_Modifiers modifiers) {
    PF_EventUnion info{};
    info.do_click.screen_point = at;
    info.do_click.num_clicks = 1;
    info.do_click.modifiers = modifiers;
    return send(panel, PF_Event_DO_CLICK, info);
}

Gesture UserInterface::drag(const Panel& panel, PF_Point from, PF_Point to, int steps, PF_Modifiers modifiers) {
    Gesture gesture;
    gesture.events.push_back(click(panel, from, modifiers));
    gesture.changed = gesture.events.back().changed;
    const int count = std::max(steps, 1);
    for (int step = 1; step <= count && gesture.events.back().click().send_drag; ++step) {
        PF_EventUnion info{};
        info.do_click = gesture.events.back().click();
        info.do_click.screen_point = between(from, to, step, count);
        info.do_click.modifiers = modifiers;
        info.do_click.last_time = step == count;
        gesture.events.push_back(send(panel, PF_Event_DRAG, info));
        gesture.changed = merged(gesture.changed, gesture.events.back().changed);
    }
    return gesture;
}

UserInterface Host::ui() {
    return UserInterface(*impl_);
}

}  // namespace host
