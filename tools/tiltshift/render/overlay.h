#pragma once
// The effect's handles over a rendered frame, as the layer panel shows them:
// the plug-in's own draw event, stroked by the host's Drawbot.

#include <memory>
#include <utility>
#include <vector>

#include "host/host.h"
#include "host/image.h"

namespace tiltshift {

// The draw event hands the plug-in the values the host holds, which do not
// follow keyframes: while it lives, animated parameters hold their values
// at one frame, as checking them out at that frame's time gives them.
class ValuesAtFrame {
public:
    // Throws std::runtime_error when the host gives no values at the frame.
    ValuesAtFrame(host::Host& host, A_long frame);
    ~ValuesAtFrame();

    ValuesAtFrame(const ValuesAtFrame&) = delete;
    ValuesAtFrame& operator=(const ValuesAtFrame&) = delete;

private:
    host::Host& host_;
    std::vector<std::pair<int, PF_ParamDefUnion>> held_;  // the values the host held
};

// `frame` is a render in the layer's frame (see inLayerFrame) at
// 1/downsample of the layer's size; the panel shows it pixel for pixel, at
// that zoom, so that the handles lie over what they control. Animated
// parameters take their values at frame `frameNumber`. Returns an 8-bit
// image of the frame's size. Throws PluginError when the plug-in fails the
// draw event.
std::unique_ptr<host::Image> drawHandles(host::Host& host, const host::Image& frame, int downsample,
                                         A_long frameNumber);

}  // namespace tiltshift
