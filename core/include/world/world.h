#pragma once
// Worlds: the library's handle on a host image buffer (PF_LayerDef), and
// who releases it. Worlds are always held as std::shared_ptr<World>, so a
// buffer the plug-in allocated is freed, and a layer it checked out is
// checked back in, when the last holder lets go.
//
// A plain World borrows: the host keeps the buffer valid until the command
// returns, so no pointer to a borrowed world may outlive the command.

#include <memory>

#include "AEGP_SuiteHandler.h"
#include "AE_Effect.h"
#include "blend/blend.h"
#include "color/color.h"
#include "utility/bpc.h"
#include "vector/rect.h"
#include "vector/vector2.h"

namespace Nerevo {

class World {
public:
    explicit World(PF_LayerDef* world = nullptr) : world(world) {}
    virtual ~World() = default;

    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // May be null; a world whose data is null is empty.
    PF_LayerDef* world;
};

// A buffer the plug-in allocates through the host, freed by the destructor.
class NewWorld : public World {
public:
    NewWorld(PF_InData* in_data, PF_OutData* out_data, AEGP_SuiteHandler& suites);
    ~NewWorld() override;

    // Allocates width × height pixels of the depth, all zero when `clear`.
    // Runs once: later calls return 0 and change nothing. A depth that is
    // none of the three allocates nothing and succeeds.
    PF_Err init(Bpc bpc, int width, int height, bool clear);

    PF_InData* in_data;
    PF_OutData* out_data;
    AEGP_SuiteHandler* suites;
    Bpc bpc;
    bool initialized;

private:
    PF_LayerDef record_{};
};

// A layer parameter checked out at some time, checked back in by the destructor.
class ParameterWorld : public World {
public:
    ParameterWorld(PF_InData* in_data, AEGP_SuiteHandler& suites);
    ~ParameterWorld() override;

    // Checks out parameter `index` at `time`; `world` points at its pixels
    // when the layer has any.
    PF_Err init(int index, A_Time time);

    PF_InData* in_data;
    AEGP_SuiteHandler* suites;
    PF_ParamDef param{};

private:
    bool checkedOut_ = false;
};

// Every function returns the host's error code (0 = success) and takes the
// command's in data first. On failure the `out` argument of
// getParameterWorld, createWorld and cloneWorld is left as it was.

// The input layer's pixels of a smart render (checkout_layer_pixels); `out`
// is assigned a borrowing world even when the host fails.
PF_Err getInputWorld(PF_InData* in_data, PF_SmartRenderExtra* extra, int checkout_id, std::shared_ptr<World>& out);
// The output world of a smart render (checkout_output); `out` as above.
PF_Err getOutputWorld(PF_InData* in_data, PF_SmartRenderExtra* extra, std::shared_ptr<World>& out);
PF_Err getParameterWorld(PF_InData* in_data, AEGP_SuiteHandler& suites, int index, A_Time time,
                         std::shared_ptr<World>& out);
// Borrows a world the caller keeps alive.
PF_Err setExistingWorld(PF_InData* in_data, AEGP_SuiteHandler& suites, PF_LayerDef& world,
                        std::shared_ptr<World>& out);
PF_Err createWorld(PF_InData* in_data, PF_OutData* out_data, AEGP_SuiteHandler& suites, Bpc bpc, int width,
                   int height, bool clear, std::shared_ptr<World>& out);
// A new world of the source's size (0 × 0 without a source buffer) holding a copy of it.
PF_Err cloneWorld(PF_InData* in_data, PF_OutData* out_data, AEGP_SuiteHandler& suites, Bpc bpc,
                  std::shared_ptr<World>& src, std::shared_ptr<World>& out);

// The whole source onto the whole destination, or one rectangle onto another
// of the same size, through the host's copy.
PF_Err copy(PF_InData* in_data, const std::shared_ptr<World>& src, const std::shared_ptr<World>& dst);
PF_Err copy(PF_InData* in_data, PF_LayerDef* src, PF_LayerDef* dst);
PF_Err copy(PF_InData* in_data, const std::shared_ptr<World>& src, const std::shared_ptr<World>& dst,
            const Rect<int>& srcRect, const Rect<int>& dstRect);
PF_Err copy(PF_InData* in_data, PF_LayerDef* src, PF_LayerDef* dst, const Rect<int>& srcRect,
            const Rect<int>& dstRect);

// Fills the world, or a rectangle of it, with a colour; the host converts the
// 8-bit colour to the world's depth.
PF_Err fill(PF_InData* in_data, std::shared_ptr<World>& world, const Color<float>& color);
PF_Err fill(PF_InData* in_data, std::shared_ptr<World>& world, const Rect<int>& rect, const Color<float>& color);

// Composites the whole source over the destination at (0, 0), fully opaque,
// through the host's transfer_rect, in the host's transfer mode of `mode`
// (PF_Xfer_IN_FRONT for a value that names none). `bpc` is not needed: the
// host knows the worlds' depth.
PF_Err blend(PF_InData* in_data, std::shared_ptr<World>& src, std::shared_ptr<World>& dst, Bpc bpc,
             BlendingMode mode);
// Composites the source rectangle with its top-left at `offset` in the
// destination; `opacity` is clamped to 0..1. With `rgbOnly` the host
// composites the colour channels only.
PF_Err blend(PF_InData* in_data, std::shared_ptr<World>& src, std::shared_ptr<World>& dst, Bpc bpc,
             const Rect<int>& srcRect, Vector2<int> offset, BlendingMode mode, double opacity, bool rgbOnly);

}  // namespace Nerevo
