#pragma once
// The event the host is sending: the panel it comes from, its context, and
// during a draw event the drawing with the Drawbot pens and paths the plug-in
// holds. The suites and callbacks, which the plug-in reaches without the
// host, find it as the running host's active event.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/drawing.h"
#include "host/panel.h"
#include "host_impl.h"

namespace host {

// A pen or path handed out by the supplier suite.
struct DrawbotObject {
    enum Kind { Pen, Path };
    explicit DrawbotObject(Kind kind) : kind(kind) {}

    Kind kind;
    int references = 1;
    DRAWBOT_ColorRGBA color{};  // pens
    float width = 0;
    std::vector<PathSegment> path;  // paths
};

class EventContext {
public:
    // Becomes the active event of `host` until it goes.
    EventContext(Host::Impl& host, const Panel& panel, Drawing* drawing);
    ~EventContext();
    EventContext(const EventContext&) = delete;
    EventContext& operator=(const EventContext&) = delete;

    // The active event of the host running the current command, or null.
    static EventContext* active();

    Host::Impl& host() const { return host_; }
    const Panel& panel() const { return panel_; }
    Drawing* drawing() const { return drawing_; }
    PF_ContextH handle() { return &contextP_; }

    // The draw, supplier and surface references of a draw event.
    DRAWBOT_DrawRef drawRef() { return reinterpret_cast<DRAWBOT_DrawRef>(&drawTag_); }
    DRAWBOT_SupplierRef supplierRef() { return reinterpret_cast<DRAWBOT_SupplierRef>(&supplierTag_); }
    DRAWBOT_SurfaceRef surfaceRef() { return reinterpret_cast<DRAWBOT_SurfaceRef>(&surfaceTag_); }

    // A new object with one reference; its address is its reference.
    DrawbotObject& add(DrawbotObject object);
    // The object behind a reference, or null when the event holds none such.
    DrawbotObject* find(const void* ref, DrawbotObject::Kind kind);
    DrawbotObject* find(const void* ref);
    void forget(const void* ref);

    // Pens and paths the plug-in has not released, described for problems().
    std::vector<std::string> unreleased() const;

private:
    Host::Impl& host_;
    const Panel panel_;
    Drawing* drawing_;
    PF_Context context_{};
    PF_Context* contextP_ = &context_;
    char drawTag_ = 0;
    char supplierTag_ = 0;
    char surfaceTag_ = 0;
    std::map<const void*, std::unique_ptr<DrawbotObject>> objects_;
};

// The start of every callback that serves the event being sent: logs the
// call and asks the fault plan. Outside a command the call is invalid; with
// no event being sent, or one `belongs` turns down, it is misuse, noted as
// `name` followed by `misuse`, and fails with PF_Err_BAD_CALLBACK_PARAM.
template <typename Belongs>
PF_Err enterActiveEvent(const char* name, CallArgs args, const char* misuse, Belongs belongs, EventContext*& event) {
    Host::Impl* host = Host::Impl::current();
    if (!host) {
        return PF_Err_INVALID_CALLBACK;
    }
    if (const PF_Err err = host->enter(name, args)) {
        return err;
    }
    event = EventContext::active();
    if (!event || !belongs(*event)) {
        host->note(std::string(name) + misuse);
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    return PF_Err_NONE;
}

}  // namespace host
