#include <cmath>

#include "stream/stream.h"

namespace Nerevo {
namespace {

// The member of the host's value record each value type reads and writes.
void read(const AEGP_StreamVal2& record, bool& value) {
    value = std::trunc(record.one_d) != 0.0;
}
void read(const AEGP_StreamVal2& record, int& value) {
    value = record.layer_id;
}
void read(const AEGP_StreamVal2& record, double& value) {
    value = record.one_d;
}
void read(const AEGP_StreamVal2& record, AEGP_TwoDVal& value) {
    value = record.two_d;
}
void read(const AEGP_StreamVal2& record, AEGP_ThreeDVal& value) {
    value = record.three_d;
}
void read(const AEGP_StreamVal2& record, AEGP_ColorVal& value) {
    value = record.color;
}

void write(AEGP_StreamVal2& record, bool value) {
    record.one_d = value ? 1.0 : 0.0;
}
void write(AEGP_StreamVal2& record, int value) {
    record.layer_id = value;
}
void write(AEGP_StreamVal2& record, double value) {
    record.one_d = value;
}
void write(AEGP_StreamVal2& record, const AEGP_TwoDVal& value) {
    record.two_d = value;
}
void write(AEGP_StreamVal2& record, const AEGP_ThreeDVal& value) {
    record.three_d = value;
}
void write(AEGP_StreamVal2& record, const AEGP_ColorVal& value) {
    record.color = value;
}

// A record the host filled carries its stream; only such a record is the
// host's to release. The release's error counts only when there was none.
PF_Err release(AEGP_SuiteHandler& suites, AEGP_StreamValue2& record, PF_Err err) {
    if (record.streamH) {
        const PF_Err releaseErr = suites.StreamSuite9()->AEGP_DisposeStreamValue(&record);
        err = err ? err : releaseErr;
    }
    return err;
}

}  // namespace

template <typename T>
PF_Err Stream<T>::init_() {
    A_Boolean varies = false;
    PF_Err err = suites_->StreamSuite9()->AEGP_IsStreamTimevarying(stream_, &varies);
    // A failed query leaves the answer "does not vary".
    constant_ = !varies;
    cached_ = T{};
    if (constant_ && !err) {
        const A_Time now{in_data_->current_time, in_data_->time_scale};
        AEGP_StreamValue2 record{};
        err = suites_->StreamSuite9()->AEGP_GetNewStreamValue(pluginId_, stream_, AEGP_LTimeMode_LayerTime, &now,
                                                              false, &record);
        if (!err) {
            read(record.val, cached_);
        }
        err = release(*suites_, record, err);
    }
    initialised_ = !err;
    return err;
}

template <typename T>
PF_Err Stream<T>::isConstant(bool* constant) {
    const PF_Err err = initialised_ ? PF_Err_NONE : init_();
    *constant = constant_;
    return err;
}

template <typename T>
PF_Err Stream<T>::getValue(A_Time time, short timeMode, bool preExpression, T* out) {
    PF_Err err = initialised_ ? PF_Err_NONE : init_();
    if (constant_) {
        *out = cached_;
        return err;
    }
    *out = T{};
    if (err) {
        return err;
    }
    AEGP_StreamValue2 record{};
    err = suites_->StreamSuite9()->AEGP_GetNewStreamValue(pluginId_, stream_, timeMode, &time, preExpression,
                                                          &record);
    if (!err) {
        read(record.val, *out);
    }
    return release(*suites_, record, err);
}

template <typename T>
PF_Err Stream<T>::setValue(A_Time time, short timeMode, const T& value) {
    const AEGP_StreamSuite9* streams = suites_->StreamSuite9();
    // A record of the stream's own type to write into.
    AEGP_StreamValue2 record{};
    PF_Err err = streams->AEGP_GetNewStreamValue(pluginId_, stream_, timeMode, &time, true, &record);
    if (!err) {
        write(record.val, value);
        err = streams->AEGP_SetStreamValue(pluginId_, stream_, &record);
    }
    return release(*suites_, record, err);
}

template <typename T>
Stream<T>::Keyframer::~Keyframer() {
    if (batch_) {
        suites_->KeyframeSuite4()->AEGP_EndAddKeyframes(added_, batch_);
    }
}

template <typename T>
PF_Err Stream<T>::Keyframer::add(short timeMode, A_Time time, const T& value) {
    const AEGP_KeyframeSuite4* keyframes = suites_->KeyframeSuite4();
    if (!batch_) {
        if (const PF_Err err = keyframes->AEGP_StartAddKeyframes(stream_, &batch_)) {
            return err;
        }
    }
    A_long index = 0;
    PF_Err err = keyframes->AEGP_AddKeyframes(batch_, timeMode, &time, &index);
    AEGP_StreamValue2 record{};
    if (!err) {
        err = suites_->StreamSuite9()->AEGP_GetNewStreamValue(pluginId_, stream_, timeMode, &time, false, &record);
    }
    if (!err) {
        write(record.val, value);
        err = keyframes->AEGP_SetAddKeyframe(batch_, index, &record);
    }
    err = release(*suites_, record, err);
    if (!err) {
        added_ = true;
    }
    return err;
}

template <typename T>
PF_Err getEffectValue(int pluginId, PF_InData* in_data, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect,
                      int paramIndex, A_Time time, short timeMode, bool preExpression, T* out) {
    Stream<T> stream(pluginId, in_data, suites);
    const PF_Err err = stream.init(effect, paramIndex);
    return err ? err : stream.getValue(time, timeMode, preExpression, out);
}

template <typename T>
PF_Err setEffectValue(int pluginId, PF_InData* in_data, AEGP_SuiteHandler& suites, AEGP_EffectRefH effect,
                      int paramIndex, A_Time time, short timeMode, T value) {
    Stream<T> stream(pluginId, in_data, suites);
    const PF_Err err = stream.init(effect, paramIndex);
    return err ? err : stream.setValue(time, timeMode, value);
}

template <typename T>
PF_Err getLayerStreamValue(int pluginId, PF_InData* in_data, AEGP_SuiteHandler& suites, AEGP_LayerH layer,
                           int which, A_Time time, short timeMode, bool preExpression, T* out) {
    Stream<T> stream(pluginId, in_data, suites);
    const PF_Err err = stream.init(layer, which);
    return err ? err : stream.getValue(time, timeMode, preExpression, out);
}

template <typename T>
PF_Err setLayerStreamValue(int pluginId, PF_InData* in_data, AEGP_SuiteHandler& suites, AEGP_LayerH layer,
                           int which, A_Time time, short timeMode, T value) {
    Stream<T> stream(pluginId, in_data, suites);
    const PF_Err err = stream.init(layer, which);
    return err ? err : stream.setValue(time, timeMode, value);
}

#define NEREVO_STREAM_VALUE_TYPE(T)                                                                              \
    template class Stream<T>;                                                                                    \
    template PF_Err getEffectValue<T>(int, PF_InData*, AEGP_SuiteHandler&, AEGP_EffectRefH, int, A_Time, short, \
                                      bool, T*);                                                                 \
    template PF_Err setEffectValue<T>(int, PF_InData*, AEGP_SuiteHandler&, AEGP_EffectRefH, int, A_Time, short, \
                                      T);                                                                        \
    template PF_Err getLayerStreamValue<T>(int, PF_InData*, AEGP_SuiteHandler&, AEGP_LayerH, int, A_Time, short, \
                                           bool, T*);                                                            \
    template PF_Err setLayerStreamValue<T>(int, PF_InData*, AEGP_SuiteHandler&, AEGP_LayerH, int, A_Time, short, \
                                           T);

NEREVO_STREAM_VALUE_TYPE(bool)
NEREVO_STREAM_VALUE_TYPE(int)
NEREVO_STREAM_VALUE_TYPE(double)
NEREVO_STREAM_VALUE_TYPE(AEGP_TwoDVal)
NEREVO_STREAM_VALUE_TYPE(AEGP_ThreeDVal)
NEREVO_STREAM_VALUE_TYPE(AEGP_ColorVal)

#undef NEREVO_STREAM_VALUE_TYPE

}  // namespace Nerevo
