#include "SmartRender.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "AEGP_SuiteHandler.h"
#include "AE_EffectCB.h"
#include "App.h"
#include "Smart_Utils.h"
#include "default/command.h"
#include "memory/handle.h"
#include "plugin/plugin.h"

namespace {

// The host lets the record go with nothing but the pointer, after the render
// or without one; the record carries the disposal that frees it. Nobody
// uses the record any more, so it is read without locking.
void deletePreRenderData(void* data) {
    const auto handle = static_cast<PF_Handle>(data);
    if (handle && *handle) {
        static_cast<const PreRenderRecord*>(*handle)->disposeHandle(handle);
    }
}

// The record while the pre-render fills it: locked, and disposed again
// unless the pre-render hands it to the host, so that no error and no
// missing suite leaves it behind.
class PendingRecord {
public:
    explicit PendingRecord(const PF_HandleSuite2* handles)
        : handles_(handles), handle_(handles->host_new_handle(sizeof(PreRenderRecord))) {
        if (handle_) {
            record_ = static_cast<PreRenderRecord*>(handles_->host_lock_handle(handle_));
        }
    }
    ~PendingRecord() {
        if (record_) {
            handles_->host_unlock_handle(handle_);
        }
        if (handle_) {
            handles_->host_dispose_handle(handle_);
        }
    }
    PendingRecord(const PendingRecord&) = delete;
    PendingRecord& operator=(const PendingRecord&) = delete;

    // Null when the handle could not be had or locked.
    PreRenderRecord* record() const { return record_; }

    // Unlocks the record and gives it up.
    PF_Handle release() {
        handles_->host_unlock_handle(handle_);
        record_ = nullptr;
        return std::exchange(handle_, nullptr);
    }

private:
    const PF_HandleSuite2* handles_;
    PF_Handle handle_;
    PreRenderRecord* record_ = nullptr;
};

// A layer length in render pixels.
A_long toRenderPixels(A_long length, const PF_RationalScale& scale) {
    return static_cast<A_long>(static_cast<std::uint64_t>(static_cast<A_u_long>(scale.num)) *
                               static_cast<A_u_long>(length) / scale.den);
}

void widenToLayer(PF_LRect& rect, A_long width, A_long height) {
    rect.left = std::min<A_long>(rect.left, 0);
    rect.top = std::min<A_long>(rect.top, 0);
    rect.right = std::max(rect.right, width);
    rect.bottom = std::max(rect.bottom, height);
}

// "Grow Bounds": the content of a text or shape layer may be smaller than
// the layer, and its result then still covers the whole layer.
PF_Err growBounds(PF_InData* in, AEGP_SuiteHandler& suites, A_long width, A_long height,
                  PF_CheckoutResult& result) {
    AEGP_LayerH layer = nullptr;
    if (const PF_Err err = suites.PFInterfaceSuite1()->AEGP_GetEffectLayer(in->effect_ref, &layer)) {
        return err;
    }
    AEGP_ObjectType type = AEGP_ObjectType_NONE;
    const PF_Err err = suites.LayerSuite13()->AEGP_GetLayerObjectType(layer, &type);
    PF_LRect& result_rect = result.result_rect;
    PF_LRect& max_rect = result.max_result_rect;
    if ((type == AEGP_ObjectType_TEXT || type == AEGP_ObjectType_VECTOR) && !IsEmptyRect(&result_rect)) {
        widenToLayer(result_rect, width, height);
        max_rect.left = std::min(max_rect.left, result_rect.left);
        max_rect.top = std::min(max_rect.top, result_rect.top);
        max_rect.right = std::max(max_rect.right, result_rect.right);
        max_rect.bottom = std::max(max_rect.bottom, result_rect.bottom);
    }
    return err;
}

// The handle calls of a render: the host's utility callbacks, or the
// platform's handles when the host offers none.
class HandleCalls {
public:
    explicit HandleCalls(const PF_UtilCallbacks& utils)
        : host_(utils.host_new_handle && utils.host_lock_handle && utils.host_unlock_handle &&
                        utils.host_dispose_handle
                    ? &utils
                    : nullptr) {}

