// "AEGP Memory Suite" version 1: memory handles, counted like references.
// A handle may be freed while locked; unlocking one that is not locked is
// a misuse the end-of-command check reports.

#include <new>
#include <stdexcept>

#include "format.h"
#include "project/aegp_common.h"

namespace host {
namespace {

std::string memoryArg(AEGP_MemHandle memory) {
    return "memory=" + handleArg(memory);
}

// The bytes are always zeroed, so AEGP_MemFlag_CLEAR changes nothing.
A_Err newMemHandle(AEGP_PluginID plugin, const A_char* what, AEGP_MemSize size, AEGP_MemFlag flags,
                   AEGP_MemHandle* memory) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_NewMemHandle",
            [&] {
                return pluginArg(plugin) + " what=" + quoted(what) + " size=" + std::to_string(size) +
                       " flags=" + std::to_string(flags);
            },
            host)) {
        return err;
    }
    if (!memory) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *memory = nullptr;
    MemoryBlock block;
    block.what = what ? what : "";
    try {
        if (size > block.bytes.max_size()) {
            return A_Err_ALLOC;
        }
        block.bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return A_Err_ALLOC;
    } catch (const std::length_error&) {
        return A_Err_ALLOC;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    if (!knownPlugin(*host, plugin)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *memory = host->effect.references.add(std::move(block), host->commandSerial);
    return A_Err_NONE;
}

A_Err freeMemHandle(AEGP_MemHandle memory) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_FreeMemHandle", [&] { return memoryArg(memory); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    if (host->effect.references.remove(memory)) {
        return A_Err_NONE;
    }
    if (memory) {
        host->note("AEGP_FreeMemHandle of a handle the host does not hold (freed twice?)");
    }
    return PF_Err_BAD_CALLBACK_PARAM;
}

A_Err lockMemHandle(AEGP_MemHandle memory, void** data) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_LockMemHandle", [&] { return memoryArg(memory); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    MemoryBlock* found = host->effect.references.find(memory);
    if (!found || !data) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    ++found->locks;
    *data = found->bytes.data();
    return A_Err_NONE;
}

A_Err unlockMemHandle(AEGP_MemHandle memory) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_UnlockMemHandle", [&] { return memoryArg(memory); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    MemoryBlock* found = host->effect.references.find(memory);
    if (!found) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (found->locks == 0) {
        host->note("AEGP_UnlockMemHandle of " + quoted(found->what) + ", which is not locked");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    --found->locks;
    return A_Err_NONE;
}

A_Err getMemHandleSize(AEGP_MemHandle memory, AEGP_MemSize* size) noexcept {
    Host::Impl* host = nullptr;
    if (const A_Err err = enterAegp(
            "AEGP_GetMemHandleSize", [&] { return memoryArg(memory); }, host)) {
        return err;
    }
    std::lock_guard<std::mutex> lock(host->effect.mutex);
    const MemoryBlock* found = host->effect.references.find(memory);
    if (!found || !size) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *size = found->bytes.size();
    return A_Err_NONE;
}

const AEGP_MemorySuite1 kMemorySuite = {newMemHandle, freeMemHandle, lockMemHandle, unlockMemHandle,
                                        getMemHandleSize};

}  // namespace

void installAegpMemory(Host::Impl& host) {
    host.suites.add(kAEGPMemorySuite, kAEGPMemorySuiteVersion1, &kMemorySuite);
}

}  // namespace host
