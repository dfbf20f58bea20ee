#pragma once
// An ordered, thread-safe record of the host calls a plug-in made.

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace host {

struct Call {
    std::string name;  // callback or suite operation, e.g. "add_param", "AEGP_RegisterWithAEGP"
    std::string args;  // its arguments, formatted for reading ("index=-1 type=7 name=Type")
};

class CallLog {
public:
    void record(std::string name, std::string args);
    // Off (the default), calls are not recorded and their arguments are not
    // even formatted: a full-size render makes millions of pixel-rate calls
    // that no one reads. Tests and debugging switch it on.
    void setRecording(bool on) { recording_ = on; }
    bool recording() const { return recording_.load(std::memory_order_relaxed); }
    std::vector<Call> calls() const;
    std::vector<std::string> names() const;
    std::size_t count(const std::string& name) const;
    std::size_t size() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<Call> calls_;
    std::atomic<bool> recording_{false};
};

}  // namespace host
