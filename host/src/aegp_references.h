#pragma once
// What the AEGP suites hand out: effect and stream references and memory
// handles. The plug-in must give each back during the command that got it;
// the end-of-command check reports those it still holds.
//
// Handles are serial numbers, never reused, so a reference disposed twice
// or of the wrong kind is always recognised. Not locked: used under the
// host's state lock.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "AE_GeneralPlug.h"

namespace host {

class Effect;

// What a stream reference stands for.
struct StreamTarget {
    Effect* effect;
    int param;  // the parameter's index, or 0 for the effect's own stream group
};

struct MemoryBlock {
    std::string what;  // the allocation's purpose, for the leak report
    std::vector<char> bytes;
    int locks = 0;
};

class References {
public:
    AEGP_EffectRefH add(Effect& effect, std::uint64_t command);
    AEGP_StreamRefH add(StreamTarget stream, std::uint64_t command);
    AEGP_MemHandle add(MemoryBlock block, std::uint64_t command);

    // Null for a handle that is not held (never handed out, or given back).
    Effect* find(AEGP_EffectRefH effect) const;
    const StreamTarget* find(AEGP_StreamRefH stream) const;
    MemoryBlock* find(AEGP_MemHandle memory);

    // False for a handle that is not held.
    bool remove(AEGP_EffectRefH effect);
    bool remove(AEGP_StreamRefH stream);
    bool remove(AEGP_MemHandle memory);

    // Appends a line for each handle handed out during `command` and still held.
    void reportHeld(std::uint64_t command, std::vector<std::string>& problems) const;

private:
    template <typename Target>
    struct Entry {
        Target target;
        std::uint64_t command;
    };
    template <typename Target>
    using Table = std::map<std::uintptr_t, Entry<Target>>;

    std::uintptr_t next_ = 0;
    Table<Effect*> effects_;
    Table<StreamTarget> streams_;
    Table<MemoryBlock> memory_;
};

// How the call log writes a handle: "#<serial>", or "null".
std::string handleArg(const void* handle);

}  // namespace host
