#include "effect/call_trace.h"

#include <mutex>
#include <new>
#include <stdexcept>

namespace tiltshift {

namespace {

// The preview server opens and lets go of effects from its own threads.
std::mutex traceMutex;
CallTrace* openTrace = nullptr;

}  // namespace

CallTrace::CallTrace() {
    const std::lock_guard<std::mutex> lock(traceMutex);
    if (openTrace) {
        throw std::logic_error("a call trace is already open");
    }
    openTrace = this;
}

CallTrace::~CallTrace() {
    const std::lock_guard<std::mutex> lock(traceMutex);
    openTrace = nullptr;
}

void CallTrace::write(PendingFile& file) const {
    const std::lock_guard<std::mutex> lock(traceMutex);
    if (incomplete_) {
        throw std::runtime_error("cannot write " + file.target() + ": calls were lost for want of memory");
    }
    file.write(lines_.data(), lines_.size());
    file.commit();
}

void CallTrace::follow(host::Host& host) {
    const std::lock_guard<std::mutex> lock(traceMutex);
    if (openTrace) {
        host.log().setRecording(true);
    }
}

void CallTrace::collect(host::Host& host) noexcept {
    const std::lock_guard<std::mutex> lock(traceMutex);
    if (!openTrace || !host.log().recording()) {
        return;
    }
    // The effect is let go whatever happens here, perhaps while an exception
    // unwinds; a trace short of memory says so when it is written.
    try {
        for (const host::Call& call : host.log().calls()) {
            std::string& lines = openTrace->lines_;
            lines += call.name;
            if (!call.args.empty()) {
                lines += ' ';
                lines += call.args;
            }
            lines += '\n';
        }
    } catch (const std::bad_alloc&) {
        openTrace->incomplete_ = true;
    }
}

}  // namespace tiltshift
