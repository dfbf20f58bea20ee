#pragma once
// One frame rendered as the application renders it: what renderFrame keeps
// while the effect's pre-render and render commands run, and the
// smart-render callbacks that answer from it.

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/image.h"
#include "host/render.h"
#include "host_impl.h"

namespace host {

// Lives for one renderFrame, during which the host's commands and callbacks
// answer from it: the frame (time, size, downsampling), thread count and
// target layer type of the render, and checkout_param with point values in
// render pixels. The host's own settings stay as they are.
class FrameRender {
public:
    // Throws HostError when the host is not set up or already renders.
    FrameRender(Host& host, Host::Impl& impl, const Image& layer, const RenderOptions& options);
    ~FrameRender();

    FrameRender(const FrameRender&) = delete;
    FrameRender& operator=(const FrameRender&) = delete;

    RenderResult run();

    // The frame the host is rendering; null outside renderFrame.
    static FrameRender* of(Host::Impl& host) { return host.frameRender; }

    const Host::Frame& frame() const { return frame_; }
    int threads() const { return threads_; }
    AEGP_ObjectType layerType() const { return layerType_; }

    // What the callbacks answer. Checkouts are by checkout id: each records
    // the request and the part of the layer it yields.
    PF_Err checkoutLayer(PF_ParamIndex index, A_long id, const PF_RenderRequest& request, PF_CheckoutResult& result);
    PF_Err checkoutLayerPixels(A_long id, PF_EffectWorld*& world);
    PF_Err checkinLayerPixels(A_long id);
    PF_Err checkoutOutput(PF_EffectWorld*& world);
    PF_Err checkoutParam(PF_ProgPtr ref, PF_ParamIndex index, A_long time, A_long step, A_u_long scale,
                         PF_ParamDef* param);

private:
    struct Checkout {
        PF_LRect rect;  // render pixels
        // What checkout_layer_pixels hands out, made when the render first
        // asks: a record of its own (the plug-in may write into it) over the
        // layer's pixels when the checkout covers the whole layer, else over
        // a copy of the part.
        PF_EffectWorld world{};
        std::unique_ptr<Image> part;
        bool made = false;
    };

    PF_Err preRender(PF_PreRenderExtra& extra);
    PF_Err render(PF_SmartRenderExtra& extra);
    void releasePreRenderData(const PF_PreRenderOutput& output);
    void collectProblems();

    Host& host_;
    Host::Impl& impl_;
    const int factor_;  // render pixels are factor_ layer pixels wide and high
    const bool inLayerFrame_;
    Host::Frame frame_;
    const int threads_;
    const AEGP_ObjectType layerType_;
    std::unique_ptr<Image> reduced_;  // the layer at render size, when the render is downsampled
    const Image* layer_;              // at render size: the caller's own layer at full size
    PF_LRect content_;              // render pixels
    std::unique_ptr<Image> output_;
    std::vector<std::string> problems_;  // of every command of the frame

    std::mutex mutex_;  // guards the checkouts
    std::map<A_long, Checkout> checkouts_;
};

// The smart-render callbacks of the extras; each answers through the host's
// FrameRender and fails outside one.
PF_PreRenderCallbacks preRenderCallbacks();
PF_SmartRenderCallbacks smartRenderCallbacks();
// checkout_param as renders hand it to the plug-in.
PF_Err checkoutParamInRender(PF_ProgPtr ref, PF_ParamIndex index, A_long time, A_long step, A_u_long scale,
                             PF_ParamDef* param) noexcept;

// The layer scaled down by `factor` in both directions (a whole number of
// times: the last columns and rows that make no full block are dropped),
// each pixel the average of a factor × factor block, channel by channel.
std::unique_ptr<Image> reduceLayer(const Image& layer, int factor);
// The rectangle `rect` of the layer as an image whose origin is the
// rectangle's top-left; outside the layer it is transparent.
std::unique_ptr<Image> layerPart(const Image& layer, const PF_LRect& rect);
// A result placed in the union of its rectangle and the layer's, (0, 0,
// width, height); the result itself when it covers the layer.
std::unique_ptr<Image> placedInLayerFrame(std::unique_ptr<Image> result, int width, int height);

}  // namespace host
