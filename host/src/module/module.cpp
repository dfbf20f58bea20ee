#include "module/module.h"

#include <dlfcn.h>

#include <cstring>

#include "host/host.h"

namespace host {
namespace {

std::string lastDlError() {
    const char* message = dlerror();
    return message ? message : "unknown error";
}

}  // namespace

Module::Module(const std::string& path) {
    // dlopen("") would hand back the test program itself.
    if (path.empty()) {
        throw HostError("cannot load plug-in module: no path given");
    }
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        throw HostError("cannot load plug-in module \"" + path + "\": " + lastDlError());
    }
    dlerror();
    void* entry = dlsym(handle_, "EntryPointFunc");
    if (!entry) {
        const std::string message = "plug-in module \"" + path + "\" exports no EntryPointFunc: " + lastDlError();
        dlclose(handle_);
        throw HostError(message);
    }
    // dlsym hands out functions as object pointers; copying the bits is the
    // conversion POSIX guarantees.
    static_assert(sizeof entry == sizeof entry_, "function and object pointers differ in size");
    std::memcpy(&entry_, &entry, sizeof entry_);
}

Module::~Module() {
    dlclose(handle_);
}

void* Module::symbol(const std::string& name) const {
    return dlsym(handle_, name.c_str());
}

}  // namespace host
