#include "project/aegp_references.h"

#include "host/project.h"
#include "utf16.h"

namespace host {
namespace {

template <typename Handle>
std::uintptr_t serial(Handle handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

template <typename Handle>
Handle toHandle(std::uintptr_t serial) {
    return reinterpret_cast<Handle>(serial);
}

std::string effectName(const Effect& effect) {
    return "\"" + toUtf8(effect.name) + "\"";
}

// What the leak report says of a handle still held.
std::string describe(Effect* effect) {
    return "effect reference to " + effectName(*effect) + " not disposed";
}

std::string streamName(const StreamTarget& stream) {
    if (!stream.effect) {
        return "layer property " + std::to_string(stream.which);
    }
    return (stream.param ? "parameter " + std::to_string(stream.param) + " of " : std::string("the stream group of ")) +
           effectName(*stream.effect);
}

std::string describe(const StreamTarget& stream) {
    return "stream reference to " + streamName(stream) + " not disposed";
}

std::string describe(const ValueRecord& record) {
    return "stream value record of " + streamName(record.stream) + " not disposed";
}

std::string describe(const KeyframeBatch& batch) {
    return "keyframes added to " + streamName(batch.stream) + " in a batch not ended";
}

std::string describe(const MemoryBlock& block) {
    return "memory handle \"" + block.what + "\" of " + std::to_string(block.bytes.size()) + " bytes not freed";
}

template <typename Map>
auto findIn(Map& table, std::uintptr_t key) -> decltype(&table.begin()->second.target) {
    const auto entry = table.find(key);
    return entry == table.end() ? nullptr : &entry->second.target;
}

template <typename Map>
void reportIn(const Map& table, std::uint64_t command, std::vector<std::string>& problems) {
    for (const auto& entry : table) {
        if (entry.second.command == command) {
            problems.push_back(describe(entry.second.target));
        }
    }
}

}  // namespace

AEGP_EffectRefH References::add(Effect& effect, std::uint64_t command) {
    effects_.emplace(++next_, Entry<Effect*>{&effect, command});
    return toHandle<AEGP_EffectRefH>(next_);
}

AEGP_StreamRefH References::add(StreamTarget stream, std::uint64_t command) {
    streams_.emplace(++next_, Entry<StreamTarget>{stream, command});
    return toHandle<AEGP_StreamRefH>(next_);
}

AEGP_MemHandle References::add(MemoryBlock block, std::uint64_t command) {
    memory_.emplace(++next_, Entry<MemoryBlock>{std::move(block), command});
    return toHandle<AEGP_MemHandle>(next_);
}

AEGP_AddKeyframesInfoH References::add(KeyframeBatch batch, std::uint64_t command) {
    batches_.emplace(++next_, Entry<KeyframeBatch>{std::move(batch), command});
    return toHandle<AEGP_AddKeyframesInfoH>(next_);
}

void References::addValueRecord(AEGP_StreamRefH carried, const StreamTarget& stream, std::uint64_t command) {
    valueRecords_.emplace(serial(carried), Entry<ValueRecord>{ValueRecord{stream}, command});
}

Effect* References::find(AEGP_EffectRefH effect) const {
    Effect* const* found = findIn(effects_, serial(effect));
    return found ? *found : nullptr;
}

const StreamTarget* References::find(AEGP_StreamRefH stream) const {
    return findIn(streams_, serial(stream));
}

MemoryBlock* References::find(AEGP_MemHandle memory) {
    return findIn(memory_, serial(memory));
}

KeyframeBatch* References::find(AEGP_AddKeyframesInfoH batch) {
    return findIn(batches_, serial(batch));
}

bool References::remove(AEGP_EffectRefH effect) {
    return effects_.erase(serial(effect)) > 0;
}

bool References::remove(AEGP_StreamRefH stream) {
    return streams_.erase(serial(stream)) > 0;
}

bool References::remove(AEGP_MemHandle memory) {
    return memory_.erase(serial(memory)) > 0;
}

bool References::remove(AEGP_AddKeyframesInfoH batch) {
    return batches_.erase(serial(batch)) > 0;
}

bool References::removeValueRecord(AEGP_StreamRefH carried) {
    const auto found = valueRecords_.find(serial(carried));
    if (found == valueRecords_.end()) {
        return false;
    }
    valueRecords_.erase(found);
    return true;
}

void References::reportHeld(std::uint64_t command, std::vector<std::string>& problems) const {
    reportIn(effects_, command, problems);
    reportIn(streams_, command, problems);
    reportIn(memory_, command, problems);
    reportIn(batches_, command, problems);
    reportIn(valueRecords_, command, problems);
}

std::string handleArg(const void* handle) {
    return handle ? "#" + std::to_string(serial(handle)) : "null";
}

std::size_t References::held() const {
    return effects_.size() + streams_.size() + memory_.size() + batches_.size() + valueRecords_.size();
}

}  // namespace host
