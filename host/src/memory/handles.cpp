// Handle callbacks, served both in PF_InData's utils and as the
// "PF Handle Suite". They carry no context and act for the host running the
// current command.

#include "AE_EffectCBSuites.h"
#include "installers.h"

namespace host {
namespace {

std::string handleArg(PF_Handle handle) {
    return handle ? "handle" : "handle=null";
}

PF_Handle newHandle(A_u_longlong size) noexcept {
    Host::Impl* host = Host::Impl::current();
    if (!host || host->enter("host_new_handle", [&] { return "size=" + std::to_string(size); })) {
        return nullptr;
    }
    return host->memory.handles.create(size, host->commandSerial);
}

void* lockHandle(PF_Handle handle) noexcept {
    Host::Impl* host = Host::Impl::current();
    if (!host || host->enter("host_lock_handle", [&] { return handleArg(handle); })) {
        return nullptr;
    }
    return host->memory.handles.data(handle);
}

// Locking pins nothing here, so unlocking has nothing to undo.
void unlockHandle(PF_Handle handle) noexcept {
    if (Host::Impl* host = Host::Impl::current()) {
        host->record("host_unlock_handle", [&] { return handleArg(handle); });
    }
}

// Void, so faults cannot be injected; a dispose the host cannot match is
// reported by the end-of-command check instead.
void disposeHandle(PF_Handle handle) noexcept {
    Host::Impl* host = Host::Impl::current();
    if (!host) {
        return;
    }
    host->record("host_dispose_handle", [&] { return handleArg(handle); });
    if (handle && !host->memory.handles.dispose(handle)) {
        host->note("host_dispose_handle of a handle the host does not know (disposed twice?)");
    }
}

// Unknown handles have size 0; a size is no error, so no fault is injected.
A_u_longlong handleSize(PF_Handle handle) noexcept {
    Host::Impl* host = Host::Impl::current();
    std::uint64_t size = 0;
    if (host) {
        host->record("host_get_handle_size", [&] { return handleArg(handle); });
        host->memory.handles.size(handle, size);
    }
    return size;
}

PF_Err resizeHandle(A_u_longlong newSize, PF_Handle* handle) noexcept {
    Host::Impl* host = Host::Impl::current();
    if (!host) {
        return PF_Err_INVALID_CALLBACK;
    }
    if (const PF_Err err = host->enter("host_resize_handle", [&] { return "size=" + std::to_string(newSize); })) {
        return err;
    }
    if (!handle) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    return host->memory.handles.resize(*handle, newSize);
}

const PF_HandleSuite2 kHandleSuite = {newHandle, lockHandle, unlockHandle, disposeHandle, handleSize, resizeHandle};

}  // namespace

void installHandles(Host::Impl& host) {
    host.utils.host_new_handle = newHandle;
    host.utils.host_lock_handle = lockHandle;
    host.utils.host_unlock_handle = unlockHandle;
    host.utils.host_dispose_handle = disposeHandle;
    host.utils.host_get_handle_size = handleSize;
    host.utils.host_resize_handle = resizeHandle;
    host.suites.add(kPFHandleSuite, kPFHandleSuiteVersion2, &kHandleSuite);
}

}  // namespace host
