#pragma once
// The host calls the plug-in made while a command ran, for debugging its use
// of the host. While a trace is open, every effect the tool opens records its
// calls (the host does not even format them otherwise), and they join the
// trace when the effect is let go, in the order the effects were let go.

#include <string>

#include "host/host.h"
#include "images/pending_file.h"

namespace tiltshift {

class CallTrace {
public:
    // Opens the trace that follow and collect serve until it closes; one at
    // a time.
    CallTrace();
    ~CallTrace();

    CallTrace(const CallTrace&) = delete;
    CallTrace& operator=(const CallTrace&) = delete;

    // Every call collected, one a line: its name, then its arguments; the
    // file is committed. Throws std::runtime_error naming the file when it
    // cannot be written or calls were lost for want of memory.
    void write(PendingFile& file) const;

    // Without an open trace, these do nothing.
    static void follow(host::Host& host);
    static void collect(host::Host& host) noexcept;

private:
    std::string lines_;
    bool incomplete_ = false;
};

}  // namespace tiltshift
