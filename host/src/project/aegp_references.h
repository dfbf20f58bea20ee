#pragma once
// What the AEGP suites hand out: effect and stream references, stream value
// records, keyframe batches and memory handles. The plug-in must give each
// back during the command that got it; the end-of-command check reports
// those it still holds.
//
// Handles are serial numbers, never reused, so a reference disposed twice
// or of the wrong kind is always recognised. Not locked: used under the
// effect's lock.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "AE_GeneralPlug.h"
#include "host/project.h"

namespace host {

// What a stream reference stands for: a stream of an effect, or a property
// of a layer.
struct StreamTarget {
    Effect* effect;  // null for a layer's property
    int param;       // the parameter's index, or 0 for the effect's own stream group
    Layer* layer = nullptr;
    AEGP_LayerStream which = 0;
};

// Keyframes being added to a stream: its keyframes as the batch started,
// with those added since. They become the stream's when the batch ends
// with adding.
struct KeyframeBatch {
    StreamTarget stream;
    std::vector<Keyframe> keyframes;
};

// A stream value record handed out, told apart from a stream reference in
// the leak report.
struct ValueRecord {
    StreamTarget stream;
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
    AEGP_AddKeyframesInfoH add(KeyframeBatch batch, std::uint64_t command);
    // A value record is the plug-in's memory and may be copied, so the
    // records are counted by the stream reference they carry.
    void addValueRecord(AEGP_StreamRefH carried, const StreamTarget& stream, std::uint64_t command);

    // Null for a handle that is not held (never handed out, or given back).
    Effect* find(AEGP_EffectRefH effect) const;
    const StreamTarget* find(AEGP_StreamRefH stream) const;
    MemoryBlock* find(AEGP_MemHandle memory);
    KeyframeBatch* find(AEGP_AddKeyframesInfoH batch);

    // False for a handle that is not held.
    bool remove(AEGP_EffectRefH effect);
    bool remove(AEGP_StreamRefH stream);
    bool remove(AEGP_MemHandle memory);
    bool remove(AEGP_AddKeyframesInfoH batch);
    // False when no record carrying this reference is held.
    bool removeValueRecord(AEGP_StreamRefH carried);

    // Handles held now, of every kind.
    std::size_t held() const;

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
    Table<KeyframeBatch> batches_;
    // By the serial of the stream reference a record carries; several
    // records may carry one reference.
    std::multimap<std::uintptr_t, Entry<ValueRecord>> valueRecords_;
};

// How the call log writes a handle: "#<serial>", or "null".
std::string handleArg(const void* handle);

}  // namespace host
