// "AEGP Keyframe Suite" version 4: the keyframes of parameter streams and
// layer properties, and adding keyframes in counted batches that change the
// stream only when they end with adding.

#include <algorithm>

#include "project/aegp_common.h"
#include "project/stream_values.h"

namespace host {
namespace {

std::string batchArg(AEGP_AddKeyframesInfoH batch) {
    return "batch=" + handleArg(batch);
}

A_Err getStreamNumKFs(AEGP_StreamRefH stream, A_long* count) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_GetStreamNumKFs", [&] { return streamArg(stream); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const StreamTarget* found = findValueStream(*host, stream);
    // A group has no value to keyframe.
    if (!found || !count) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *count = static_cast<A_long>(ValueStream(*host, *found).state().keyframes().size());
    return A_Err_NONE;
}

A_Err getKeyframeTime(AEGP_StreamRefH stream, AEGP_KeyframeIndex index, AEGP_LTimeMode mode,
                      A_Time* time) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_GetKeyframeTime",
            [&] { return streamArg(stream) + " index=" + std::to_string(index) + " mode=" + std::to_string(mode); },
            host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const StreamTarget* found = findValueStream(*host, stream);
    if (!found || !validTimeMode(mode) || !time) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const std::vector<Keyframe>& keyframes = ValueStream(*host, *found).state().keyframes();
    if (index < 0 || static_cast<std::size_t>(index) >= keyframes.size()) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *time = keyframes[static_cast<std::size_t>(index)].time;
    return A_Err_NONE;
}

A_Err startAddKeyframes(AEGP_StreamRefH stream, AEGP_AddKeyframesInfoH* batch) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_StartAddKeyframes", [&] { return streamArg(stream); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const StreamTarget* found = findValueStream(*host, stream);
    if (!found || !batch) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const ValueStream values(*host, *found);
    if (values.kind() == ValueKind::None) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *batch = host->effect.references.add(KeyframeBatch{*found, values.state().keyframes()}, host->commandSerial);
    return A_Err_NONE;
}

// A keyframe at a new time starts with the stream's value there; at the
// time of one the batch has, that one is meant. The index is the
// keyframe's place in the batch as it stands after the call.
A_Err addKeyframes(AEGP_AddKeyframesInfoH batch, AEGP_LTimeMode mode, const A_Time* time,
                   A_long* index) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_AddKeyframes", [&] { return batchArg(batch) + " " + timeArg(mode, time); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    KeyframeBatch* found = host->effect.references.find(batch);
    if (!found || !validTime(mode, time) || !index || !hasValueStream(found->stream)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    std::vector<Keyframe>& keyframes = found->keyframes;
    const auto place = std::lower_bound(keyframes.begin(), keyframes.end(), *time,
                                        [](const Keyframe& k, A_Time t) { return compareTimes(k.time, t) < 0; });
    *index = static_cast<A_long>(place - keyframes.begin());
    if (place == keyframes.end() || compareTimes(place->time, *time) != 0) {
        keyframes.insert(place, Keyframe{*time, ValueStream(*host, found->stream).at(*time)});
    }
    return A_Err_NONE;
}

A_Err setAddKeyframe(AEGP_AddKeyframesInfoH batch, A_long index, const AEGP_StreamValue2* value) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_SetAddKeyframe", [&] { return batchArg(batch) + " index=" + std::to_string(index); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    KeyframeBatch* found = host->effect.references.find(batch);
    if (!found || !value || index < 0 || static_cast<std::size_t>(index) >= found->keyframes.size() ||
        !hasValueStream(found->stream)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const ValueKind kind = ValueStream(*host, found->stream).kind();
    if (!fromRecord(kind, value->val, found->keyframes[static_cast<std::size_t>(index)].value)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    return A_Err_NONE;
}

// The batch is given back whether or not it is added.
A_Err endAddKeyframes(A_Boolean add, AEGP_AddKeyframesInfoH batch) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_EndAddKeyframes", [&] { return "add=" + std::to_string(add) + " " + batchArg(batch); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    KeyframeBatch* found = host->effect.references.find(batch);
    if (!found) {
        if (batch) {
            host->note("AEGP_EndAddKeyframes of a batch the host does not hold (ended twice?)");
        }
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    A_Err err = A_Err_NONE;
    if (add && !hasValueStream(found->stream)) {
        err = PF_Err_BAD_CALLBACK_PARAM;
    } else if (add) {
        try {
            ValueStream(*host, found->stream).state().setKeyframes(std::move(found->keyframes));
        } catch (const HostError&) {
            // A keyframe took a value that is not finite from the stream.
            err = PF_Err_BAD_CALLBACK_PARAM;
        }
    }
    host->effect.references.remove(batch);
    return err;
}

const AEGP_KeyframeSuite4 kKeyframeSuite = {getStreamNumKFs, getKeyframeTime, startAddKeyframes,
                                            addKeyframes,    setAddKeyframe,  endAddKeyframes};

}  // namespace

void installAegpKeyframe(Host::Impl& host) {
    host.suites.add(kAEGPKeyframeSuite, kAEGPKeyframeSuiteVersion4, &kKeyframeSuite);
}

}  // namespace host
