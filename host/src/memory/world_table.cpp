#include "memory/world_table.h"

#include "memory/world_memory.h"

namespace host {
namespace {

std::string describe(PF_PixelFormat format, A_long width, A_long height) {
    const char* depth = format == PF_PixelFormat_ARGB32   ? "8 bits"
                        : format == PF_PixelFormat_ARGB64 ? "16 bits"
                                                          : "float";
    return "world of " + std::to_string(width) + " x " + std::to_string(height) + " pixels at " + depth;
}

}  // namespace

WorldTable::~WorldTable() {
    for (const auto& entry : worlds_) {
        bool intact = true;
        WorldMemory::release(entry.first, intact);
    }
}

PF_Err WorldTable::create(const std::string& maker, PF_PixelFormat format, A_long width, A_long height, bool clear,
                          std::uint64_t command, PF_EffectWorld& world) {
    if (const PF_Err err = WorldMemory::allocate(format, width, height, clear, PF_Point{0, 0}, world)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    worlds_.emplace(world.data, Entry{maker, command, describe(format, width, height)});
    return PF_Err_NONE;
}

PF_Err WorldTable::dispose(const std::string& maker, const char* call, const PF_EffectWorld* world,
                           std::vector<std::string>& problems) {
    if (!world || !world->data) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    Entry entry;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = worlds_.find(world->data);
        if (found == worlds_.end()) {
            problems.push_back(std::string(call) + " of a world the host did not hand out (disposed twice?)");
            return PF_Err_BAD_CALLBACK_PARAM;
        }
        entry = found->second;
        worlds_.erase(found);
    }
    bool intact = true;
    WorldMemory::release(world->data, intact);
    if (entry.maker != maker) {
        problems.push_back(entry.description + " made by " + entry.maker + " disposed with " + call);
    }
    if (!intact) {
        problems.push_back(entry.description + " written outside its pixels");
    }
    return PF_Err_NONE;
}

std::vector<std::string> WorldTable::heldByPlugin(std::uint64_t command) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> held;
    for (const auto& entry : worlds_) {
        if (entry.second.command == command) {
            held.push_back(entry.second.description + " not disposed");
        }
    }
    return held;
}

std::size_t WorldTable::live() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return worlds_.size();
}

}  // namespace host
