#pragma once
// An owned reference to one property stream: an effect parameter, a layer
// or mask property, or a property group; and typed access to its value.

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

// The value of one stream as a T: bool, int (layer and mask identifier
// streams), double, AEGP_TwoDVal, AEGP_ThreeDVal or AEGP_ColorVal. A bool
// reads as true when the one-dimensional value truncated towards zero is
// not 0, and is written as 0 or 1.
//
// The value of a stream that does not vary over time is fetched once, at
// the command's time, and kept for the object's life.
template <typename T>
class Stream : public StreamBase {
public:
    // Adds keyframes to the stream in one batch, which it ends when it is
    // destroyed: the keyframes are kept only if at least one add succeeded.
    class Keyframer {
    public:
        Keyframer(int pluginId, AEGP_SuiteHandler& suites, AEGP_StreamRefH stream)
            : pluginId_(pluginId), suites_(&suites), stream_(stream) {}
        ~Keyframer();

        Keyframer(const Keyframer&) = delete;
        Keyframer& operator=(const Keyframer&) = delete;

        PF_Err add(short timeMode, A_Time time, const T& value);

    private:
        int pluginId_;
        AEGP_SuiteHandler* suites_;
        AEGP_StreamRefH stream_;  // borrowed from the stream
        bool added_ = false;
        AEGP_AddKeyframesInfoH batch_ = nullptr;
    };

    using StreamBase::StreamBase;

    PF_Err isConstant(bool* constant);
    // A stream that does not vary gives its kept value whatever the time.
    // On failure `out` is 0.
    PF_Err getValue(A_Time time, short timeMode, bool preExpression, T* out);
    // Leaves a kept value as it was.
    PF_Err setValue(A_Time time, short timeMode, const T& value);
    Keyframer getKeyframer() const { return Keyframer(pluginId_, *suites_, stream_); }

private:
    PF_Err init_();

    bool initialised_ = false;
    T cached_{};
    bool constant_ = false;
};

// One call on a stream made for it: an effect's parameter, or a layer's
// property by the host's number for it.
template <typename T>
PF_Err getEffectValue(int pluginId, PF_InData* in_data, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect,
                      int paramIndex, A_Time time, short timeMode, bool preExpression, T* out);
template <typename T>
PF_Err setEffectValue(int pluginId, PF_InData* in_data, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect,
                      int paramIndex, A_Time time, short timeMode, T value);
template <typename T>
PF_Err getLayerStreamValue(int pluginId, PF_InData* in_data, AEGP_SuiteHandler& suites, AEGP_LayerH layer,
                           int which, A_Time time, short timeMode, bool preExpression, T* out);
template <typename T>
PF_Err setLayerStreamValue(int pluginId, PF_InData* in_data, AEGP_SuiteHandler& suites, AEGP_LayerH layer,
                           int which, A_Time time, short timeMode, T value);

}  // namespace Nerevo
