#pragma once
// The worlds one host handed to the plug-in. The plug-in disposes each
// through the same call that made it (utils, or the world suite of the same
// version) before its command ends; the end-of-command check reports those it
// kept, and the host frees them when it goes.

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectPixelFormat.h"

namespace host {

class WorldTable {
public:
    WorldTable() = default;
    ~WorldTable();
    WorldTable(const WorldTable&) = delete;
    WorldTable& operator=(const WorldTable&) = delete;

    // A world of `format` made during `command` through `maker` (the call's
    // name as the log shows it); see WorldMemory::allocate for the errors.
    PF_Err create(const std::string& maker, PF_PixelFormat format, A_long width, A_long height, bool clear,
                  std::uint64_t command, PF_EffectWorld& world);

    // Frees a world disposed with `call` of the family whose allocating call
    // is `maker`. Problems for the end-of-command check go to `problems`: a
    // world of the other family, one written outside its pixels, one the host
    // does not know.
    PF_Err dispose(const std::string& maker, const char* call, const PF_EffectWorld* world,
                   std::vector<std::string>& problems);

    // What the plug-in still holds of the worlds made during `command`.
    std::vector<std::string> heldByPlugin(std::uint64_t command) const;
    std::size_t live() const;

private:
    struct Entry {
        std::string maker;
        std::uint64_t command;
        std::string description;  // "world of 4 x 3 pixels at 16 bits"
    };

    mutable std::mutex mutex_;
    std::map<const void*, Entry> worlds_;
};

}  // namespace host
