// "AEGP Keyframe Suite" version 4, as far as constant streams go: every
// parameter stream has no keyframes. Adding keyframes is not served yet.

#include "aegp_common.h"

namespace host {
namespace {

A_Err getStreamNumKFs(AEGP_StreamRefH stream, A_long* count) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp("AEGP_GetStreamNumKFs", streamArg(stream), host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->stateMutex);
    const StreamTarget* found = findStream(*host, stream);
    // A group has no value to keyframe.
    if (!found || !found->param || !count) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *count = 0;
    return A_Err_NONE;
}

// No stream has a keyframe at any index.
A_Err getKeyframeTime(AEGP_StreamRefH stream, AEGP_KeyframeIndex index, AEGP_LTimeMode mode, A_Time*) noexcept {
    Host::Impl* host = nullptr;
    const A_Err err = enterAegp("AEGP_GetKeyframeTime",
                                streamArg(stream) + " index=" + std::to_string(index) + " mode=" + std::to_string(mode),
                                host);
    return err ? err : PF_Err_BAD_CALLBACK_PARAM;
}

A_Err startAddKeyframes(AEGP_StreamRefH, AEGP_AddKeyframesInfoH*) noexcept {
    return notServed("AEGP_StartAddKeyframes");
}

A_Err addKeyframes(AEGP_AddKeyframesInfoH, AEGP_LTimeMode, const A_Time*, A_long*) noexcept {
    return notServed("AEGP_AddKeyframes");
}

A_Err setAddKeyframe(AEGP_AddKeyframesInfoH, A_long, const AEGP_StreamValue2*) noexcept {
    return notServed("AEGP_SetAddKeyframe");
}

A_Err endAddKeyframes(A_Boolean, AEGP_AddKeyframesInfoH) noexcept {
    return notServed("AEGP_EndAddKeyframes");
}

const AEGP_KeyframeSuite4 kKeyframeSuite = {getStreamNumKFs, getKeyframeTime, startAddKeyframes,
                                            addKeyframes,    setAddKeyframe,  endAddKeyframes};

}  // namespace

void installAegpKeyframe(Host::Impl& host) {
    host.suites.add(kAEGPKeyframeSuite, kAEGPKeyframeSuiteVersion4, &kKeyframeSuite);
}

}  // namespace host
