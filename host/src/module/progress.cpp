// abort and progress. Both succeed unless a fault is planned for them, and
// abort reports PF_Interrupt_CANCEL from the check a test planned the user's
// cancel for onwards: a cancelled render stays cancelled.

#include "installers.h"

namespace host {
namespace {

PF_Err abortCheck(PF_ProgPtr ref) noexcept {
    Host::Impl* host = nullptr;
    if (const PF_Err err = Host::Impl::enterWithRef(ref, "abort", "", host)) {
        return err;
    }
    const long cancelAt = host->render.cancelAtCheck.load();
    const long check = ++host->render.abortChecks;
    return cancelAt > 0 && check >= cancelAt ? PF_Interrupt_CANCEL : PF_Err_NONE;
}

PF_Err progress(PF_ProgPtr ref, A_long current, A_long total) noexcept {
    Host::Impl* host = nullptr;
    return Host::Impl::enterWithRef(
        ref, "progress", [&] { return "current=" + std::to_string(current) + " total=" + std::to_string(total); },
        host);
}

}  // namespace

void Host::cancelAtAbortCheck(int check) {
    impl_->render.cancelAtCheck = 0;
    impl_->render.abortChecks = 0;
    impl_->render.cancelAtCheck = check > 0 ? check : 0;
}

void installProgress(Host::Impl& host) {
    host.inter.abort = abortCheck;
    host.inter.progress = progress;
}

}  // namespace host
