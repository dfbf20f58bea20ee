// The panels' view model: where the layer lies in the composition, and
// what the panel shows of its source.

#include <cmath>

#include "host/panel.h"

namespace host {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Clockwise as seen: y grows downwards on screen.
A_FloatPoint rotated(A_FloatPoint p, double degrees) {
    const double a = degrees * kPi / 180.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    return {p.x * c - p.y * s, p.x * s + p.y * c};
}

}  // namespace

A_FloatPoint Panel::layerToComp(A_FloatPoint p) const {
    const A_FloatPoint scaled{(p.x - layer.anchor.x) * layer.scale.x, (p.y - layer.anchor.y) * layer.scale.y};
    const A_FloatPoint r = rotated(scaled, layer.rotation);
    return {layer.position.x + r.x, layer.position.y + r.y};
}

std::optional<A_FloatPoint> Panel::compToLayer(A_FloatPoint p) const {
    if (layer.scale.x == 0 || layer.scale.y == 0) {
        return std::nullopt;
    }
    const A_FloatPoint r = rotated({p.x - layer.position.x, p.y - layer.position.y}, -layer.rotation);
    return A_FloatPoint{r.x / layer.scale.x + layer.anchor.x, r.y / layer.scale.y + layer.anchor.y};
}

A_FloatPoint Panel::sourceToFrame(A_FloatPoint p) const {
    return {(p.x - scroll.x) * zoom, (p.y - scroll.y) * zoom};
}

std::optional<A_FloatPoint> Panel::frameToSource(A_FloatPoint p) const {
    if (zoom == 0) {
        return std::nullopt;
    }
    return A_FloatPoint{p.x / zoom + scroll.x, p.y / zoom + scroll.y};
}

A_FloatPoint Panel::layerToFrame(A_FloatPoint p) const {
    return sourceToFrame(windowType == PF_Window_COMP ? layerToComp(p) : p);
}

std::optional<A_FloatPoint> Panel::frameToLayer(A_FloatPoint p) const {
    const std::optional<A_FloatPoint> source = frameToSource(p);
    if (!source || windowType != PF_Window_COMP) {
        return source;
    }
    return compToLayer(*source);
}

}  // namespace host
