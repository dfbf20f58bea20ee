#include "memory/handle.h"

#include <cstdlib>
#include <new>

namespace Nerevo {
namespace Memory {

PF_Handle newHandle(std::size_t size) {
    void* block = std::calloc(size ? size : 1, 1);
    if (!block) {
        return nullptr;
    }
    auto* handle = new (std::nothrow) void*(block);
    if (!handle) {
        std::free(block);
    }
    return handle;
}

void unlockHandle(PF_Handle) {}

void disposeHandle(PF_Handle handle) {
    if (handle) {
        std::free(*handle);
        delete handle;
    }
}

}  // namespace Memory
}  // namespace Nerevo
