#pragma once
// A loaded plug-in module: the dlopen handle and its entry point.

#include <string>

#include "AE_Effect.h"

namespace host {

class Module {
public:
    // Throws HostError naming the path and dlerror() when the module cannot
    // be loaded or exports no EntryPointFunc.
    explicit Module(const std::string& path);
    ~Module();

    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    PF_CmdEntryPoint entry() const { return entry_; }
    // Address of an exported symbol, or null.
    void* symbol(const std::string& name) const;

private:
    void* handle_ = nullptr;
    PF_CmdEntryPoint entry_ = nullptr;
};

}  // namespace host
