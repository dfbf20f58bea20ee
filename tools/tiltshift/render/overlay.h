#pragma once
// The effect's handles over a rendered frame, as the layer panel shows them:
// the plug-in's own draw event, stroked by the host's Drawbot.

#include <memory>
#include <utility>
#include <vector>

#include "host/host.h"
#include "host/image.h"

namespace tiltshift {

// `frame` is a render in the layer's frame (see host::RenderOptions::inLayerFrame) at
// 1/downsample of the layer's size; the panel shows it pixel for pixel, at
// that zoom, so that the handles lie over what they control. Animated
// parameters take their values at frame `frameNumber`. Returns an 8-bit
// image of the frame's size. Throws PluginError when the plug-in fails the
// draw event.
std::unique_ptr<host::Image> drawHandles(host::Host& host, const host::Image& frame, int downsample,
                                         A_long frameNumber);

}  // namespace tiltshift
