#pragma once
// Fault injection: make the k-th call of a callback or suite operation fail
// with a chosen error, or make a suite unavailable.

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "AE_Effect.h"

namespace host {

class Faults {
public:
    // The k-th call (1-based, counted from now) of `name` fails with `err`.
    void failCall(const std::string& name, int k, PF_Err err);
    // AcquireSuite of this suite (any version when version < 0) finds nothing.
    void makeUnavailable(const std::string& suite, int version = -1);
    void clear();

    // Counts a call of `name`; returns the injected error, or 0. Cheap when
    // nothing is planned, since pixel-rate callbacks ask too.
    PF_Err onCall(std::string_view name);
    // Cheap when no suite is made unavailable, since render threads acquire suites too.
    bool unavailable(std::string_view suite, int version) const;

private:
    struct Plan {
        int k;       // the failing call
        PF_Err err;
        int seen;    // calls counted since the plan was made
    };

    mutable std::mutex mutex_;
    std::atomic<int> plannedCount_{0};
    std::atomic<int> unavailableCount_{0};
    std::map<std::string, Plan, std::less<>> planned_;
    std::set<std::pair<std::string, int>> unavailable_;
};

}  // namespace host
