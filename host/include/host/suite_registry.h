#pragma once
// The suites the host hands out through its SPBasicSuite, by name and
// version, with acquisition counts for the end-of-command check.

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "SPBasic.h"

namespace host {

class Faults;

class SuiteRegistry {
public:
    // What the basic suite answers besides kSPNoError (and injected faults).
    enum : SPErr {
        kSuiteNotFound = 1,     // unknown, or made unavailable
        kSuiteNotHeld = 2,      // released more often than acquired
        kBadArgument = 3,       // null name or result pointer
        kNoCommandRunning = 4,  // called while no host runs a command
    };

    // Makes a suite table available; the table must outlive the registry.
    void add(const std::string& name, int version, const void* table);

    SPErr acquire(const char* name, int32_t version, const void** suite, const Faults& faults);
    SPErr release(const char* name, int32_t version);

    // Suites acquired more often than released since the last reset.
    std::vector<std::string> outstanding() const;
    void resetCounts();

    const SPBasicSuite* basicSuite() const;

private:
    // Finds a suite by the name the plug-in passes without copying it.
    struct Order {
        using is_transparent = void;
        using View = std::pair<std::string_view, int>;
        static View view(const std::pair<std::string, int>& key) { return {key.first, key.second}; }
        static View view(const View& key) { return key; }
        template <typename A, typename B>
        bool operator()(const A& a, const B& b) const {
            return view(a) < view(b);
        }
    };

    mutable std::mutex mutex_;
    std::map<std::pair<std::string, int>, const void*, Order> tables_;
    std::map<std::pair<std::string, int>, int, Order> held_;
};

}  // namespace host
