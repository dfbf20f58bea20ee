// Borrowed worlds, and copy, fill and blend through the host's callbacks.

#include <cstdint>
#include <iterator>

#include "AE_EffectCB.h"
#include "world/world.h"

namespace Nerevo {
namespace {

PF_LayerDef* layerOf(const std::shared_ptr<World>& world) {
    return world ? world->world : nullptr;
}

PF_Rect toHostRect(const Rect<int>& r) {
    return PF_Rect{r.left, r.top, r.right, r.bottom};
}

// Indexed by BlendingMode + 1, from `none` (-1) to `multiply_not_alpha_luma` (31).
constexpr PF_TransferMode kTransferModes[] = {
    PF_Xfer_NONE,           PF_Xfer_IN_FRONT,     PF_Xfer_DISSOLVE,         PF_Xfer_ADD,
    PF_Xfer_MULTIPLY,       PF_Xfer_SCREEN,       PF_Xfer_OVERLAY,          PF_Xfer_SOFT_LIGHT,
    PF_Xfer_HARD_LIGHT,     PF_Xfer_COLOR_DODGE2, PF_Xfer_COLOR_BURN2,      PF_Xfer_DARKEN,
    PF_Xfer_LIGHTEN,        PF_Xfer_DIFFERENCE2,  PF_Xfer_EXCLUSION,        PF_Xfer_HUE,
    PF_Xfer_SATURATION,     PF_Xfer_LUMINOSITY,   PF_Xfer_ALPHA_ADD,        PF_Xfer_LINEAR_BURN,
    PF_Xfer_COLOR_BURN,     PF_Xfer_LINEAR_DODGE, PF_Xfer_COLOR_DODGE,      PF_Xfer_LINEAR_LIGHT,
    PF_Xfer_VIVID_LIGHT,    PF_Xfer_PIN_LIGHT,    PF_Xfer_HARD_MIX,         PF_Xfer_DIFFERENCE,
    PF_Xfer_COLOR,          PF_Xfer_MULTIPLY_ALPHA, PF_Xfer_MULTIPLY_ALPHA_LUMA, PF_Xfer_MULTIPLY_NOT_ALPHA,
    PF_Xfer_MULTIPLY_NOT_ALPHA_LUMA,
};
static_assert(std::size(kTransferModes) == static_cast<std::size_t>(BlendingMode::multiply_not_alpha_luma) + 2);

PF_TransferMode transferMode(BlendingMode mode) {
    // Unsigned, so values below `none` miss the table too.
    const auto index = static_cast<std::uint32_t>(static_cast<std::int32_t>(mode) + 1);
    return index < std::size(kTransferModes) ? kTransferModes[index] : PF_Xfer_IN_FRONT;
}

PF_Err transfer(PF_InData* in_data, const std::shared_ptr<World>& src, const std::shared_ptr<World>& dst,
                const PF_Rect& srcRect, Vector2<int> offset, const PF_CompositeMode& mode) {
    return in_data->utils->transfer_rect(in_data->effect_ref, PF_Quality_HI, PF_MF_Alpha_STRAIGHT, PF_Field_FRAME,
                                         &srcRect, layerOf(src), &mode, nullptr, offset.x, offset.y, layerOf(dst));
}

}  // namespace

PF_Err getInputWorld(PF_InData* in_data, PF_SmartRenderExtra* extra, int checkout_id, std::shared_ptr<World>& out) {
    PF_EffectWorld* world = nullptr;
    const PF_Err err = extra && extra->cb
                           ? extra->cb->checkout_layer_pixels(in_data->effect_ref, checkout_id, &world)
                           : PF_Err_BAD_CALLBACK_PARAM;
    out = std::make_shared<World>(world);
    return err;
}

PF_Err getOutputWorld(PF_InData* in_data, PF_SmartRenderExtra* extra, std::shared_ptr<World>& out) {
    PF_EffectWorld* world = nullptr;
    const PF_Err err =
        extra && extra->cb ? extra->cb->checkout_output(in_data->effect_ref, &world) : PF_Err_BAD_CALLBACK_PARAM;
    out = std::make_shared<World>(world);
    return err;
}

PF_Err setExistingWorld(PF_InData*, AEGP_SuiteHandler&, PF_LayerDef& world, std::shared_ptr<World>& out) {
    out = std::make_shared<World>(&world);
    return PF_Err_NONE;
}

PF_Err copy(PF_InData* in_data, const std::shared_ptr<World>& src, const std::shared_ptr<World>& dst) {
    return copy(in_data, layerOf(src), layerOf(dst));
}

PF_Err copy(PF_InData* in_data, PF_LayerDef* src, PF_LayerDef* dst) {
    return in_data->utils->copy(in_data->effect_ref, src, dst, nullptr, nullptr);
}

PF_Err copy(PF_InData* in_data, const std::shared_ptr<World>& src, const std::shared_ptr<World>& dst,
            const Rect<int>& srcRect, const Rect<int>& dstRect) {
    return copy(in_data, layerOf(src), layerOf(dst), srcRect, dstRect);
}

PF_Err copy(PF_InData* in_data, PF_LayerDef* src, PF_LayerDef* dst, const Rect<int>& srcRect,
            const Rect<int>& dstRect) {
    PF_Rect s = toHostRect(srcRect);
    PF_Rect d = toHostRect(dstRect);
    return in_data->utils->copy(in_data->effect_ref, src, dst, &s, &d);
}

PF_Err fill(PF_InData* in_data, std::shared_ptr<World>& world, const Color<float>& color) {
    const PF_Pixel pixel = toPixel8(color);
    return in_data->utils->fill(in_data->effect_ref, &pixel, nullptr, layerOf(world));
}

PF_Err fill(PF_InData* in_data, std::shared_ptr<World>& world, const Rect<int>& rect, const Color<float>& color) {
    const PF_Pixel pixel = toPixel8(color);
    const PF_Rect r = toHostRect(rect);
    return in_data->utils->fill(in_data->effect_ref, &pixel, &r, layerOf(world));
}

PF_Err blend(PF_InData* in_data, std::shared_ptr<World>& src, std::shared_ptr<World>& dst, Bpc, BlendingMode mode) {
    const PF_LayerDef* source = layerOf(src);
    const PF_Rect whole{0, 0, source ? source->width : 0, source ? source->height : 0};
    const PF_CompositeMode composite{transferMode(mode), 0, 255, false, 32768};
    return transfer(in_data, src, dst, whole, Vector2<int>{0, 0}, composite);
}

PF_Err blend(PF_InData* in_data, std::shared_ptr<World>& src, std::shared_ptr<World>& dst, Bpc,
             const Rect<int>& srcRect, Vector2<int> offset, BlendingMode mode, double opacity, bool rgbOnly) {
    // Clamped first: 255 × 1.5 kept in 8 bits would wrap round to 126.
    const double o = clamp(opacity, 0.0, 1.0);
    const PF_CompositeMode composite{transferMode(mode), 0, static_cast<A_u_char>(255.0 * o), rgbOnly,
                                     static_cast<A_u_short>(32768.0 * o)};
    return transfer(in_data, src, dst, toHostRect(srcRect), offset, composite);
}

}  // namespace Nerevo
