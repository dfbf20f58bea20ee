#pragma once
// The memory behind the host's handles, and who holds each handle: the
// plug-in (it must dispose it before the command ends) or the host (global
// data, pre-render data).

#include <cstdint>
#include <map>
#include <memory>
#include <shared_mutex>
#include <vector>

#include "AE_Effect.h"

namespace host {

class HandleTable {
public:
    HandleTable() = default;
    ~HandleTable();
    HandleTable(const HandleTable&) = delete;
    HandleTable& operator=(const HandleTable&) = delete;

    // A handle to `size` zeroed bytes, created during `command`; null when
    // the memory cannot be had.
    PF_Handle create(std::uint64_t size, std::uint64_t command);
    // The data pointer, or null for a handle the table does not know.
    void* data(PF_Handle handle) const;
    // Frees the handle; false when the table does not know it.
    bool dispose(PF_Handle handle);
    // False when the table does not know the handle.
    bool size(PF_Handle handle, std::uint64_t& size) const;
    // Keeps the handle and its first bytes; new bytes are zero. The data may
    // move, the handle does not.
    PF_Err resize(PF_Handle handle, std::uint64_t size);
    // From now on the host holds the handle; false when the table does not know it.
    bool adopt(PF_Handle handle);

    // Sizes of the handles created during `command` that the plug-in still holds.
    std::vector<std::uint64_t> heldByPlugin(std::uint64_t command) const;
    std::size_t live() const;

private:
    struct Block {
        void* data;  // first member: its address is the handle
        std::uint64_t size;
        std::uint64_t command;
        bool heldByHost;
    };

    // Lookups share it: plug-ins lock handles from render threads.
    mutable std::shared_mutex mutex_;
    std::map<PF_Handle, std::unique_ptr<Block>> blocks_;
};

}  // namespace host
