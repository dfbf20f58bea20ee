// Parameter registration and the values the host holds: add_param,
// checkout_param (the value at the time asked for, keyframes followed),
// checkin_param and register_ui.

#include <cstdint>
#include <cstring>

#include "format.h"
#include "installers.h"
#include "project/stream_values.h"

namespace host {
namespace {

// Keeps a copy of plug-in text until the parameters are registered anew, so
// that copied definitions never point into plug-in memory. Needs the effect's lock.
const char* keepText(Host::Impl& host, std::string text) {
    host.effect.texts.push_back(std::move(text));
    return host.effect.texts.back().c_str();
}

// "Normal|(-|Add" → "Normal", "(-", "Add": separators count as items.
std::vector<std::string> splitItems(const std::string& names) {
    std::vector<std::string> items;
    if (names.empty()) {
        return items;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = names.find('|', start);
        items.push_back(names.substr(start, bar - start));
        if (bar == std::string::npos) {
            return items;
        }
        start = bar + 1;
    }
}

std::string boundedName(const PF_ParamDef& def) {
    return std::string(def.name, strnlen(def.name, PF_MAX_EFFECT_PARAM_NAME_LEN));
}

// Needs the effect's lock.
ParamRecord makeRecord(Host::Impl& host, int index, const PF_ParamDef& def) {
    ParamRecord record;
    record.index = index;
    record.name = boundedName(def);
    PF_ParamDef& copy = record.registered;
    copy = def;
    copy.name[PF_MAX_EFFECT_PARAM_NAME_LEN] = '\0';
    switch (def.param_type) {
    case PF_Param_POPUP:
        if (def.u.pd.u.namesptr) {
            std::string names = def.u.pd.u.namesptr;
            record.popupItems = splitItems(names);
            copy.u.pd.u.namesptr = keepText(host, std::move(names));
        }
        break;
    case PF_Param_CHECKBOX:
        if (def.u.bd.u.nameptr) {
            record.checkboxLabel = def.u.bd.u.nameptr;
            copy.u.bd.u.nameptr = keepText(host, record.checkboxLabel);
        }
        break;
    case PF_Param_LAYER:
        // A layer's pixels are the host's business; only its default stays.
        copy.u.ld = PF_LayerDef{};
        copy.u.ld.dephault = def.u.ld.dephault;
        break;
    default:
        break;
    }
    record.current = copy;
    if (def.param_type == PF_Param_POINT) {
        // A point's default is a percentage of the layer, as the application
        // reads it: (50, 50) starts at the layer's centre.
        const auto percentOf = [](PF_Fixed percent, A_long size) {
            return static_cast<PF_Fixed>(static_cast<std::int64_t>(percent) * size / 100);
        };
        record.current.u.td.x_value = percentOf(def.u.td.x_dephault, host.frame.width);
        record.current.u.td.y_value = percentOf(def.u.td.y_dephault, host.frame.height);
    }
    return record;
}

ParamRecord inputLayer() {
    ParamRecord record;
    record.index = 0;
    record.name = "Input";
    record.registered.param_type = PF_Param_LAYER;
    std::strcpy(record.registered.name, "Input");
    record.current = record.registered;
    return record;
}

PF_Err addParam(PF_ProgPtr ref, PF_ParamIndex index, PF_ParamDefPtr def) noexcept {
    const auto args = [&] {
        return "index=" + std::to_string(index) +
               (def ? " type=" + std::to_string(def->param_type) + " name=" + quoted(boundedName(*def))
                    : std::string(" def=null"));
    };
    Host::Impl* host = nullptr;
    if (const PF_Err err = Host::Impl::enterWithRef(ref, "add_param", args, host)) {
        return err;
    }
    if (!def) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    if (host->command != PF_Cmd_PARAMS_SETUP) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const int next = static_cast<int>(host->effect.params.size() + host->effect.registering.size());
    if (index != -1 && index != next) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    host->effect.registering.push_back(makeRecord(*host, next, *def));
    return PF_Err_NONE;
}

PF_Err checkoutParam(PF_ProgPtr ref, PF_ParamIndex index, A_long what_time, A_long time_step, A_u_long time_scale,
                     PF_ParamDef* param) noexcept {
    const auto args = [&] {
        return "index=" + std::to_string(index) + " time=" + std::to_string(what_time) +
               " step=" + std::to_string(time_step) + " scale=" + std::to_string(time_scale);
    };
    Host::Impl* host = nullptr;
    if (const PF_Err err = Host::Impl::enterWithRef(ref, "checkout_param", args, host)) {
        return err;
    }
    if (!param) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    if (index < 0 || static_cast<std::size_t>(index) >= host->effect.params.size() || time_scale == 0) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *param = paramAt(*host, index, A_Time{what_time, time_scale});
    return PF_Err_NONE;
}

// Values are copies, so checking one in has nothing to give back.
PF_Err checkinParam(PF_ProgPtr ref, PF_ParamDef* param) noexcept {
    Host::Impl* host = nullptr;
    if (const PF_Err err = Host::Impl::enterWithRef(
            ref, "checkin_param", [&] { return param ? "name=" + quoted(boundedName(*param)) : "param=null"; }, host)) {
        return err;
    }
    return param ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err registerUI(PF_ProgPtr ref, PF_CustomUIInfo* info) noexcept {
    Host::Impl* host = nullptr;
    if (const PF_Err err = Host::Impl::enterWithRef(
            ref, "register_ui", [&] { return info ? "events=" + std::to_string(info->events) : "info=null"; }, host)) {
        return err;
    }
    if (!info) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    host->effect.customUIRegistered = true;
    host->effect.customUI = *info;
    return PF_Err_NONE;
}

}  // namespace

void Host::Impl::beginParamsSetup() {
    std::lock_guard<std::mutex> lock(effect.mutex);
    effect.params.resize(1);
    effect.registering.clear();
    // Only the dropped definitions pointed at the texts kept so far.
    effect.texts.clear();
    effect.customUIRegistered = false;
    effect.customUI = PF_CustomUIInfo{};
}

void Host::Impl::endParamsSetup() {
    std::lock_guard<std::mutex> lock(effect.mutex);
    for (ParamRecord& record : effect.registering) {
        effect.params.push_back(std::move(record));
    }
    effect.registering.clear();
}

void installParams(Host::Impl& host) {
    host.inter.add_param = addParam;
    host.inter.checkout_param = checkoutParam;
    host.inter.checkin_param = checkinParam;
    host.inter.register_ui = registerUI;
    host.effect.params.push_back(inputLayer());
}

}  // namespace host
