#include "effect/effect_handle.h"

#include <cstring>
#include <vector>

#include "../stream/mem_handle.h"
#include "stream/stream.h"

namespace Nerevo {

EffectHandle::EffectHandle(int pluginId, PF_InData* in_data, AEGP_SuiteHandler& suites)
    : pluginId_(pluginId), in_data_(in_data), suites_(&suites) {}

EffectHandle::~EffectHandle() {
    dispose();
}

PF_Err EffectHandle::init() {
    return suites_->PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(pluginId_, in_data_->effect_ref, &effect_);
}

PF_Err EffectHandle::init(AEGP_EffectRefH effect) {
    PF_Err err = dispose();
    effect_ = effect;
    return err;
}

PF_Err EffectHandle::init(AEGP_LayerH layer, int index) {
    return suites_->EffectSuite3()->AEGP_GetLayerEffectByIndex(pluginId_, layer, index, &effect_);
}

PF_Err EffectHandle::dispose() {
    if (!effect_) {
        return PF_Err_NONE;
    }
    PF_Err err = suites_->EffectSuite3()->AEGP_DisposeEffect(effect_);
    effect_ = nullptr;
    return err;
}

PF_Err EffectHandle::apply(int key) {
    AEGP_LayerH layer = nullptr;
    PF_Err err = suites_->PFInterfaceSuite1()->AEGP_GetEffectLayer(in_data_->effect_ref, &layer);
    return err ? err : apply(layer, key);
}

PF_Err EffectHandle::apply(AEGP_LayerH layer, int key) {
    return suites_->EffectSuite3()->AEGP_ApplyEffect(pluginId_, layer, key, &effect_);
}

PF_Err EffectHandle::getEffectFlags(int& flags) const {
    AEGP_EffectFlags f = 0;
    PF_Err err = suites_->EffectSuite3()->AEGP_GetEffectFlags(effect_, &f);
    flags = f;
    return err;
}

PF_Err EffectHandle::setEffectFlags(int mask, int flags) const {
    return suites_->EffectSuite3()->AEGP_SetEffectFlags(effect_, mask, flags);
}

PF_Err EffectHandle::reorder(int index) const {
    return suites_->EffectSuite3()->AEGP_ReorderEffect(effect_, index);
}

PF_Err EffectHandle::getKey(int& key) const {
    AEGP_InstalledEffectKey k = 0;
    PF_Err err = suites_->EffectSuite3()->AEGP_GetInstalledKeyFromLayerEffect(effect_, &k);
    key = k;
    return err;
}

namespace {

// The effect's own stream group: the parent of its first parameter.
struct EffectGroup {
    StreamBase param;
    StreamBase group;
    PF_Err err;

    EffectGroup(int pluginId, PF_InData* in_data, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect)
        : param(pluginId, in_data, suites), group(pluginId, in_data, suites) {
        err = param.init(effect, 1);
        if (!err) {
            err = group.init(param.get());
        }
    }
};

}  // namespace

PF_Err EffectHandle::getName(std::basic_string<unsigned short>& name) const {
    EffectGroup g(pluginId_, in_data_, *suites_, effect_);
    PF_Err err = g.err;
    AEGP_MemHandle text = nullptr;
    if (!err) {
        err = suites_->StreamSuite9()->AEGP_GetStreamName(pluginId_, g.group.get(), false, &text);
    }
    if (text) {
        std::vector<char> bytes;
        PF_Err takeErr = takeMemHandle(*suites_, text, bytes);
        err = err ? err : takeErr;
        std::basic_string<unsigned short> units(bytes.size() / 2, 0);
        if (!units.empty()) {
            std::memcpy(&units[0], bytes.data(), units.size() * 2);
        }
        name.assign(units.c_str());  // up to the terminating NUL
    }
    return err;
}

PF_Err EffectHandle::setName(const std::basic_string<unsigned short>& name) const {
    EffectGroup g(pluginId_, in_data_, *suites_, effect_);
    if (g.err) {
        return g.err;
    }
    return suites_->DynamicStreamSuite5()->AEGP_SetStreamName(g.group.get(), name.c_str());
}

PF_Err EffectHandle::getIndex(int& index) const {
    EffectGroup g(pluginId_, in_data_, *suites_, effect_);
    if (g.err) {
        return g.err;
    }
    A_long i = 0;
    PF_Err err = suites_->DynamicStreamSuite5()->AEGP_GetStreamIndexInParent(g.group.get(), &i);
    index = i;
    return err;
}

}  // namespace Nerevo
