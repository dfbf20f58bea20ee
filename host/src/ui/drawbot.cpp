// "PF Effect Custom UI Suite" and the Drawbot suites: during a draw event the
// plug-in's pens and paths stroke onto the event's drawing; its pens and
// paths are counted, and what is still held when the event ends is a problem.
//
// Every reference is checked against the active event. A reference the host
// does not know (released, from another event, made up) fails with
// PF_Err_BAD_CALLBACK_PARAM and is reported.

#include "AE_EffectSuites.h"
#include "format.h"
#include "installers.h"
#include "ui/event_context.h"

namespace host {
namespace {

std::string pointArgs(float x, float y) {
    return "x=" + number(x) + " y=" + number(y);
}

// Any event being sent serves the Drawbot suites.
SPErr enterDrawbot(const char* name, CallArgs args, EventContext*& event) {
    return enterActiveEvent(
        name, args, " called outside a user-interface event", [](EventContext&) { return true; }, event);
}

SPErr misuse(EventContext& event, const char* name, const char* what) {
    event.host().note(std::string(name) + " given " + what + " the event does not hold");
    return PF_Err_BAD_CALLBACK_PARAM;
}

// ---- PF Effect Custom UI Suite --------------------------------------------------

// Outside a draw event there is nothing to draw on: the reference is null.
PF_Err getDrawingReference(const PF_ContextH contextH, DRAWBOT_DrawRef* referenceP0) noexcept {
    EventContext* event = nullptr;
    if (const PF_Err err = enterDrawbot("PF_GetDrawingReference", "", event)) {
        return err;
    }
    if (!referenceP0) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *referenceP0 = nullptr;
    if (contextH != event->handle()) {
        return misuse(*event, "PF_GetDrawingReference", "a context");
    }
    if (event->drawing()) {
        *referenceP0 = event->drawRef();
    }
    return PF_Err_NONE;
}

const PF_EffectCustomUISuite1 kCustomUISuite = {getDrawingReference};

// ---- Draw suite ------------------------------------------------------------------------

SPErr getSupplier(DRAWBOT_DrawRef drawRef, DRAWBOT_SupplierRef* supplierP) noexcept {
    EventContext* event = nullptr;
    if (const SPErr err = enterDrawbot("GetSupplier", "", event)) {
        return err;
    }
    if (!supplierP) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *supplierP = nullptr;
    if (!event->drawing() || drawRef != event->drawRef()) {
        return misuse(*event, "GetSupplier", "a drawing reference");
    }
    *supplierP = event->supplierRef();
    return PF_Err_NONE;
}

SPErr getSurface(DRAWBOT_DrawRef drawRef, DRAWBOT_SurfaceRef* surfaceP) noexcept {
    EventContext* event = nullptr;
    if (const SPErr err = enterDrawbot("GetSurface", "", event)) {
        return err;
    }
    if (!surfaceP) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *surfaceP = nullptr;
    if (!event->drawing() || drawRef != event->drawRef()) {
        return misuse(*event, "GetSurface", "a drawing reference");
    }
    *surfaceP = event->surfaceRef();
    return PF_Err_NONE;
}

const DRAWBOT_DrawbotSuite1 kDrawSuite = {getSupplier, getSurface};

// ---- Supplier suite ----------------------------------------------------------------------

SPErr newPen(DRAWBOT_SupplierRef supplier, const DRAWBOT_ColorRGBA* colorP, float size,
             DRAWBOT_PenRef* penP) noexcept {
    EventContext* event = nullptr;
    const auto args = [&] {
        return colorP ? "color=(" + number(colorP->red) + ", " + number(colorP->green) + ", " + number(colorP->blue) +
                            ", " + number(colorP->alpha) + ") size=" + number(size)
                      : "color=null";
    };
    if (const SPErr err = enterDrawbot("NewPen", args, event)) {
        return err;
    }
    if (!penP || !colorP) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *penP = nullptr;
    if (!event->drawing() || supplier != event->supplierRef()) {
        return misuse(*event, "NewPen", "a supplier");
    }
    DrawbotObject pen(DrawbotObject::Pen);
    pen.color = *colorP;
    pen.width = size;
    *penP = reinterpret_cast<DRAWBOT_PenRef>(&event->add(std::move(pen)));
    return PF_Err_NONE;
}

SPErr newPath(DRAWBOT_SupplierRef supplier, DRAWBOT_PathRef* pathP) noexcept {
    EventContext* event = nullptr;
    if (const SPErr err = enterDrawbot("NewPath", "", event)) {
        return err;
    }
    if (!pathP) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *pathP = nullptr;
    if (!event->drawing() || supplier != event->supplierRef()) {
        return misuse(*event, "NewPath", "a supplier");
    }
    *pathP = reinterpret_cast<DRAWBOT_PathRef>(&event->add(DrawbotObject(DrawbotObject::Path)));
    return PF_Err_NONE;
}

SPErr retainObject(DRAWBOT_ObjectRef ref) noexcept {
    EventContext* event = nullptr;
    if (const SPErr err = enterDrawbot("RetainObject", "", event)) {
        return err;
    }
    DrawbotObject* object = event->find(ref);
    if (!object) {
        return misuse(*event, "RetainObject", "an object");
    }
    ++object->references;
    return PF_Err_NONE;
}

SPErr releaseObject(DRAWBOT_ObjectRef ref) noexcept {
    EventContext* event = nullptr;
    if (const SPErr err = enterDrawbot("ReleaseObject", "", event)) {
        return err;
    }
    DrawbotObject* object = event->find(ref);
    if (!object) {
        return misuse(*event, "ReleaseObject", "an object");
    }
    if (--object->references == 0) {
        event->forget(ref);
    }
    return PF_Err_NONE;
}

const DRAWBOT_SupplierSuite1 kSupplierSuite = {newPen, newPath, retainObject, releaseObject};

// ---- Path suite ----------------------------------------------------------------------------

SPErr addSegment(const char* name, CallArgs args, DRAWBOT_PathRef ref, const PathSegment& segment) {
    EventContext* event = nullptr;
    if (const SPErr err = enterDrawbot(name, args, event)) {
        return err;
    }
    DrawbotObject* path = event->find(ref, DrawbotObject::Path);
    if (!path) {
        return misuse(*event, name, "a path");
    }
    path->path.push_back(segment);
    return PF_Err_NONE;
}

SPErr moveTo(DRAWBOT_PathRef path, float x, float y) noexcept {
    return addSegment(
        "MoveTo", [&] { return pointArgs(x, y); }, path, PathSegment{PathSegment::MoveTo, {{x, y}, {}, {}}});
}

SPErr lineTo(DRAWBOT_PathRef path, float x, float y) noexcept {
    return addSegment(
        "LineTo", [&] { return pointArgs(x, y); }, path, PathSegment{PathSegment::LineTo, {{x, y}, {}, {}}});
}

SPErr bezierTo(DRAWBOT_PathRef path, const DRAWBOT_PointF32* p1, const DRAWBOT_PointF32* p2,
               const DRAWBOT_PointF32* p3) noexcept {
    if (!p1 || !p2 || !p3) {
        EventContext* event = nullptr;
        const SPErr err = enterDrawbot("BezierTo", "point=null", event);
        return err ? err : PF_Err_BAD_CALLBACK_PARAM;
    }
    return addSegment(
        "BezierTo",
        [&] { return pointArgs(p1->x, p1->y) + " " + pointArgs(p2->x, p2->y) + " " + pointArgs(p3->x, p3->y); }, path,
        PathSegment{PathSegment::BezierTo, {*p1, *p2, *p3}});
}

const DRAWBOT_PathSuite1 kPathSuite = {moveTo, lineTo, bezierTo};

// ---- Surface suite -------------------------------------------------------------------------

SPErr strokePath(DRAWBOT_SurfaceRef surface, DRAWBOT_PenRef penRef, DRAWBOT_PathRef pathRef) noexcept {
    EventContext* event = nullptr;
    if (const SPErr err = enterDrawbot("StrokePath", "", event)) {
        return err;
    }
    if (!event->drawing() || surface != event->surfaceRef()) {
        return misuse(*event, "StrokePath", "a surface");
    }
    const DrawbotObject* pen = event->find(penRef, DrawbotObject::Pen);
    const DrawbotObject* path = event->find(pathRef, DrawbotObject::Path);
    if (!pen || !path) {
        return misuse(*event, "StrokePath", "a pen or path");
    }
    event->drawing()->stroke(Stroke{pen->color, pen->width, path->path});
    return PF_Err_NONE;
}

const DRAWBOT_SurfaceSuite1 kSurfaceSuite = {strokePath};

}  // namespace

void installDrawbot(Host::Impl& host) {
    host.suites.add(kPFEffectCustomUISuite, kPFEffectCustomUISuiteVersion1, &kCustomUISuite);
    host.suites.add(kDRAWBOT_DrawSuite, kDRAWBOT_DrawSuite_Version1, &kDrawSuite);
    host.suites.add(kDRAWBOT_SupplierSuite, kDRAWBOT_SupplierSuite_Version1, &kSupplierSuite);
    host.suites.add(kDRAWBOT_SurfaceSuite, kDRAWBOT_SurfaceSuite_Version1, &kSurfaceSuite);
    host.suites.add(kDRAWBOT_PathSuite, kDRAWBOT_PathSuite_Version1, &kPathSuite);
}

}  // namespace host
