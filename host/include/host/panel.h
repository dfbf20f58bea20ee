#pragma once
// The panels that show the effect's layer, and the user-interface events the
// host sends to the plug-in through them (PF_Cmd_EVENT).
//
// A panel shows its source, the composition (composition panel) or the layer
// alone (layer panel and any other), at a zoom and scrolled to a point. In
// the composition the layer sits by its anchor, position, scale and rotation.
// The conversion callbacks of every event compute from this view model in
// 16.16, halves rounded away from zero.
//
// As the application does, the host takes the parameter values the plug-in
// writes into the parameter array during an event when they are flagged
// PF_ChangeFlag_CHANGED_VALUE: a float slider's value held to its valid range,
// and nothing that is not a number. Unflagged writes are undone and reported
// by problems(), like Drawbot pens and paths still held when the event ends.

#include <optional>
#include <vector>

#include "AE_EffectUI.h"
#include "host/drawing.h"
#include "host/host.h"

namespace host {

// How the layer sits in the composition: scaled about its anchor, rotated,
// and moved so that the anchor lands on the position.
struct LayerPlacement {
    A_FloatPoint anchor{0, 0};    // layer pixels
    A_FloatPoint position{0, 0};  // composition pixels
    A_FloatPoint scale{1, 1};     // 1 is 100 %
    double rotation = 0;          // degrees, clockwise as seen
};

struct Panel {
    PF_WindowType windowType = PF_Window_COMP;
    A_long width = 0;   // the drawing area, in screen pixels
    A_long height = 0;
    double zoom = 1;               // screen pixels per source pixel
    A_FloatPoint scroll{0, 0};     // the source point at the panel's top left corner
    LayerPlacement layer;

    // Between the layer and the composition; the inverse has no result for
    // a layer scaled to nothing.
    A_FloatPoint layerToComp(A_FloatPoint p) const;
    std::optional<A_FloatPoint> compToLayer(A_FloatPoint p) const;
    // Between the source and the panel's frame; none at zoom 0.
    A_FloatPoint sourceToFrame(A_FloatPoint p) const;
    std::optional<A_FloatPoint> frameToSource(A_FloatPoint p) const;
    // The whole way, through the composition in the composition panel only.
    A_FloatPoint layerToFrame(A_FloatPoint p) const;
    std::optional<A_FloatPoint> frameToLayer(A_FloatPoint p) const;
};

// One event as the plug-in answered it.
struct EventResult {
    PF_Err err = PF_Err_NONE;
    // The event record as the plug-in left it; its context is gone.
    PF_EventExtra extra{};
    // Parameters whose new value the host took, in index order.
    std::vector<int> changed;

    bool handled() const { return (extra.evt_out_flags & PF_EO_HANDLED_EVENT) != 0; }
    const PF_DoClickEventInfo& click() const { return extra.u.do_click; }
};

// A click and the drags that followed it.
struct Gesture {
    std::vector<EventResult> events;  // the click first
    std::vector<int> changed;         // parameters changed along the way, in index order

    PF_Err err() const;  // the first error, or 0
};

class UserInterface {
public:
    explicit UserInterface(Host::Impl& host) : host_(&host) {}

    // Sends one event; `drawing` is where a draw event draws, and without one
    // the plug-in's drawing reference is null.
    EventResult send(const Panel& panel, PF_EventType type, const PF_EventUnion& info = {},
                     Drawing* drawing = nullptr);

    EventResult draw(const Panel& panel, Drawing& drawing);
    EventResult click(const Panel& panel, PF_Point at, PF_Modifiers modifiers = PF_Mod_NONE);

    // The mouse pressed at `from`, moved in a straight line to `to` and let
    // go there: the click, then while the plug-in asks for them drag events
    // at `steps` evenly spaced points, the last one at `to` with last_time.
    // The click record travels from event to event as the plug-in left it.
    Gesture drag(const Panel& panel, PF_Point from, PF_Point to, int steps, PF_Modifiers modifiers = PF_Mod_NONE);

private:
    Host::Impl* host_;
};

}  // namespace host
