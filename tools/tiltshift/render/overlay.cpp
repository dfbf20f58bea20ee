#include "render/overlay.h"

#include <stdexcept>

#include "host/plugin_error.h"
#include "host/panel.h"
#include "images/pixel_convert.h"

namespace tiltshift {

std::unique_ptr<host::Image> drawHandles(host::Host& host, const host::Image& frame, int downsample,
                                         A_long frameNumber) {
    host::Panel panel;
    panel.windowType = PF_Window_LAYER;
    panel.width = frame.width();
    panel.height = frame.height();
    panel.zoom = 1.0 / downsample;
    panel.scroll = {static_cast<double>(frame.world()->origin_x) * downsample,
                    static_cast<double>(frame.world()->origin_y) * downsample};
    host::Drawing drawing(frame.width(), frame.height(), eightBitPixels(frame));
    // The time indicator stands at the frame, so the handles show its animated values.
    host.frame().currentTime = frameNumber * host.frame().timeStep;
    const host::EventResult result = host.ui().draw(panel, drawing);
    if (result.err != PF_Err_NONE) {
        throw host::PluginError("to draw its handles", result.err, host.outData());
    }
    return eightBitImage(frame.width(), frame.height(), drawing.pixels());
}

}  // namespace tiltshift
