#include "effect_instance.h"

#include <cstring>

#include "host/plugin_error.h"
#include "host/render.h"

namespace video {
namespace {

void setUp(host::Host& host, int width, int height) {
    // Nobody reads the call log of a video filter, and a render makes
    // millions of calls.
    host.log().setRecording(false);
    host.frame().width = width;
    host.frame().height = height;
    if (const PF_Err err = host.globalSetup()) {
        throw host::PluginError("global setup", err, host.outData());
    }
    if (const PF_Err err = host.paramsSetup()) {
        throw host::PluginError("to register its parameters", err, host.outData());
    }
}

// frei0r's RGBA bytes against the host's alpha-first pixels.
PF_Pixel toHost(std::uint32_t rgba) {
    unsigned char bytes[4];
    std::memcpy(bytes, &rgba, sizeof bytes);
    return PF_Pixel{bytes[3], bytes[0], bytes[1], bytes[2]};
}

std::uint32_t toVideo(const PF_Pixel& pixel) {
    const unsigned char bytes[4] = {pixel.red, pixel.green, pixel.blue, pixel.alpha};
    std::uint32_t rgba;
    std::memcpy(&rgba, bytes, sizeof rgba);
    return rgba;
}

PF_Pixel* row(const PF_EffectWorld& world, int y) {
    return reinterpret_cast<PF_Pixel*>(static_cast<char*>(world.data) + static_cast<std::ptrdiff_t>(y) * world.rowbytes);
}

}  // namespace

std::shared_ptr<const EffectModule> loadEffectModule(const std::string& pluginPath) {
    host::Host host(pluginPath);
    setUp(host, host.frame().width, host.frame().height);
    return std::make_shared<const EffectModule>(EffectModule{pluginPath, videoParams(host.params())});
}

EffectInstance::EffectInstance(std::shared_ptr<const EffectModule> module, int width, int height, int threads)
    : module_(std::move(module)),
      width_(width),
      height_(height),
      threads_(threads),
      host_(module_->pluginPath),
      layer_(PF_PixelFormat_ARGB32, width, height) {
    setUp(host_, width, height);
    for (const host::ParamRecord& record : host_.params()) {
        initial_.push_back(record.current);
    }
    for (const VideoParam& param : module_->params) {
        values_.push_back(defaultValueOf(param));
    }
}

void EffectInstance::setValue(int index, VideoValue value) {
    const VideoParam& param = module_->params.at(static_cast<std::size_t>(index));
    std::lock_guard<std::mutex> lock(mutex_);
    values_[static_cast<std::size_t>(index)] = value;
    applyValue(param, value, initial_.at(static_cast<std::size_t>(param.hostIndex)), width_, height_,
               host_.param(param.hostIndex).current);
}

VideoValue EffectInstance::value(int index) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return values_.at(static_cast<std::size_t>(index));
}

void EffectInstance::render(const std::uint32_t* in, std::uint32_t* out) {
    std::lock_guard<std::mutex> lock(mutex_);
    const PF_EffectWorld& layer = *layer_.world();
    for (int y = 0; y < height_; ++y) {
        PF_Pixel* to = row(layer, y);
        const std::uint32_t* from = in + static_cast<std::ptrdiff_t>(y) * width_;
        for (int x = 0; x < width_; ++x) {
            to[x] = toHost(from[x]);
        }
    }
    host::RenderOptions options;
    options.threads = threads_;
    const host::RenderResult result = host::renderFrame(host_, layer_, options);
    if (result.err != PF_Err_NONE) {
        throw host::PluginError("to render a frame", result.err, host_.outData());
    }
    // The result may lie elsewhere than the frame (grown bounds); the frame
    // keeps what falls inside it, and what the result does not cover is clear.
    const PF_EffectWorld& world = *result.output->world();
    for (int y = 0; y < height_; ++y) {
        std::uint32_t* to = out + static_cast<std::ptrdiff_t>(y) * width_;
        const int sourceY = y - world.origin_y;
        const PF_Pixel* from = sourceY >= 0 && sourceY < world.height ? row(world, sourceY) : nullptr;
        for (int x = 0; x < width_; ++x) {
            const int sourceX = x - world.origin_x;
            to[x] = from && sourceX >= 0 && sourceX < world.width ? toVideo(from[sourceX]) : 0;
        }
    }
}

}  // namespace video
