// "AEGP Stream Suite" version 9: the parameter streams of effect instances
// and the properties of layers, reached through counted stream references,
// with their values, names and expressions. Value records are counted too.
// Expressions are kept as text and never evaluated, so the values before
// and after them agree. Mask streams are not part of the project.

#include <cstring>

#include "format.h"
#include "project/aegp_common.h"
#include "project/stream_values.h"
#include "utf16.h"

namespace host {
namespace {

// A parameter stream, not a group; null otherwise. Needs the effect's lock.
const StreamTarget* findParamStream(Host::Impl& host, AEGP_StreamRefH stream) {
    const StreamTarget* found = findStream(host, stream);
    return found && found->param ? found : nullptr;
}

// Needs the effect's lock.
AEGP_MemHandle handOut(Host::Impl& host, std::string what, const void* data, std::size_t size) {
    MemoryBlock block;
    block.what = std::move(what);
    block.bytes.resize(size);
    std::memcpy(block.bytes.data(), data, size);
    return host.effect.references.add(std::move(block), host.commandSerial);
}

A_Err getNewLayerStream(AEGP_PluginID plugin, AEGP_LayerH layer, AEGP_LayerStream which,
                        AEGP_StreamRefH* stream) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_GetNewLayerStream",
            [&] { return pluginArg(plugin) + (layer ? " layer" : " layer=null") + " which=" + std::to_string(which); },
            host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    Layer* found = findLayer(*host, layer);
    if (!found || !stream || !knownPlugin(*host, plugin) || !Layer::hasStream(which)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *stream = host->effect.references.add(StreamTarget{nullptr, 0, found, which}, host->commandSerial);
    return A_Err_NONE;
}

A_Err getNewEffectStreamByIndex(AEGP_PluginID plugin, AEGP_EffectRefH effect, PF_ParamIndex index,
                                AEGP_StreamRefH* stream) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_GetNewEffectStreamByIndex",
            [&] { return pluginArg(plugin) + " " + effectArg(effect) + " index=" + std::to_string(index); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    Effect* found = host->effect.references.find(effect);
    if (!found || !stream || !knownPlugin(*host, plugin) || !found->hasStream(index)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *stream = host->effect.references.add(StreamTarget{found, index}, host->commandSerial);
    return A_Err_NONE;
}

A_Err getNewMaskStream(AEGP_PluginID, AEGP_MaskRefH, AEGP_MaskStream, AEGP_StreamRefH*) noexcept {
    return notServed("AEGP_GetNewMaskStream");
}

A_Err disposeStream(AEGP_StreamRefH stream) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_DisposeStream", [&] { return streamArg(stream); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    if (host->effect.references.remove(stream)) {
        return A_Err_NONE;
    }
    if (stream) {
        host->note("AEGP_DisposeStream of a reference the host does not hold (disposed twice?)");
    }
    return PF_Err_BAD_CALLBACK_PARAM;
}

// The name as UTF-16 with its terminating NUL; a group is named after its effect.
A_Err getStreamName(AEGP_PluginID plugin, AEGP_StreamRefH stream, A_Boolean, AEGP_MemHandle* name) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_GetStreamName", [&] { return pluginArg(plugin) + " " + streamArg(stream); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const StreamTarget* found = findStream(*host, stream);
    if (!found || !name || !knownPlugin(*host, plugin)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const std::u16string text =
        found->param ? toUtf16(host->effect.params[static_cast<std::size_t>(found->param)].name) : found->effect->name;
    *name = handOut(*host, "stream name", text.c_str(), (text.size() + 1) * sizeof(char16_t));
    return A_Err_NONE;
}

// A stream varies once it has a keyframe, even a single one, as it does
// in the application once its stopwatch is on.
A_Err isStreamTimevarying(AEGP_StreamRefH stream, A_Boolean* varies) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_IsStreamTimevarying", [&] { return streamArg(stream); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const StreamTarget* found = findValueStream(*host, stream);
    if (!found || !varies) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *varies = !ValueStream(*host, *found).state().keyframes().empty();
    return A_Err_NONE;
}

// The record carries the stream reference it came from until disposed.
A_Err getNewStreamValue(AEGP_PluginID plugin, AEGP_StreamRefH stream, AEGP_LTimeMode mode, const A_Time* time,
                        A_Boolean preExpression, AEGP_StreamValue2* value) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_GetNewStreamValue",
            [&] {
                return pluginArg(plugin) + " " + streamArg(stream) + " " + timeArg(mode, time) +
                       " pre_expression=" + std::to_string(preExpression);
            },
            host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const StreamTarget* found = findValueStream(*host, stream);
    if (!found || !value || !knownPlugin(*host, plugin) || !validTime(mode, time)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const ValueStream values(*host, *found);
    if (values.kind() == ValueKind::None) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    value->streamH = stream;
    value->val = toRecord(values.kind(), values.at(*time));
    host->effect.references.addValueRecord(stream, *found, host->commandSerial);
    return A_Err_NONE;
}

A_Err disposeStreamValue(AEGP_StreamValue2* value) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_DisposeStreamValue", [&] { return value ? streamArg(value->streamH) : std::string("value=null"); },
            host)) {
        return err;
    }
    if (!value) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    if (host->effect.references.removeValueRecord(value->streamH)) {
        return A_Err_NONE;
    }
    host->note("AEGP_DisposeStreamValue of a record the host does not hold (disposed twice?)");
    return PF_Err_BAD_CALLBACK_PARAM;
}

// As in the application, only a stream without keyframes takes a value; a
// value that is not finite is refused.
A_Err setStreamValue(AEGP_PluginID plugin, AEGP_StreamRefH stream, AEGP_StreamValue2* value) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_SetStreamValue", [&] { return pluginArg(plugin) + " " + streamArg(stream); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const StreamTarget* found = findValueStream(*host, stream);
    if (!found || !value || !knownPlugin(*host, plugin)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const ValueStream values(*host, *found);
    StreamValue taken{};
    if (!values.state().keyframes().empty() || !fromRecord(values.kind(), value->val, taken)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    values.setValue(taken);
    return A_Err_NONE;
}

A_Err getExpressionState(AEGP_PluginID plugin, AEGP_StreamRefH stream, A_Boolean* enabled) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_GetExpressionState", [&] { return pluginArg(plugin) + " " + streamArg(stream); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const StreamTarget* found = findParamStream(*host, stream);
    if (!found || !enabled || !knownPlugin(*host, plugin)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *enabled = found->effect->stream(found->param).expressionEnabled;
    return A_Err_NONE;
}

A_Err setExpressionState(AEGP_PluginID plugin, AEGP_StreamRefH stream, A_Boolean enabled) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_SetExpressionState",
            [&] { return pluginArg(plugin) + " " + streamArg(stream) + " enabled=" + std::to_string(enabled); },
            host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
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
    if (const A_Err err = enterAegp(
            "AEGP_GetExpression", [&] { return pluginArg(plugin) + " " + streamArg(stream); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
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
    if (const A_Err err = enterAegp(
            "AEGP_SetExpression", [&] { return pluginArg(plugin) + " " + streamArg(stream) + " text=" + quoted(text); },
            host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
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
