// "AEGP Effect Suite", versions 2 and 3 (one table): effect instances on
// layers, reached through counted effect references.

#include "project/aegp_common.h"

namespace host {
namespace {

A_Err getLayerEffectByIndex(AEGP_PluginID plugin, AEGP_LayerH layer, AEGP_EffectIndex index,
                            AEGP_EffectRefH* effect) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_GetLayerEffectByIndex", [&] { return pluginArg(plugin) + " index=" + std::to_string(index); },
            host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const Layer* found = findLayer(*host, layer);
    if (!found || !effect || !knownPlugin(*host, plugin) || index < 0 ||
        static_cast<std::size_t>(index) >= found->effects().size()) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *effect = host->effect.references.add(*found->effects()[static_cast<std::size_t>(index)], host->commandSerial);
    return A_Err_NONE;
}

A_Err getInstalledKey(AEGP_EffectRefH effect, AEGP_InstalledEffectKey* key) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_GetInstalledKeyFromLayerEffect", [&] { return effectArg(effect); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    if (!host->effect.references.find(effect) || !key) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    // Every instance is one of the loaded effect.
    *key = Project::kEffectKey;
    return A_Err_NONE;
}

A_Err getEffectFlags(AEGP_EffectRefH effect, AEGP_EffectFlags* flags) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_GetEffectFlags", [&] { return effectArg(effect); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const Effect* found = host->effect.references.find(effect);
    if (!found || !flags) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *flags = found->flags;
    return A_Err_NONE;
}

A_Err setEffectFlags(AEGP_EffectRefH effect, AEGP_EffectFlags mask, AEGP_EffectFlags flags) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_SetEffectFlags",
            [&] { return effectArg(effect) + " mask=" + std::to_string(mask) + " flags=" + std::to_string(flags); },
            host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    Effect* found = host->effect.references.find(effect);
    if (!found) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    found->flags = (found->flags & ~mask) | (flags & mask);
    return A_Err_NONE;
}

A_Err reorderEffect(AEGP_EffectRefH effect, A_long index) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_ReorderEffect", [&] { return effectArg(effect) + " index=" + std::to_string(index); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const Effect* found = host->effect.references.find(effect);
    if (!found || index < 0 || static_cast<std::size_t>(index) >= found->layer().effects().size()) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    found->layer().moveEffect(*found, index);
    return A_Err_NONE;
}

A_Err disposeEffect(AEGP_EffectRefH effect) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_DisposeEffect", [&] { return effectArg(effect); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    if (host->effect.references.remove(effect)) {
        return A_Err_NONE;
    }
    if (effect) {
        host->note("AEGP_DisposeEffect of a reference the host does not hold (disposed twice?)");
    }
    return PF_Err_BAD_CALLBACK_PARAM;
}

A_Err applyEffect(AEGP_PluginID plugin, AEGP_LayerH layer, AEGP_InstalledEffectKey key,
                  AEGP_EffectRefH* effect) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_ApplyEffect", [&] { return pluginArg(plugin) + " key=" + std::to_string(key); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    Layer* found = findLayer(*host, layer);
    if (!found || !effect || !knownPlugin(*host, plugin) || key != Project::kEffectKey) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *effect = host->effect.references.add(found->addEffect(), host->commandSerial);
    return A_Err_NONE;
}

const AEGP_EffectSuite3 kEffectSuite = {getLayerEffectByIndex, getInstalledKey, getEffectFlags, setEffectFlags,
                                        reorderEffect,         disposeEffect,   applyEffect};

}  // namespace

void installAegpEffect(Host::Impl& host) {
    host.suites.add(kAEGPEffectSuite, kAEGPEffectSuiteVersion2, &kEffectSuite);
    host.suites.add(kAEGPEffectSuite, kAEGPEffectSuiteVersion3, &kEffectSuite);
}

}  // namespace host
