#pragma once
// The values of the project's streams as the stream and keyframe suites
// hand them out and take them, and as checkout_param hands out a parameter
// at a time.

#include "host_impl.h"

namespace host {

// Negative, 0 or positive as `a` lies before, at or after `b`; neither
// scale may be 0.
int compareTimes(A_Time a, A_Time b);

// Layer or composition time, which agree.
bool validTimeMode(AEGP_LTimeMode mode);
// A time the plug-in passes with its time mode: the time must be there,
// with a scale other than 0.
bool validTime(AEGP_LTimeMode mode, const A_Time* time);
// How the call log writes them: "mode=0 time=7/24".
std::string timeArg(AEGP_LTimeMode mode, const A_Time* time);

// Which member of the value record a stream's value takes.
enum class ValueKind { None, OneD, TwoD, ThreeD, Color };

// One stream that has a value over time: an effect's parameter or a
// layer's property. Used under the effect's lock.
class ValueStream {
public:
    ValueStream(Host::Impl& host, const StreamTarget& target) : host_(&host), target_(target) {}

    // None for parameters without a value (buttons, groups, layers).
    ValueKind kind() const;
    StreamState& state() const;
    // The time's scale must not be 0.
    StreamValue at(A_Time time) const;
    // The value the stream keeps while it has no keyframes.
    void setValue(const StreamValue& value) const;

private:
    StreamValue constant() const;
    bool holdsBetweenKeyframes() const;

    Host::Impl* host_;
    StreamTarget target_;
};

// False for a parameter that is gone (parameters registered anew) or a
// stream group. Needs the effect's lock.
bool hasValueStream(const StreamTarget& target);
// The parameter or layer property the reference stands for, or null when
// it stands for a group or the plug-in holds no such reference. Needs the
// effect's lock.
const StreamTarget* findValueStream(Host::Impl& host, AEGP_StreamRefH stream);

AEGP_StreamVal2 toRecord(ValueKind kind, const StreamValue& value);
// False, leaving `value` as it was, for the kind None or when a member the
// kind uses is not finite.
bool fromRecord(ValueKind kind, const AEGP_StreamVal2& record, StreamValue& value);

// Parameter `index` of the target effect at `time` (scale not 0): the
// held record with the value at that time. Needs the effect's lock.
PF_ParamDef paramAt(Host::Impl& host, int index, A_Time time);

}  // namespace host
