#pragma once
// What tests set for a host's renders: how many threads iterate_generic
// runs on, and when the user cancels.

#include <atomic>

namespace host {

struct RenderSettings {
    // 0: as many as the machine has cores.
    std::atomic<int> threads{0};
    // Abort checks since the cancel was planned, and the check from which on
    // the user has cancelled (0: never).
    std::atomic<long> abortChecks{0};
    std::atomic<long> cancelAtCheck{0};

    int threadCount() const { return threadsFor(threads.load()); }
    // `set` itself when above 0, else as many as the machine has cores.
    static int threadsFor(int set);
};

}  // namespace host
