#include "host/faults.h"

#include <stdexcept>

namespace host {

void Faults::failCall(const std::string& name, int k, PF_Err err) {
    if (k < 1) {
        throw std::invalid_argument("failCall: calls are counted from 1");
    }
    std::lock_guard<std::mutex> lock(mutex_);
    planned_[name] = Plan{k, err, 0};
    plannedCount_ = static_cast<int>(planned_.size());
}

void Faults::makeUnavailable(const std::string& suite, int version) {
    std::lock_guard<std::mutex> lock(mutex_);
    unavailable_.insert({suite, version < 0 ? -1 : version});
    unavailableCount_ = static_cast<int>(unavailable_.size());
}

void Faults::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    planned_.clear();
    plannedCount_ = 0;
    unavailable_.clear();
    unavailableCount_ = 0;
}

PF_Err Faults::onCall(std::string_view name) {
    if (plannedCount_.load(std::memory_order_relaxed) == 0) {
        return PF_Err_NONE;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const auto plan = planned_.find(name);
    if (plan == planned_.end() || ++plan->second.seen != plan->second.k) {
        return PF_Err_NONE;
    }
    const PF_Err err = plan->second.err;
    planned_.erase(plan);
    plannedCount_ = static_cast<int>(planned_.size());
    return err;
}

bool Faults::unavailable(std::string_view suite, int version) const {
    if (unavailableCount_.load(std::memory_order_relaxed) == 0) {
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const std::string name(suite);
    return unavailable_.count({name, -1}) > 0 || unavailable_.count({name, version}) > 0;
}

}  // namespace host
