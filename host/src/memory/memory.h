#pragma once
// The memory the host hands the plug-in: handles and worlds. Each table
// keeps its own lock, so that render threads locking handles or sampling
// worlds do not wait on the rest of the host.

#include "memory/handle_table.h"
#include "memory/world_table.h"

namespace host {

struct Memory {
    HandleTable handles;
    WorldTable worlds;
};

}  // namespace host
