#pragma once
// An owned reference to one property stream: an effect parameter, a layer
// or mask property, or a property group.

#include <string>

#include "AEGP_SuiteHandler.h"
#include "AE_GeneralPlug.h"

namespace Nerevo {

class StreamBase {
public:
    StreamBase(int pluginId, PF_InData* in_data, AEGP_SuiteHandler& suites);
    ~StreamBase();

    StreamBase(const StreamBase&) = delete;
    StreamBase& operator=(const StreamBase&) = delete;

    // Each disposes a held stream first.
    PF_Err init(AEGP_EffectRefH effect, int paramIndex);
    PF_Err init(AEGP_LayerH layer, int which);
    PF_Err init(AEGP_MaskRefH mask, int which);
    // The child's parent group.
    PF_Err init(AEGP_StreamRefH child);
    PF_Err init(AEGP_MaskRefH mask);
    PF_Err dispose();

    // The effect argument is not used; the stream itself is hidden or shown.
    PF_Err hide(AEGP_EffectRefH effect) const;
    PF_Err show(AEGP_EffectRefH effect) const;
    PF_Err hide() const;
    PF_Err show() const;

    PF_Err getKeyframeNum(int& count) const;
    PF_Err getKeyframeTime(int index, short timeMode, A_Time& time) const;
    PF_Err getExpressionState(unsigned char& enabled) const;
    PF_Err setExpressionState(unsigned char enabled) const;
    PF_Err getExpression(std::string& text) const;
    PF_Err setExpression(const std::string& text) const;

    AEGP_StreamRefH get() const { return stream_; }

protected:
    int pluginId_;
    PF_InData* in_data_;
    AEGP_SuiteHandler* suites_;
    AEGP_StreamRefH stream_ = nullptr;

private:
    PF_Err setHidden(bool hidden) const;
    PF_Err withCurrentEffect(bool hidden) const;
};

}  // namespace Nerevo
