#pragma once
// Rendering one frame of the effect as the application does: the smart
// pre-render command (the effect states what it needs and how large its
// result is), then the smart render command with the checked-out input and
// output worlds, then the release of the pre-render data.

#include <memory>
#include <optional>

#include "AE_GeneralPlug.h"
#include "host/host.h"
#include "host/image.h"

namespace host {

struct RenderOptions {
    // Render at 1/downsample of the layer's size in both directions, as a
    // preview would: the host hands the effect the layer at the reduced size
    // and point parameters in the reduced layer's pixels.
    int downsample = 1;
    // Threads the effect's iterations run on; 0 means the machine's cores.
    int threads = 0;
    // What kind of layer the effect sits on (footage, text or shape).
    AEGP_ObjectType layerType = AEGP_ObjectType_AV;
    // The frame rendered, in frames of the host's frame() time scale.
    A_long frame = 0;
    // The part of the layer that has content, in layer pixels at full
    // resolution, which checking the layer out answers as its result: a text
    // or shape layer's content may be smaller than its bounds. None: the
    // whole layer.
    std::optional<PF_LRect> content;
    // The output in the layer's frame: the union of the layer's rectangle at
    // the render's resolution and the result's, transparent where the effect
    // wrote nothing; the effect's own result when it covers that already.
    bool inLayerFrame = false;
};

struct RenderResult {
    PF_Err err = PF_Err_NONE;
    // The effect's output when err is 0: its size is the result rectangle
    // the effect asked for (larger than the layer when it grows its bounds),
    // its origin the rectangle's top-left in layer pixels.
    std::unique_ptr<Image> output;
    // The layer at the render's resolution, as the host reduced it.
    int layerWidth = 0;
    int layerHeight = 0;
};

// The layer's pixels at full resolution; its format is the render's depth.
// Needs global and parameter setup done on `host`. Parameter values are the
// host's current ones (see Host::param and the project's streams).
RenderResult renderFrame(Host& host, const Image& layer, const RenderOptions& options = {});

}  // namespace host
