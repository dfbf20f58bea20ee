#include "host/call_log.h"

#include <algorithm>

namespace host {

void CallLog::record(std::string name, std::string args) {
    if (!recording()) {
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back({std::move(name), std::move(args)});
}

std::vector<Call> CallLog::calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

std::vector<std::string> CallLog::names() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> result;
    result.reserve(calls_.size());
    for (const Call& call : calls_) {
        result.push_back(call.name);
    }
    return result;
}

std::size_t CallLog::count(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<std::size_t>(
        std::count_if(calls_.begin(), calls_.end(), [&](const Call& call) { return call.name == name; }));
}

std::size_t CallLog::size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_.size();
}

void CallLog::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
}

}  // namespace host
