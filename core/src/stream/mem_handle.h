#pragma once
// Text the host returns in a memory handle: copied out, then the handle freed.

#include <vector>

#include "AEGP_SuiteHandler.h"

namespace Nerevo {

// Copies the handle's bytes into `bytes` and frees the handle. The first
// error wins; the free's error counts only when there was none before.
inline PF_Err takeMemHandle(AEGP_SuiteHandler& suites, AEGP_MemHandle handle, std::vector<char>& bytes) {
    const AEGP_MemorySuite1* memory = suites.MemorySuite1();
    AEGP_MemSize size = 0;
    void* data = nullptr;
    PF_Err err = memory->AEGP_GetMemHandleSize(handle, &size);
    if (!err) {
        err = memory->AEGP_LockMemHandle(handle, &data);
    }
    if (!err && data) {
        const char* p = static_cast<const char*>(data);
        bytes.assign(p, p + size);
    }
    PF_Err freeErr = memory->AEGP_FreeMemHandle(handle);
    return err ? err : freeErr;
}

}  // namespace Nerevo
