// The SPBasicSuite the plug-in reaches every other suite through. Its
// functions carry no context, so they serve the host running the command.

#include <cstdlib>
#include <cstring>

#include "format.h"
#include "host_impl.h"

namespace host {
namespace {

std::string suiteArgs(const char* name, int32_t version) {
    return "name=" + quoted(name) + " version=" + std::to_string(version);
}

SPErr acquireSuite(const char* name, int32_t version, const void** suite) noexcept {
    if (suite) {
        *suite = nullptr;
    }
    Host::Impl* host = Host::Impl::current();
    if (!host) {
        return SuiteRegistry::kNoCommandRunning;
    }
    if (const PF_Err err = host->enter("AcquireSuite", [&] { return suiteArgs(name, version); })) {
        return err;
    }
    return host->suites.acquire(name, version, suite, host->faults);
}

SPErr releaseSuite(const char* name, int32_t version) noexcept {
    Host::Impl* host = Host::Impl::current();
    if (!host) {
        return SuiteRegistry::kNoCommandRunning;
    }
    if (const PF_Err err = host->enter("ReleaseSuite", [&] { return suiteArgs(name, version); })) {
        return err;
    }
    const SPErr err = host->suites.release(name, version);
    if (err == SuiteRegistry::kSuiteNotHeld) {
        host->note("suite " + quoted(name) + " v" + std::to_string(version) + " released but not held");
    }
    return err;
}

// A comparison has no error to return, so no fault is injected.
SPBoolean isEqual(const char* token1, const char* token2) noexcept {
    if (Host::Impl* host = Host::Impl::current()) {
        host->record("IsEqual", [&] { return "token1=" + quoted(token1) + " token2=" + quoted(token2); });
    }
    return token1 && token2 && std::strcmp(token1, token2) == 0;
}

SPErr allocateBlock(size_t size, void** block) noexcept {
    Host::Impl* host = Host::Impl::current();
    if (!host) {
        return SuiteRegistry::kNoCommandRunning;
    }
    if (const PF_Err err = host->enter("AllocateBlock", [&] { return "size=" + std::to_string(size); })) {
        return err;
    }
    if (!block) {
        return SuiteRegistry::kBadArgument;
    }
    *block = std::malloc(size ? size : 1);
    if (!*block) {
        return PF_Err_OUT_OF_MEMORY;
    }
    return kSPNoError;
}

SPErr freeBlock(void* block) noexcept {
    Host::Impl* host = Host::Impl::current();
    if (!host) {
        return SuiteRegistry::kNoCommandRunning;
    }
    if (const PF_Err err = host->enter("FreeBlock", block ? "block" : "block=null")) {
        return err;
    }
    std::free(block);
    return kSPNoError;
}

SPErr reallocateBlock(void* block, size_t newSize, void** newBlock) noexcept {
    Host::Impl* host = Host::Impl::current();
    if (!host) {
        return SuiteRegistry::kNoCommandRunning;
    }
    if (const PF_Err err = host->enter("ReallocateBlock", [&] { return "size=" + std::to_string(newSize); })) {
        return err;
    }
    if (!newBlock) {
        return SuiteRegistry::kBadArgument;
    }
    void* moved = std::realloc(block, newSize ? newSize : 1);
    if (!moved) {
        return PF_Err_OUT_OF_MEMORY;  // the old block stays valid, as with realloc
    }
    *newBlock = moved;
    return kSPNoError;
}

SPErr undefined() noexcept {
    Host::Impl* host = Host::Impl::current();
    if (!host) {
        return SuiteRegistry::kNoCommandRunning;
    }
    if (const PF_Err err = host->enter("Undefined", "")) {
        return err;
    }
    return SuiteRegistry::kSuiteNotFound;
}

const SPBasicSuite kBasicSuite = {acquireSuite, releaseSuite, isEqual, allocateBlock,
                                  freeBlock,    reallocateBlock, undefined};

}  // namespace

const SPBasicSuite* SuiteRegistry::basicSuite() const {
    return &kBasicSuite;
}

}  // namespace host
