#include "host/suite_registry.h"

#include "host/faults.h"

namespace host {

void SuiteRegistry::add(const std::string& name, int version, const void* table) {
    std::lock_guard<std::mutex> lock(mutex_);
    tables_[{name, version}] = table;
}

SPErr SuiteRegistry::acquire(const char* name, int32_t version, const void** suite, const Faults& faults) {
    if (!suite) {
        return kBadArgument;
    }
    *suite = nullptr;
    if (!name) {
        return kBadArgument;
    }
    if (faults.unavailable(name, version)) {
        return kSuiteNotFound;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const auto table = tables_.find(Order::View{name, version});
    if (table == tables_.end()) {
        return kSuiteNotFound;
    }
    *suite = table->second;
    ++held_[table->first];
    return kSPNoError;
}

SPErr SuiteRegistry::release(const char* name, int32_t version) {
    if (!name) {
        return kBadArgument;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const auto held = held_.find(Order::View{name, version});
    if (held == held_.end() || held->second <= 0) {
        return kSuiteNotHeld;
    }
    --held->second;
    return kSPNoError;
}

std::vector<std::string> SuiteRegistry::outstanding() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> result;
    for (const auto& [suite, count] : held_) {
        if (count > 0) {
            result.push_back("suite \"" + suite.first + "\" v" + std::to_string(suite.second) + " acquired " +
                             std::to_string(count) + " time(s) more than released");
        }
    }
    return result;
}

void SuiteRegistry::resetCounts() {
    std::lock_guard<std::mutex> lock(mutex_);
    held_.clear();
}

}  // namespace host
