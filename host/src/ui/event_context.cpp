#include "ui/event_context.h"

#include <mutex>

#include "format.h"

namespace host {
namespace {

// One event at a time per host, as one command at a time.
std::mutex activeMutex;
std::map<const Host::Impl*, EventContext*> activeEvents;

std::string describe(const DrawbotObject& object) {
    if (object.kind == DrawbotObject::Path) {
        return "path of " + std::to_string(object.path.size()) + " segment(s)";
    }
    const DRAWBOT_ColorRGBA& c = object.color;
    return "pen (" + number(c.red) + ", " + number(c.green) + ", " + number(c.blue) + ", " + number(c.alpha) +
           ") width " + number(object.width);
}

}  // namespace

EventContext::EventContext(Host::Impl& host, const Panel& panel, Drawing* drawing)
    : host_(host), panel_(panel), drawing_(drawing) {
    context_.w_type = panel.windowType;
    std::lock_guard<std::mutex> lock(activeMutex);
    activeEvents[&host] = this;
}

EventContext::~EventContext() {
    std::lock_guard<std::mutex> lock(activeMutex);
    activeEvents.erase(&host_);
}

EventContext* EventContext::active() {
    const Host::Impl* host = Host::Impl::current();
    std::lock_guard<std::mutex> lock(activeMutex);
    const auto found = activeEvents.find(host);
    return found == activeEvents.end() ? nullptr : found->second;
}

DrawbotObject& EventContext::add(DrawbotObject object) {
    auto owned = std::make_unique<DrawbotObject>(std::move(object));
    DrawbotObject& added = *owned;
    objects_.emplace(&added, std::move(owned));
    return added;
}

DrawbotObject* EventContext::find(const void* ref) {
    const auto found = objects_.find(ref);
    return found == objects_.end() ? nullptr : found->second.get();
}

DrawbotObject* EventContext::find(const void* ref, DrawbotObject::Kind kind) {
    DrawbotObject* object = find(ref);
    return object && object->kind == kind ? object : nullptr;
}

void EventContext::forget(const void* ref) {
    objects_.erase(ref);
}

std::vector<std::string> EventContext::unreleased() const {
    std::vector<std::string> held;
    for (const auto& [ref, object] : objects_) {
        held.push_back("Drawbot " + describe(*object) + " still held (" + std::to_string(object->references) +
                       " reference(s)) when the event ended");
    }
    return held;
}

}  // namespace host
