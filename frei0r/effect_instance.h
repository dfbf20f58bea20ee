#pragma once
// One frei0r instance: the plug-in in its own headless host, rendering the
// frames of one size at 8 bits.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/image.h"
#include "video_params.h"

namespace video {

// What every instance shares: where the plug-in is and its parameters.
struct EffectModule {
    std::string pluginPath;
    std::vector<VideoParam> params;
};

// Loads the plug-in once to read its parameters. Throws std::runtime_error
// (host::HostError among them) naming what failed.
std::shared_ptr<const EffectModule> loadEffectModule(const std::string& pluginPath);

class EffectInstance {
public:
    // Throws std::runtime_error naming what failed. `threads` is the
    // render's thread count, 0 for every core.
    EffectInstance(std::shared_ptr<const EffectModule> module, int width, int height, int threads);

    EffectInstance(const EffectInstance&) = delete;
    EffectInstance& operator=(const EffectInstance&) = delete;

    const EffectModule& module() const { return *module_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void setValue(int index, VideoValue value);
    VideoValue value(int index) const;

    // Renders one frame of width × height RGBA pixels (bytes in that order,
    // straight alpha). Throws std::runtime_error naming what failed; then
    // `out` is left as it was.
    void render(const std::uint32_t* in, std::uint32_t* out);

private:
    std::shared_ptr<const EffectModule> module_;
    int width_;
    int height_;
    int threads_;
    // Hosts may call one instance from several threads at once (MLT cuts
    // frames into strips); the host runs one command at a time.
    mutable std::mutex mutex_;
    host::Host host_;
    std::vector<PF_ParamDef> initial_;  // by host index, as the host set them up
    std::vector<VideoValue> values_;
    host::Image layer_;
};

}  // namespace video
