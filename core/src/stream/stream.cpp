#include "stream/stream.h"

#include <vector>

#include "mem_handle.h"

namespace Nerevo {

StreamBase::StreamBase(int pluginId, PF_InData* in_data, AEGP_SuiteHandler& suites)
    : pluginId_(pluginId), in_data_(in_data), suites_(&suites) {}

StreamBase::~StreamBase() {
    dispose();
}

PF_Err StreamBase::init(AEGP_EffectRefH effect, int paramIndex) {
    PF_Err err = dispose();
    return err ? err : suites_->StreamSuite9()->AEGP_GetNewEffectStreamByIndex(pluginId_, effect, paramIndex, &stream_);
}

PF_Err StreamBase::init(AEGP_LayerH layer, int which) {
    PF_Err err = dispose();
    return err ? err : suites_->StreamSuite9()->AEGP_GetNewLayerStream(pluginId_, layer, which, &stream_);
}

PF_Err StreamBase::init(AEGP_MaskRefH mask, int which) {
    PF_Err err = dispose();
    return err ? err : suites_->StreamSuite9()->AEGP_GetNewMaskStream(pluginId_, mask, which, &stream_);
}

PF_Err StreamBase::init(AEGP_StreamRefH child) {
    PF_Err err = dispose();
    return err ? err : suites_->DynamicStreamSuite5()->AEGP_GetNewParentStreamRef(pluginId_, child, &stream_);
}

PF_Err StreamBase::init(AEGP_MaskRefH mask) {
    PF_Err err = dispose();
    return err ? err : suites_->DynamicStreamSuite5()->AEGP_GetNewStreamRefForMask(pluginId_, mask, &stream_);
}

PF_Err StreamBase::dispose() {
    if (!stream_) {
        return PF_Err_NONE;
    }
    PF_Err err = suites_->StreamSuite9()->AEGP_DisposeStream(stream_);
    stream_ = nullptr;
    return err;
}

PF_Err StreamBase::setHidden(bool hidden) const {
    const AEGP_DynamicStreamSuite5* dynamic = suites_->DynamicStreamSuite5();
    AEGP_DynStreamFlags flags = 0;
    PF_Err err = dynamic->AEGP_GetDynamicStreamFlags(stream_, &flags);
    const bool isHidden = (flags & AEGP_DynStreamFlag_HIDDEN) != 0;
    if (!err && isHidden != hidden) {
        err = dynamic->AEGP_SetDynamicStreamFlag(stream_, AEGP_DynStreamFlag_HIDDEN, false, hidden);
    }
    return err;
}

PF_Err StreamBase::hide(AEGP_EffectRefH) const {
    return setHidden(true);
}

PF_Err StreamBase::show(AEGP_EffectRefH) const {
    return setHidden(false);
}

PF_Err StreamBase::withCurrentEffect(bool hidden) const {
    AEGP_EffectRefH effect = nullptr;
    PF_Err err = suites_->PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(pluginId_, in_data_->effect_ref, &effect);
    if (!err) {
        err = setHidden(hidden);
    }
    if (effect) {
        PF_Err disposeErr = suites_->EffectSuite2()->AEGP_DisposeEffect(effect);
        err = err ? err : disposeErr;
    }
    return err;
}

PF_Err StreamBase::hide() const {
    return withCurrentEffect(true);
}

PF_Err StreamBase::show() const {
    return withCurrentEffect(false);
}

PF_Err StreamBase::getKeyframeNum(int& count) const {
    A_long n = 0;
    PF_Err err = suites_->KeyframeSuite4()->AEGP_GetStreamNumKFs(stream_, &n);
    count = n;
    return err;
}

PF_Err StreamBase::getKeyframeTime(int index, short timeMode, A_Time& time) const {
    return suites_->KeyframeSuite4()->AEGP_GetKeyframeTime(stream_, index, timeMode, &time);
}

PF_Err StreamBase::getExpressionState(unsigned char& enabled) const {
    A_Boolean b = 0;
    PF_Err err = suites_->StreamSuite9()->AEGP_GetExpressionState(pluginId_, stream_, &b);
    enabled = b;
    return err;
}

PF_Err StreamBase::setExpressionState(unsigned char enabled) const {
    return suites_->StreamSuite9()->AEGP_SetExpressionState(pluginId_, stream_, enabled);
}

PF_Err StreamBase::getExpression(std::string& text) const {
    AEGP_MemHandle handle = nullptr;
    PF_Err err = suites_->StreamSuite9()->AEGP_GetExpression(pluginId_, stream_, &handle);
    if (handle) {
        std::vector<char> bytes;
        PF_Err takeErr = takeMemHandle(*suites_, handle, bytes);
        err = err ? err : takeErr;
        bytes.push_back('\0');
        text.assign(bytes.data());  // NUL-terminated text
    }
    return err;
}

PF_Err StreamBase::setExpression(const std::string& text) const {
    return suites_->StreamSuite9()->AEGP_SetExpression(pluginId_, stream_, text.c_str());
}

}  // namespace Nerevo
