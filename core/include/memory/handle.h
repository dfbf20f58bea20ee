#pragma once
// The platform's relocatable-handle allocator, for when the host offers no
// handle callbacks: a handle is a pointer to a pointer to the block, as the
// host's own handles are, so code can treat both alike.

#include <cstddef>

#include "AE_Effect.h"

namespace Nerevo {
namespace Memory {

// A handle to `size` zeroed bytes, or null when memory is short.
PF_Handle newHandle(std::size_t size);

// Blocks never move, so unlocking has nothing to do; it exists so callers
// pair every lock with an unlock whichever allocator made the handle.
void unlockHandle(PF_Handle handle);

void disposeHandle(PF_Handle handle);

}  // namespace Memory
}  // namespace Nerevo
