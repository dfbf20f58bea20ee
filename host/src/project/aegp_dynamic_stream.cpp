// "AEGP Dynamic Stream Suite" version 5: stream flags, the effect's own
// stream group (its name and its place in the layer's effect list) and the
// place of a parameter stream in that group. Masks are not part of the
// project, nor is the layer's group of effects above an effect's group.

#include "project/aegp_common.h"
#include "utf16.h"

namespace host {
namespace {

// The flags one stream of the reference carries. Needs the effect's lock.
AEGP_DynStreamFlags& flagsOf(const StreamTarget& stream) {
    return stream.param ? stream.effect->stream(stream.param).dynamicFlags : stream.effect->groupFlags;
}

bool isOneFlag(AEGP_DynStreamFlags flag) {
    return flag == AEGP_DynStreamFlag_ACTIVE_EYEBALL || flag == AEGP_DynStreamFlag_HIDDEN ||
           flag == AEGP_DynStreamFlag_DISABLED;
}

A_Err getNewStreamRefForMask(AEGP_PluginID, AEGP_MaskRefH, AEGP_StreamRefH*) noexcept {
    return notServed("AEGP_GetNewStreamRefForMask");
}

A_Err getDynamicStreamFlags(AEGP_StreamRefH stream, AEGP_DynStreamFlags* flags) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_GetDynamicStreamFlags", [&] { return streamArg(stream); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const StreamTarget* found = findStream(*host, stream);
    if (!found || !flags) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *flags = flagsOf(*found);
    return A_Err_NONE;
}

// Undo is the application's business; the undoable flag changes nothing here.
A_Err setDynamicStreamFlag(AEGP_StreamRefH stream, AEGP_DynStreamFlags flag, A_Boolean, A_Boolean set) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_SetDynamicStreamFlag",
            [&] { return streamArg(stream) + " flag=" + std::to_string(flag) + " set=" + std::to_string(set); },
            host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const StreamTarget* found = findStream(*host, stream);
    if (!found || !isOneFlag(flag)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    AEGP_DynStreamFlags& flags = flagsOf(*found);
    flags = set ? flags | flag : flags & ~flag;
    return A_Err_NONE;
}

// Only an effect's group can be renamed: that renames the effect.
A_Err setStreamName(AEGP_StreamRefH stream, const A_UTF16Char* name) noexcept {
    Host::Impl* host = nullptr;
    std::u16string text;
    for (const A_UTF16Char* unit = name; unit && *unit; ++unit) {
        text += static_cast<char16_t>(*unit);
    }
    if (const A_Err err = enterAegp(
            "AEGP_SetStreamName",
            [&] { return streamArg(stream) + " name=" + (name ? "\"" + toUtf8(text) + "\"" : "null"); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const StreamTarget* found = findStream(*host, stream);
    if (!found || found->param || !name) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    found->effect->name = text;
    return A_Err_NONE;
}

A_Err getNewParentStreamRef(AEGP_PluginID plugin, AEGP_StreamRefH stream, AEGP_StreamRefH* parent) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_GetNewParentStreamRef", [&] { return pluginArg(plugin) + " " + streamArg(stream); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const StreamTarget* found = findStream(*host, stream);
    if (!found || !parent || !knownPlugin(*host, plugin)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (!found->param) {
        return kNotServed;
    }
    *parent = host->effect.references.add(StreamTarget{found->effect, 0}, host->commandSerial);
    return A_Err_NONE;
}

// Counted from 0: a group's place among the layer's effects, a parameter's
// among the effect's parameters (the input layer is none of them).
A_Err getStreamIndexInParent(AEGP_StreamRefH stream, A_long* index) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_GetStreamIndexInParent", [&] { return streamArg(stream); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const StreamTarget* found = findStream(*host, stream);
    if (!found || !index) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *index = found->param ? found->param - 1 : found->effect->index();
    return A_Err_NONE;
}

const AEGP_DynamicStreamSuite5 kDynamicStreamSuite = {getNewStreamRefForMask, getDynamicStreamFlags,
                                                      setDynamicStreamFlag,   setStreamName,
                                                      getNewParentStreamRef,  getStreamIndexInParent};

}  // namespace

void installAegpDynamicStream(Host::Impl& host) {
    host.suites.add(kAEGPDynamicStreamSuite, kAEGPDynamicStreamSuiteVersion5, &kDynamicStreamSuite);
}

}  // namespace host
