// One frame of the effect as the application renders it: the smart
// pre-render, the smart render into an output of the size the effect asked
// for, and the release of the pre-render data.

#include <algorithm>
#include <cstdint>

#include "render/render_frame.h"

namespace host {
namespace {

short bitDepth(PF_PixelFormat format) {
    switch (format) {
    case PF_PixelFormat_ARGB64: return 16;
    case PF_PixelFormat_ARGB128: return 32;
    default: return 8;
    }
}

// Render pixels of a full-resolution layer rectangle: every pixel the
// rectangle touches, even in part.
PF_LRect toRenderPixels(const PF_LRect& r, int factor) {
    const auto down = [factor](A_long v) { return v >= 0 ? v / factor : -((-v + factor - 1) / factor); };
    const auto up = [factor](A_long v) { return v >= 0 ? (v + factor - 1) / factor : -(-v / factor); };
    return PF_LRect{down(r.left), down(r.top), up(r.right), up(r.bottom)};
}

}  // namespace

FrameRender::FrameRender(Host& host, Host::Impl& impl, const Image& layer, const RenderOptions& options)
    : host_(host),
      impl_(impl),
      factor_(options.downsample),
      inLayerFrame_(options.inLayerFrame),
      frame_(impl_.frame),
      threads_(RenderSettings::threadsFor(options.threads)),
      layerType_(options.layerType) {
    if (!impl_.globalSetUp || impl_.effect.params.size() < 2) {
        throw HostError("renderFrame needs global and parameter setup first");
    }
    if (impl_.frameRender) {
        throw HostError("renderFrame while a frame is rendering");
    }
    if (factor_ < 1) {
        throw HostError("cannot render at 1/" + std::to_string(factor_) + " of the layer's size");
    }
    if (factor_ > 1) {
        reduced_ = reduceLayer(layer, factor_);
    }
    layer_ = reduced_ ? reduced_.get() : &layer;
    content_ = options.content ? toRenderPixels(*options.content, factor_)
                               : PF_LRect{0, 0, layer_->width(), layer_->height()};

    frame_.currentTime = options.frame * frame_.timeStep;
    frame_.width = layer.width();
    frame_.height = layer.height();
    frame_.downsampleX = PF_RationalScale{1, static_cast<A_u_long>(factor_)};
    frame_.downsampleY = frame_.downsampleX;
    impl_.frameRender = this;
}

FrameRender::~FrameRender() { impl_.frameRender = nullptr; }

const Host::Frame& Host::Impl::currentFrame() const { return frameRender ? frameRender->frame() : frame; }

int Host::Impl::threadCount() const { return frameRender ? frameRender->threads() : render.threadCount(); }

AEGP_ObjectType Host::Impl::objectType(const Layer& layer) const {
    return frameRender && &layer == &effect.project.target().layer() ? frameRender->layerType() : layer.type;
}

RenderResult FrameRender::run() {
    PF_PreRenderInput preInput{};
    preInput.output_request.rect = PF_LRect{0, 0, layer_->width(), layer_->height()};
    preInput.output_request.field = PF_Field_FRAME;
    preInput.bitdepth = bitDepth(layer_->format());
    PF_PreRenderOutput preOutput{};
    PF_PreRenderCallbacks preCallbacks = preRenderCallbacks();
    PF_PreRenderExtra preExtra{&preInput, &preOutput, &preCallbacks};

    RenderResult result;
    result.err = preRender(preExtra);
    if (!result.err) {
        PF_SmartRenderInput input{};
        input.output_request = preInput.output_request;
        input.bitdepth = preInput.bitdepth;
        input.pre_render_data = preOutput.pre_render_data;
        PF_SmartRenderCallbacks callbacks = smartRenderCallbacks();
        PF_SmartRenderExtra extra{&input, &callbacks};
        const PF_LRect& r = preOutput.result_rect;
        output_ = std::make_unique<Image>(layer_->format(), std::max(0, r.right - r.left),
                                          std::max(0, r.bottom - r.top), PF_Point{r.left, r.top});
        result.err = render(extra);
    }
    releasePreRenderData(preOutput);
    impl_.problems = std::move(problems_);
    result.layerWidth = layer_->width();
    result.layerHeight = layer_->height();
    if (!result.err) {
        result.output = inLayerFrame_ ? placedInLayerFrame(std::move(output_), result.layerWidth, result.layerHeight)
                                      : std::move(output_);
    }
    return result;
}

// Sent as a command whose data the host takes over before the end-of-command
// check: the pre-render data belongs to the host from then on.
PF_Err FrameRender::preRender(PF_PreRenderExtra& extra) {
    PF_Err err = PF_Err_NONE;
    host_.withCommandData([&](PF_InData& in, PF_OutData& out) {
        std::vector<PF_ParamDef*> params;
        for (ParamRecord& record : impl_.effect.params) {
            params.push_back(&record.current);
        }
        err = impl_.module.entry()(PF_Cmd_SMART_PRE_RENDER, &in, &out, params.data(), nullptr, &extra);
        if (extra.output->pre_render_data) {
            impl_.adoptHandle(static_cast<PF_Handle>(extra.output->pre_render_data));
        }
    });
    collectProblems();
    return err;
}

PF_Err FrameRender::render(PF_SmartRenderExtra& extra) {
    const PF_Err err = host_.send(PF_Cmd_SMART_RENDER, &extra);
    collectProblems();
    return err;
}

// The application lets the data go after the render, or after a pre-render
// that failed, outside any command and with nothing but the pointer.
void FrameRender::releasePreRenderData(const PF_PreRenderOutput& output) {
    void* const data = output.pre_render_data;
    if (!data) {
        return;
    }
    if (!output.delete_pre_render_data_func) {
        problems_.push_back("pre-render data without delete_pre_render_data_func: nothing frees it");
        return;
    }
    host_.withCommandData([&](PF_InData&, PF_OutData&) { output.delete_pre_render_data_func(data); });
    collectProblems();
    std::uint64_t size = 0;
    if (impl_.memory.handles.size(static_cast<PF_Handle>(data), size)) {
        problems_.push_back("pre-render data handle of " + std::to_string(size) +
                            " bytes still there after delete_pre_render_data_func");
    }
}

void FrameRender::collectProblems() {
    problems_.insert(problems_.end(), impl_.problems.begin(), impl_.problems.end());
}

RenderResult renderFrame(Host& host, const Image& layer, const RenderOptions& options) {
    FrameRender render(host, *host.impl_, layer, options);
    return render.run();
}

}  // namespace host