    PF_Handle create(std::size_t size) const {
        return host_ ? host_->host_new_handle(size) : Nerevo::Memory::newHandle(size);
    }
    void* lock(PF_Handle handle) const { return host_ ? host_->host_lock_handle(handle) : *handle; }
    void unlock(PF_Handle handle) const {
        host_ ? host_->host_unlock_handle(handle) : Nerevo::Memory::unlockHandle(handle);
    }
    void dispose(PF_Handle handle) const {
        host_ ? host_->host_dispose_handle(handle) : Nerevo::Memory::disposeHandle(handle);
    }

private:
    const PF_UtilCallbacks* host_;
};

// A handle locked for the length of a scope; disposed at its end too when
// the scope made it.
class ScopedHandle {
public:
    ScopedHandle(const HandleCalls& calls, PF_Handle handle, bool owned = false)
        : calls_(calls), handle_(handle), owned_(owned), data_(handle ? calls.lock(handle) : nullptr) {}
    ScopedHandle(const HandleCalls& calls, std::size_t size) : ScopedHandle(calls, calls.create(size), true) {}
    ~ScopedHandle() {
        if (data_) {
            calls_.unlock(handle_);
        }
        if (owned_ && handle_) {
            calls_.dispose(handle_);
        }
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    // Null when there is no handle or it cannot be locked.
    template <typename T>
    T* data() const {
        return static_cast<T*>(data_);
    }

private:
    const HandleCalls& calls_;
    PF_Handle handle_;
    bool owned_;
    void* data_;
};

}  // namespace

PF_Err smartPreRender(PF_InData* in, PF_OutData*, PF_PreRenderExtra* extra) {
    PF_RenderRequest request = extra->input->output_request;
    AEGP_SuiteHandler suites(in->pica_basicP);
    const PF_HandleSuite2* handles = suites.HandleSuite2();
    PendingRecord pending(handles);
    PreRenderRecord* record = pending.record();
    if (!record) {
        return PF_Err_OUT_OF_MEMORY;
    }
    *record = PreRenderRecord{};
    record->disposeHandle = handles->host_dispose_handle;
    if (const PF_Err err = Nerevo::Plugin::checkoutParams(in, PARAM_DEFS, PARAM_COUNT, record->values)) {
        return err;
    }

    // The blur reaches across the whole layer, so every render needs all of it.
    const A_long width = toRenderPixels(in->width, in->downsample_x);
    const A_long height = toRenderPixels(in->height, in->downsample_y);
    widenToLayer(request.rect, width, height);
    request.preserve_rgb_of_zero_alpha = true;
    extra->output->flags |= PF_RenderOutputFlag_RETURNS_EXTRA_PIXELS;

    PF_CheckoutResult result{};
    PF_Err err = extra->cb->checkout_layer(in->effect_ref, 0, 0, &request, in->current_time, in->time_step,
                                           in->time_scale, &result);
    if (!err && paramAt(record->values, Param::GrowBounds).b) {
        err = growBounds(in, suites, width, height, result);
    }
    if (err) {
        return err;
    }
    UnionLRect(&result.result_rect, &extra->output->result_rect);
    UnionLRect(&result.max_result_rect, &extra->output->max_result_rect);
    extra->output->pre_render_data = pending.release();
    extra->output->delete_pre_render_data_func = deletePreRenderData;
    return PF_Err_NONE;
}

PF_Err smartRender(PF_InData* in, PF_OutData* out, PF_SmartRenderExtra* extra) {
    const HandleCalls handles(*in->utils);
    const ScopedHandle global(handles, in->global_data);
    const auto* globalData = global.data<const Nerevo::Default::GlobalData>();
    if (!globalData) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const ScopedHandle preRender(handles, static_cast<PF_Handle>(extra->input->pre_render_data));
    const auto* record = preRender.data<const PreRenderRecord>();
    if (!record) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const ScopedHandle array(handles, sizeof(ParameterValue) * PARAM_COUNT);
    auto* values = array.data<ParameterValue>();
    if (!values) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
    for (int k = 0; k < PARAM_COUNT; ++k) {
        values[k] = ParameterValue{PARAM_DEFS[k].index, PARAM_DEFS[k].type, record->values[k]};
    }
    return PluginSmartRender(globalData->pluginId, in, out, extra, values, false);
}

PF_Err PluginSmartRender(int pluginId, PF_InData* in, PF_OutData* out, PF_SmartRenderExtra* extra,
                         const ParameterValue* params, bool reserved) {
    App app(pluginId, in, out, extra, params, reserved);
    return app.execute();
}
