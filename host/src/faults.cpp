#include "host/faults.h"

#include <stdexcept>

namespace host {

void Faults::failCall(const std::string& name, int k, PF_Err err) {
    if (k < 1) {
        throw std::invalid_argument("failCall: calls are counted from 1");
    }
    std::lock_guard<std::mutex> lock(mutex_);
    counts_[name] = 0;
    planned_[name] = {k, err};
}

void Faults::makeUnavailable(const std::string& suite, int version) {
    std::lock_guard<std::mutex> lock(mutex_);
    unavailable_.insert({suite, version < 0 ? -1 : version});
}

void Faults::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    counts_.clear();
    planned_.clear();
    unavailable_.clear();
}

PF_Err Faults::onCall(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    const int count = ++counts_[name];
    const auto plan = planned_.find(name);
    if (plan == planned_.end() || plan->second.first != count) {
        return PF_Err_NONE;
    }
    const PF_Err err = plan->second.second;
    planned_.erase(plan);
    return err;
}

bool Faults::unavailable(const std::string& suite, int version) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return unavailable_.count({suite, -1}) > 0 || unavailable_.count({suite, version}) > 0;
}

}  // namespace host
