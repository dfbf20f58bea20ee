#include "memory/handle_table.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace host {

HandleTable::~HandleTable() {
    for (auto& entry : blocks_) {
        std::free(entry.second->data);
    }
}

PF_Handle HandleTable::create(std::uint64_t size, std::uint64_t command) {
    if (size > SIZE_MAX) {
        return nullptr;
    }
    // calloc leaves huge requests to the system instead of touching every page.
    void* data = std::calloc(size ? static_cast<std::size_t>(size) : 1, 1);
    if (!data) {
        return nullptr;
    }
    auto block = std::make_unique<Block>(Block{data, size, command, false});
    const PF_Handle handle = &block->data;
    std::unique_lock<std::shared_mutex> lock(mutex_);
    blocks_.emplace(handle, std::move(block));
    return handle;
}

void* HandleTable::data(PF_Handle handle) const {
    std::shared_lock<std::shared_mutex> lock(mutex_);
    const auto block = blocks_.find(handle);
    return block == blocks_.end() ? nullptr : block->second->data;
}

bool HandleTable::dispose(PF_Handle handle) {
    std::unique_ptr<Block> block;
    {
        std::unique_lock<std::shared_mutex> lock(mutex_);
        const auto found = blocks_.find(handle);
        if (found == blocks_.end()) {
            return false;
        }
        block = std::move(found->second);
        blocks_.erase(found);
    }
    std::free(block->data);
    return true;
}

bool HandleTable::size(PF_Handle handle, std::uint64_t& size) const {
    std::shared_lock<std::shared_mutex> lock(mutex_);
    const auto block = blocks_.find(handle);
    if (block == blocks_.end()) {
        return false;
    }
    size = block->second->size;
    return true;
}

PF_Err HandleTable::resize(PF_Handle handle, std::uint64_t size) {
    std::unique_lock<std::shared_mutex> lock(mutex_);
    const auto found = blocks_.find(handle);
    if (found == blocks_.end()) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (size > SIZE_MAX) {
        return PF_Err_OUT_OF_MEMORY;
    }
    Block& block = *found->second;
    void* data = std::realloc(block.data, size ? static_cast<std::size_t>(size) : 1);
    if (!data) {
        return PF_Err_OUT_OF_MEMORY;
    }
    if (size > block.size) {
        std::memset(static_cast<unsigned char*>(data) + block.size, 0, static_cast<std::size_t>(size - block.size));
    }
    block.data = data;
    block.size = size;
    return PF_Err_NONE;
}

bool HandleTable::adopt(PF_Handle handle) {
    std::unique_lock<std::shared_mutex> lock(mutex_);
    const auto block = blocks_.find(handle);
    if (block == blocks_.end()) {
        return false;
    }
    block->second->heldByHost = true;
    return true;
}

std::vector<std::uint64_t> HandleTable::heldByPlugin(std::uint64_t command) const {
    std::shared_lock<std::shared_mutex> lock(mutex_);
    std::vector<std::uint64_t> sizes;
    for (const auto& entry : blocks_) {
        const Block& block = *entry.second;
        if (!block.heldByHost && block.command == command) {
            sizes.push_back(block.size);
        }
    }
    return sizes;
}

std::size_t HandleTable::live() const {
    std::shared_lock<std::shared_mutex> lock(mutex_);
    return blocks_.size();
}

}  // namespace host
