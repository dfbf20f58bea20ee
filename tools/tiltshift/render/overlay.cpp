#include "render/overlay.h"

#include <stdexcept>
#include <utility>
#include <vector>

#include "effect/plugin_error.h"
#include "host/panel.h"
#include "host/project.h"
#include "images/pixel_convert.h"

namespace tiltshift {

ValuesAtFrame::ValuesAtFrame(host::Host& host, A_long frame) : host_(host) {
    std::vector<int> animated;
    for (const host::ParamRecord& record : host.params()) {
        if (record.index > 0 && !host.project().target().stream(record.index).keyframes().empty()) {
            animated.push_back(record.index);
        }
    }
    if (animated.empty()) {
        return;
    }
    const host::Host::Frame& time = host.frame();
    std::vector<PF_ParamDef> values(animated.size());
    PF_Err err = PF_Err_NONE;
    host.withCommandData([&](PF_InData& in, PF_OutData&) {
        for (std::size_t i = 0; i < animated.size() && !err; ++i) {
            err = in.inter.checkout_param(in.effect_ref, animated[i], frame * time.timeStep, time.timeStep,
                                          time.timeScale, &values[i]);
            if (!err) {
                err = in.inter.checkin_param(in.effect_ref, &values[i]);
            }
        }
    });
    if (err) {
        throw std::runtime_error("the host gave no parameter values at frame " + std::to_string(frame) +
                                 " (error " + describeError(err) + ")");
    }
    for (std::size_t i = 0; i < animated.size(); ++i) {
        PF_ParamDef& current = host.param(animated[i]).current;
        held_.emplace_back(animated[i], current.u);
        current.u = values[i].u;
    }
}

ValuesAtFrame::~ValuesAtFrame() {
    for (const auto& [index, value] : held_) {
        host_.param(index).current.u = value;
    }
}

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
    {
        const ValuesAtFrame values(host, frameNumber);
        const host::EventResult result = host.ui().draw(panel, drawing);
        if (result.err != PF_Err_NONE) {
            throw PluginError("to draw its handles", result.err);
        }
    }
    return eightBitImage(frame.width(), frame.height(), drawing.pixels());
}

}  // namespace tiltshift
