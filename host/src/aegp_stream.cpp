// "AEGP Stream Suite" version 9: the parameter streams of effect instances,
// reached through counted stream references, with their names and
// expressions. Stream values come with keyframes; layer and mask streams
// are not part of the project.

#include <cstring>

#include "aegp_common.h"
#include "format.h"
#include "utf16.h"

namespace host {
namespace {

// A parameter stream, not a group; null otherwise. Needs the state lock.
const StreamTarget* findParamStream(Host::Impl& host, AEGP_StreamRefH stream) {
    const StreamTarget* found = findStream(host, stream);
    return found && found->param ? found : nullptr;
}

// Needs the state lock.
AEGP_MemHandle handOut(Host::Impl& host, std::string what, const void* data, std::size_t size) {
    MemoryBlock block;
    block.what = std::move(what);
    block.bytes.resize(size);
    std::memcpy(block.bytes.data(), data, size);
    return host.references.add(std::move(block), host.commandSerial);
}

A_Err getNewLayerStream(AEGP_PluginID, AEGP_LayerH, AEGP_LayerStream, AEGP_StreamRefH*) noexcept {
    return notServed("AEGP_GetNewLayerStream");
}

A_Err getNewEffectStreamByIndex(AEGP_PluginID plugin, AEGP_EffectRefH effect, PF_ParamIndex index,
                                AEGP_StreamRefH* stream) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp("AEGP_GetNewEffectStreamByIndex",
                                    pluginArg(plugin) + " " + effectArg(effect) +
                                        " index=" + std::to_string(index),
                                    host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->stateMutex);
    Effect* found = host->references.find(effect);
    if (!found || !stream || !knownPlugin(*host, plugin) || !found->hasStream(index)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *stream = host->references.add(StreamTarget{found, index}, host->commandSerial);
    return A_Err_NONE;
}

A_Err getNewMaskStream(AEGP_PluginID, AEGP_MaskRefH, AEGP_MaskStream, AEGP_StreamRefH*) noexcept {
    return notServed("AEGP_GetNewMaskStream");
}

A_Err disposeStream(AEGP_StreamRefH stream) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp("AEGP_DisposeStream", streamArg(stream), host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->stateMutex);
    if (host->references.remove(stream)) {
        return A_Err_NONE;
    }
    if (stream) {
        host->notes.push_back("AEGP_DisposeStream of a reference the host does not hold (disposed twice?)");
    }
    return PF_Err_BAD_CALLBACK_PARAM;
}

// The name as UTF-16 with its terminating NUL; a group is named after its effect.
A_Err getStreamName(AEGP_PluginID plugin, AEGP_StreamRefH stream, A_Boolean, AEGP_MemHandle* name) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp("AEGP_GetStreamName", pluginArg(plugin) + " " + streamArg(stream), host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->stateMutex);
    const StreamTarget* found = findStream(*host, stream);
    if (!found || !name || !knownPlugin(*host, plugin)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const std::u16string text =
        found->param ? toUtf16(host->params[static_cast<std::size_t>(found->param)].name) : found->effect->name;
    *name = handOut(*host, "stream name", text.c_str(), (text.size() + 1) * sizeof(char16_t));
    return A_Err_NONE;
}

A_Err isStreamTimevarying(AEGP_StreamRefH, A_Boolean*) noexcept {
    return notServed("AEGP_IsStreamTimevarying");
}

A_Err getNewStreamValue(AEGP_PluginID, AEGP_StreamRefH, AEGP_LTimeMode, const A_Time*, A_Boolean,
                        AEGP_StreamValue2*) noexcept {
    return notServed("AEGP_GetNewStreamValue");
}

A_Err disposeStreamValue(AEGP_StreamValue2*) noexcept {
    return notServed("AEGP_DisposeStreamValue");
}

A_Err setStreamValue(AEGP_PluginID, AEGP_StreamRefH, AEGP_StreamValue2*) noexcept {
    return notServed("AEGP_SetStreamValue");
}

A_Err getExpressionState(AEGP_PluginID plugin, AEGP_StreamRefH stream, A_Boolean* enabled) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp("AEGP_GetExpressionState", pluginArg(plugin) + " " + streamArg(stream), host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->stateMutex);
    const StreamTarget* found = findParamStream(*host, stream);
    if (!found || !enabled || !knownPlugin(*host, plugin)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *enabled = found->effect->stream(found->param).expressionEnabled;
    return A_Err_NONE;
}

A_Err setExpressionState(AEGP_PluginID plugin, AEGP_StreamRefH stream, A_Boolean enabled) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp("AEGP_SetExpressionState",
                                    pluginArg(plugin) + " " + streamArg(stream) +
                                        " enabled=" + std::to_string(enabled),
                                    host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->stateMutex);
    const StreamTarget* found = findParamStream(*host, stream);
    if (!found || !knownPlugin(*host, plugin)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    found->effect->stream(found->param).expressionEnabled = enabled != 0;
    return A_Err_NONE;
}

// The text with its terminating NUL.
A_Err getExpression(AEGP_PluginID plugin, AEGP_StreamRefH stream, AEGP_MemHandle* text) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp("AEGP_GetExpression", pluginArg(plugin) + " " + streamArg(stream), host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->stateMutex);
    const StreamTarget* found = findParamStream(*host, stream);
    if (!found || !text || !knownPlugin(*host, plugin)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const std::string& expression = found->effect->stream(found->param).expression;
    *text = handOut(*host, "expression", expression.c_str(), expression.size() + 1);
    return A_Err_NONE;
}

A_Err setExpression(AEGP_PluginID plugin, AEGP_StreamRefH stream, const A_char* text) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp("AEGP_SetExpression",
                                    pluginArg(plugin) + " " + streamArg(stream) + " text=" + quoted(text), host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->stateMutex);
    const StreamTarget* found = findParamStream(*host, stream);
    if (!found || !text || !knownPlugin(*host, plugin)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    found->effect->stream(found->param).expression = text;
    return A_Err_NONE;
}

const AEGP_StreamSuite9 kStreamSuite = {
    getNewLayerStream, getNewEffectStreamByIndex, getNewMaskStream, disposeStream,      getStreamName,
    isStreamTimevarying, getNewStreamValue,       disposeStreamValue, setStreamValue,   getExpressionState,
    setExpressionState,  getExpression,            setExpression};

}  // namespace

void installAegpStream(Host::Impl& host) {
    host.suites.add(kAEGPStreamSuite, kAEGPStreamSuiteVersion9, &kStreamSuite);
}

}  // namespace host
