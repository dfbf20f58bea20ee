// The callbacks of the smart-render extras: checkout_layer in the
// pre-render, checkout_layer_pixels, checkin_layer_pixels and checkout_output
// in the render; and checkout_param, which in a render hands point values out
// in the pixels of the downsampled layer, as the application does.

#include <algorithm>
#include <cmath>
#include <new>

#include "render/render_frame.h"

namespace host {
namespace {

std::string rectArg(const PF_LRect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

bool isEmpty(const PF_LRect& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

PF_LRect intersection(const PF_LRect& a, const PF_LRect& b) {
    const PF_LRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                     std::min(a.bottom, b.bottom)};
    return isEmpty(r) ? PF_LRect{0, 0, 0, 0} : r;
}

PF_Fixed scaled(PF_Fixed value, const PF_RationalScale& scale) {
    return static_cast<PF_Fixed>(std::llround(static_cast<double>(value) * scale.num / scale.den));
}

// Enters a callback that needs the render the host is in.
PF_Err enterRender(PF_ProgPtr ref, const char* name, CallArgs args, FrameRender*& render) {
    Host::Impl* host = nullptr;
    if (const PF_Err err = Host::Impl::enterWithRef(ref, name, args, host)) {
        return err;
    }
    render = FrameRender::of(*host);
    return render ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err checkoutLayer(PF_ProgPtr ref, PF_ParamIndex index, A_long id, const PF_RenderRequest* request, A_long time,
                     A_long step, A_u_long scale, PF_CheckoutResult* result) noexcept {
    const auto args = [&] {
        return "index=" + std::to_string(index) + " id=" + std::to_string(id) +
               " rect=" + (request ? rectArg(request->rect) : "null") + " time=" + std::to_string(time) +
               " step=" + std::to_string(step) + " scale=" + std::to_string(scale);
    };
    FrameRender* render = nullptr;
    if (const PF_Err err = enterRender(ref, "checkout_layer", args, render)) {
        return err;
    }
    if (!request || !result) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    return render->checkoutLayer(index, id, *request, *result);
}

PF_Err guidMixIn(PF_ProgPtr ref, A_u_long size, const void* buffer) noexcept {
    FrameRender* render = nullptr;
    if (const PF_Err err = enterRender(
            ref, "GuidMixInPtr", [&] { return "size=" + std::to_string(size); }, render)) {
        return err;
    }
    return size && !buffer ? PF_Err_BAD_CALLBACK_PARAM : PF_Err_NONE;
}

PF_Err checkoutLayerPixels(PF_ProgPtr ref, A_long id, PF_EffectWorld** pixels) noexcept {
    FrameRender* render = nullptr;
    if (const PF_Err err = enterRender(
            ref, "checkout_layer_pixels", [&] { return "id=" + std::to_string(id); }, render)) {
        return err;
    }
    if (!pixels) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    try {
        return render->checkoutLayerPixels(id, *pixels);
    } catch (const std::bad_alloc&) {
        return PF_Err_OUT_OF_MEMORY;
    }
}

PF_Err checkinLayerPixels(PF_ProgPtr ref, A_long id) noexcept {
    FrameRender* render = nullptr;
    if (const PF_Err err = enterRender(
            ref, "checkin_layer_pixels", [&] { return "id=" + std::to_string(id); }, render)) {
        return err;
    }
    return render->checkinLayerPixels(id);
}

PF_Err checkoutOutput(PF_ProgPtr ref, PF_EffectWorld** output) noexcept {
    FrameRender* render = nullptr;
    if (const PF_Err err = enterRender(ref, "checkout_output", "", render)) {
        return err;
    }
    return output ? render->checkoutOutput(*output) : PF_Err_BAD_CALLBACK_PARAM;
}

}  // namespace

PF_PreRenderCallbacks preRenderCallbacks() {
    return PF_PreRenderCallbacks{checkoutLayer, guidMixIn};
}

PF_SmartRenderCallbacks smartRenderCallbacks() {
    return PF_SmartRenderCallbacks{checkoutLayerPixels, checkinLayerPixels, checkoutOutput};
}

PF_Err checkoutParamInRender(PF_ProgPtr ref, PF_ParamIndex index, A_long time, A_long step, A_u_long scale,
                             PF_ParamDef* param) noexcept {
    Host::Impl* host = Host::Impl::current();
    FrameRender* render = host ? FrameRender::of(*host) : nullptr;
    return render ? render->checkoutParam(ref, index, time, step, scale, param) : PF_Err_INVALID_CALLBACK;
}

// The layer is the effect's only layer parameter, and it has one set of
// pixels whatever the time: a checkout at another time yields the same.
PF_Err FrameRender::checkoutLayer(PF_ParamIndex index, A_long id, const PF_RenderRequest& request,
                                  PF_CheckoutResult& result) {
    if (index != 0) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    result = PF_CheckoutResult{};
    result.result_rect = intersection(request.rect, content_);
    result.max_result_rect = content_;
    result.par = PF_RationalScale{1, 1};
    std::lock_guard<std::mutex> lock(mutex_);
    Checkout& checkout = checkouts_[id] = Checkout{};
    checkout.rect = result.result_rect;
    return PF_Err_NONE;
}

PF_Err FrameRender::checkoutLayerPixels(A_long id, PF_EffectWorld*& world) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = checkouts_.find(id);
    if (found == checkouts_.end()) {
        return PF_Err_BAD_CALLBACK_PARAM;  // the pre-render checked nothing out under this id
    }
    Checkout& checkout = found->second;
    if (!checkout.made) {
        const PF_LRect& r = checkout.rect;
        if (r.left == 0 && r.top == 0 && r.right == layer_->width() && r.bottom == layer_->height()) {
            // The input is the plug-in's to read only, so the layer itself serves.
            checkout.world = *layer_->world();
            checkout.world.origin_x = 0;
            checkout.world.origin_y = 0;
        } else {
            checkout.part = layerPart(*layer_, r);
            checkout.world = *checkout.part->world();
        }
        checkout.made = true;
    }
    world = &checkout.world;
    return PF_Err_NONE;
}

// The pixels stay valid until the command returns, checked in or not.
PF_Err FrameRender::checkinLayerPixels(A_long id) {
    std::lock_guard<std::mutex> lock(mutex_);
    return checkouts_.count(id) ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err FrameRender::checkoutOutput(PF_EffectWorld*& world) {
    if (!output_) {
        return PF_Err_BAD_CALLBACK_PARAM;  // asked for outside the render
    }
    world = output_->world();
    return PF_Err_NONE;
}

PF_Err FrameRender::checkoutParam(PF_ProgPtr ref, PF_ParamIndex index, A_long time, A_long step, A_u_long scale,
                                  PF_ParamDef* param) {
    const PF_Err err = impl_.inter.checkout_param(ref, index, time, step, scale, param);
    if (!err && param->param_type == PF_Param_POINT) {
        param->u.td.x_value = scaled(param->u.td.x_value, frame_.downsampleX);
        param->u.td.y_value = scaled(param->u.td.y_value, frame_.downsampleY);
    }
    return err;
}

}  // namespace host
