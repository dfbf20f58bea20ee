// abort and progress: the user never cancels a headless render, so both
// succeed unless a fault is planned for them.

#include "installers.h"

namespace host {
namespace {

PF_Err abortCheck(PF_ProgPtr ref) noexcept {
    Host::Impl* host = nullptr;
    return Host::Impl::enterWithRef(ref, "abort", "", host);
}

PF_Err progress(PF_ProgPtr ref, A_long current, A_long total) noexcept {
    Host::Impl* host = nullptr;
    return Host::Impl::enterWithRef(
        ref, "progress", "current=" + std::to_string(current) + " total=" + std::to_string(total), host);
}

}  // namespace

void installProgress(Host::Impl& host) {
    host.inter.abort = abortCheck;
    host.inter.progress = progress;
}

}  // namespace host
